// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster {

class Prompter;

/// Digest of a send-lock password: MD5 over the low byte of each UTF-16 unit, stopping at
/// the first zero byte, as 32 upper-case hexadecimal digits. Only this digest is stored.
QString sendLockDigest(const QString &password);

/// The send-lock entries of the per-user profile (organisation "KESTORA", application
/// "Glintcaster", section "GlintcasterPass"): "Pass" holds the digest, "Lock" the flag.
/// A profile that cannot be read reads as empty; writes keep the rest of the file, never
/// overwrite one that cannot be read, and on failure leave the old file and say why.
class SendLockProfile {
public:
    /// Empty when no password was ever set.
    QString storedDigest() const;
    bool setStoredDigest(const QString &digest, QString *error = nullptr);
    /// True exactly when "Lock" reads "1".
    bool lockFlag() const;
    /// Writes "1" or "0".
    bool setLockFlag(bool locked, QString *error = nullptr);
};

/// The lock/unlock dialog's OK: checks `entered` against the stored digest (while none is
/// stored only an empty entry passes). On success returns true and sets `*newLocked` to the
/// opposite of `currentlyLocked`; otherwise shows message 1050 and returns false (the dialog
/// stays open).
bool acceptSendLock(const SendLockProfile &profile, bool currentlyLocked, const QString &entered,
                    Prompter &prompter, bool *newLocked);

/// True while no send-lock password was ever set: locking then starts by choosing one.
bool needsFirstLockPassword(const SendLockProfile &profile);

/// The lock dialog's OK on first use: the new password typed twice. When the two differ,
/// shows message 1284 and returns false (the dialog stays open); otherwise stores the
/// digest of the new password (an empty one included) and returns true: lock. A digest
/// that cannot be stored is reported (the reason in an error box) and gives false.
bool acceptFirstLock(SendLockProfile &profile, const QString &newPassword, const QString &confirmation,
                     Prompter &prompter);

/// The change-password dialog's OK: checks `current` like acceptSendLock, refuses a new
/// password that differs from its confirmation (message 1284) or whose digest equals the
/// stored one (message 1051), else stores the new digest and returns true (false, with
/// the reason shown, when it cannot be stored).
bool acceptChangePassword(SendLockProfile &profile, const QString &current, const QString &newPassword,
                          const QString &confirmation, Prompter &prompter);

/// What Send does while locked: shows message 1043 and returns true; returns false when
/// not locked.
bool refuseWhenLocked(bool locked, Prompter &prompter);

/// Caption of the Send buttons: "Send[Locked]" or "Send" (messages 1086, 1087).
QString sendButtonCaption(bool locked);

} // namespace glintcaster
