// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_store.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace glintcaster {

/// One named group: its members by address, in the order they were added.
struct ProjectorGroup {
    QString name;
    QList<quint32> members;

    bool operator==(const ProjectorGroup &) const = default;
};

/// Named sets of registered projectors, kept in "Groups.ini" beside "LastPj.txt": one INI
/// section per group with "NUM" and "PJ1".."PJn" (dotted addresses). "All" is built in
/// (every registered projector) and never stored. Every change reloads the file under a
/// lock file, applies itself and writes the file atomically (owner-only), so two programs
/// editing groups at once never lose each other's change. A file that exists but cannot be
/// read is reported (loadProblem) and never written: every change is refused.
/// "LastPj.txt" is never touched by anything here.
class ProjectorGroups {
public:
    /// Longest group name accepted.
    static constexpr int kMaxNameLength = 64;
    /// Most groups and most members of one group (a bound against a runaway file).
    static constexpr int kMaxGroups = 256;
    static constexpr int kMaxMembers = 1024;

    /// The built-in group of every registered projector: "All".
    static QString allName();
    /// True for "All" in any case.
    static bool isAll(const QString &name);

    explicit ProjectorGroups(const QString &filePath);
    /// "Groups.ini" in the folder of `lastPjPath`.
    static QString fileBeside(const QString &lastPjPath);
    /// The groups of the application home.
    static ProjectorGroups inAppHome();

    QString filePath() const { return m_path; }

    /// Reads the file. A missing file is no problem (no groups yet). False, with
    /// loadProblem() set and no groups, when the file exists but is no groups file we can
    /// read (unreadable, not INI, a member that is no address, too many entries).
    bool load();
    QString loadProblem() const { return m_problem; }
    /// loadProblem() as one line for the operator: the file, why, and that it is left alone.
    QString problemText() const;

    /// The stored groups in file order ("All" is not among them).
    const QList<ProjectorGroup> &groups() const { return m_groups; }
    /// "All" first, then the stored groups in file order.
    QStringList names() const;
    /// Position of a stored group (names compare case-insensitively), or -1.
    int indexOf(const QString &name) const;
    /// Whether `name` is "All" or a stored group.
    bool contains(const QString &name) const { return isAll(name) || indexOf(name) >= 0; }

    /// The registered projectors of group `name` as of `store`: "All" gives the whole list
    /// in list order; a stored group gives its members in its order. Members that are no
    /// longer registered are left out and their addresses put in `unregistered`.
    /// False (with `error`) for an unknown group.
    bool resolve(const QString &name, const ProjectorStore &store, QList<ProjectorEntry> *members,
                 QString *error = nullptr, QList<quint32> *unregistered = nullptr) const;

    /// Why `name` cannot name a new group, or empty: empty or padded, too long, characters
    /// an INI section cannot hold ("[", "]", line breaks, control characters), "All".
    static QString nameProblem(const QString &name);

    // Changes. Each reloads the file under the lock, applies itself and saves; false with a
    // one-line `error` when refused (then nothing was written).
    bool create(const QString &name, QString *error = nullptr);
    bool rename(const QString &oldName, const QString &newName, QString *error = nullptr);
    bool remove(const QString &name, QString *error = nullptr);
    /// Adds registered projectors (addresses already in the group are skipped).
    bool addMembers(const QString &name, const QList<quint32> &addresses,
                    const ProjectorStore &store, QString *error = nullptr);
    /// Removes addresses from the group (an empty list removes nothing).
    bool removeMembers(const QString &name, const QList<quint32> &addresses,
                       QString *error = nullptr);
    /// Drops a projector from every group (it left the registered list). True when the
    /// file needs no change or was written.
    bool forgetProjector(quint32 address, QString *error = nullptr);

    /// The file's bytes for `groups` (CRLF, as IniProfile writes).
    static QByteArray serialise(const QList<ProjectorGroup> &groups);

private:
    using Change = std::function<bool(QList<ProjectorGroup> &groups, QString *error)>;
    bool change(const Change &apply, QString *error);

    QString m_path;
    QString m_problem;
    QList<ProjectorGroup> m_groups;
};

} // namespace glintcaster
