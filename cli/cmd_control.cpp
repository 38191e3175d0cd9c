// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// display, clear, mute, status, caps and startup: the Main tab's controls on the console.
#include "cli/cli_common.h"

#include "cli/cli_report.h"

#include "app/projector_rules.h"
#include "base/message_table.h"
#include "comm/command_exchange.h"
#include "comm/job_runner.h"

#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

/// What every control command takes: the targets and the common options.
struct ControlOptions {
    CommonOptions common;
    TargetOptions target;
};

struct DisplayOptions : ControlOptions {
    std::string state; ///< on or off
    std::string slot = "quick";
    bool powerOn = false;
};

struct ClearOptions : ControlOptions {
    std::string range = "all";
};

struct StartupCommandOptions : ControlOptions {
    bool set = false;
    std::string slot = "quick";
    std::string minutes;
    bool disable = false;
    // Given without --set, --slot, --minutes and --disable are a usage error.
    bool slotGiven = false;
    bool minutesGiven = false;
};

using ControlBody = std::function<TargetResult(const Target &, ProjectorOperations &)>;

int runControl(const ControlOptions &opts, const ControlBody &body)
{
    if (!applyCommon(opts.common))
        return ExitUsage;
    std::vector<Target> targets;
    if (!resolveTargets(opts.target, &targets))
        return ExitUsage;
    return runForTargets(targets, opts.common,
                         [&body](const Target &t, Prompter &prompter, const JobRunFn &run) {
                             ProjectorOperations ops(prompter, run);
                             return body(t, ops);
                         });
}

/// Adds the target and common options after the command's own and makes `run` its action.
template <typename Options>
void finishControl(CLI::App *cmd, std::function<int()> *action, std::shared_ptr<Options> opts,
                   int (*run)(const Options &))
{
    addTargetOptions(cmd, opts->target);
    addCommonOptions(cmd, opts->common);
    setAction(cmd, action, opts, run);
}

/// The range for --slot: all, quick, saved (every saved number) or 1..12.
std::optional<ClearRange> clearRange(const std::string &text)
{
    const QString s = QString::fromStdString(text).trimmed().toLower();
    if (s == QLatin1String("all"))
        return ClearRange::all();
    if (s == QLatin1String("quick"))
        return ClearRange::quick();
    if (s == QLatin1String("saved"))
        return ClearRange::allSaved();
    return ClearRange::saved(parseSlot(text)); // digits only, as every --slot
}

/// The result of a target that did not answer the capability query at all.
TargetResult unreachable(const Target &t)
{
    TargetResult r;
    r.exit = ExitCommunication;
    r.data.insert(QStringLiteral("code"), int(ConnectFailed));
    const QString why = msg(1109) + QStringLiteral("\n : ") + JobRunner::failureDetail(ConnectFailed);
    r.data.insert(QStringLiteral("text"), why);
    Reporter::instance().event(t.text, why);
    return r;
}

QJsonObject startupJson(const StartupSetting &s)
{
    return {{QStringLiteral("enabled"), s.enabled},
            {QStringLiteral("slot"), s.slot},
            {QStringLiteral("minutes"), s.minutes}};
}

QString startupText(const StartupSetting &s)
{
    if (!s.enabled)
        return QStringLiteral("startup display: %1").arg(msg(1085));
    return QStringLiteral("startup display: slot %1, %2")
        .arg(s.slot == 0 ? msg(1084) : QString::number(s.slot),
             s.minutes == 0 ? msg(1083) : QStringLiteral("%1 min").arg(s.minutes));
}

int displayCommand(const DisplayOptions &o)
{
    const std::optional<int> slot = slotOption(o.slot);
    if (!slot)
        return ExitUsage;
    const bool on = o.state == "on";
    return runControl(o, [&](const Target &t, ProjectorOperations &ops) {
        return finish(ops, ops.display(t.endpoint, *slot, on, on && o.powerOn));
    });
}

