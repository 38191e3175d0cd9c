// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "render/glyph_set.h"
#include "render/preview_model.h"
#include "render/preview_raster.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

namespace glintcaster {

/// Where things go in the preview's client area.
struct PreviewGeometry {
    QSize client;         ///< 1000 x 300 Scroll, 740 x 600 Box and Pop on, 1000 x 560 Picture Side
    QRect textArea;       ///< drawn in the background colour; every drawing is clipped to it
    QRect messageArea;    ///< the message rows inside the text area
    QPoint titleAt;       ///< where the title bitmap goes
    QPoint messageOrigin; ///< where column 0 of message row 0 goes
    QRect blackStrip;     ///< Picture Side only: the strip beside the panel
    int lineHeight = 24;
    int margin = 12;
    int linesPerPage = 12;
    int intervalMs = 17;
};

/// Computes the geometry; `titleWidth` is the drawn width of the first title line.
PreviewGeometry previewGeometry(const PreviewModel &model, int titleWidth);

/// Timer interval of a style in milliseconds: Scroll 17, Box 8, Pop on 17, Picture Side 8.
int previewIntervalMs(PreviewStyle style);

/// The preview as a pure state machine. `open()` paints the opening frame; every `tick()`
/// is one timer tick at a given time since opening and draws into the same client-sized
/// frame. The window shows `frame()`; the command line saves it. Nothing here needs a
/// window or a real clock.
class PreviewAnimation {
public:
    enum class Phase { Typing, Scrolling, Holding };

    PreviewAnimation(const PreviewModel &model, const GlyphSet &glyphs);

    /// Called with each part bitmap as it is rendered (opening, new page, new pass), for
    /// writing "title.bmp" and "message.bmp".
    using RenderSink = std::function<void(int part, const QImage &bitmap)>;
    void setRenderSink(RenderSink sink) { m_sink = std::move(sink); }

    /// Renders both parts and paints the opening frame.
    void open();
    /// One timer tick, `elapsedMs` after opening. Returns false once the preview has closed
    /// by itself (scroll count or display time used up); later ticks change nothing.
    bool tick(qint64 elapsedMs);

    bool isClosed() const { return m_closed; }
    int ticks() const { return m_ticks; }
    const QImage &frame() const { return m_frame; }
    const PreviewGeometry &geometry() const { return m_geometry; }
    const PreviewModel &model() const { return m_model; }
    QSize titleBitmapSize() const { return m_title.bitmap.size(); }
    QSize messageBitmapSize() const { return m_openingMessageSize; }
    /// Pages the message is divided into by page-feed marks (1 for Scroll).
    int pages() const { return m_pages; }
    Phase phase() const { return m_phase; }
    int scrollPasses() const { return m_passes; }

    /// The tick at which an opened preview closes by itself when tick k comes k intervals
    /// after opening; nullopt when it never does (or not within `maxTicks`). Runs a copy of
    /// the state machine without drawing.
    std::optional<int> closeTick(int maxTicks = 100'000'000) const;

private:
    void renderMessage(int firstLine);
    void paintOpening();
    void drawTitle();
    void drawMessageRows(int pixelTop);
    void close() { m_closed = true; }
    bool displayTimeUsed(qint64 elapsedMs) const;

    void tickScroll();
    void tickPopOn(qint64 elapsedMs);
    void tickTyping(qint64 elapsedMs);
    void startPage(int firstLine);
    void endOfPass(qint64 elapsedMs);
    int rowOnScreen(int line) const { return line - m_renderStart - m_firstRow; }

    PreviewModel m_model;
    GlyphSet m_glyphs;
    PartAdvances m_advances; // message
    PreviewGeometry m_geometry;
    RenderedPart m_title;
    RenderedPart m_message;
    QSize m_openingMessageSize;
    QImage m_frame;
    RenderSink m_sink;
    QRgb m_background = 0;
    bool m_drawing = true;
    int m_pages = 1;
    int m_lineCount = 0;
    bool m_singlePage = true;

    // Animation state.
    bool m_closed = false;
    int m_ticks = 0;
    Phase m_phase = Phase::Typing;
    int m_offset = 0;      // pixels scrolled
    int m_passes = 0;      // Scroll passes completed
    qint64 m_blinkStart = 0; // Pop on: second the current blink cycle began
    int m_line = 0;        // message line being typed
    int m_char = 0;        // its next character
    int m_runX = 0;        // scaled x of that character
    int m_renderStart = 0; // first line of the message bitmap
    int m_firstRow = 0;    // bitmap rows scrolled off the top
    bool m_pageBreak = false;
};

} // namespace glintcaster
