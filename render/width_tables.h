// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QtGlobal>

#include <array>

namespace glintcaster {

/// Advance widths of the projector font in its own width units. A line is 614 units wide
/// at standard size and 588 at double size, where every character counts twice.
inline constexpr int LineWidthStandard = 614;
inline constexpr int LineWidthDouble = 588;

/// Widths of the basic (Latin-1) font: 256 entries looked up by the low byte of a
/// character, so every character has a width.
struct BasicWidthTable {
    static const std::array<quint8, 256> &entries();
    static int width(char16_t c) { return entries()[c & 0xFF]; }
};

/// Widths of the extended font: U+0000..U+04FF and U+1E00..U+1EFF. Control characters
/// are 0; a character outside both ranges is 0 as well, which marks it as not measurable.
struct ExtendedWidthTable {
    static constexpr int Entries = 1280 + 256;
    static const std::array<quint8, Entries> &entries();
    static bool covers(char16_t c) { return c <= 0x04FF || (c >= 0x1E00 && c <= 0x1EFF); }
    static int width(char16_t c)
    {
        if (c <= 0x04FF)
            return entries()[c];
        if (c >= 0x1E00 && c <= 0x1EFF)
            return entries()[1280 + (c - 0x1E00)];
        return 0;
    }
};

} // namespace glintcaster
