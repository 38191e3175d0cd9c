// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// projectors list|add|remove|password: the registered list with the Discovery tab's rules.
#include "cli/cli_common.h"

#include "cli/cli_report.h"
#include "base/message_table.h"
#include "app/entry_checks.h"
#include "app/pj_list_rules.h"
#include "app/projector_rules.h"
#include "base/printable_text.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

struct ProjectorArgs {
    CommonOptions common;
    std::string address;
    std::string name;
    std::string mac;
    PasswordOptions password;
    bool noAuth = false;
};
ProjectorArgs g_pa;

QJsonObject toJson(const ProjectorEntry &d)
{
    return {{QStringLiteral("name"), d.ProjectorName}, {QStringLiteral("address"), ipToText(d.IP)},
            {QStringLiteral("mac"), d.MAC}, {QStringLiteral("auth"), d.Auth}};
}

/// Loads the store; false (reason printed) when the file exists but cannot be read, so that
/// nothing is shown as an empty list and nothing is written over it.
bool loadStore(ProjectorStore &store)
{
    store.LoadRegisteredProjectors();
    if (store.loadProblem().isEmpty())
        return true;
    printErr(store.problemText());
    return false;
}

/// Exit status of a change the store did not make: the rules said why already (through the
/// prompter); a failed write, a lock not had or an entry removed meanwhile says it here.
int storeRefused(const ProjectorStore &store)
{
    if (!store.changeError().isEmpty())
        printErr(QStringLiteral("%1; the registered projectors are unchanged").arg(store.changeError()));
    return int(ExitRefused);
}

/// A password longer than the projector takes is a usage error; one the digest cannot tell
/// from others is stored, with a warning.
bool passwordFits(const QString &pass)
{
    if (pass.size() > kPasswordMaxLength) {
        printErr(QStringLiteral("A password has at most %1 characters.").arg(kPasswordMaxLength));
        return false;
    }
    if (passwordBeyondLatin1(pass))
        printErr(QStringLiteral("warning: ") + passwordBeyondLatin1Warning());
    return true;
}

/// Finds the registered row of --address; prints why not and returns -1 otherwise.
int rowOf(const ProjectorStore &store)
{
    quint32 ip = 0;
    if (!parseIpv4(QString::fromStdString(g_pa.address), &ip)) {
        printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(QString::fromStdString(g_pa.address)));
        return -1;
    }
    const int row = store.indexOfIp(ip);
    if (row < 0)
        printErr(QStringLiteral("%1 is not registered").arg(ipToText(ip)));
    return row;
}

} // namespace

