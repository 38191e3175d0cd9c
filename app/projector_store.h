// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/projector_endpoint.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLockFile;

namespace glintcaster {

class IniProfile;
class Prompter;

/// One projector, registered or discovered. Copied by value.
struct ProjectorEntry {
    QString ProjectorName;
    /// IPv4 address, first octet in the most significant byte (10.0.0.1 is 0x0A000001).
    quint32 IP = 0;
    /// The projector is addressed with authentication ("Auth=1" in the file).
    bool hasPassword = false;
    /// The projector's own password, kept in plain text.
    QString Pass;
    QString MAC;

    bool operator==(const ProjectorEntry &) const = default;
};

/// "a.b.c.d" from an address in ProjectorEntry::IP form.
QString ipToText(quint32 ip);
/// Parses strict dotted IPv4 text ("a.b.c.d", each 0..255). False for anything else.
bool parseIpv4(const QString &text, quint32 *ip);

/// The registered projector list and its file "LastPj.txt". The file is the authority, and
/// several programs (the window, the command line, the server) change it at once: every
/// change takes the file's lock ("LastPj.txt.lock"), reads the file again under it, applies
/// the one change to the entry with that address (never by row: rows move when others
/// delete) and writes the file; afterwards projectors() is what the file now holds. A
/// change to an entry somebody else removed is refused (entryGone(), changeError()).
/// GUI thread only; workers get copies.
class ProjectorStore {
public:
    static constexpr int kMaxRegistered = 64;
    /// A corrupt count is bounded to this many entries when the file is read.
    static constexpr int kMaxLoaded = 1024;

    /// `filePath` is normally AppHome::lastProjectorFile().
    explicit ProjectorStore(const QString &filePath);
    /// The store on the application home's "LastPj.txt".
    static ProjectorStore inAppHome();

    QString filePath() const { return m_path; }
    const QList<ProjectorEntry> &projectors() const { return m_list; }
    /// The registered count (the file's NUM after a load, the list length after a change).
    int count() const { return m_count; }
    bool isValidIndex(int r) const { return r >= 0 && r < m_list.size(); }
    ProjectorEntry projector(int r) const { return isValidIndex(r) ? m_list.at(r) : ProjectorEntry{}; }
    /// Position of the entry with this address, or -1.
    int indexOfIp(quint32 ip) const;

    /// The projector the Main and Edit tabs act on (0 after a deletion).
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int r) { m_current = r; }
    /// The job target of the current projector. An index that no longer names an entry
    /// (the list shrank) is corrected to the first; false, and nothing to connect to, when
    /// nothing is registered.
    bool currentTarget(ProjectorEndpoint *target);
    /// The job target of entry `r`; false when there is no such entry.
    bool targetAt(int r, ProjectorEndpoint *target) const;

    /// Rebuilds the list from the file; a missing or unreadable file gives an empty list.
    /// Entries whose section is missing from the file stand in the list as placeholders
    /// (all values "0") but are never written back.
    void LoadRegisteredProjectors();
    /// Why the file cannot be used, when it exists but is no list we can read (unreadable,
    /// too large, not a regular file, junk, a count that is missing, negative or absurd);
    /// empty otherwise. Such a file is never written: every change is refused, so nothing
    /// registered in it is lost.
    QString loadProblem() const { return m_problem; }
    /// loadProblem() as one line for the operator: the file, why, and that it is left alone.
    QString problemText() const;
    /// True for an entry that only stands for a missing section of the file.
    bool isPlaceholder(int r) const { return r >= 0 && r < m_placeholder.size() && m_placeholder.at(r); }
    /// Writes `d` to the file as a new last entry (no rules applied).
    bool AppendRegisteredProjector(const ProjectorEntry &d);
    /// Writes the file's own Auth flag and Pass of the address shown in row `r` back to its
    /// section (what the password dialog's Cancel does): a newer password written by
    /// another program is kept.
    bool SaveProjectorPassword(int r);
    /// Replaces the file with the list as this store holds it (drops the adaptor selection
    /// until the next SaveAdaptorSelection). Changes made by others since the last load are
    /// lost: prefer the changes by address below.
    bool RewriteRegisteredProjectors();
    /// Remembers the discovery adaptor (its dotted address and its name).
    bool SaveAdaptorSelection(const QString &adaptorIp, const QString &adaptorName);
    /// Slot (0..14) of the first adaptor named exactly as the stored one, else 0.
    int LoadAdaptorSelection(const QStringList &adaptorNames) const;

