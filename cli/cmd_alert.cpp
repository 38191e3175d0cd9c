// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// alert: one message stored and switched on at many projectors at once; log: the activity log.
#include "cli/cli_common.h"

#include "app/projector_rules.h"
#include "app/activity_log.h"
#include "app/alert_operation.h"
#include "app/message_templates.h"
#include "app/send_lock.h"
#include "base/file_read.h"
#include "base/message_table.h"
#include "cli/cli_report.h"

#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

struct AlertOptions {
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
};

struct LogOptions {
    CommonOptions common;
    std::string since;
    std::string target;
};

/// The alert's message: the file, or the title and text poured into the template.
bool readMessage(const AlertOptions &o, Prompter &prompter, CurrentMessage *out)
{
    if (!o.file.empty()) {
        const QString path = QString::fromStdString(o.file);
        if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
            printErr(QStringLiteral("%1: %2").arg(path, problem));
            return false;
        }
        // With the alarm: each projector is sent what it can take.
        return readMessageForSend(path, TargetCapabilities::fixed(true, true, true), prompter, out);
    }
    // "\n" typed on a command line stands for a line break.
    QString body = QString::fromStdString(o.text);
    body.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    const QString name = o.templ.empty() ? MessageTemplates::defaultName() : QString::fromStdString(o.templ);
    QString error;
    if (!MessageTemplates::pour(MessageTemplates::pathOf(MessageTemplates::folder(), name),
                                QString::fromStdString(o.title), body, out, &error)) {
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

int alertCommand(const AlertOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const int slot = parseSlot(o.slot);
    if (slot < 0) {
        printErr(QStringLiteral("--slot must be quick or 1..12"));
        return ExitUsage;
    }
    if (o.file.empty() == !o.textGiven) {
        printErr(QStringLiteral("give a message FILE or --text (with --title and --template), not both"));
        return ExitUsage;
    }
    if (!o.textGiven && (!o.title.empty() || !o.templ.empty())) {
        printErr(QStringLiteral("--title and --template go with --text"));
        return ExitUsage;
    }
    const std::optional<int> startup = startupOption(o.startup, slot);
    if (!startup)
        return ExitUsage;
    const int minutes = *startup;
    std::vector<Target> targets;
    if (!resolveTargets(o.target, &targets))
        return ExitUsage;
    CliPrompter prompter(QString(), CliPrompter::modeFor(o.common.yes));
    if (refuseWhenLocked(SendLockProfile().lockFlag(), prompter))
        return ExitRefused;

    AlertRequest request;
    if (!readMessage(o, prompter, &request.message))
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
    request.displayOn = !o.noDisplay;
    request.powerOn = o.powerOn;
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
        if (o.common.json) {
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

int logCommand(const LogOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    QDateTime since;
    if (!o.since.empty() && !parseSince(QString::fromStdString(o.since), &since)) {
        printErr(QStringLiteral("--since takes a time such as 2026-12-08T10:15:00Z or 2026-12-08"));
        return ExitUsage;
    }
    quint32 target = 0;
    if (!o.target.empty() && (!parseIpv4(QString::fromStdString(o.target), &target) || target == 0)) {
        printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(QString::fromStdString(o.target)));
        return ExitUsage;
    }
    int skipped = 0;
    for (const ActivityRecord &r : ActivityLog::inAppHome().read(since, target, &skipped)) {
        if (o.common.json) {
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
    auto a = std::make_shared<AlertOptions>();
    alert->add_option("file", a->file, ".glc or .txt message file (or --text)");
    alert->add_option("--title", a->title, "Title of a quick message");
    alert->add_option("--text", a->text, "Body of a quick message (\\n for a line break)")
        ->each([a](const std::string &) { a->textGiven = true; });
    alert->add_option("--template", a->templ, "Template of a quick message: urgent, notice (default), banner or your own");
    alert->add_option("--slot", a->slot, "quick (default) or 1..12");
    alert->add_flag("--no-display", a->noDisplay, "Store only; do not switch the message on");
    alert->add_flag("--power-on", a->powerOn, "Power the projector on when switching the message on");
    alert->add_option("--startup", a->startup, "Also make the slot the startup display: repeat or 1.." + std::to_string(kStartupMaxMinutes) + " minutes");
    addTargetOptions(alert, a->target);
    addCommonOptions(alert, a->common);
    setAction(alert, action, a, alertCommand);

    auto *log = app.add_subcommand("log", "Print the activity log (Activity.log)");
    auto l = std::make_shared<LogOptions>();
    log->add_option("--since", l->since, "Only from this time on (ISO 8601; a date alone is its midnight, local time)");
    log->add_option("--target", l->target, "Only this projector's address");
    addCommonOptions(log, l->common);
    setAction(log, action, l, logCommand);
}

} // namespace glintcaster::cli
