// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// projectors list|add|remove|password: the registered list with the Discovery tab's rules.
#include "cli/cli_common.h"

#include "cli/cli_report.h"
#include "base/message_table.h"
#include "app/pj_list_rules.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

struct ListOptions {
    CommonOptions common;
};

struct AddOptions {
    CommonOptions common;
    std::string address;
    std::string name;
    std::string mac;
    std::string password;
};

struct RemoveOptions {
    CommonOptions common;
    std::string address;
};

struct PasswordOptions {
    CommonOptions common;
    std::string address;
    std::string password;
    bool noAuth = false;
};

QJsonObject toJson(const ProjectorEntry &d)
{
    return {{QStringLiteral("name"), d.ProjectorName}, {QStringLiteral("address"), ipToText(d.IP)},
            {QStringLiteral("mac"), d.MAC}, {QStringLiteral("auth"), d.hasPassword ? 1 : 0}};
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
/// prompter); a failed write says it here.
int storeRefused(const ProjectorStore &store)
{
    if (store.saveFailed())
        printErr(QStringLiteral("%1: cannot be written; the registered projectors are unchanged")
                     .arg(QDir::toNativeSeparators(store.filePath())));
    return int(ExitRefused);
}

/// Finds the registered row of `address`; prints why not and returns -1 otherwise.
int rowOf(const ProjectorStore &store, const std::string &address)
{
    quint32 ip = 0;
    if (!parseIpv4(QString::fromStdString(address), &ip)) {
        printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(QString::fromStdString(address)));
        return -1;
    }
    const int row = store.indexOfIp(ip);
    if (row < 0)
        printErr(QStringLiteral("%1 is not registered").arg(ipToText(ip)));
    return row;
}

int listCommand(const ListOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    if (!loadStore(store))
        return ExitRefused;
    for (const ProjectorEntry &d : store.projectors()) {
        if (o.common.json)
            printJson(toJson(d));
        else
            printOut(QStringLiteral("%1\t%2\t%3%4")
                         .arg(ipToText(d.IP), d.ProjectorName, d.MAC,
                              d.hasPassword ? QStringLiteral("\tpassword") : QString()));
    }
    return ExitOk;
}

int addCommand(const AddOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    auto prompter = std::make_unique<CliPrompter>(QString(), CliPrompter::modeFor(o.common.yes));
    quint32 ip = 0;
    if (!parseIpv4(QString::fromStdString(o.address), &ip) || ip == 0) {
        prompter->inform(msg(1012));
        return ExitRefused;
    }
    const std::optional<QString> pass = passwordOption(o.password);
    if (!pass)
        return ExitUsage;
    ProjectorEntry d;
    d.IP = ip;
    d.ProjectorName = QString::fromStdString(o.name);
    d.MAC = o.mac.empty() ? QStringLiteral("-----") : QString::fromStdString(o.mac);
    d.hasPassword = !pass->isEmpty();
    d.Pass = *pass;
    ProjectorStore store = ProjectorStore::inAppHome();
    if (!loadStore(store))
        return ExitRefused;
    if (!store.addProjector(d, *prompter))
        return storeRefused(store);
    if (o.common.json)
        printJson(toJson(d));
    return ExitOk;
}

int removeCommand(const RemoveOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    auto prompter = std::make_unique<CliPrompter>(QString(), CliPrompter::modeFor(o.common.yes));
    ProjectorStore store = ProjectorStore::inAppHome();
    if (!loadStore(store))
        return ExitRefused;
    const int row = rowOf(store, o.address);
    if (row < 0)
        return ExitRefused;
    return deleteRegistered(store, row, *prompter) ? int(ExitOk) : storeRefused(store);
}

int passwordCommand(const PasswordOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const std::optional<QString> pass = passwordOption(o.password);
    if (!pass)
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    if (!loadStore(store))
        return ExitRefused;
    const int row = rowOf(store, o.address);
    if (row < 0)
        return ExitRefused;
    const bool none = o.noAuth || pass->isEmpty();
    return store.setPassword(row, none ? 0 : 1, none ? QString() : *pass) ? int(ExitOk) : storeRefused(store);
}

void addListCommand(CLI::App *parent, std::function<int()> *action)
{
    auto o = std::make_shared<ListOptions>();
    auto *cmd = parent->add_subcommand("list", "List the registered projectors");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, listCommand);
}

void addAddCommand(CLI::App *parent, std::function<int()> *action)
{
    auto o = std::make_shared<AddOptions>();
    auto *cmd = parent->add_subcommand("add", "Register a projector by hand");
    cmd->add_option("address", o->address, "IPv4 address")->required();
    cmd->add_option("--name", o->name, "Projector name");
    cmd->add_option("--mac", o->mac, "MAC address (six fields separated by hyphens)");
    cmd->add_option("--password", o->password, passwordHelp("Authentication password"));
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, addCommand);
}

void addRemoveCommand(CLI::App *parent, std::function<int()> *action)
{
    auto o = std::make_shared<RemoveOptions>();
    auto *cmd = parent->add_subcommand("remove", "Delete a registered projector");
    cmd->add_option("address", o->address, "IPv4 address")->required();
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, removeCommand);
}

void addPasswordCommand(CLI::App *parent, std::function<int()> *action)
{
    auto o = std::make_shared<PasswordOptions>();
    auto *cmd = parent->add_subcommand("password", "Set or clear a registered projector's password");
    cmd->add_option("address", o->address, "IPv4 address")->required();
    cmd->add_option("--password", o->password, passwordHelp("The password"));
    cmd->add_flag("--none", o->noAuth, "No authentication");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, passwordCommand);
}

} // namespace

void addProjectorsCommand(CLI::App &app, std::function<int()> *action)
{
    auto *cmd = app.add_subcommand("projectors", "The registered projector list (LastPj.txt)");
    cmd->require_subcommand(1);
    addListCommand(cmd, action);
    addAddCommand(cmd, action);
    addRemoveCommand(cmd, action);
    addPasswordCommand(cmd, action);
}

} // namespace glintcaster::cli
