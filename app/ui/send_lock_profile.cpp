// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ui/send_lock_profile.h"

#include "comm/send_lock.h"
#include "comm/ui/change_password_dialog.h"
#include "comm/ui/send_lock_dialog.h"

namespace glintcaster {

bool readSendLockFlag()
{
    return SendLockProfile().lockFlag();
}

void writeSendLockFlag(bool locked)
{
    SendLockProfile().setLockFlag(locked);
}

std::optional<bool> runDefaultSendLockDialog(bool locked, Prompter *prompter, QWidget *parent)
{
    CSendLock dialog(locked, parent);
    if (prompter)
        dialog.setPrompter(prompter);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.newLockState();
}

void runDefaultChangePasswordDialog(Prompter *prompter, QWidget *parent)
{
    CChangePassword dialog(parent);
    if (prompter)
        dialog.setPrompter(prompter);
    dialog.exec();
}

} // namespace glintcaster
