// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_groups.h"

#include "base/message_table.h"

#include "app/ini_profile.h"
#include "base/app_home.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace glintcaster {
namespace {

const QString kNum = QStringLiteral("NUM");

QString memberKey(int n)
{
    return QStringLiteral("PJ%1").arg(n);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Another program editing groups holds the lock for milliseconds; a lock older than this
// belongs to a program that died while holding it.
constexpr int kLockWaitMs = 5000;
constexpr int kStaleLockMs = 30000;

} // namespace

QString ProjectorGroups::allName()
{
    return QStringLiteral("All");
}

bool ProjectorGroups::isAll(const QString &name)
{
    return sameName(name.trimmed(), allName());
}

ProjectorGroups::ProjectorGroups(const QString &filePath) : m_path(filePath) {}

QString ProjectorGroups::fileBeside(const QString &lastPjPath)
{
    return QFileInfo(lastPjPath).absoluteDir().filePath(QStringLiteral("Groups.ini"));
}

ProjectorGroups ProjectorGroups::inAppHome()
{
    return ProjectorGroups(fileBeside(AppHome::lastProjectorFile()));
}

QString ProjectorGroups::problemText() const
{
    if (m_problem.isEmpty())
        return {};
    return QStringLiteral("%1: %2; the groups file is left as it is and groups cannot be changed")
        .arg(QDir::toNativeSeparators(m_path), m_problem);
}

bool ProjectorGroups::load()
{
    m_groups.clear();
    m_problem.clear();
    IniProfile ini(m_path);
    if (!ini.load()) {
        if (ini.loadMissing())
            return true;
        m_problem = ini.loadError().isEmpty() ? QStringLiteral("cannot be read") : ini.loadError();
        return false;
    }
    QList<ProjectorGroup> groups;
    const QStringList sections = ini.sections();
    if (sections.size() > kMaxGroups) {
        m_problem = QStringLiteral("more than %1 groups").arg(kMaxGroups);
        return false;
    }
    for (const QString &section : sections) {
        if (!nameProblem(section).isEmpty()) {
            m_problem = QStringLiteral("[%1] is no group name (%2)").arg(section, nameProblem(section));
            return false;
        }
        bool duplicate = false;
        for (const ProjectorGroup &g : groups)
            duplicate = duplicate || sameName(g.name, section);
        if (duplicate)
            continue; // the profile rules: the first section of a name wins
        const QString numText = ini.value(section, kNum, QString());
        bool ok = false;
        const int num = numText.toInt(&ok);
        if (!ok || num < 0 || num > kMaxMembers) {
            m_problem = QStringLiteral("[%1] has no valid NUM").arg(section);
            return false;
        }
        ProjectorGroup g{section, {}};
        for (int n = 1; n <= num; ++n) {
            quint32 ip = 0;
            if (!parseIpv4(ini.value(section, memberKey(n), QString()), &ip) || ip == 0) {
                m_problem = QStringLiteral("[%1] %2 is no IPv4 address").arg(section, memberKey(n));
                return false;
            }
            if (!g.members.contains(ip))
                g.members.append(ip);
        }
        groups.append(g);
    }
    m_groups = groups;
    return true;
}

QStringList ProjectorGroups::names() const
{
    QStringList out{allName()};
    for (const ProjectorGroup &g : m_groups)
        out << g.name;
    return out;
}

int ProjectorGroups::indexOf(const QString &name) const
{
    for (int i = 0; i < m_groups.size(); ++i)
        if (sameName(m_groups.at(i).name, name.trimmed()))
            return i;
    return -1;
}

bool ProjectorGroups::resolve(const QString &name, const ProjectorStore &store,
                              QList<ProjectorEntry> *members, QString *error,
                              QList<quint32> *unregistered) const
{
    members->clear();
    if (unregistered)
        unregistered->clear();
    if (isAll(name)) {
        for (int r = 0; r < store.projectors().size(); ++r)
            if (!store.isPlaceholder(r) && store.projector(r).IP != 0)
                members->append(store.projector(r));
        return true;
    }
    const int i = indexOf(name);
    if (i < 0) {
        if (error)
            *error = msg(2410).arg(name);
        return false;
    }
    for (quint32 ip : m_groups.at(i).members) {
        const int r = store.indexOfIp(ip);
        if (r >= 0 && !store.isPlaceholder(r))
            members->append(store.projector(r));
        else if (unregistered)
            unregistered->append(ip);
    }
    return true;
}

QString ProjectorGroups::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return msg(2411);
    if (name != name.trimmed())
        return msg(2412);
    if (name.size() > kMaxNameLength)
        return msg(2413).arg(kMaxNameLength);
    for (QChar c : name)
        if (c == u'[' || c == u']' || c == u'=' || c.category() == QChar::Other_Control)
            return msg(2414);
    if (name.startsWith(u';') || name.startsWith(u'#'))
        return msg(2415);
    if (isAll(name))
        return msg(2416);
    return {};
}

