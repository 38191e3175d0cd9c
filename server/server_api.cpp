// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_api.h"

#include "app/projector_store.h"
#include "base/app_home.h"
#include "app/projector_groups.h"
#include "server/activity_reader.h"
#include "server/alert_desk.h"
#include "server/cap_plan.h"
#include "server/cap_reader.h"
#include "server/fleet_actions.h"
#include "server/server_activity.h"

#include "app/projector_operations.h"
#include "app/projector_rules.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include <future>

namespace glintcaster::server {

ServerApi::ServerApi(const ServerConfig &config, LogLine log, QObject *parent)
    : QObject(parent), m_config(config), m_log(std::move(log)),
      m_desk(std::make_unique<AlertDesk>(m_config, m_log, this))
{
}

ServerApi::~ServerApi() = default;

void ServerApi::closing()
{
    m_closing = true;
}

HttpAnswer ServerApi::onMainThread(const std::function<HttpAnswer()> &fn)
{
    if (QThread::currentThread() == thread())
        return fn();
    // Pending, running or abandoned: a call given up while the service stops must never
    // run later, as what it refers to lives on this thread's stack.
    enum : int { Pending, Running, Abandoned };
    struct Call {
        std::atomic<int> state{Pending};
        std::promise<HttpAnswer> promise;
    };
    auto call = std::make_shared<Call>();
    std::future<HttpAnswer> future = call->promise.get_future();
    QMetaObject::invokeMethod(this, [call, &fn] {
        int expected = Pending;
        if (call->state.compare_exchange_strong(expected, Running))
            call->promise.set_value(fn());
    }, Qt::QueuedConnection);
    while (future.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
        int expected = Pending;
        if (m_closing && call->state.compare_exchange_strong(expected, Abandoned))
            return errorAnswer(503, QStringLiteral("stopping"), QStringLiteral("the service is stopping"));
    }
    return future.get();
}

void ServerApi::install(HttpService &http)
{
    using namespace std::placeholders;
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/health"), [this](const HttpRequest &r) { return health(r); });
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/projectors"), [this](const HttpRequest &r) { return projectors(r); });
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/openapi.json"), [this](const HttpRequest &r) { return openApi(r); });
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/display"), displayEndpoint);
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/clear"), clearEndpoint);
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/activity"), activityEndpoint);
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/groups"), [this](const HttpRequest &r) { return groups(r); });
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/alerts"), [this](const HttpRequest &r) { return alerts(r); });
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/alerts/([A-Za-z0-9-]+)"), [this](const HttpRequest &r) {
        const QString id = r.pathMatches.value(0);
        return onMainThread([this, id] { return m_desk->alertState(id); });
    });
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/alerts/([A-Za-z0-9-]+)/cancel"), [this](const HttpRequest &r) {
        const QString id = r.pathMatches.value(0);
        return onMainThread([this, id] { return m_desk->cancelAlert(id); });
    });
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/cap"), [this](const HttpRequest &r) { return cap(r); });
}

HttpAnswer ServerApi::health(const HttpRequest &)
{
    return jsonAnswer(200, {{QStringLiteral("status"), QStringLiteral("ok")},
                            {QStringLiteral("version"), QStringLiteral(GLINTCASTER_VERSION)}});
}

HttpAnswer ServerApi::projectors(const HttpRequest &)
{
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty())
        return errorAnswer(503, QStringLiteral("store_unreadable"), store.problemText());
    QJsonArray list;
    for (int i = 0; i < store.projectors().size(); ++i) {
        if (store.isPlaceholder(i))
            continue;
        const ProjectorEntry &e = store.projectors().at(i);
        // The password never leaves the home; whether there is one is all a client learns.
        list.append(QJsonObject{{QStringLiteral("name"), e.ProjectorName},
                                {QStringLiteral("address"), ipToText(e.IP)},
                                {QStringLiteral("mac"), e.MAC},
                                {QStringLiteral("authentication"), e.hasPassword}});
    }
    return jsonAnswer(200, {{QStringLiteral("projectors"), list}});
}

HttpAnswer ServerApi::groups(const HttpRequest &)
{
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!store.loadProblem().isEmpty())
        return errorAnswer(503, QStringLiteral("store_unreadable"), store.problemText());
    if (!groups.load())
        return errorAnswer(503, QStringLiteral("store_unreadable"), groups.problemText());
    QJsonArray list;
    for (const QString &name : groups.names()) {
        QList<ProjectorEntry> members;
        QList<quint32> unregistered;
        groups.resolve(name, store, &members, nullptr, &unregistered);
        QJsonArray m;
        for (const ProjectorEntry &e : members)
            m.append(QJsonObject{{QStringLiteral("address"), ipToText(e.IP)}, {QStringLiteral("name"), e.ProjectorName}});
        list.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("members"), m}});
    }
    return jsonAnswer(200, {{QStringLiteral("groups"), list}});
}

HttpAnswer ServerApi::alerts(const HttpRequest &r)
{
    RequestError bad;
    const auto request = readAlertPostRequest(r.body, &bad);
    if (!request)
        return errorAnswer(400, bad.error, bad.text);
    return onMainThread([this, req = *request] { return m_desk->startAlert(req); });
}

HttpAnswer ServerApi::cap(const HttpRequest &r)
{
    static const QStringList kTypes = {QStringLiteral("application/cap+xml"), QStringLiteral("application/xml"),
                                       QStringLiteral("text/xml")};
    if (!kTypes.contains(r.contentType))
        return errorAnswer(415, QStringLiteral("unsupported_media_type"),
                           QStringLiteral("a CAP alert is sent as application/cap+xml or application/xml"));
    const CapReadResult read = readCapAlert(r.body);
    if (!read.ok) {
        m_log(QStringLiteral("CAP from %1 refused: %2").arg(r.remote, read.text));
        const int status = read.error == u"malformed_xml" || read.error == u"dtd_refused" ? 400 : 422;
        return errorAnswer(status, read.error, read.text);
    }
    const CapPlan plan = planCapAlert(read.alert, m_config, QDateTime::currentDateTimeUtc());
    QList<quint32> cancelTargets;
    int cancelSlot = 0;
    HttpAnswer answer = onMainThread([&] { return m_desk->applyCap(read.alert, plan, &cancelTargets, &cancelSlot); });
    if (answer.status != 0)
        return answer;
    // A Cancel: the earlier message switched off and its slot cleared, here on this thread.
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    QList<ProjectorEntry> targets;
    for (quint32 ip : cancelTargets)
        if (const int i = store.indexOfIp(ip); i >= 0)
            targets << store.projector(i);
    const QString identifier = read.alert.identifier;
    const ClearRange range = cancelSlot == 0 ? ClearRange::quick() : *ClearRange::saved(cancelSlot);
    return runOnTargets(targets, QStringLiteral("cancel"), [&](const ProjectorEntry &e, int *code, QString *text) {
        const bool ok = runOperation(e, code, text, [&](ProjectorOperations &ops, const ProjectorEndpoint &t) {
            return ops.display(t, cancelSlot, false, false) && ops.clear(t, range);
        }, {clearQuestion()});
        logActivity(QStringLiteral("cap cancel"), e, cancelSlot, ok, *code, *text, {}, {}, identifier);
        return ok;
    });
}

HttpAnswer ServerApi::openApi(const HttpRequest &)
{
    QFile f(QStringLiteral(":/glintcaster/server/openapi.json"));
    if (!f.open(QIODevice::ReadOnly))
        return errorAnswer(500, QStringLiteral("internal"), QStringLiteral("the API description is missing from this build"));
    return {200, f.readAll(), "application/json"};
}

} // namespace glintcaster::server
