// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/send_lock.h"

#include "base/message_table.h"
#include "base/prompter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace glintcaster {
namespace {

const QString kPassKey = QStringLiteral("GlintcasterPass/Pass");
const QString kLockKey = QStringLiteral("GlintcasterPass/Lock");
constexpr int kConfirmationDiffers = 1284;

QSettings profileSettings()
{
    return QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"));
}

// The settings hold the send-lock digest: the file is made for its owner only before the
// first write and kept so. QSettings re-reads and merges under its own lock file when it
// writes, so the window and the command line do not undo each other's changes.
void writeSetting(const QString &key, const QString &value)
{
    QSettings settings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"));
    const QString file = settings.fileName();
    if (!QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile create(file);
        if (create.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            create.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    settings.setValue(key, value);
    settings.sync();
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Shared by both dialogs: while no digest is stored only an empty entry passes; otherwise
// the entry's digest must equal the stored text exactly (a hand-edited lower-case digest
// never matches).
bool passwordMatches(const QString &stored, const QString &entered)
{
    if (stored.isEmpty())
        return entered.isEmpty();
    return sendLockDigest(entered) == stored;
}

} // namespace

QString sendLockDigest(const QString &password)
{
    // Narrowed to one byte per unit, so passwords differing only in the high bytes of their
    // characters share a digest; kept that way so stored digests stay valid.
    QByteArray bytes;
    bytes.reserve(password.size());
    for (QChar c : password) {
        const char low = char(c.unicode() & 0xFF);
        if (low == 0)
            break;
        bytes.append(low);
    }
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

QString SendLockProfile::storedDigest() const
{
    return profileSettings().value(kPassKey).toString();
}

void SendLockProfile::setStoredDigest(const QString &digest)
{
    writeSetting(kPassKey, digest);
}

bool SendLockProfile::lockFlag() const
{
    return profileSettings().value(kLockKey).toString() == QLatin1String("1");
}

void SendLockProfile::setLockFlag(bool locked)
{
    writeSetting(kLockKey, locked ? QStringLiteral("1") : QStringLiteral("0"));
}

bool acceptSendLock(const SendLockProfile &profile, bool currentlyLocked, const QString &entered,
                    Prompter &prompter, bool *newLocked)
{
    if (!passwordMatches(profile.storedDigest(), entered)) {
        prompter.inform(msg(1050));
        return false;
    }
    if (newLocked)
        *newLocked = !currentlyLocked;
    return true;
}

bool needsFirstLockPassword(const SendLockProfile &profile)
{
    return profile.storedDigest().isEmpty();
}

bool acceptFirstLock(SendLockProfile &profile, const QString &newPassword, const QString &confirmation,
                     Prompter &prompter)
{
    if (newPassword != confirmation) {
        prompter.inform(msg(kConfirmationDiffers));
        return false;
    }
    profile.setStoredDigest(sendLockDigest(newPassword));
    return true;
}

bool acceptChangePassword(SendLockProfile &profile, const QString &current, const QString &newPassword,
                          const QString &confirmation, Prompter &prompter)
{
    const QString stored = profile.storedDigest();
    if (!passwordMatches(stored, current)) {
        prompter.inform(msg(1050));
        return false;
    }
    if (newPassword != confirmation) {
        prompter.inform(msg(kConfirmationDiffers));
        return false;
    }
    const QString digest = sendLockDigest(newPassword);
    if (digest == stored) {
        prompter.inform(msg(1051));
        return false;
    }
    profile.setStoredDigest(digest);
    return true;
}

bool refuseWhenLocked(bool locked, Prompter &prompter)
{
    if (!locked)
        return false;
    prompter.inform(msg(1043));
    return true;
}

QString sendButtonCaption(bool locked)
{
    return msg(locked ? 1086 : 1087);
}

} // namespace glintcaster
