// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace glintcaster {

/// The rules of the projector that every front end applies the same way: the window's
/// dialogs, the command line and the server check entries against these, never against
/// numbers of their own.

/// A projector password, and the send-lock password, hold at most this many characters.
inline constexpr int kPasswordMaxLength = 32;

/// The numbered storage slots ("saved numbers") 1..kSavedSlotCount; slot 0 is Quick.
inline constexpr int kSavedSlotCount = 12;

/// True for a saved number 1..12 (not Quick).
constexpr bool isSavedSlot(int slot) { return slot >= 1 && slot <= kSavedSlotCount; }
/// True for Quick (0) or a saved number.
constexpr bool isStorageSlot(int slot) { return slot >= 0 && slot <= kSavedSlotCount; }

/// What a Clear removes. The projector knows it as a clear code; callers name the range.
class ClearRange {
public:
    /// Every slot, Quick included.
    static constexpr ClearRange all() { return ClearRange(0x3511); }
    /// Quick only.
    static constexpr ClearRange quick() { return ClearRange(0x3512); }
    /// Every saved number (the "ALL" of the saved-number list).
    static constexpr ClearRange allSaved() { return ClearRange(0x3513); }
    /// One saved number 1..12; nothing for any other number.
    static constexpr std::optional<ClearRange> saved(int slot)
    {
        if (!isSavedSlot(slot))
            return std::nullopt;
        return ClearRange(quint16(0x3513 + slot));
    }

    /// The clear code sent to the projector.
    constexpr quint16 code() const { return m_code; }
    constexpr bool operator==(const ClearRange &) const = default;

private:
    constexpr explicit ClearRange(quint16 code) : m_code(code) {}
    quint16 m_code;
};

/// The display-time choices offered for the startup display, in minutes; 0 is "Repeat"
/// (shown with the message table's text 1083). A typed value 1..kStartupMaxMinutes is
/// accepted as well.
inline constexpr std::array<int, 13> kStartupMinuteChoices = {0,  1,  2,  3,  6,  8,  10,
                                                              20, 40, 60, 80, 100, 127};
inline constexpr int kStartupMaxMinutes = 127;

} // namespace glintcaster
