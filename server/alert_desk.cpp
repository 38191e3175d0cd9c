// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/alert_desk.h"
#include "server/quoted_text.h"

#include "app/message_templates.h"
#include "app/projector_operations.h"
#include "base/app_home.h"
#include "base/file_read.h"
#include "message/text_limits.h"
#include "server/server_prompter.h"
#include "server/target_selection.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace glintcaster::server {

namespace {

/// The message file `name` of the message folder, refused when its real path (links
/// followed) leaves the folder.
bool messageFromFolder(const QString &name, CurrentMessage *out, HttpAnswer *refusal)
{
    const QString folder = QFileInfo(AppHome::messageDataDir()).canonicalFilePath();
    const QFileInfo file(QDir(folder).filePath(name));
    const QString real = file.canonicalFilePath();
    if (real.isEmpty()) {
        *refusal = errorAnswer(404, QStringLiteral("message_not_found"),
                               QStringLiteral("there is no message \"%1\" in the message folder").arg(quotedText(name)));
        return false;
    }
    if (!real.startsWith(folder + u'/')) {
        *refusal = errorAnswer(400, QStringLiteral("path_refused"),
                               QStringLiteral("\"%1\" leads outside the message folder").arg(quotedText(name)));
        return false;
    }
    ServerPrompter prompter;
    if (!readMessageForSend(real, TargetCapabilities::fixed(true, true, true), prompter, out)) {
        *refusal = errorAnswer(422, QStringLiteral("message_refused"), prompter.lastText());
        return false;
    }
    return true;
}

QJsonObject stateJson(const AlertOperation &op, int i)
{
    const AlertTargetState st = op.state(i);
    const AlertTarget &t = op.request().targets.at(i);
    return {{QStringLiteral("target"), ipToText(t.endpoint.address)},
            {QStringLiteral("name"), t.name},
            {QStringLiteral("phase"), alertPhaseText(st.phase)},
            {QStringLiteral("result"), alertResultKey(st.result)},
            {QStringLiteral("code"), st.code},
            {QStringLiteral("text"), st.text}};
}

} // namespace

bool messageFromTemplate(const QString &name, const QString &title, const QString &text,
                         CurrentMessage *out, QString *error)
{
    const QString templ = name.isEmpty() ? MessageTemplates::defaultName() : name;
    const QString folder = MessageTemplates::folder();
    const QString path = MessageTemplates::pathOf(folder, templ);
    if (!QFileInfo(path).isFile()) {
        // A template deleted from the home: the shipped one of that name still serves.
        if (MessageTemplates::shipped(templ, out)) {
            const CurrentMessage shippedTemplate = *out;
            MessageTemplates::pourInto(shippedTemplate, title, text, out);
            return true;
        }
        *error = QStringLiteral("there is no template \"%1\" in %2").arg(quotedText(templ), folder);
        return false;
    }
    return MessageTemplates::pour(path, title, text, out, error);
}

AlertDesk::AlertDesk(const ServerConfig &config, LogLine log, QObject *parent)
    : QObject(parent), m_config(config), m_log(std::move(log))
{
    loadHistory();
}

AlertDesk::~AlertDesk()
{
    for (auto &a : m_alerts)
        a->cancel();
}

bool AlertDesk::isRunning() const
{
    return !m_alerts.empty() && m_alerts.back()->isRunning();
}

