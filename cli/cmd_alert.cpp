// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// alert: one message stored and switched on at many projectors at once; log: the activity log.
#include "cli/cli_common.h"

#include "app/activity_log.h"
#include "app/alert_operation.h"
#include "app/message_templates.h"
#include "app/send_lock.h"
#include "base/file_read.h"
#include "base/message_table.h"
#include "cli/cli_report.h"

#include <QJsonObject>

namespace glintcaster::cli {

namespace {

struct AlertArgs {
    CommonOptions common;
    TargetOptions target;
    std::string file;
    std::string title;
    std::string text;
    bool textGiven = false;
    std::string templ;
    std::string slot = "quick";
    std::string startup;
    bool noDisplay = false;
    bool powerOn = false;
    std::string since;
    std::string logTarget;
};
AlertArgs g_aa;

/// The alert's message: the file, or the title and text poured into the template.
bool readMessage(Prompter &prompter, CurrentMessage *out)
{
    if (!g_aa.file.empty()) {
        const QString path = QString::fromStdString(g_aa.file);
        if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
            printErr(QStringLiteral("%1: %2").arg(path, problem));
            return false;
        }
        // With the alarm: each projector is sent what it can take.
        return readMessageForSend(path, TargetCapabilities::fixed(true, true, true), prompter, out);
    }
    // "\n" typed on a command line stands for a line break.
    QString body = QString::fromStdString(g_aa.text);
    body.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    const QString name = g_aa.templ.empty() ? MessageTemplates::defaultName() : QString::fromStdString(g_aa.templ);
    QString error;
    if (!MessageTemplates::pour(MessageTemplates::pathOf(MessageTemplates::folder(), name),
                                QString::fromStdString(g_aa.title), body, out, &error)) {
        printErr(error);
        return false;
    }
    return true;
}

int exitOf(const AlertSummary &s)
{
    if (s.communication > 0)
        return ExitCommunication;
    if (s.succeeded < s.total)
        return ExitRefused;
    return ExitOk;
}

int alertCommand()
{
    if (!applyCommon(g_aa.common))
        return ExitUsage;
    const int slot = parseSlot(g_aa.slot);
    if (slot < 0) {
        printErr(QStringLiteral("--slot must be quick or 1..12"));
        return ExitUsage;
    }
    if (g_aa.file.empty() == !g_aa.textGiven) {
        printErr(QStringLiteral("give a message FILE or --text (with --title and --template), not both"));
        return ExitUsage;
    }
    if (!g_aa.textGiven && (!g_aa.title.empty() || !g_aa.templ.empty())) {
        printErr(QStringLiteral("--title and --template go with --text"));
        return ExitUsage;
    }
    const bool withStartup = !g_aa.startup.empty();
    if (withStartup && slot == 0) {
        printErr(QStringLiteral("--startup needs --slot 1..12"));
        return ExitUsage;
    }
    const int minutes = withStartup ? StartupSetting::parseMinutes(QString::fromStdString(g_aa.startup)) : -1;
    if (withStartup && minutes < 0) {
        printErr(msg(1014));
        return ExitUsage;
    }
    std::vector<Target> targets;
    if (!resolveTargets(g_aa.target, &targets))
        return ExitUsage;
    CliPrompter prompter(QString(), CliPrompter::modeFor(g_aa.common.yes));
    if (refuseWhenLocked(SendLockProfile().lockFlag(), prompter))
        return ExitRefused;

    AlertRequest request;
    if (!readMessage(prompter, &request.message))
        return ExitRefused;
    for (const Target &t : targets)
        request.targets.append({t.endpoint, {}});
    {
        // Registered names for the report and the log.
        ProjectorStore store = ProjectorStore::inAppHome();
        store.LoadRegisteredProjectors();
        for (AlertTarget &t : request.targets)
            if (const int r = store.indexOfIp(t.endpoint.address); r >= 0)
                t.name = store.projector(r).ProjectorName;
    }
    request.slot = slot;
    request.displayOn = !g_aa.noDisplay;
    request.powerOn = g_aa.powerOn;
    request.startupMinutes = minutes;
    request.origin = QStringLiteral("cli");

    AlertOperation alert;
    Reporter &reporter = Reporter::instance();
    const bool progress = reporter.verbose() || reporter.terminal();
    QObject::connect(&alert, &AlertOperation::targetChanged, &alert, [&](int i) {
        const AlertTargetState st = alert.state(i);
        const QString who = ipToText(alert.request().targets.at(i).endpoint.address);
        if (st.done() && st.result != AlertResult::Succeeded)
            reporter.event(who, oneLine(st.text));
        else if (progress)
            reporter.event(who, alertPhaseText(st.phase));
    });
    if (!alert.run(request, prompter))
        return ExitRefused;
    alert.waitForFinished();

    for (int i = 0; i < alert.targetCount(); ++i) {
        const AlertTargetState st = alert.state(i);
        const AlertTarget &t = alert.request().targets.at(i);
        const int exit = st.result == AlertResult::Succeeded ? ExitOk
                         : st.result == AlertResult::Communication ? ExitCommunication
                                                                   : ExitRefused;
        if (g_aa.common.json) {
            QJsonObject o{{QStringLiteral("target"), ipToText(t.endpoint.address)},
                          {QStringLiteral("ok"), exit == ExitOk},
                          {QStringLiteral("exit"), exit},
                          {QStringLiteral("phase"), alertPhaseText(st.phase)},
                          {QStringLiteral("result"), alertResultKey(st.result)},
                          {QStringLiteral("text"), st.text},
                          {QStringLiteral("alert"), alert.id()},
                          {QStringLiteral("slot"), slot}};
            if (!t.name.isEmpty())
                o.insert(QStringLiteral("name"), t.name);
            if (st.code != 0)
                o.insert(QStringLiteral("code"), st.code);
            printJson(o);
        } else {
            printOut(QStringLiteral("%1: %2").arg(ipToText(t.endpoint.address), oneLine(st.text)));
        }
    }
    const AlertSummary s = alert.summary();
    printErr(s.text());
    return exitOf(s);
}

/// "2026-12-08T10:15:00Z", "2026-12-08T10:15:00", "2026-12-08" (local time without a zone).
bool parseSince(const QString &text, QDateTime *out)
{
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid()) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid())
            t = d.startOfDay();
    }
    *out = t;
    return t.isValid();
}

