// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// projectors list|add|remove|password: the registered list with the Discovery tab's rules.
#include "cli/cli_common.h"

#include "cli/cli_report.h"
#include "base/message_table.h"
#include "app/entry_checks.h"
#include "app/pj_list_rules.h"
#include "base/printable_text.h"

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
    PasswordSource password;
};

struct RemoveOptions {
    CommonOptions common;
    std::string address;
};

struct PasswordOptions {
    CommonOptions common;
    std::string address;
    PasswordSource password;
    bool noAuth = false;
};

/// The password the options name (asked for without echo on a terminal when `prompt`):
/// one longer than the projector takes is a usage error; one the digest cannot tell from
/// others is kept, with a warning.
std::optional<QString> passwordFrom(const PasswordSource &source, bool prompt)
{
    QString text;
    bool given = false;
    if (!readPassword(source, &text, &given, prompt))
        return std::nullopt;
    const std::optional<QString> pass = passwordOption(text.toStdString());
    if (pass && passwordBeyondLatin1(*pass))
        printErr(QStringLiteral("warning: ") + passwordBeyondLatin1Warning());
    return pass;
}

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
/// prompter); a failed write, a lock not had or an entry removed meanwhile says it here.
int storeRefused(const ProjectorStore &store)
{
    if (!store.changeError().isEmpty())
        printErr(QStringLiteral("%1; the registered projectors are unchanged").arg(store.changeError()));
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
    for (int r = 0; r < store.projectors().size(); ++r) {
        if (store.isPlaceholder(r))
            continue; // stands for a section the file lacks, not a projector
        const ProjectorEntry &d = store.projectors().at(r);
        if (o.common.json)
            printJson(toJson(d));
        else // names may come from discovery answers: no control characters
            printOut(QStringLiteral("%1\t%2\t%3%4")
                         .arg(ipToText(d.IP), printableText(d.ProjectorName), printableText(d.MAC),
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
    if (const QString problem = projectorAddressProblem(ip); !problem.isEmpty()) {
        printErr(problem);
        return ExitRefused;
    }
    const QString mac = o.mac.empty() ? QStringLiteral("-----") : QString::fromStdString(o.mac);
    if (const QString problem = macProblem(mac); !problem.isEmpty()) {
        printErr(problem);
        return ExitUsage;
    }
    const std::optional<QString> pass = passwordFrom(o.password, false);
    if (!pass)
        return ExitUsage;
    ProjectorEntry d;
    d.IP = ip;
    d.ProjectorName = QString::fromStdString(o.name);
    d.MAC = mac;
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
    // A refusal after the question was told through the prompter.
    return deleteRegistered(store, row, *prompter) ? int(ExitOk) : int(ExitRefused);
}

int passwordCommand(const PasswordOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const std::optional<QString> pass = passwordFrom(o.password, /*prompt=*/!o.noAuth);
    if (!pass)
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    if (!loadStore(store))
        return ExitRefused;
    const int row = rowOf(store, o.address);
    if (row < 0)
        return ExitRefused;
    const bool none = o.noAuth || pass->isEmpty();
    return store.setPassword(row, !none, none ? QString() : *pass) ? int(ExitOk) : storeRefused(store);
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
    addPasswordOptions(cmd, o->password, passwordHelp("Authentication password"));
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
    addPasswordOptions(cmd, o->password, passwordHelp("The password; asked for on a terminal"));
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