int clearCommand(const ClearOptions &o)
{
    const std::optional<ClearRange> range = clearRange(o.range);
    if (!range) {
        printErr(QStringLiteral("--slot must be all, quick, saved or %1").arg(savedSlotRange()));
        return ExitUsage;
    }
    return runControl(o, [&](const Target &t, ProjectorOperations &ops) {
        return finish(ops, ops.clear(t.endpoint, *range));
    });
}

int muteCommand(const ControlOptions &o)
{
    return runControl(o, [](const Target &t, ProjectorOperations &ops) {
        return finish(ops, ops.mute(t.endpoint));
    });
}

TargetResult readStatus(const Target &t, ProjectorOperations &ops)
{
    TargetResult r;
    const bool ok = ops.statusCheck(t.endpoint);
    const quint16 v = ops.lastStatus();
    if (v != 0) {
        const QString c = v < 0x80 && v >= 0x20 ? QString(QChar(v)) : QString::number(v);
        r.data.insert(QStringLiteral("status"), c);
        r.data.insert(QStringLiteral("meaning"), statusMeaning(v));
        r.lines << QStringLiteral("status: %1 (%2)").arg(c, statusMeaning(v));
    }
    return finish(ops, ok, r);
}

int statusCommand(const ControlOptions &o)
{
    return runControl(o, readStatus);
}

TargetResult readCapabilities(const Target &t, ProjectorOperations &ops)
{
    TargetResult r;
    CapabilityReport rep;
    TargetCapabilities caps;
    if (!ops.refreshCapabilities(t.endpoint, &caps, &rep))
        return finish(ops, false, r);
    if (!rep.reachable)
        return unreachable(t);
    const bool picture = caps.PictureSideCapable();
    const bool alarm = caps.AlarmCapable();
    const bool extended = caps.ExtendedCharset();
    r.data.insert(QStringLiteral("level"), rep.level);
    r.data.insert(QStringLiteral("flags"), rep.flags);
    r.data.insert(QStringLiteral("pictureSide"), picture);
    r.data.insert(QStringLiteral("alarm"), alarm);
    r.data.insert(QStringLiteral("extendedCharset"), extended);
    r.lines << QStringLiteral("firmware level: %1").arg(rep.level)
            << QStringLiteral("capability flags: 0x%1").arg(rep.flags, 4, 16, QLatin1Char('0'))
            << QStringLiteral("picture side: %1").arg(picture ? "yes" : "no")
            << QStringLiteral("alarm: %1").arg(alarm ? "yes" : "no")
            << QStringLiteral("extended character set: %1").arg(extended ? "yes" : "no");
    if (const auto s = rep.startup()) {
        r.data.insert(QStringLiteral("startup"), startupJson(*s));
        r.lines << startupText(*s);
    }
    return finish(ops, true, r);
}

int capsCommand(const ControlOptions &o)
{
    return runControl(o, readCapabilities);
}

TargetResult readStartup(const Target &t, ProjectorOperations &ops)
{
    TargetResult r;
    CapabilityReport rep;
    if (!ops.capabilityQuery(t.endpoint, &rep))
        return finish(ops, false, r);
    const std::optional<StartupSetting> s = rep.startup();
    if (!s) {
        if (!rep.reachable)
            return unreachable(t);
        r.exit = ExitRefused;
        const QString why = QStringLiteral("the startup display cannot be read");
        r.data.insert(QStringLiteral("text"), why);
        Reporter::instance().event(t.text, why);
        return r;
    }
    r.data.insert(QStringLiteral("startup"), startupJson(*s));
    r.lines << startupText(*s);
    return finish(ops, true, r);
}

