// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/target_capabilities.h"

#include <QString>

namespace glintcaster {

class Prompter;

/// How adding a file to the message folder ended.
enum class AddFileResult {
    Added,        ///< written; "    Complete." was shown
    NameClash,    ///< "Same file name already exists."; nothing written
    NotSupported, ///< not a message file; "This file format is not supported."; nothing written
    Refused,      ///< a ".txt" conversion was stopped by a check (already shown); nothing written
    Failed,       ///< the file could not be read or written (shown); the folder is unchanged
};

/// The palette indices a converted ".txt" file gets: character colour, character
/// background and background.
struct MessageColours {
    int character = 7;
    int characterBackground = 8;
    int background = 8;
};

/// Adds the file at `path` to the message folder `folder` (created when missing) under its
/// own name with the extension ".glc". A ".txt" file is imported as a message body in
/// `colours`, checked as for saving and written as a message file; any other file is copied
/// unchanged, but only when it reads as a message file. Every write replaces atomically;
/// failures are reported through `prompter`. On `Added` the caller shows "    Complete."
/// once it shows the new file.
AddFileResult AddMessageFile(const QString &path, const QString &folder,
                             const MessageColours &colours, const TargetCapabilities &caps,
                             Prompter &prompter);

} // namespace glintcaster
