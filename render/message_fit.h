// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/target_capabilities.h"

namespace glintcaster {

/// What `fitMessage` left out, in characters (a surrogate pair counts once).
struct FitResult {
    int titleCut = 0;
    int bodyCut = 0;
    int total() const { return titleCut + bodyCut; }
};

/// Cuts a message to what a projector takes, for text that arrives from elsewhere and is too
/// long to be asked about character by character: the title to its limit, the body to the
/// longest beginning that the encoder accepts (3968 bytes with its colour escapes and line
/// wrapping), never between the halves of a surrogate pair, without the empty lines and
/// spaces a cut would leave at its end. The body is cut from its end only, as deleting the
/// overflow in the body box would. A message that already fits is left unchanged. Run it
/// after characters the target cannot show were removed: it asks nothing and shows nothing.
FitResult fitMessage(CurrentMessage &message, const TargetCapabilities &target);

/// Only the title's part of `fitMessage`: returns the characters cut.
int fitTitle(CurrentMessage &message, const TargetCapabilities &target);

} // namespace glintcaster
