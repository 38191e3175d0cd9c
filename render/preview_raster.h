// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "render/glyph_set.h"
#include "render/preview_model.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace glintcaster {

/// Client width of the preview for a style: 1000 for Scroll and Picture Side, 740 otherwise.
int previewClientWidth(PreviewStyle style);
/// Lines one page of the message holds: 12 (5 at double size) for Box and Pop on, 22 for
/// Picture Side, one more without a title.
int previewLinesPerPage(const PreviewModel &model);

/// What the renderer does with one character.
struct GlyphChoice {
    int code = -1;         ///< glyph drawn; -1 for none (advance 0)
    bool lineEnd = false;  ///< ends its line: its ink takes the background colour
    bool pageMark = false; ///< ends a Box, Pop on or Picture Side rendering
};
/// Control characters are judged by their whole code (so U+00BC is a glyph, not a page
/// feed); any other character is drawn with the glyph of its low byte, none below 0x20.
GlyphChoice chooseGlyph(char16_t ch, PreviewStyle style);

/// Unscaled advances of one part as the renderer draws them: per line, per character, the
/// glyph width (0 for what is not drawn: a missing glyph, the page-feed mark and what
/// follows it on its line). The typing animation reveals the text with them.
struct PartAdvances {
    QList<QList<int>> widths;
    QList<bool> marks;    ///< per line: it holds a page-feed mark (never in Scroll)
    int iconWidth = 0;    ///< unscaled width of the title icon before each title line

    /// Scaled width of line `line` as drawn (icon included for the title).
    int lineWidth(int line, int scale) const;
    /// Index of the first line at or after `from` that holds a page-feed mark; -1 if none.
    int markLineFrom(int from) const;
};
PartAdvances measurePart(const PreviewModel &model, const GlyphSet &glyphs, int part);

/// One rendered part bitmap (24-bit RGB) and what the animation needs from its rendering.
struct RenderedPart {
    QImage bitmap;
    int firstLine = 0;
    /// Box, Pop on, Picture Side: lines rendered before the line holding a page-feed mark
    /// (the mark's own line is drawn up to the mark); -1 when no mark stopped the rendering.
    int linesBeforeMark = -1;
    /// Scroll message: the width the characters take (the row's drawn advances).
    int textWidth = 0;
};

/// Renders part 0 (title) or 1 (message) from line `firstLine` of the model. Drawing is
/// clipped to the bitmap and to each line's row; nothing is written to disk.
RenderedPart RenderPreviewPart(const PreviewModel &model, const GlyphSet &glyphs, int part,
                               int firstLine);

/// Writes `bitmap` as a BMP file replacing `path` only when complete. Returns false (and
/// leaves any earlier file) when it cannot be written.
bool writePreviewBitmap(const QImage &bitmap, const QString &path);
/// "title.bmp" or "message.bmp" in the application home.
QString previewBitmapPath(int part);

/// Copies `source` rect `from` to `to` in `target`, clipped to `clip` and `target`; the part
/// of the destination whose source lies outside `source` is filled with `fill`.
void copyClipped(QImage &target, QPoint to, const QImage &source, const QRect &from,
                 const QRect &clip, QRgb fill);
/// Fills `rect` clipped to `target`.
void fillClipped(QImage &target, const QRect &rect, QRgb colour);
/// Opaque RGB of a palette code; codes outside 1..9 are black.
QRgb previewRgb(int code);

} // namespace glintcaster
