// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/send_lock/send_lock_profile.h"

#include "app/send_lock.h"
#include "gui/send_lock/change_password_dialog.h"
#include "gui/send_lock/send_lock_dialog.h"

namespace glintcaster {

bool readSendLockFlag()
{
    return SendLockProfile().lockFlag();
}

bool writeSendLockFlag(bool locked, QString *error)
{
    return SendLockProfile().setLockFlag(locked, error);
}

std::optional<bool> runDefaultSendLockDialog(bool locked, Prompter *prompter, QWidget *parent)
{
    SendLockDialog dialog(locked, parent);
    if (prompter)
        dialog.setPrompter(prompter);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.newLockState();
}

void runDefaultChangePasswordDialog(Prompter *prompter, QWidget *parent)
{
    ChangePasswordDialog dialog(parent);
    if (prompter)
        dialog.setPrompter(prompter);
    dialog.exec();
}

} // namespace glintcaster