std::optional<HttpAnswer> AlertDesk::launch(glintcaster::AlertRequest request, QString *id)
{
    if (isRunning())
        return errorAnswer(409, QStringLiteral("alert_running"),
                           QStringLiteral("alert %1 is still running; one alert runs at a time").arg(m_alerts.back()->id()));
    request.origin = QStringLiteral("server");
    request.confirm = false;
    auto op = std::make_unique<AlertOperation>();
    ServerPrompter prompter;
    if (!op->prepare(request, prompter))
        return errorAnswer(422, QStringLiteral("message_refused"), prompter.lastText());
    op->start();
    *id = op->id();
    const QString title = request.message.title().plainText();
    m_log(QStringLiteral("alert %1 \"%2\" to %3 projector(s)%4")
              .arg(*id, quotedText(title)).arg(request.targets.size())
              .arg(request.capIdentifier.isEmpty() ? QString() : QStringLiteral(" (CAP %1)").arg(quotedText(request.capIdentifier))));
    AlertOperation *raw = op.get();
    connect(raw, &AlertOperation::finished, this, [this, raw] {
        m_log(QStringLiteral("alert %1: %2").arg(raw->id(), raw->summary().text()));
    });
    m_alerts.push_back(std::move(op));
    while (int(m_alerts.size()) > kAlertsKept && !m_alerts.front()->isRunning())
        m_alerts.pop_front();
    return std::nullopt;
}

HttpAnswer AlertDesk::startAlert(const AlertPostRequest &r)
{
    if (isRunning())
        return errorAnswer(409, QStringLiteral("alert_running"),
                           QStringLiteral("alert %1 is still running; one alert runs at a time").arg(m_alerts.back()->id()));
    QList<ProjectorEntry> targets;
    if (const auto refused = selectTargets(r.targets, &targets))
        return *refused;
    glintcaster::AlertRequest request;
    for (const ProjectorEntry &e : targets)
        request.targets.append({ProjectorEndpoint{e.IP, e.hasPassword ? 1 : 0, e.Pass}, e.ProjectorName});
    QString error;
    if (!r.messageName.isEmpty()) {
        HttpAnswer refusal;
        if (!messageFromFolder(r.messageName, &request.message, &refusal))
            return refusal;
    } else if (!messageFromTemplate(r.templateName, r.title, r.text, &request.message, &error)) {
        return errorAnswer(422, QStringLiteral("template_refused"), error);
    }
    request.slot = r.slot;
    request.displayOn = r.display;
    request.startupMinutes = r.startupMinutes;
    QString id;
    if (auto refusal = launch(request, &id))
        return *refusal;
    return jsonAnswer(202, {{QStringLiteral("alert"), id},
                            {QStringLiteral("targets"), int(request.targets.size())},
                            {QStringLiteral("status"), QStringLiteral("/v1/alerts/%1").arg(id)}});
}

HttpAnswer AlertDesk::alertState(const QString &id) const
{
    for (const auto &op : m_alerts) {
        if (op->id() != id)
            continue;
        QJsonArray targets;
        for (int i = 0; i < op->targetCount(); ++i)
            targets.append(stateJson(*op, i));
        const AlertSummary s = op->summary();
        QJsonObject o{{QStringLiteral("alert"), id},
                      {QStringLiteral("title"), op->request().message.title().plainText()},
                      {QStringLiteral("slot"), op->request().slot},
                      {QStringLiteral("running"), op->isRunning()},
                      {QStringLiteral("targets"), targets},
                      {QStringLiteral("total"), s.total},
                      {QStringLiteral("succeeded"), s.succeeded},
                      {QStringLiteral("refused"), s.refused},
                      {QStringLiteral("communication"), s.communication},
                      {QStringLiteral("cancelled"), s.cancelled}};
        if (!op->request().capIdentifier.isEmpty())
            o.insert(QStringLiteral("cap"), op->request().capIdentifier);
        if (!op->isRunning())
            o.insert(QStringLiteral("summary"), s.text());
        return jsonAnswer(200, o);
    }
    return errorAnswer(404, QStringLiteral("unknown_alert"), QStringLiteral("there is no alert %1").arg(quotedText(id)));
}

HttpAnswer AlertDesk::cancelAlert(const QString &id)
{
    for (const auto &op : m_alerts) {
        if (op->id() != id)
            continue;
        if (!op->isRunning())
            return errorAnswer(409, QStringLiteral("alert_finished"), QStringLiteral("alert %1 has already finished").arg(id));
        op->cancel();
        m_log(QStringLiteral("alert %1: cancel asked").arg(id));
        return jsonAnswer(202, {{QStringLiteral("alert"), id}, {QStringLiteral("cancelling"), true}});
    }
    return errorAnswer(404, QStringLiteral("unknown_alert"), QStringLiteral("there is no alert %1").arg(quotedText(id)));
}

