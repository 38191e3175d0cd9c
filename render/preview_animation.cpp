// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/preview_animation.h"

namespace glintcaster {

namespace {

constexpr QRgb ScreenBlue = 0xFF0000FF;
constexpr QRgb StripBlack = 0xFF000000;
constexpr int BoxAreaX = 50;
constexpr int BoxAreaWidth = 640;
constexpr int BoxAreaHeight = 336;
constexpr int PanelWidth = 214;
constexpr int PanelHeight = 576;
constexpr int StripWidth = 42;

} // namespace

int previewIntervalMs(PreviewStyle style)
{
    switch (style) {
    case PreviewStyle::Box:
    case PreviewStyle::PictureSide:
        return 8;
    case PreviewStyle::Scroll:
    case PreviewStyle::PopOn:
        break;
    }
    return 17;
}

PreviewGeometry previewGeometry(const PreviewModel &model, int titleWidth)
{
    PreviewGeometry g;
    const int lineH = model.lineHeight();
    const int tp = model.titlePresent() ? 1 : 0;
    g.lineHeight = lineH;
    g.intervalMs = previewIntervalMs(model.style);
    g.linesPerPage = previewLinesPerPage(model);
    g.margin = model.style == PreviewStyle::PictureSide ? 0 : 12 * model.scale();

    int y0 = 0;
    int areaX = 0;
    int titleSpan = 0; // width the title position is measured against
    switch (model.style) {
    case PreviewStyle::Scroll:
        g.client = {1000, 300};
        if (model.verticalPosition == 1)
            y0 = tp ? 300 / 2 - lineH - 25 : 300 / 2 - 25;
        else if (model.verticalPosition == 2)
            y0 = tp ? 300 - 2 * lineH - 10 : 300 - lineH - 10;
        g.textArea = QRect(0, y0, g.client.width(), (tp + 1) * lineH);
        g.messageArea = QRect(0, y0 + tp * lineH, g.client.width(), lineH);
        g.messageOrigin = g.messageArea.topLeft();
        titleSpan = 1000;
        break;
    case PreviewStyle::Box:
    case PreviewStyle::PopOn:
        g.client = {740, 600};
        if (model.verticalPosition == 1)
            y0 = 600 / 2 - 178;
        else if (model.verticalPosition == 2)
            y0 = 600 - 346;
        areaX = BoxAreaX;
        g.textArea = QRect(areaX, y0, BoxAreaWidth, BoxAreaHeight);
        titleSpan = BoxAreaWidth;
        break;
    case PreviewStyle::PictureSide:
        g.client = {1000, 560};
        areaX = model.horizontalPosition == 2 ? 1000 - PanelWidth : 0;
        g.textArea = QRect(areaX, 0, PanelWidth, PanelHeight);
        g.blackStrip = model.horizontalPosition == 2 ? QRect(areaX - StripWidth, 0, StripWidth, PanelHeight)
                                                     : QRect(PanelWidth, 0, StripWidth, PanelHeight);
        break;
    }
    if (model.style != PreviewStyle::Scroll) {
        g.messageArea = QRect(areaX, y0 + tp * lineH, g.textArea.width(), g.linesPerPage * lineH)
                            .intersected(g.textArea);
        g.messageOrigin = QPoint(areaX + g.margin, y0 + tp * lineH);
    }

    int titleX = g.margin;
    if (model.style == PreviewStyle::PictureSide) {
        titleX = 0;
    } else if (model.titlePosition == 1) {
        titleX = titleSpan / 2 >= titleWidth / 2 ? titleSpan / 2 - titleWidth / 2 : g.margin;
    } else if (model.titlePosition == 2) {
        titleX = titleSpan >= titleWidth ? titleSpan - g.margin - titleWidth : g.margin;
    }
    g.titleAt = QPoint(areaX + titleX, y0);
    return g;
}

PreviewAnimation::PreviewAnimation(const PreviewModel &model, const GlyphSet &glyphs)
    : m_model(model), m_glyphs(glyphs)
{
    m_advances = measurePart(m_model, m_glyphs, 1);
    const PartAdvances title = measurePart(m_model, m_glyphs, 0);
    const int titleWidth = m_model.titleLines.isEmpty() ? 0 : title.lineWidth(0, m_model.scale());
    m_geometry = previewGeometry(m_model, titleWidth);
    m_background = previewRgb(m_model.backgroundCode);
    m_lineCount = int(m_model.messageLines.size());
    if (m_model.style != PreviewStyle::Scroll) {
        // A mark on the last line starts no further page.
        for (int l = m_advances.markLineFrom(0); l >= 0 && l < m_lineCount - 1;
             l = m_advances.markLineFrom(l + 1))
            ++m_pages;
    }
    // A message whose lines all fit one page holds its last page once typed, page feeds or not.
    m_singlePage = m_lineCount <= m_geometry.linesPerPage;
}

void PreviewAnimation::open()
{
    m_title = RenderPreviewPart(m_model, m_glyphs, 0, 0);
    if (m_sink)
        m_sink(0, m_title.bitmap);
    renderMessage(0);
    m_openingMessageSize = m_message.bitmap.size();
    paintOpening();
}

void PreviewAnimation::renderMessage(int firstLine)
{
    if (!m_drawing)
        return;
    m_message = RenderPreviewPart(m_model, m_glyphs, 1, firstLine);
    if (m_sink)
        m_sink(1, m_message.bitmap);
}

void PreviewAnimation::paintOpening()
{
    m_frame = QImage(m_geometry.client, QImage::Format_RGB32);
    m_frame.fill(ScreenBlue);
    fillClipped(m_frame, m_geometry.textArea, m_background);
    if (!m_geometry.blackStrip.isEmpty())
        fillClipped(m_frame, m_geometry.blackStrip, StripBlack);
    drawTitle();
}

void PreviewAnimation::drawTitle()
{
    copyClipped(m_frame, m_geometry.titleAt, m_title.bitmap, m_title.bitmap.rect(),
                m_geometry.textArea, m_background);
}

void PreviewAnimation::drawMessageRows(int pixelTop)
{
    if (!m_drawing)
        return;
    const QRect &area = m_geometry.messageArea;
    fillClipped(m_frame, area, m_background);
    const QRect from(0, pixelTop, area.right() + 1 - m_geometry.messageOrigin.x(), area.height());
    copyClipped(m_frame, m_geometry.messageOrigin, m_message.bitmap, from, area, m_background);
}

bool PreviewAnimation::displayTimeUsed(qint64 elapsedMs) const
{
    const qint64 seconds = elapsedMs / 1000;
    return m_model.displaySeconds != 0 && seconds > m_model.displaySeconds;
}

bool PreviewAnimation::tick(qint64 elapsedMs)
{
    if (m_closed)
        return false;
    ++m_ticks;
    if (m_ticks == 1)
        return true; // the first tick only arms the animation
    switch (m_model.style) {
    case PreviewStyle::Scroll:
        tickScroll();
        break;
    case PreviewStyle::PopOn:
        tickPopOn(elapsedMs);
        break;
    case PreviewStyle::Box:
    case PreviewStyle::PictureSide:
        tickTyping(elapsedMs);
        break;
    }
    return !m_closed;
}

void PreviewAnimation::tickScroll()
{
    const int width = m_geometry.client.width();
    m_offset += m_model.scrollSpeed + 2;
    if (m_drawing)
        copyClipped(m_frame, m_geometry.messageOrigin, m_message.bitmap,
                    QRect(m_offset, 0, width, m_geometry.lineHeight), m_geometry.messageArea,
                    m_background);
    if (m_offset > m_message.textWidth + width) {
        ++m_passes;
        m_offset = 0;
        if (m_model.scrollCount != 0 && m_passes >= m_model.scrollCount)
            close();
    }
}

void PreviewAnimation::tickPopOn(qint64 elapsedMs)
{
    if (displayTimeUsed(elapsedMs)) {
        close();
        return;
    }
    if (!m_drawing)
        return;
    const QRect whole = m_message.bitmap.rect();
    if (!m_model.blink) {
        copyClipped(m_frame, m_geometry.messageOrigin, m_message.bitmap, whole,
                    m_geometry.messageArea, m_background);
        return;
    }
    // Four seconds shown, one second gone.
    const qint64 seconds = elapsedMs / 1000;
    if (seconds - m_blinkStart > 4)
        m_blinkStart = seconds;
    if (seconds - m_blinkStart <= 3) {
        fillClipped(m_frame, m_geometry.textArea, m_background);
        drawTitle();
        copyClipped(m_frame, m_geometry.messageOrigin, m_message.bitmap, whole,
                    m_geometry.messageArea, m_background);
    } else {
        fillClipped(m_frame, m_geometry.textArea, ScreenBlue);
    }
}

void PreviewAnimation::startPage(int firstLine)
{
    m_renderStart = firstLine;
    m_line = firstLine;
    m_firstRow = 0;
    m_offset = 0;
    m_char = 0;
    m_runX = 0;
    m_pageBreak = false;
    m_phase = Phase::Typing;
    renderMessage(firstLine);
    if (m_drawing)
        fillClipped(m_frame, m_geometry.messageArea, m_background);
}

void PreviewAnimation::endOfPass(qint64 elapsedMs)
{
    if (displayTimeUsed(elapsedMs)) {
        close();
        return;
    }
    startPage(0);
}

void PreviewAnimation::tickTyping(qint64 elapsedMs)
{
    const int lineH = m_geometry.lineHeight;
    const int scale = m_model.scale();
    switch (m_phase) {
    case Phase::Typing: {
        if (m_line >= m_lineCount) { // nothing (left) to type
            m_phase = m_singlePage ? Phase::Holding : Phase::Scrolling;
            return;
        }
        const QList<int> &widths = m_advances.widths.at(m_line);
        if (m_char < widths.size()) {
            const int w = widths.at(m_char) * scale;
            if (m_drawing && w > 0) {
                const QRect from(m_runX, lineH * (m_line - m_renderStart), w, lineH);
                const QPoint to = m_geometry.messageOrigin + QPoint(m_runX, lineH * rowOnScreen(m_line));
                copyClipped(m_frame, to, m_message.bitmap, from, m_geometry.messageArea, m_background);
            }
            m_runX += w;
            ++m_char;
            return;
        }
        // The line-end step.
        if (m_advances.marks.at(m_line) && m_line + 1 < m_lineCount) {
            m_pageBreak = true;
            m_phase = Phase::Scrolling;
            m_offset = 0;
            return;
        }
        ++m_line;
        m_char = 0;
        m_runX = 0;
        if (m_line >= m_lineCount)
            m_phase = m_singlePage ? Phase::Holding : Phase::Scrolling;
        else if (rowOnScreen(m_line) >= m_geometry.linesPerPage)
            m_phase = Phase::Scrolling;
        return;
    }
    case Phase::Scrolling:
        ++m_offset;
        drawMessageRows(m_firstRow * lineH + m_offset);
        if (m_offset < lineH)
            return;
        m_offset = 0;
        ++m_firstRow;
        if (m_pageBreak) {
            startPage(m_line + 1);
            return;
        }
        if (m_line >= m_lineCount) {
            // Everything typed: scroll on until the last line has left the area.
            if (m_firstRow >= m_lineCount - m_renderStart)
                endOfPass(elapsedMs);
            return;
        }
        m_phase = Phase::Typing;
        return;
    case Phase::Holding:
        if (displayTimeUsed(elapsedMs)) {
            close();
            return;
        }
        drawMessageRows(m_firstRow * lineH);
        return;
    }
}

std::optional<int> PreviewAnimation::closeTick(int maxTicks) const
{
    if (m_closed)
        return m_ticks;
    if (m_model.style == PreviewStyle::Scroll ? m_model.scrollCount == 0 : m_model.displaySeconds == 0)
        return std::nullopt;
    PreviewAnimation dry(*this);
    dry.m_drawing = false;
    dry.m_sink = {};
    while (dry.m_ticks < maxTicks) {
        const int k = dry.m_ticks + 1;
        if (!dry.tick(qint64(k) * m_geometry.intervalMs))
            return k;
    }
    return std::nullopt;
}

} // namespace glintcaster