void addProjectorsCommand(CLI::App &app, std::function<int()> *action)
{
    auto *cmd = app.add_subcommand("projectors", "The registered projector list (LastPj.txt)");
    cmd->require_subcommand(1);

    auto *list = cmd->add_subcommand("list", "List the registered projectors");
    addCommonOptions(list, g_pa.common);
    list->callback([action] {
        *action = [] {
            if (!applyCommon(g_pa.common))
                return int(ExitUsage);
            ProjectorStore store = ProjectorStore::inAppHome();
            if (!loadStore(store))
                return int(ExitRefused);
            for (int r = 0; r < store.projectors().size(); ++r) {
                if (store.isPlaceholder(r))
                    continue; // stands for a section the file lacks, not a projector
                const ProjectorEntry &d = store.projectors().at(r);
                if (g_pa.common.json)
                    printJson(toJson(d));
                else // names may come from discovery answers: no control characters
                    printOut(QStringLiteral("%1\t%2\t%3%4")
                                 .arg(ipToText(d.IP), printableText(d.ProjectorName), printableText(d.MAC),
                                      d.Auth ? QStringLiteral("\tpassword") : QString()));
            }
            return int(ExitOk);
        };
    });

    auto *add = cmd->add_subcommand("add", "Register a projector by hand");
    add->add_option("address", g_pa.address, "IPv4 address")->required();
    add->add_option("--name", g_pa.name, "Projector name");
    add->add_option("--mac", g_pa.mac, "MAC address (six fields separated by hyphens)");
    addPasswordOptions(add, g_pa.password, "Authentication password (at most 32 characters)");
    addCommonOptions(add, g_pa.common);
    add->callback([action] {
        *action = [] {
            if (!applyCommon(g_pa.common))
                return int(ExitUsage);
            auto prompter = std::make_unique<CliPrompter>(QString(), CliPrompter::modeFor(g_pa.common.yes));
            quint32 ip = 0;
            if (!parseIpv4(QString::fromStdString(g_pa.address), &ip) || ip == 0) {
                prompter->inform(msg(1012));
                return int(ExitRefused);
            }
            if (const QString problem = projectorAddressProblem(ip); !problem.isEmpty()) {
                printErr(problem);
                return int(ExitRefused);
            }
            const QString mac = g_pa.mac.empty() ? QStringLiteral("-----") : QString::fromStdString(g_pa.mac);
            if (const QString problem = macProblem(mac); !problem.isEmpty()) {
                printErr(problem);
                return int(ExitUsage);
            }
            QString pass;
            bool given = false;
            if (!readPassword(g_pa.password, &pass, &given, /*promptOnTerminal=*/false) || !passwordFits(pass))
                return int(ExitUsage);
            ProjectorEntry d;
            d.IP = ip;
            d.ProjectorName = QString::fromStdString(g_pa.name);
            d.MAC = mac;
            d.Auth = pass.isEmpty() ? 0 : 1;
            d.Pass = pass;
            ProjectorStore store = ProjectorStore::inAppHome();
            if (!loadStore(store))
                return int(ExitRefused);
            if (!store.addProjector(d, *prompter))
                return storeRefused(store);
            if (g_pa.common.json)
                printJson(toJson(d));
            return int(ExitOk);
        };
    });

    auto *remove = cmd->add_subcommand("remove", "Delete a registered projector");
    remove->add_option("address", g_pa.address, "IPv4 address")->required();
    addCommonOptions(remove, g_pa.common);
    remove->callback([action] {
        *action = [] {
            if (!applyCommon(g_pa.common))
                return int(ExitUsage);
            auto prompter = std::make_unique<CliPrompter>(QString(), CliPrompter::modeFor(g_pa.common.yes));
            ProjectorStore store = ProjectorStore::inAppHome();
            if (!loadStore(store))
                return int(ExitRefused);
            const int row = rowOf(store);
            if (row < 0)
                return int(ExitRefused);
            // A refusal after the question was told through the prompter.
            return deleteRegistered(store, row, *prompter) ? int(ExitOk) : int(ExitRefused);
        };
    });

    auto *password = cmd->add_subcommand("password", "Set or clear a registered projector's password");
    password->add_option("address", g_pa.address, "IPv4 address")->required();
    addPasswordOptions(password, g_pa.password, "The password (at most 32 characters; asked for on a terminal)");
    password->add_flag("--none", g_pa.noAuth, "No authentication");
    addCommonOptions(password, g_pa.common);
    password->callback([action] {
        *action = [] {
            if (!applyCommon(g_pa.common))
                return int(ExitUsage);
            QString pass;
            bool given = false;
            if (!readPassword(g_pa.password, &pass, &given, /*promptOnTerminal=*/!g_pa.noAuth) || !passwordFits(pass))
                return int(ExitUsage);
            ProjectorStore store = ProjectorStore::inAppHome();
            if (!loadStore(store))
                return int(ExitRefused);
            const int row = rowOf(store);
            if (row < 0)
                return int(ExitRefused);
            const bool none = g_pa.noAuth || pass.isEmpty();
            return store.setPassword(row, none ? 0 : 1, none ? QString() : pass) ? int(ExitOk)
                                                                                  : storeRefused(store);
        };
    });
}

} // namespace glintcaster::cli
