// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/message_options.h"

#include <QByteArrayView>

namespace glintcaster {

/// Most colour runs a decoded message keeps; later colour escapes are consumed without
/// changing the colour. No body the encoder builds holds more.
inline constexpr int MaxColourRuns = 496;

/// What decoding a received message decided besides the message itself.
struct ReceivedMessageInfo {
    bool characterDisplayMode = false; ///< the message background was transparent
    int colourRuns = 0;                ///< runs applied (at most MaxColourRuns)
    bool runsDropped = false;          ///< the body held more escapes than that
};

/// Puts a message read back from a projector into `message`: `optionBytes` as the projector
/// stores them (byte 2 carrying the lapped-over-picture value in its high nibble) decoded
/// into the options (alarm fields only with `alarmCapable`), icon, background, and title
/// and body with their colours from `body` (title in characters 0..63, body from 64 on).
ReceivedMessageInfo decodeReceivedMessage(const OptionBlock &optionBytes, QByteArrayView body,
                                          bool alarmCapable, CurrentMessage &message);

} // namespace glintcaster