HttpAnswer AlertDesk::applyCap(const CapAlert &alert, const CapPlan &plan, QList<quint32> *cancelTargets,
                               int *cancelSlot)
{
    const QString key = alert.key();
    auto acknowledged = [&](const QString &reason, const QString &earlier = {}) {
        QJsonObject o{{QStringLiteral("acknowledged"), true},
                      {QStringLiteral("identifier"), alert.identifier},
                      {QStringLiteral("reason"), reason}};
        if (!earlier.isEmpty())
            o.insert(QStringLiteral("alert"), earlier);
        m_log(QStringLiteral("CAP %1 from %2: %3").arg(quotedText(alert.identifier), quotedText(alert.sender), reason));
        return jsonAnswer(200, o);
    };
    if (const auto it = m_capRecords.constFind(key); it != m_capRecords.constEnd())
        return acknowledged(QStringLiteral("already handled"), it->alertId);
    if (plan.action == CapAction::Refuse) {
        m_log(QStringLiteral("CAP %1 from %2 refused: %3").arg(quotedText(alert.identifier), quotedText(alert.sender), plan.reason));
        return errorAnswer(422, plan.error, plan.reason);
    }
    if (plan.action == CapAction::Acknowledge) {
        remember({key, {}, {}, plan.slot});
        return acknowledged(plan.reason);
    }
    // The projectors and slot of the earlier alerts an Update or a Cancel refers to.
    QList<quint32> earlierTargets;
    int earlierSlot = plan.slot;
    bool earlierKnown = false;
    for (const QString &ref : plan.references) {
        const auto it = m_capRecords.constFind(ref);
        if (it == m_capRecords.constEnd() || it->targets.isEmpty())
            continue;
        earlierKnown = true;
        earlierSlot = it->slot;
        for (quint32 t : it->targets)
            if (!earlierTargets.contains(t))
                earlierTargets << t;
    }
    if (plan.action == CapAction::Cancel) {
        remember({key, {}, {}, earlierSlot});
        if (!earlierKnown)
            return acknowledged(QStringLiteral("cancels nothing shown here"));
        // A cancelled alert still running stops taking further projectors first.
        for (const QString &ref : plan.references) {
            const QString earlierId = m_capRecords.value(ref).alertId;
            if (isRunning() && !earlierId.isEmpty() && m_alerts.back()->id() == earlierId)
                m_alerts.back()->cancel();
        }
        *cancelTargets = earlierTargets;
        *cancelSlot = earlierSlot;
        m_log(QStringLiteral("CAP %1 from %2: cancel on %3 projector(s)").arg(quotedText(alert.identifier), quotedText(alert.sender)).arg(earlierTargets.size()));
        return HttpAnswer{0, {}, {}};
    }

    if (isRunning())
        return errorAnswer(409, QStringLiteral("alert_running"),
                           QStringLiteral("alert %1 is still running; one alert runs at a time").arg(m_alerts.back()->id()));
    QList<ProjectorEntry> targets;
    if (plan.update && earlierKnown) {
        // An update replaces what the earlier alert showed, where it showed it.
        ProjectorStore store = ProjectorStore::inAppHome();
        store.LoadRegisteredProjectors();
        for (quint32 ip : earlierTargets) {
            const int r = store.indexOfIp(ip);
            if (r >= 0)
                targets << store.projector(r);
        }
        if (targets.isEmpty())
            return errorAnswer(422, QStringLiteral("unknown_target"),
                               QStringLiteral("the projectors of the updated alert are no longer registered"));
    } else {
        TargetSelection selection;
        selection.groups = plan.groups;
        if (const auto refused = selectTargets(selection, &targets))
            return *refused;
    }
    glintcaster::AlertRequest request;
    for (const ProjectorEntry &e : targets)
        request.targets.append({ProjectorEndpoint{e.IP, e.hasPassword ? 1 : 0, e.Pass}, e.ProjectorName});
    QString error;
    if (!messageFromTemplate(plan.templateName, plan.title, plan.text, &request.message, &error))
        return errorAnswer(422, QStringLiteral("template_refused"), error);
    CurrentMessage &m = request.message;
    // The title is cut to what every projector takes in the template's size.
    const int titleMax = qMin(titleLimit(m.options.fontSize, true), titleLimit(m.options.fontSize, false));
    if (m.title().size() > titleMax)
        m.title() = m.title().mid(0, titleMax);
    if (plan.displayMinutes > 0 && m.options.style != 0) {
        // Scrolling messages have no display time; the others go off when the alert expires.
        m.options.displayMinutes = quint8(plan.displayMinutes);
        m.options.displayHalfMinute = 0;
    }
    request.slot = plan.update && earlierKnown ? earlierSlot : plan.slot;
    request.capIdentifier = alert.identifier;
    QString id;
    if (auto refusal = launch(request, &id))
        return *refusal;
    CapRecord record{key, id, {}, request.slot};
    for (const AlertTarget &t : request.targets)
        record.targets << t.endpoint.address;
    remember(record);
    QJsonObject o{{QStringLiteral("alert"), id},
                  {QStringLiteral("identifier"), alert.identifier},
                  {QStringLiteral("targets"), int(request.targets.size())},
                  {QStringLiteral("template"), plan.templateName},
                  {QStringLiteral("language"), plan.language},
                  {QStringLiteral("slot"), request.slot},
                  {QStringLiteral("status"), QStringLiteral("/v1/alerts/%1").arg(id)}};
    if (plan.displayMinutes > 0)
        o.insert(QStringLiteral("minutes"), plan.displayMinutes);
    return jsonAnswer(202, o);
}