QByteArray ProjectorGroups::serialise(const QList<ProjectorGroup> &groups)
{
    IniProfile ini;
    for (const ProjectorGroup &g : groups) {
        ini.setValue(g.name, kNum, int(g.members.size()));
        for (int n = 0; n < g.members.size(); ++n)
            ini.setValue(g.name, memberKey(n + 1), ipToText(g.members.at(n)));
    }
    return ini.toBytes();
}

bool ProjectorGroups::change(const Change &apply, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        err = msg(2417)
                  .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    if (!load()) {
        err = problemText();
        return false;
    }
    QList<ProjectorGroup> groups = m_groups;
    if (!apply(groups, &err))
        return false;
    if (groups == m_groups)
        return true;
    IniProfile ini(m_path);
    ini.parse(serialise(groups));
    if (!ini.save()) {
        err = msg(2418).arg(QDir::toNativeSeparators(m_path), ini.saveError());
        return false;
    }
    m_groups = groups;
    return true;
}

bool ProjectorGroups::create(const QString &name, QString *error)
{
    return change([&](QList<ProjectorGroup> &groups, QString *err) {
        if (const QString p = nameProblem(name); !p.isEmpty()) {
            *err = p;
            return false;
        }
        for (const ProjectorGroup &g : groups)
            if (sameName(g.name, name)) {
                *err = msg(2419).arg(g.name);
                return false;
            }
        if (groups.size() >= kMaxGroups) {
            *err = msg(2420).arg(kMaxGroups);
            return false;
        }
        groups.append({name, {}});
        return true;
    }, error);
}

bool ProjectorGroups::rename(const QString &oldName, const QString &newName, QString *error)
{
    return change([&](QList<ProjectorGroup> &groups, QString *err) {
        int at = -1;
        for (int i = 0; i < groups.size(); ++i) {
            if (sameName(groups.at(i).name, oldName))
                at = i;
            else if (sameName(groups.at(i).name, newName)) {
                *err = msg(2419).arg(groups.at(i).name);
                return false;
            }
        }
        if (at < 0) {
            *err = isAll(oldName) ? nameProblem(oldName)
                                  : msg(2410).arg(oldName);
            return false;
        }
        if (const QString p = nameProblem(newName); !p.isEmpty()) {
            *err = p;
            return false;
        }
        groups[at].name = newName;
        return true;
    }, error);
}

bool ProjectorGroups::remove(const QString &name, QString *error)
{
    return change([&](QList<ProjectorGroup> &groups, QString *err) {
        for (int i = 0; i < groups.size(); ++i)
            if (sameName(groups.at(i).name, name)) {
                groups.removeAt(i);
                return true;
            }
        *err = isAll(name) ? nameProblem(name) : msg(2410).arg(name);
        return false;
    }, error);
}

bool ProjectorGroups::addMembers(const QString &name, const QList<quint32> &addresses,
                                 const ProjectorStore &store, QString *error)
{
    return change([&](QList<ProjectorGroup> &groups, QString *err) {
        for (ProjectorGroup &g : groups) {
            if (!sameName(g.name, name))
                continue;
            for (quint32 ip : addresses) {
                if (store.indexOfIp(ip) < 0) {
                    *err = msg(2421).arg(ipToText(ip));
                    return false;
                }
                if (!g.members.contains(ip))
                    g.members.append(ip);
            }
            if (g.members.size() > kMaxMembers) {
                *err = msg(2422).arg(kMaxMembers);
                return false;
            }
            return true;
        }
        *err = isAll(name) ? nameProblem(name) : msg(2410).arg(name);
        return false;
    }, error);
}

bool ProjectorGroups::removeMembers(const QString &name, const QList<quint32> &addresses,
                                    QString *error)
{
    return change([&](QList<ProjectorGroup> &groups, QString *err) {
        for (ProjectorGroup &g : groups) {
            if (!sameName(g.name, name))
                continue;
            for (quint32 ip : addresses) {
                if (!g.members.removeOne(ip)) {
                    *err = msg(2423).arg(ipToText(ip), g.name);
                    return false;
                }
            }
            return true;
        }
        *err = isAll(name) ? nameProblem(name) : msg(2410).arg(name);
        return false;
    }, error);
}

bool ProjectorGroups::forgetProjector(quint32 address, QString *error)
{
    if (!QFileInfo::exists(m_path))
        return true;
    return change([&](QList<ProjectorGroup> &groups, QString *) {
        for (ProjectorGroup &g : groups)
            g.members.removeAll(address);
        return true;
    }, error);
}

} // namespace glintcaster
