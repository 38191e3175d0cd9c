// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "cli/cli_common.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>

using namespace glintcaster::cli;

int main(int argc, char *argv[])
{
    QCoreApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("KESTORA"));
    QCoreApplication::setApplicationName(QStringLiteral("Glintcaster"));

    CLI::App app{"glintcaster-cli: put text messages on network projectors without a window.\n"
                 "Exit status: 0 success, 1 refused, 2 usage, 3 communication failure."};
    app.require_subcommand(1);
    std::function<int()> action;
    addMessageCommands(app, &action);
    addControlCommands(app, &action);
    addDiscoverCommand(app, &action);
    addProjectorsCommand(app, &action);
    addSoundCommand(app, &action);
    addPreviewCommand(app, &action);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        app.exit(e);
        return ExitUsage;
    }
    return action ? action() : int(ExitUsage);
}
