// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// groups list|show|add|remove|rename: named groups of registered projectors in Groups.ini.
#include "cli/cli_common.h"

#include "app/projector_groups.h"

#include <QJsonArray>
#include <QJsonObject>

namespace glintcaster::cli {

namespace {

struct GroupArgs {
    CommonOptions common;
    std::string name;
    std::string newName;
    std::vector<std::string> addresses;
};
GroupArgs g_ga;

QString name()
{
    return QString::fromStdString(g_ga.name);
}

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

bool parseAddresses(QList<quint32> *out)
{
    for (const std::string &raw : g_ga.addresses) {
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

int listCommand()
{
    if (!applyCommon(g_ga.common))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    for (const QString &group : groups.names()) {
        QList<ProjectorEntry> members;
        groups.resolve(group, store, &members);
        if (g_ga.common.json) {
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

int showCommand()
{
    if (!applyCommon(g_ga.common))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    QList<ProjectorEntry> members;
    QList<quint32> unregistered;
    QString error;
    if (!groups.resolve(name(), store, &members, &error, &unregistered))
        return changed(false, error);
    for (const ProjectorEntry &p : members) {
        if (g_ga.common.json)
            printJson({{QStringLiteral("name"), p.ProjectorName}, {QStringLiteral("address"), ipToText(p.IP)}});
        else
            printOut(QStringLiteral("%1\t%2").arg(ipToText(p.IP), p.ProjectorName));
    }
    for (quint32 ip : unregistered)
        printErr(QStringLiteral("%1 is in the group but no longer registered").arg(ipToText(ip)));
    return ExitOk;
}

int addCommand()
{
    if (!applyCommon(g_ga.common))
        return ExitUsage;
    QList<quint32> addresses;
    if (!parseAddresses(&addresses))
        return ExitUsage;
    ProjectorStore store = ProjectorStore::inAppHome();
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    if (!load(store, groups))
        return ExitRefused;
    QString error;
    if (!groups.contains(name()) && !groups.create(name(), &error))
        return changed(false, error);
    if (addresses.isEmpty())
        return ExitOk;
    return changed(groups.addMembers(name(), addresses, store, &error), error);
}

int removeCommand()
{
    if (!applyCommon(g_ga.common))
        return ExitUsage;
    QList<quint32> addresses;
    if (!parseAddresses(&addresses))
        return ExitUsage;
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    QString error;
    if (addresses.isEmpty())
        return changed(groups.remove(name(), &error), error);
    return changed(groups.removeMembers(name(), addresses, &error), error);
}

int renameCommand()
{
    if (!applyCommon(g_ga.common))
        return ExitUsage;
    ProjectorGroups groups = ProjectorGroups::inAppHome();
    QString error;
    return changed(groups.rename(name(), QString::fromStdString(g_ga.newName), &error), error);
}

} // namespace

void addGroupsCommand(CLI::App &app, std::function<int()> *action)
{
    auto *groups = app.add_subcommand("groups", "Named groups of registered projectors (Groups.ini)");
    groups->require_subcommand(1);

    auto *list = groups->add_subcommand("list", "Every group with its number of projectors (\"All\" first)");
    addCommonOptions(list, g_ga.common);
    list->callback([action] { *action = listCommand; });

    auto *show = groups->add_subcommand("show", "The projectors of a group");
    show->add_option("name", g_ga.name, "Group name")->required();
    addCommonOptions(show, g_ga.common);
    show->callback([action] { *action = showCommand; });

    auto *add = groups->add_subcommand("add", "Create a group, or add registered projectors to it");
    add->add_option("name", g_ga.name, "Group name")->required();
    add->add_option("addresses", g_ga.addresses, "Addresses of registered projectors");
    addCommonOptions(add, g_ga.common);
    add->callback([action] { *action = addCommand; });

    auto *remove = groups->add_subcommand("remove", "Delete a group, or remove projectors from it");
    remove->add_option("name", g_ga.name, "Group name")->required();
    remove->add_option("addresses", g_ga.addresses, "Addresses to remove (none: the whole group)");
    addCommonOptions(remove, g_ga.common);
    remove->callback([action] { *action = removeCommand; });

    auto *rename = groups->add_subcommand("rename", "Rename a group");
    rename->add_option("old", g_ga.name, "Current name")->required();
    rename->add_option("new", g_ga.newName, "New name")->required();
    addCommonOptions(rename, g_ga.common);
    rename->callback([action] { *action = renameCommand; });
}

} // namespace glintcaster::cli
