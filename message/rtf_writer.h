// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QByteArray>

namespace glintcaster {

/// Writes rich text as RTF in the dialect a Windows rich-edit control produces
/// (code page 1252, `\'hh` for code-page characters, `\u` with one '?' fallback for the rest,
/// `\cf`, `\highlight`, `\f`, `\fs`). Every character is written, nothing is added: U+000D and
/// U+000A become `\par`, so a text without a trailing break reads back without one.
/// Sizes are written in whole half-points; 176 and 352 twips (the edit boxes' sizes) round to
/// values that `readRtf` maps back to them exactly.
QByteArray writeRtf(const RichText &text);

/// Half-points written for a size in twips, and twips read back for half-points.
int rtfHalfPointsFromTwips(int twips);
int rtfTwipsFromHalfPoints(int halfPoints);

} // namespace glintcaster
