// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// groups list|show|add|remove|rename: named groups of registered projectors in Groups.ini.
#include "cli/cli_common.h"

#include "app/projector_groups.h"

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

/// The options of each groups subcommand (each has its own).
struct GroupOptions {
    CommonOptions common;
    std::string name;
    std::string newName;
    std::vector<std::string> addresses;

    QString groupName() const { return QString::fromStdString(name); }
};

/// The registered list and the groups, both readable; otherwise why not is printed.
bool load(ProjectorStore &store, ProjectorGroups &groups)
{
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty()) {
        printErr(store.problemText());
        return false;
    }
    if (!groups.load()) {
        printErr(groups.problemText());
        return false;
    }
    return true;
}

bool parseAddresses(const GroupOptions &o, QList<quint32> *out)
{
    for (const std::string &raw : o.addresses) {
        quint32 ip = 0;
        const QString text = QString::fromStdString(raw).trimmed();
        if (!parseIpv4(text, &ip) || ip == 0) {
            printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(text));
            return false;
        }
        out->append(ip);
    }
    return true;
}

int changed(bool ok, const QString &error)
{
    if (!ok) {
        printErr(error);
        return ExitRefused;
    }
    return ExitOk;
}

int listCommand(const GroupOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    for (const QString &group : groups.names()) {
        QList<ProjectorEntry> members;
        groups.resolve(group, store, &members);
        if (o.common.json) {
            QJsonArray addresses;
            for (const ProjectorEntry &p : members)
                addresses.append(ipToText(p.IP));
            printJson({{QStringLiteral("name"), group}, {QStringLiteral("builtIn"), ProjectorGroups::isAll(group)},
                       {QStringLiteral("members"), addresses}});
        } else {
            printOut(QStringLiteral("%1\t%2").arg(group).arg(members.size()));
        }
    }
    return ExitOk;
}

int showCommand(const GroupOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    QList<ProjectorEntry> members;
    QList<quint32> unregistered;
    QString error;
    if (!groups.resolve(o.groupName(), store, &members, &error, &unregistered))
        return changed(false, error);
    for (const ProjectorEntry &p : members) {
        if (o.common.json)
            printJson({{QStringLiteral("name"), p.ProjectorName}, {QStringLiteral("address"), ipToText(p.IP)}});
        else
            printOut(QStringLiteral("%1\t%2").arg(ipToText(p.IP), p.ProjectorName));
    }
    for (quint32 ip : unregistered)
        printErr(QStringLiteral("%1 is in the group but no longer registered").arg(ipToText(ip)));
    return ExitOk;
}

int addCommand(const GroupOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    QList<quint32> addresses;
    if (!parseAddresses(o, &addresses))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    QString error;
    if (!groups.contains(o.groupName()) && !groups.create(o.groupName(), &error))
        return changed(false, error);
    if (addresses.isEmpty())
        return ExitOk;
    return changed(groups.addMembers(o.groupName(), addresses, store, &error), error);
}

int removeCommand(const GroupOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    QList<quint32> addresses;
    if (!parseAddresses(o, &addresses))
        return ExitUsage;
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    QString error;
    if (addresses.isEmpty())
        return changed(groups.remove(o.groupName(), &error), error);
    return changed(groups.removeMembers(o.groupName(), addresses, &error), error);
}

int renameCommand(const GroupOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    QString error;
    return changed(groups.rename(o.groupName(), QString::fromStdString(o.newName), &error), error);
}

} // namespace

void addGroupsCommand(CLI::App &app, std::function<int()> *action)
{
    auto *groups = app.add_subcommand("groups", "Named groups of registered projectors (Groups.ini)");
    groups->require_subcommand(1);

    auto add = [&](const char *name, const char *help) {
        auto *cmd = groups->add_subcommand(name, help);
        auto o = std::make_shared<GroupOptions>();
        return std::make_pair(cmd, o);
    };
    {
        auto [cmd, o] = add("list", "Every group with its number of projectors (\"All\" first)");
        addCommonOptions(cmd, o->common);
        setAction(cmd, action, o, listCommand);
    }
    {
        auto [cmd, o] = add("show", "The projectors of a group");
        cmd->add_option("name", o->name, "Group name")->required();
        addCommonOptions(cmd, o->common);
        setAction(cmd, action, o, showCommand);
    }
    {
        auto [cmd, o] = add("add", "Create a group, or add registered projectors to it");
        cmd->add_option("name", o->name, "Group name")->required();
        cmd->add_option("addresses", o->addresses, "Addresses of registered projectors");
        addCommonOptions(cmd, o->common);
        setAction(cmd, action, o, addCommand);
    }
    {
        auto [cmd, o] = add("remove", "Delete a group, or remove projectors from it");
        cmd->add_option("name", o->name, "Group name")->required();
        cmd->add_option("addresses", o->addresses, "Addresses to remove (none: the whole group)");
        addCommonOptions(cmd, o->common);
        setAction(cmd, action, o, removeCommand);
    }
    {
        auto [cmd, o] = add("rename", "Rename a group");
        cmd->add_option("old", o->name, "Current name")->required();
        cmd->add_option("new", o->newName, "New name")->required();
        addCommonOptions(cmd, o->common);
        setAction(cmd, action, o, renameCommand);
    }
}

} // namespace glintcaster::cli
