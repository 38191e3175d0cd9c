// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/activity_log.h"
#include "cli/cli_common.h"
#include "cli/cli_report.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>
#include <QCoreApplication>
#include <QJsonObject>

using namespace glintcaster::cli;

int main(int argc, char *argv[])
{
    // Every target of a bulk send runs its jobs on event loops of its own threads; the plain
    // poll() dispatcher costs a fraction of the GLib one's memory per thread.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("KESTORA"));
    QCoreApplication::setApplicationName(QStringLiteral("Glintcaster"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GLINTCASTER_VERSION));
    glintcaster::ActivityLog::setProcessOrigin(QStringLiteral("cli"));

    CLI::App app{"glintcaster-cli: put text messages on network projectors without a window.\n"
                 "Exit status: 0 success, 1 refused, 2 usage, 3 communication failure."};
    app.set_version_flag("--version", std::string("glintcaster-cli ") + GLINTCASTER_VERSION);
    app.require_subcommand(1);
    std::function<int()> action;
    addMessageCommands(app, &action);
    addControlCommands(app, &action);
    addDiscoverCommand(app, &action);
    addProjectorsCommand(app, &action);
    addImportCommand(app, &action);
    addSoundCommand(app, &action);
    addPreviewCommand(app, &action);
    addGroupsCommand(app, &action);
    addAlertCommands(app, &action);

    // With --json a failure that no command reported as an object (a usage error, a file
    // refused before any target ran) still gives one: its exit status and its reason.
    const bool json = std::any_of(argv + 1, argv + argc, [](const char *a) { return std::strcmp(a, "--json") == 0; });
    auto finish = [json](int code) {
        if (json && code != ExitOk && !printedOut()) {
            const QString why = Reporter::instance().lastEvent();
            printJson({{QStringLiteral("ok"), false},
                       {QStringLiteral("exit"), code},
                       {QStringLiteral("text"), why.isEmpty() ? QStringLiteral("Refused.") : why}});
        }
        return code;
    };

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        // One line, like every other message of the program; a word that is no command is
        // named rather than reported as a missing one.
        QString text = QString::fromStdString(e.what()).simplified();
        if (argc > 1 && argv[1][0] != '-') {
            const auto commands = app.get_subcommands([](const CLI::App *) { return true; });
            const bool known = std::any_of(commands.begin(), commands.end(),
                                           [&](const CLI::App *c) { return c->check_name(argv[1]); });
            if (!known)
                text = QStringLiteral("\"%1\" is not a command").arg(QString::fromLocal8Bit(argv[1]));
        }
        printErr(text + QStringLiteral(" (see --help)"));
        return finish(ExitUsage);
    }
    return finish(action ? action() : int(ExitUsage));
}
