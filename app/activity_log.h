// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace glintcaster {

/// One line of the activity log: an operation that changed a projector or the registered
/// list. It has no field for a password or an authentication digest, so none can be logged.
struct ActivityRecord {
    QDateTime time;        ///< UTC; filled in by append() when invalid
    QString origin;        ///< "window", "cli" or "server"
    QString user;          ///< the local user name; filled in by append() when empty
    QString operation;     ///< "send", "alert", "display on", "display off", "clear", "mute",
                           ///< "startup", "register", "remove", "password", ...
    quint32 target = 0;    ///< the projector's address; 0 for none
    QString targetName;    ///< its registered name
    int slot = -1;         ///< 0 Quick, 1..12; -1 for none
    QString title;         ///< the message title
    QByteArray payloadSha256; ///< SHA-256 of the uploaded bytes (raw 32 bytes); empty for none
    int code = 0;          ///< job result code (0 success)
    QString result;        ///< result text, as shown to the operator
    bool ok = true;        ///< the operation succeeded
    QString alertId;       ///< the alert this was part of, or empty
    QString capIdentifier; ///< the CAP message identifier that caused it (server), or empty
    QString phase;         ///< for alert targets: the phase reached ("Display on", ...)

    QJsonObject toJson() const;
    /// Parses one log line's object; fields that are missing keep their defaults.
    static ActivityRecord fromJson(const QJsonObject &o);
};

/// The activity log "Activity.log" in the application home: one JSON object per line.
/// Safe for several programs at once: each line is written with one write() on a file
/// opened for appending, under an advisory lock, so lines never interleave or get lost.
/// At kRotateBytes the file is renamed to "Activity.log.1" (older ones shift up to
/// kKeptFiles - 1) and a new one started, so at most kKeptFiles files exist.
class ActivityLog {
public:
    static constexpr qint64 kRotateBytes = 10 * 1024 * 1024;
    static constexpr int kKeptFiles = 5; ///< the current file and four older ones

    explicit ActivityLog(const QString &path);
    /// "Activity.log" in the application home.
    static QString pathInAppHome();
    static ActivityLog inAppHome() { return ActivityLog(pathInAppHome()); }
    QString path() const { return m_path; }

    /// Appends one line (thread-safe, process-safe). False with `error` when it could not
    /// be written; a failure never stops the operation being logged.
    bool append(ActivityRecord record, QString *error = nullptr) const;

    /// Records from `since` on (invalid: all), oldest first, from the rotated files and the
    /// current one; only those for `target` when it is not 0. Lines that are no JSON object
    /// (a file edited by hand) are skipped and counted in `skipped`.
    QList<ActivityRecord> read(const QDateTime &since = {}, quint32 target = 0,
                               int *skipped = nullptr) const;

    /// The origin this program logs its own operations with ("window", "cli", "server").
    /// Until it is set, logOperation() logs nothing (tests and tools change no real home).
    static void setProcessOrigin(const QString &origin);
    static QString processOrigin();
    /// Appends `record` to the home's log when an origin is set: the origin and, when
    /// empty, the target's registered name from "LastPj.txt" are filled in. Failures are
    /// silent: logging never stops an operation.
    static void logOperation(ActivityRecord record);

    /// The local user name the records carry.
    static QString localUser();
    /// A new alert identifier: UTC time and a random part ("20261208T101500Z-3f9a1c").
    static QString newAlertId();

private:
    QString m_path;
};

} // namespace glintcaster
