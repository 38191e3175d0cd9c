// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/message_options.h"
#include "message/rich_text.h"

#include <QString>

namespace glintcaster {

inline constexpr char16_t PageFeedMark = 0x25BC;
inline constexpr char16_t ParagraphBreak = 0x000D;
inline constexpr int StandardSizeTwips = 176;
inline constexpr int DoubleSizeTwips = 352;

/// Character colour 7 on character background 8 at the given size: what "New" and a text
/// import give both boxes.
CharFormat defaultCharFormat(bool doubleSize = false);

/// A tab is never kept in a message: each becomes four spaces with the tab's format.
/// Returns true when anything was replaced.
bool replaceTabs(RichText &text);
QString replaceTabs(QString text);

/// The one message being edited: title and body with their per-character colours, the
/// options, the background colour, the icon and where it was last stored.
class CurrentMessage {
public:
    CurrentMessage() { reset(); }

    /// Defaults of a new message; both boxes count as unmodified afterwards.
    void reset();

    const RichText &title() const { return m_title; }
    const RichText &body() const { return m_body; }
    RichText &title() { return m_title; }
    RichText &body() { return m_body; }
    /// Text entering the model loses its tabs and marks the box modified.
    void setTitle(RichText title);
    void setBody(RichText body);

    /// Takes options, icon and background colour from a stored or received block (byte 2
    /// carrying the lapped-over-picture value in its high nibble); the alarm fields only
    /// when the target takes the alarm.
    void decodeOptions(const OptionBlock &block, bool alarmCapable);

    MessageOptions options;
    ColourCode background = ColourCode::HalfTransparent;
    int icon = 0; ///< 0 none, 1..5
    QString filePath;
    bool titleModified = false;
    bool bodyModified = false;

    bool isModified() const { return titleModified || bodyModified; }
    void setModified(bool modified) { titleModified = bodyModified = modified; }
    bool isDoubleSize() const { return options.fontSize == 1; }

private:
    RichText m_title;
    RichText m_body;
};

} // namespace glintcaster
