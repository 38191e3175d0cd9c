// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/send_lock.h"

#include "base/message_table.h"
#include "base/prompter.h"

#include "app/ini_profile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

namespace glintcaster {
namespace {

const QString kSection = QStringLiteral("GlintcasterPass");
const QString kPassKey = QStringLiteral("Pass");
const QString kLockKey = QStringLiteral("Lock");
constexpr int kConfirmationDiffers = 1284;
constexpr int kLockWaitMs = 5000;
constexpr int kStaleLockMs = 30000;

// The per-user settings file of organisation "KESTORA", application "Glintcaster" (the one
// QSettings names, so an older build still finds its entries).
QString profilePath()
{
    return QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster")).fileName();
}

QString readSetting(const QString &key)
{
    IniProfile ini(profilePath());
    ini.load();
    return ini.value(kSection, key, QString());
}

// The file holds the send-lock digest: it is written through the safe writer (owner only;
// on a full disk the old file stays and the reason is returned), under the lock file
// QSettings itself takes, re-read under the lock so the window and the command line do not
// undo each other's changes. A file that cannot be read is not overwritten.
bool writeSetting(const QString &key, const QString &value, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    const QString path = profilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        err = QStringLiteral("%1: another program is changing the settings; try again")
                  .arg(QDir::toNativeSeparators(path));
        return false;
    }
    IniProfile ini(path);
    if (!ini.load() && !ini.loadMissing()) {
        err = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), ini.loadError());
        return false;
    }
    ini.setValue(kSection, key, value);
    if (!ini.save()) {
        err = QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), ini.saveError());
        return false;
    }
    return true;
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

// A digest that could not be kept is told at once: the dialog stays open and no lock is
// reported as set.
bool storeDigest(SendLockProfile &profile, const QString &digest, Prompter &prompter)
{
    QString error;
    if (profile.setStoredDigest(digest, &error))
        return true;
    prompter.inform(error, PromptIcon::Stop);
    return false;
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
    return readSetting(kPassKey);
}

bool SendLockProfile::setStoredDigest(const QString &digest, QString *error)
{
    return writeSetting(kPassKey, digest, error);
}

bool SendLockProfile::lockFlag() const
{
    return readSetting(kLockKey) == QLatin1String("1");
}

bool SendLockProfile::setLockFlag(bool locked, QString *error)
{
    return writeSetting(kLockKey, locked ? QStringLiteral("1") : QStringLiteral("0"), error);
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
    return storeDigest(profile, sendLockDigest(newPassword), prompter);
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
    return storeDigest(profile, digest, prompter);
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
