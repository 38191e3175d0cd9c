// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

namespace glintcaster {

/// Character format of an edit box character. What the box leaves unset (no foreground, no
/// background, no size) is the box's default, never black.
CharFormat charFormatFromText(const QTextCharFormat &format, const CharFormat &boxDefault);
/// The text format that shows `format` in an edit box.
QTextCharFormat textFormatFor(const CharFormat &format);

/// The rich text of `document` between positions `from` and `to` (-1: to the end), read
/// block by block and fragment by fragment so that every UTF-16 unit arrives as it is
/// (no-break spaces, line and paragraph separators included). Block ends become U+000D, so
/// a document position is the same index in the result.
RichText richTextFromDocument(const QTextDocument &document, const CharFormat &boxDefault,
                              int from = 0, int to = -1);

/// Inserts `text` at the cursor: U+000D and U+000A start a new block, everything else is
/// inserted with its own format. The cursor ends after the text.
void insertRichText(QTextCursor &cursor, const RichText &text);

/// Palette code nearest to an RGB value (exact palette colours map to themselves). Unlike
/// `codeForRgb`, an off-palette colour keeps its closest look instead of turning black.
int nearestPaletteCode(quint32 rgb);
/// Every character colour and background of `text` moved onto the palette.
void snapToPalette(RichText &text);

/// A title is one line: paragraph and line breaks, form feeds and the page-feed mark's
/// break become spaces, and tabs four spaces.
RichText oneLineTitle(const RichText &text);

/// Text entering a body: every kind of line break (CR LF, LF, line and paragraph
/// separators) becomes one U+000D, a form feed the page-feed mark, tabs four spaces.
RichText normalisedBody(const RichText &text);

/// Sets every character of `text` to `sizeTwips` (the boxes hold one size).
void setSize(RichText &text, int sizeTwips);

} // namespace glintcaster
