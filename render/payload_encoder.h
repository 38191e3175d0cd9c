// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/message_options.h"
#include "message/target_capabilities.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace glintcaster {

class Prompter;

enum class PayloadPurpose : int {
    Send = 0,         ///< all checks, header with style masking
    PreviewCheck = 1, ///< all checks, nothing filled
    ConvertCheck = 2, ///< all checks, nothing filled
    SaveToFile = 3,   ///< all checks, header with the raw option values
};

/// The encoded title and body: big-endian UTF-16 with colour escapes, the body from byte 128.
using MessageBody = QByteArray;

/// What an upload carries (or a message file stores).
struct PayloadResult {
    OptionHeader header; ///< the option header; `header.sendBytes()` is what travels
    MessageBody body;    ///< exactly `bodyLength` bytes
    int bodyLength = 0;
};

/// Where the encoder's checks reach beyond the message itself.
struct PayloadContext {
    Prompter *prompter = nullptr; ///< required: every check talks through it
    TargetCapabilities capabilities;
    bool characterDisplayMode = false;
    /// 1-based line of the visible body box holding body position `position`. When unset
    /// (command line, tests) the lines come from the encoder's own display wrapping.
    std::function<int(qsizetype position)> bodyLineOf;
    /// Shows the report of unsupported characters; returns true when the user asked to
    /// delete them ("Auto Del"). When unset the report is shown as a plain message.
    std::function<bool(const QString &report)> showUnsupportedReport;
    /// Told about each auto-deleted body position, highest first, after the message's body
    /// lost it, so a visible box can follow.
    std::function<void(qsizetype position)> bodyCharacterDeleted;
};

/// Checks and encodes `message`. Returns 0 to go on and 1 when a check stopped (already
/// reported through the prompter). For Send and SaveToFile the result is filled on 0.
/// Unsupported characters deleted on the user's request are removed from `message`.
int BuildPayload(CurrentMessage &message, PayloadPurpose purpose, const PayloadContext &context,
                 PayloadResult *result = nullptr);

} // namespace glintcaster
