// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// display, clear, mute, status, caps and startup: the Main tab's controls on the console.
#include "cli/cli_common.h"

#include "cli/cli_report.h"

#include "base/message_table.h"
#include "comm/command_exchange.h"
#include "comm/job_runner.h"

#include <QJsonObject>

namespace glintcaster::cli {

namespace {

struct ControlArgs {
    CommonOptions common;
    TargetOptions target;
    std::string onOff;
    std::string slot = "quick";
    bool powerOn = false;
    std::string clearRange = "all";
    std::string minutes;
    bool disable = false;
    bool set = false;
};

ControlArgs g_args;

int runControl(const std::function<TargetResult(const Target &, ProjectorOperations &)> &body)
{
    if (!applyCommon(g_args.common))
        return ExitUsage;
    std::vector<Target> targets;
    if (!resolveTargets(g_args.target, &targets))
        return ExitUsage;
    return runForTargets(targets, g_args.common,
                         [&body](const Target &t, Prompter &prompter, const JobRunFn &run) {
                             ProjectorOperations ops(prompter, run);
                             return body(t, ops);
                         });
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

namespace {

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

} // namespace

void addControlCommands(CLI::App &app, std::function<int()> *action)
{
    auto *display = app.add_subcommand("display", "Switch a stored message on or off");
    display->add_option("state", g_args.onOff, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    display->add_option("--slot", g_args.slot, "quick or 1..12 (default quick)");
    display->add_flag("--power-on", g_args.powerOn, "Power the projector on first (with 'on')");
    addTargetOptions(display, g_args.target);
    addCommonOptions(display, g_args.common);
    display->callback([action] {
        *action = [] {
            const int slot = parseSlot(g_args.slot);
            if (slot < 0) {
                printErr(QStringLiteral("--slot must be quick or 1..12"));
                return int(ExitUsage);
            }
            const bool on = g_args.onOff == "on";
            return runControl([&](const Target &t, ProjectorOperations &ops) {
                return finish(ops, ops.display(t.endpoint, slot, on, on && g_args.powerOn));
            });
        };
    });

    auto *clear = app.add_subcommand("clear", "Clear stored messages");
    clear->add_option("--slot", g_args.clearRange,
                      "all (default), quick, saved (every saved number) or 1..12");
    addTargetOptions(clear, g_args.target);
    addCommonOptions(clear, g_args.common);
    clear->callback([action] {
        *action = [] {
            const std::optional<ClearRange> range = clearRange(g_args.clearRange);
            if (!range) {
                printErr(QStringLiteral("--slot must be all, quick, saved or 1..12"));
                return int(ExitUsage);
            }
            return runControl([&](const Target &t, ProjectorOperations &ops) {
                return finish(ops, ops.clear(t.endpoint, *range));
            });
        };
    });

    auto *mute = app.add_subcommand("mute", "Silence the projector's alarm");
    addTargetOptions(mute, g_args.target);
    addCommonOptions(mute, g_args.common);
    mute->callback([action] {
        *action = [] {
            return runControl([](const Target &t, ProjectorOperations &ops) {
                return finish(ops, ops.mute(t.endpoint));
            });
        };
    });

    auto *status = app.add_subcommand("status", "Read the projector's status");
    addTargetOptions(status, g_args.target);
    addCommonOptions(status, g_args.common);
    status->callback([action] {
        *action = [] {
            return runControl([](const Target &t, ProjectorOperations &ops) {
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
            });
        };
    });

    auto *caps = app.add_subcommand("caps", "Read the projector's firmware level and capabilities");
    addTargetOptions(caps, g_args.target);
    addCommonOptions(caps, g_args.common);
    caps->callback([action] {
        *action = [] {
            return runControl([](const Target &t, ProjectorOperations &ops) {
                TargetResult r;
                CapabilityReport rep;
                TargetCapabilities caps;
                if (!ops.refreshCapabilities(t.endpoint, &caps, &rep))
                    return finish(ops, false, r);
                if (!rep.reachable) {
                    r.exit = ExitCommunication;
                    r.data.insert(QStringLiteral("code"), int(ConnectFailed));
                    r.data.insert(QStringLiteral("text"), msg(1109) + QStringLiteral("\n : ") +
                                                              JobRunner::failureDetail(12));
                    Reporter::instance().event(t.text, r.data.value(QStringLiteral("text")).toString());
                    return r;
                }
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
            });
        };
    });

    auto *startup = app.add_subcommand(
        "startup", "Show or set the stored message a projector shows when it starts");
    startup->add_flag("--set", g_args.set, "Set the startup display (else show it)");
    startup->add_option("--slot", g_args.slot, "1..12 with --set");
    startup->add_option("--minutes", g_args.minutes, "repeat or 1..127 with --set (default repeat)");
    startup->add_flag("--disable", g_args.disable, "With --set: no startup display");
    addTargetOptions(startup, g_args.target);
    addCommonOptions(startup, g_args.common);
    startup->callback([action, startup] {
        *action = [startup] {
            if (!g_args.set && (startup->count("--slot") || startup->count("--minutes") || g_args.disable)) {
                printErr(QStringLiteral("--slot, --minutes and --disable set the startup display: add --set"));
                return int(ExitUsage);
            }
            if (!g_args.set) {
                return runControl([](const Target &t, ProjectorOperations &ops) {
                    TargetResult r;
                    CapabilityReport rep;
                    if (!ops.capabilityQuery(t.endpoint, &rep))
                        return finish(ops, false, r);
                    const std::optional<StartupSetting> s = rep.startup();
                    if (!s) {
                        r.exit = rep.reachable ? ExitRefused : ExitCommunication;
                        if (!rep.reachable)
                            r.data.insert(QStringLiteral("code"), int(ConnectFailed));
                        const QString why = rep.reachable
                            ? QStringLiteral("the startup display cannot be read")
                            : msg(1109) + QStringLiteral("\n : ") + JobRunner::failureDetail(12);
                        r.data.insert(QStringLiteral("text"), why);
                        Reporter::instance().event(t.text, why);
                        return r;
                    }
                    r.data.insert(QStringLiteral("startup"), startupJson(*s));
                    r.lines << startupText(*s);
                    return finish(ops, true, r);
                });
            }
            StartupSetting s;
            s.enabled = !g_args.disable;
            const int minutes = StartupSetting::parseMinutes(QString::fromStdString(g_args.minutes), true);
            if (minutes < 0) {
                printErr(QStringLiteral("--minutes: ") + msg(1014));
                return int(ExitUsage);
            }
            s.minutes = minutes;
            const int slot = parseSlot(g_args.slot);
            if (s.enabled && (slot < 1 || slot > 12)) {
                printErr(QStringLiteral("--slot must be 1..12"));
                return int(ExitUsage);
            }
            s.slot = s.enabled ? slot : 1;
            return runControl([s](const Target &t, ProjectorOperations &ops) {
                const bool set = ops.editStartup(t.endpoint, s);
                TargetResult r = finish(ops, set);
                // A setting the projector did not take is what was asked, not what it has.
                r.data.insert(set ? QStringLiteral("startup") : QStringLiteral("requested"), startupJson(s));
                return r;
            });
        };
    });
}

} // namespace glintcaster::cli
