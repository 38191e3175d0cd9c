// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/cap_plan.h"
#include "server/quoted_text.h"

#include "app/projector_rules.h"

#include <algorithm>

namespace glintcaster::server {

namespace {

QString primary(const QString &tag)
{
    return tag.section(u'-', 0, 0).toLower();
}

/// A reference "sender,identifier,sent" as CapAlert::key() writes it.
QString referenceKey(const QString &reference)
{
    const QStringList parts = reference.split(u',');
    if (parts.size() != 3)
        return {};
    return CapAlert::keyOf(parts.at(0), parts.at(1), parts.at(2));
}

QString cut(QString text, int max)
{
    if (text.size() > max)
        text = text.left(max - 3) + QStringLiteral("...");
    return text;
}

/// Line breaks of the alert become the message's paragraph breaks; other whitespace runs
/// stay as they are written.
QString normaliseBody(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\t', u' ');
    return text.trimmed();
}

} // namespace

int chooseInfo(const QList<CapInfo> &infos, const QString &language)
{
    if (infos.isEmpty())
        return -1;
    auto languageOf = [](const CapInfo &i) {
        return i.language.isEmpty() ? QStringLiteral("en-US") : i.language;
    };
    for (int i = 0; i < infos.size(); ++i) {
        if (languageOf(infos.at(i)).compare(language, Qt::CaseInsensitive) == 0)
            return i;
    }
    const QString family = primary(language);
    for (int i = 0; i < infos.size(); ++i) {
        if (primary(languageOf(infos.at(i))) == family)
            return i;
    }
    return 0;
}

int minutesUntil(const QDateTime &now, const QDateTime &expires)
{
    const qint64 seconds = now.secsTo(expires);
    if (seconds <= 0)
        return 0;
    const qint64 minutes = (seconds + 59) / 60;
    return int(std::clamp<qint64>(minutes, 1, kStartupMaxMinutes));
}

CapPlan planCapAlert(const CapAlert &alert, const ServerConfig &config, const QDateTime &now)
{
    CapPlan plan;
    plan.slot = config.defaultSlot;
    for (const QString &r : alert.references) {
        const QString key = referenceKey(r);
        if (!key.isEmpty())
            plan.references << key;
    }
    auto acknowledge = [&](const QString &why) {
        plan.action = CapAction::Acknowledge;
        plan.reason = why;
        return plan;
    };
    auto refuse = [&](const QString &error, const QString &why) {
        plan.action = CapAction::Refuse;
        plan.error = error;
        plan.reason = why;
        return plan;
    };

    const QString status = alert.status.toLower();
    const bool test = status == u"test" || status == u"exercise";
    if (status == u"draft" || status == u"system")
        return acknowledge(QStringLiteral("status %1: nothing is shown").arg(quotedText(alert.status)));
    if (test && !config.allowTests)
        return refuse(QStringLiteral("test_not_allowed"),
                      QStringLiteral("status %1: tests and exercises are not allowed by the configuration")
                          .arg(quotedText(alert.status)));
    if (!test && status != u"actual")
        return refuse(QStringLiteral("invalid_cap"),
                      QStringLiteral("status \"%1\" is not one of Actual, Exercise, System, Test, Draft")
                          .arg(quotedText(alert.status)));

    const QString type = alert.msgType.toLower();
    if (type == u"ack" || type == u"error")
        return acknowledge(QStringLiteral("msgType %1: nothing is shown").arg(quotedText(alert.msgType)));
    if (type == u"cancel") {
        if (plan.references.isEmpty())
            return refuse(QStringLiteral("invalid_cap"),
                          QStringLiteral("a Cancel names the alerts it cancels in <references>"));
        plan.action = CapAction::Cancel;
        return plan;
    }
    if (type == u"update") {
        if (plan.references.isEmpty())
            return refuse(QStringLiteral("invalid_cap"),
                          QStringLiteral("an Update names the alerts it replaces in <references>"));
        plan.update = true;
    } else if (type != u"alert") {
        return refuse(QStringLiteral("invalid_cap"),
                      QStringLiteral("msgType \"%1\" is not one of Alert, Update, Cancel, Ack, Error")
                          .arg(quotedText(alert.msgType)));
    }

    const int index = chooseInfo(alert.infos, config.capLanguage);
    if (index < 0)
        return refuse(QStringLiteral("invalid_cap"), QStringLiteral("the alert has no <info> to show"));
    const CapInfo &info = alert.infos.at(index);
    plan.language = info.language.isEmpty() ? QStringLiteral("en-US") : info.language;
    plan.severity = info.severity.isEmpty() ? QStringLiteral("Unknown") : info.severity;
    QString title = info.headline.isEmpty() ? info.event : info.headline;
    title = title.simplified();
    if (title.isEmpty())
        return refuse(QStringLiteral("invalid_cap"), QStringLiteral("the <info> has neither <headline> nor <event>"));
    if (test)
        title = QStringLiteral("TEST ") + title;
    plan.title = cut(title, kCapTitleMax);
    QStringList parts;
    for (const QString &p : {info.description, info.instruction}) {
        const QString t = normaliseBody(p);
        if (!t.isEmpty())
            parts << t;
    }
    plan.text = cut(parts.join(u'\n'), kCapBodyMax);
    if (plan.text.isEmpty())
        plan.text = plan.title;
    plan.templateName = config.templateFor(plan.severity);

    if (info.expires.isValid()) {
        plan.displayMinutes = minutesUntil(now, info.expires);
        if (plan.displayMinutes == 0)
            return acknowledge(QStringLiteral("expired at %1: not shown")
                                   .arg(info.expires.toUTC().toString(Qt::ISODate)));
    }

    for (const QString &area : info.areaDescs) {
        for (const QString &g : config.areaGroups.value(area))
            if (!plan.groups.contains(g))
                plan.groups << g;
    }
    for (const auto &[valueName, value] : info.geocodes) {
        for (const QString &key : {valueName + u':' + value, value}) {
            for (const QString &g : config.areaGroups.value(key))
                if (!plan.groups.contains(g))
                    plan.groups << g;
        }
    }
    if (plan.groups.isEmpty())
        plan.groups << config.defaultGroup;
    plan.action = CapAction::Show;
    return plan;
}

} // namespace glintcaster::server
