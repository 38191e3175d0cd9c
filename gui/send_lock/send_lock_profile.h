// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <optional>

class QString;
class QWidget;

namespace glintcaster {

class Prompter;

/// The send-lock flag as kept in the per-user profile: locked exactly when it reads "1".
bool readSendLockFlag();
bool writeSendLockFlag(bool locked, QString *error);

/// The lock or unlock dialog for the current state, its boxes through `prompter`; the new
/// state, or nothing on Cancel.
std::optional<bool> runDefaultSendLockDialog(bool locked, Prompter *prompter, QWidget *parent);
/// The change-password dialog.
void runDefaultChangePasswordDialog(Prompter *prompter, QWidget *parent);

} // namespace glintcaster