int setStartup(const StartupCommandOptions &o)
{
    StartupSetting s;
    s.enabled = !o.disable;
    const int minutes = StartupSetting::parseMinutes(QString::fromStdString(o.minutes), true);
    if (minutes < 0) {
        printErr(QStringLiteral("--minutes: ") + msg(1014));
        return ExitUsage;
    }
    s.minutes = minutes;
    if (s.enabled) {
        const std::optional<int> slot = slotOption(o.slot, SlotChoice::SavedOnly);
        if (!slot)
            return ExitUsage;
        s.slot = *slot;
    } else {
        s.slot = 1;
    }
    return runControl(o, [s](const Target &t, ProjectorOperations &ops) {
        const bool set = ops.editStartup(t.endpoint, s);
        TargetResult r = finish(ops, set);
        // A setting the projector did not take is what was asked, not what it has.
        r.data.insert(set ? QStringLiteral("startup") : QStringLiteral("requested"), startupJson(s));
        return r;
    });
}

int startupCommand(const StartupCommandOptions &o)
{
    if (o.set)
        return setStartup(o);
    if (o.slotGiven || o.minutesGiven || o.disable) {
        printErr(QStringLiteral("--slot, --minutes and --disable set the startup display: add --set"));
        return ExitUsage;
    }
    return runControl(o, readStartup);
}

void addDisplayCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<DisplayOptions>();
    auto *cmd = app.add_subcommand("display", "Switch a stored message on or off");
    cmd->add_option("state", o->state, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    cmd->add_option("--slot", o->slot, slotHelp("quick or %1 (default quick)"));
    cmd->add_flag("--power-on", o->powerOn, "Power the projector on first (with 'on')");
    finishControl(cmd, action, o, displayCommand);
}

void addClearCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<ClearOptions>();
    auto *cmd = app.add_subcommand("clear", "Clear stored messages");
    cmd->add_option("--slot", o->range, slotHelp("all (default), quick, saved (every saved number) or %1"));
    finishControl(cmd, action, o, clearCommand);
}

void addMuteCommand(CLI::App &app, std::function<int()> *action)
{
    auto *cmd = app.add_subcommand("mute", "Silence the projector's alarm");
    finishControl(cmd, action, std::make_shared<ControlOptions>(), muteCommand);
}

void addStatusCommand(CLI::App &app, std::function<int()> *action)
{
    auto *cmd = app.add_subcommand("status", "Read the projector's status");
    finishControl(cmd, action, std::make_shared<ControlOptions>(), statusCommand);
}

void addCapsCommand(CLI::App &app, std::function<int()> *action)
{
    auto *cmd = app.add_subcommand("caps", "Read the projector's firmware level and capabilities");
    finishControl(cmd, action, std::make_shared<ControlOptions>(), capsCommand);
}

void addStartupCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<StartupCommandOptions>();
    auto *cmd = app.add_subcommand("startup", "Show or set the stored message a projector shows when it starts");
    cmd->add_flag("--set", o->set, "Set the startup display (else show it)");
    cmd->add_option("--slot", o->slot, slotHelp("%1 with --set"));
    cmd->add_option("--minutes", o->minutes, "repeat or 1.." + std::to_string(kStartupMaxMinutes) + " with --set (default repeat)");
    cmd->add_flag("--disable", o->disable, "With --set: no startup display");
    addTargetOptions(cmd, o->target);
    addCommonOptions(cmd, o->common);
    cmd->callback([action, o, cmd] {
        o->slotGiven = cmd->count("--slot") > 0;
        o->minutesGiven = cmd->count("--minutes") > 0;
        *action = [o] { return startupCommand(*o); };
    });
}

} // namespace

QString statusMeaning(quint16 value)
{
    switch (value) {
    case '0':
        return QStringLiteral("ready: takes messages and commands");
    case '1':
    case '2':
    case '3':
    case '4':
        return QStringLiteral("fatal error: the projector takes no message until it is serviced");
    case '5':
        return QStringLiteral("in normal operation");
    default:
        return QStringLiteral("unknown state");
    }
}

void addControlCommands(CLI::App &app, std::function<int()> *action)
{
    addDisplayCommand(app, action);
    addClearCommand(app, action);
    addMuteCommand(app, action);
    addStatusCommand(app, action);
    addCapsCommand(app, action);
    addStartupCommand(app, action);
}

} // namespace glintcaster::cli
