// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ui/send_lock_profile.h"

#include <QSettings>
#include <QString>

namespace glintcaster {

namespace {
const QString kLockKey = QStringLiteral("GlintcasterPass/Lock");

} // namespace

bool readSendLockFlag()
{
    QSettings settings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"));
    return settings.value(kLockKey, QString()).toString() == QLatin1String("1");
}

void writeSendLockFlag(bool locked)
{
    QSettings settings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"));
    settings.setValue(kLockKey, locked ? QStringLiteral("1") : QStringLiteral("0"));
    settings.sync();
}

// SEAM: the send-lock dialogs are built in comm/ui; until they are wired in here the menu
// commands leave the lock unchanged.
std::optional<bool> runDefaultSendLockDialog(bool locked, QWidget *parent)
{
    Q_UNUSED(locked);
    Q_UNUSED(parent);
    return std::nullopt;
}

void runDefaultChangePasswordDialog(QWidget *parent)
{
    Q_UNUSED(parent);
}

} // namespace glintcaster
