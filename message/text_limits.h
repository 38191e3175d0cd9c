// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>
#include <QtGlobal>

namespace glintcaster {

inline constexpr int TypedTitleLimit = 60;    ///< what the title box lets the user type
inline constexpr int TitleRegionBytes = 128;  ///< the body's encoding starts here
inline constexpr int EncodedTextLimit = 3968; ///< largest body a projector takes
inline constexpr int EncodingWorkLimit = 4490;
inline constexpr int EncodingBufferSize = 4500;
inline constexpr int PopOnLinesStandard = 14; ///< this many lines no longer fit
inline constexpr int PopOnLinesDouble = 7;

/// Characters of the title that are encoded: 10 at double size, else 20 with the extended
/// character set (wider glyphs) and 40 with the basic one.
int titleLimit(int fontSize, bool extendedCharset);

/// Whether a projector with only the basic (Latin-1) character set can show `c`; control
/// and marker codes the encoder produces or consumes count as supported.
bool isBasicSupported(char16_t c);

/// Replaces the first "%d" of a message-table text by `value`.
QString withNumber(const QString &pattern, int value);

} // namespace glintcaster
