// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/preview_raster.h"

#include "base/app_home.h"

#include <QBuffer>
#include <QSaveFile>

namespace glintcaster {

namespace {

constexpr int BoxBitmapWidth = 640;
constexpr int PictureSideWidth = 214;
constexpr int PictureSideSpare = 576; // room the side panel can scroll into
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

const QList<PreviewLine> &partLines(const PreviewModel &model, int part)
{
    return part == 0 ? model.titleLines : model.messageLines;
}

// Draws one glyph recoloured and scaled by pixel duplication (never smoothed): white ink
// takes `ink` (or `bottom` in the glyph's last row), black takes `paper`, any other pixel
// stays as it is. `rowClip` keeps the glyph inside its line and the bitmap.
void drawGlyph(QImage &target, const QImage &glyph, int x, int y, int scale, QRgb ink,
               QRgb paper, QRgb bottom, const QRect &rowClip)
{
    const int h = glyph.height();
    const int w = glyph.width();
    for (int gy = 0; gy < h; ++gy) {
        const QRgb *src = reinterpret_cast<const QRgb *>(glyph.constScanLine(gy));
        const QRgb inkHere = gy == h - 1 ? bottom : ink;
        for (int sy = 0; sy < scale; ++sy) {
            const int ty = y + gy * scale + sy;
            if (ty < rowClip.top() || ty > rowClip.bottom())
                continue;
            QRgb *dst = reinterpret_cast<QRgb *>(target.scanLine(ty));
            for (int gx = 0; gx < w; ++gx) {
                const QRgb p = src[gx] | 0xFF000000;
                const QRgb c = p == White ? inkHere : p == Black ? paper : p;
                for (int sx = 0; sx < scale; ++sx) {
                    const int tx = x + gx * scale + sx;
                    if (tx >= rowClip.left() && tx <= rowClip.right())
                        dst[tx] = c;
                }
            }
        }
    }
}

// Icons are pictures, not ink: copied unchanged, scaled like the glyphs.
void drawIcon(QImage &target, const QImage &icon, int x, int y, int scale, const QRect &rowClip)
{
    for (int gy = 0; gy < icon.height(); ++gy) {
        const QRgb *src = reinterpret_cast<const QRgb *>(icon.constScanLine(gy));
        for (int sy = 0; sy < scale; ++sy) {
            const int ty = y + gy * scale + sy;
            if (ty < rowClip.top() || ty > rowClip.bottom())
                continue;
            QRgb *dst = reinterpret_cast<QRgb *>(target.scanLine(ty));
            for (int gx = 0; gx < icon.width(); ++gx)
                for (int sx = 0; sx < scale; ++sx) {
                    const int tx = x + gx * scale + sx;
                    if (tx >= rowClip.left() && tx <= rowClip.right())
                        dst[tx] = src[gx] | 0xFF000000;
                }
        }
    }
}

QSize partSize(const PreviewModel &model, int part, int textWidth)
{
    const int lineH = model.lineHeight();
    const int lines = qMax<qsizetype>(1, model.messageLines.size());
    switch (model.style) {
    case PreviewStyle::Scroll: {
        const int w = previewClientWidth(model.style);
        if (part == 0)
            return {w, lineH};
        const int tail = 14 * model.scale();
        return {w + tail + textWidth, lineH};
    }
    case PreviewStyle::Box:
        return {BoxBitmapWidth, part == 0 ? lineH : lineH * lines};
    case PreviewStyle::PopOn:
        return {BoxBitmapWidth, part == 0 ? lineH : lineH * previewLinesPerPage(model)};
    case PreviewStyle::PictureSide:
        return {PictureSideWidth, part == 0 ? lineH : lineH * lines + PictureSideSpare};
    }
    return {};
}

} // namespace

int previewClientWidth(PreviewStyle style)
{
    return style == PreviewStyle::Scroll || style == PreviewStyle::PictureSide ? 1000 : 740;
}

int previewLinesPerPage(const PreviewModel &model)
{
    int lines = model.style == PreviewStyle::PictureSide ? 22 : model.fontSize == 1 ? 5 : 12;
    if (!model.titlePresent())
        ++lines;
    return lines;
}

QRgb previewRgb(int code)
{
    if (code < 1 || code > 9)
        return Black;
    return 0xFF000000 | rgbForCode(code);
}

GlyphChoice chooseGlyph(char16_t ch, PreviewStyle style)
{
    const bool scroll = style == PreviewStyle::Scroll;
    switch (ch) {
    case 0x0009:
        return {0x20, false, false};
    case 0x000A:
    case 0x000C:
    case 0x000D:
        return {0x20, !scroll, false};
    case PageFeedMark:
        return scroll ? GlyphChoice{0x20, false, false} : GlyphChoice{-1, false, true};
    default:
        break;
    }
    const int low = ch & 0xFF;
    return {low < GlyphSet::FirstCode ? -1 : low, false, false};
}

int PartAdvances::lineWidth(int line, int scale) const
{
    int sum = iconWidth;
    for (int w : widths.at(line))
        sum += w;
    return sum * scale;
}

int PartAdvances::markLineFrom(int from) const
{
    for (int l = qMax(0, from); l < marks.size(); ++l)
        if (marks.at(l))
            return l;
    return -1;
}

PartAdvances measurePart(const PreviewModel &model, const GlyphSet &glyphs, int part)
{
    PartAdvances a;
    if (part == 0 && model.icon)
        a.iconWidth = glyphs.icon(model.icon).width();
    const QList<PreviewLine> &lines = partLines(model, part);
    a.widths.reserve(lines.size());
    for (int l = 0; l < lines.size(); ++l) {
        QList<int> widths;
        widths.reserve(lines[l].size());
        bool stopped = false;
        for (const PreviewChar &c : lines[l]) {
            const GlyphChoice g = chooseGlyph(c.ch, model.style);
            stopped = stopped || g.pageMark;
            widths.append(stopped || g.code < 0 ? 0 : glyphs.glyph(g.code).width());
        }
        a.widths.append(widths);
        a.marks.append(stopped);
    }
    return a;
}

RenderedPart RenderPreviewPart(const PreviewModel &model, const GlyphSet &glyphs, int part,
                               int firstLine)
{
    RenderedPart r;
    r.firstLine = firstLine;
    const QList<PreviewLine> &lines = partLines(model, part);
    const bool scroll = model.style == PreviewStyle::Scroll;
    const int scale = model.scale();
    const int lineH = model.lineHeight();
    const PartAdvances adv = measurePart(model, glyphs, part);
    if (scroll) {
        for (int l = qMax(0, firstLine); l < lines.size(); ++l)
            r.textWidth += adv.lineWidth(l, scale);
    }

    const QRgb background = previewRgb(model.backgroundCode);
    r.bitmap = QImage(partSize(model, part, r.textWidth), QImage::Format_RGB32);
    r.bitmap.fill(background);

    int x = scroll && part == 1 ? previewClientWidth(model.style) : 0;
    int y = 0;
    for (int l = qMax(0, firstLine); l < lines.size(); ++l) {
        if (!scroll) {
            x = 0;
            y = (l - firstLine) * lineH;
        }
        const QRect rowClip = QRect(0, y, r.bitmap.width(), lineH).intersected(r.bitmap.rect());
        if (part == 0 && model.icon) {
            const QImage &icon = glyphs.icon(model.icon);
            if (!icon.isNull())
                drawIcon(r.bitmap, icon, x, y, scale, rowClip);
            x += icon.width() * scale;
        }
        const PreviewLine &line = lines[l];
        for (int c = 0; c < line.size(); ++c) {
            const GlyphChoice g = chooseGlyph(line[c].ch, model.style);
            if (g.pageMark) {
                r.linesBeforeMark = l - firstLine;
                return r;
            }
            if (g.code < 0)
                continue;
            const QImage &glyph = glyphs.glyph(g.code);
            if (glyph.isNull())
                continue;
            const QRgb ink = g.lineEnd ? background : previewRgb(line[c].colour);
            // The bottom row stays clear of ink in the line styles, as on the projector.
            const QRgb bottom = scroll ? ink : background;
            if (!rowClip.isEmpty())
                drawGlyph(r.bitmap, glyph, x, y, scale, ink, previewRgb(line[c].background),
                          bottom, rowClip);
            x += glyph.width() * scale;
        }
    }
    return r;
}

bool writePreviewBitmap(const QImage &bitmap, const QString &path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!bitmap.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString previewBitmapPath(int part)
{
    return AppHome::filePath(part == 0 ? QStringLiteral("title.bmp") : QStringLiteral("message.bmp"));
}

void fillClipped(QImage &target, const QRect &rect, QRgb colour)
{
    const QRect r = rect.intersected(target.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(target.scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, colour);
    }
}

void copyClipped(QImage &target, QPoint to, const QImage &source, const QRect &from,
                 const QRect &clip, QRgb fill)
{
    const QRect dest = QRect(to, from.size()).intersected(clip).intersected(target.rect());
    if (dest.isEmpty())
        return;
    const QPoint shift = from.topLeft() - to; // destination -> source
    const QRect available = dest.translated(shift).intersected(source.rect()).translated(-shift);
    fillClipped(target, dest, fill);
    for (int y = available.top(); y <= available.bottom(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(source.constScanLine(y + shift.y()));
        QRgb *dst = reinterpret_cast<QRgb *>(target.scanLine(y));
        std::copy(src + available.left() + shift.x(), src + available.right() + shift.x() + 1,
                  dst + available.left());
    }
}

} // namespace glintcaster
