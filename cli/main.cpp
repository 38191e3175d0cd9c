// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include <CLI/CLI.hpp>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    CLI::App cli{"glintcaster-cli: send messages to network projectors"};
    cli.require_subcommand(0, 1);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        return cli.exit(e) == 0 ? 0 : 2;
    }
    return 0;
}
