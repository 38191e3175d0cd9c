// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_store.h"

#include <QString>

#include <functional>
#include <optional>

namespace glintcaster {

class Prompter;

/// Fills the four "%d" of a message text with the octets of `address`, most significant first.
QString fillAddress(const QString &pattern, quint32 address);

/// How a projector box lists a registered projector: "address  name", or the address alone
/// when it has no name.
QString projectorChoiceText(const ProjectorEntry &entry);

// The Discovery tab's operations on the registered list. Each shows its refusal through
// the prompter and returns false when it stopped; a true return means the list changed.

/// "Registration" of the projector selected among the found ones (nothing: none selected).
bool registerDiscovered(ProjectorStore &store, const std::optional<ProjectorEntry> &selected,
                        Prompter &prompter);

/// "Configure Manually...": `runDialog` is only called when there is room; it returns the
/// entry typed in, or nothing on Cancel.
bool configureManually(ProjectorStore &store, Prompter &prompter,
                       const std::function<std::optional<ProjectorEntry>()> &runDialog);

/// The password dialog's answer: new authentication flag and password.
struct Credentials {
    int auth = 0;
    QString password;
};
using PasswordDialogFn =
    std::function<std::optional<Credentials>(const QString &label, int auth, const QString &password)>;

/// "Password...": the entry is written to the file whether the dialog was accepted or not.
bool editPassword(ProjectorStore &store, int row, Prompter &prompter, const PasswordDialogFn &runDialog);

/// "Delete": asks first; afterwards the first entry becomes the current projector.
bool deleteRegistered(ProjectorStore &store, int row, Prompter &prompter);

} // namespace glintcaster