QString AlertDesk::historyPath() const
{
    return AppHome::filePath(QStringLiteral("cap-history.json"));
}

void AlertDesk::remember(const CapRecord &record)
{
    m_capRecords.insert(record.key, record);
    m_capOrder << record.key;
    while (m_capOrder.size() > kCapRecordsKept)
        m_capRecords.remove(m_capOrder.takeFirst());
    QJsonArray list;
    for (const QString &k : m_capOrder) {
        const CapRecord &r = m_capRecords[k];
        QJsonArray targets;
        for (quint32 t : r.targets)
            targets.append(ipToText(t));
        list.append(QJsonObject{{QStringLiteral("key"), r.key},
                                {QStringLiteral("alert"), r.alertId},
                                {QStringLiteral("targets"), targets},
                                {QStringLiteral("slot"), r.slot}});
    }
    QSaveFile f(historyPath());
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(list).toJson(QJsonDocument::Compact)) < 0 || !f.commit())
        m_log(QStringLiteral("%1: cannot be written (%2); a repeated CAP alert may be shown again after a restart")
                  .arg(historyPath(), f.errorString()));
}

void AlertDesk::loadHistory()
{
    const FileReadResult file = readRegularFile(historyPath(), 8 * 1024 * 1024);
    if (!file.ok())
        return;
    for (const QJsonValue &v : QJsonDocument::fromJson(file.data).array()) {
        const QJsonObject o = v.toObject();
        CapRecord r;
        r.key = o.value(QStringLiteral("key")).toString();
        r.alertId = o.value(QStringLiteral("alert")).toString();
        r.slot = o.value(QStringLiteral("slot")).toInt();
        for (const QJsonValue &t : o.value(QStringLiteral("targets")).toArray()) {
            quint32 ip = 0;
            if (parseIpv4(t.toString(), &ip))
                r.targets << ip;
        }
        if (r.key.isEmpty() || m_capRecords.contains(r.key))
            continue;
        m_capRecords.insert(r.key, r);
        m_capOrder << r.key;
    }
}

} // namespace glintcaster::server