int logCommand()
{
    if (!applyCommon(g_aa.common))
        return ExitUsage;
    QDateTime since;
    if (!g_aa.since.empty() && !parseSince(QString::fromStdString(g_aa.since), &since)) {
        printErr(QStringLiteral("--since takes a time such as 2026-12-08T10:15:00Z or 2026-12-08"));
        return ExitUsage;
    }
    quint32 target = 0;
    if (!g_aa.logTarget.empty() && (!parseIpv4(QString::fromStdString(g_aa.logTarget), &target) || target == 0)) {
        printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(QString::fromStdString(g_aa.logTarget)));
        return ExitUsage;
    }
    int skipped = 0;
    for (const ActivityRecord &r : ActivityLog::inAppHome().read(since, target, &skipped)) {
        if (g_aa.common.json) {
            printJson(r.toJson());
            continue;
        }
        QStringList cells{r.time.toUTC().toString(Qt::ISODateWithMs), r.origin, r.user, r.operation,
                          r.target ? ipToText(r.target) : QStringLiteral("-"),
                          r.targetName.isEmpty() ? QStringLiteral("-") : r.targetName,
                          r.slot >= 0 ? QString::number(r.slot) : QStringLiteral("-"),
                          oneLine(r.result)};
        if (!r.alertId.isEmpty())
            cells << r.alertId;
        printOut(cells.join(u'\t'));
    }
    if (skipped > 0)
        printErr(QStringLiteral("%1 line(s) of the log are no JSON object and were left out").arg(skipped));
    return ExitOk;
}

} // namespace

void addAlertCommands(CLI::App &app, std::function<int()> *action)
{
    auto *alert = app.add_subcommand("alert", "Store one message and switch it on at many projectors at once");
    alert->add_option("file", g_aa.file, ".glc or .txt message file (or --text)");
    alert->add_option("--title", g_aa.title, "Title of a quick message");
    alert->add_option("--text", g_aa.text, "Body of a quick message (\\n for a line break)")
        ->each([](const std::string &) { g_aa.textGiven = true; });
    alert->add_option("--template", g_aa.templ, "Template of a quick message: urgent, notice (default), banner or your own");
    alert->add_option("--slot", g_aa.slot, "quick (default) or 1..12");
    alert->add_flag("--no-display", g_aa.noDisplay, "Store only; do not switch the message on");
    alert->add_flag("--power-on", g_aa.powerOn, "Power the projector on when switching the message on");
    alert->add_option("--startup", g_aa.startup, "Also make the slot the startup display: repeat or 1..127 minutes");
    addTargetOptions(alert, g_aa.target);
    addCommonOptions(alert, g_aa.common);
    alert->callback([action] { *action = alertCommand; });

    auto *log = app.add_subcommand("log", "Print the activity log (Activity.log)");
    log->add_option("--since", g_aa.since, "Only from this time on (ISO 8601; a date alone is its midnight, local time)");
    log->add_option("--target", g_aa.logTarget, "Only this projector's address");
    addCommonOptions(log, g_aa.common);
    log->callback([action] { *action = logCommand; });
}

} // namespace glintcaster::cli