    /// Registration rules: 0 when `ip` may be registered, else the message key to show
    /// (1033 list full, 1034 address already registered).
    int registrationRefusal(quint32 ip) const;
    /// Applies the rules, showing the refusal through `prompter`; true when allowed.
    bool mayRegister(quint32 ip, Prompter &prompter) const;
    /// A discovered projector's "Registration": rules, append, reload. True when added.
    bool registerDiscovered(const ProjectorEntry &d, Prompter &prompter);

    /// Manual addition: rules, then list and file. True when added.
    bool addProjector(const ProjectorEntry &d, Prompter &prompter);
    /// Deletes entry `r`, rewrites the file and resets the current index to 0.
    bool removeProjector(int r);
    /// Sets the Auth flag and Pass of entry `r` and writes them to the file.
    bool setPassword(int r, bool hasPassword, const QString &pass);
    /// Renames the registered projector with address `ip`: its ProjectorName key, in the
    /// file's section that holds this address, is the only value written. The name is kept
    /// on one line, trimmed and cut as a read would cut it. False when no such projector is
    /// registered (in the list and the file) or the file cannot be written.
    bool renameProjector(quint32 ip, const QString &name);

    // Changes by address: each is one locked read-change-write of the file.
    /// Deletes the entry registered at `ip`; the current index becomes 0.
    bool removeAddress(quint32 ip);
    /// Sets the Auth flag and Pass of the entry registered at `ip`.
    bool setPasswordOf(quint32 ip, bool hasPassword, const QString &pass);
    /// Applies `change` to the entry registered at `ip` as the file holds it now, and writes
    /// that entry's section. `change` must keep the address.
    bool changeEntry(quint32 ip, const std::function<void(ProjectorEntry &)> &change);
    /// The last change was refused because no entry has that address any more (another
    /// program removed it); projectors() now shows the file as it is.
    bool entryGone() const { return m_entryGone; }
    /// Why the last change was not made, one line (empty after a change that was made or
    /// refused by the registration rules).
    QString changeError() const { return m_changeError; }
    /// The lock file beside the list.
    QString lockPath() const { return m_path + QStringLiteral(".lock"); }
    /// The last write of the file failed (the file is left as it was): a change reported as
    /// false for this reason was refused by the file system, not by the rules.
    bool saveFailed() const { return m_saveFailed; }

private:
    /// Records how a save went; on success the list becomes what `ini` now holds.
    bool noteSave(const IniProfile &ini, bool saved);
    void fillFrom(const IniProfile &ini);

    QString m_path;
    bool m_saveFailed = false;
    bool m_entryGone = false;
    QString m_changeError;
    /// Loads the file for a change; false (and loadProblem() set) when it must not be written.
    bool loadForWrite(IniProfile &ini);
    /// Takes the file's lock and reloads the list under it; false (changeError() set) when
    /// the lock is not had or the file must not be written.
    bool lockAndReload(QLockFile &lock, IniProfile &ini);
    /// Row of `ip` in the list just reloaded; -1 and entryGone() set when it is not there.
    int rowForChange(quint32 ip);
    bool rewriteLocked(const IniProfile &existing);
    bool appendLocked(IniProfile &ini, const ProjectorEntry &d);
    int realCount() const;

    QList<ProjectorEntry> m_list;
    QList<bool> m_placeholder; ///< parallel to m_list
    QString m_problem;
    int m_count = 0;
    int m_current = 0;
};

} // namespace glintcaster
