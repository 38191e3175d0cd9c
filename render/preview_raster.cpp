// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/preview_raster.h"

#include "base/app_home.h"
#include "base/safe_file.h"

#include <limits>

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

namespace {

void putLe16(char *at, quint16 v)
{
    at[0] = char(v & 0xFF);
    at[1] = char(v >> 8);
}

void putLe32(char *at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

// A 24-bit BMP, bottom-up rows padded to four bytes, written straight from the bitmap's
// pixels a block at a time: the same bytes QImage's BMP writer gives, without the two
// converted copies it makes of a message bitmap that can run to megabytes.
bool writePreviewBitmap(const QImage &bitmap, const QString &path)
{
    const bool direct = bitmap.format() == QImage::Format_RGB32
                        || bitmap.format() == QImage::Format_RGB888;
    const QImage image = direct ? bitmap : bitmap.convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        return false;
    const int width = image.width();
    const int height = image.height();
    const qint64 rowBytes = (qint64(width) * 3 + 3) & ~qint64(3);
    const qint64 imageBytes = rowBytes * height;
    constexpr int kHeaderSize = 14 + 40;
    if (kHeaderSize + imageBytes > qint64(std::numeric_limits<qint32>::max()))
        return false;

    char header[kHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    putLe32(header + 2, quint32(kHeaderSize + imageBytes));
    putLe32(header + 10, kHeaderSize); // pixels follow the headers
    putLe32(header + 14, 40);          // BITMAPINFOHEADER
    putLe32(header + 18, quint32(width));
    putLe32(header + 22, quint32(height));
    putLe16(header + 26, 1);  // planes
    putLe16(header + 28, 24); // bits per pixel
    putLe32(header + 30, 0);  // uncompressed
    putLe32(header + 34, quint32(imageBytes));
    constexpr int kDefaultDotsPerMeter = 2834; // 72 dpi
    putLe32(header + 38, quint32(image.dotsPerMeterX() ? image.dotsPerMeterX() : kDefaultDotsPerMeter));
    putLe32(header + 42, quint32(image.dotsPerMeterY() ? image.dotsPerMeterY() : kDefaultDotsPerMeter));

    // The bitmaps live in the home: a link planted there is replaced, not written through.
    SafeWriteOptions options;
    options.sideFile = true;
    SafeFileWriter file(path, options);
    if (!file.open())
        return false;
    bool ok = file.write(header, kHeaderSize);
    const bool fromRgb32 = image.format() == QImage::Format_RGB32;
    const qint64 rowsPerBlock = qMax<qint64>(1, (256 * 1024) / qMax<qint64>(rowBytes, 1));
    QByteArray block(rowsPerBlock * rowBytes, '\0'); // padding bytes stay zero
    for (int y = height - 1; ok && y >= 0;) {
        qint64 filled = 0;
        for (; y >= 0 && filled + rowBytes <= block.size(); --y, filled += rowBytes) {
            const uchar *src = image.constScanLine(y);
            uchar *dst = reinterpret_cast<uchar *>(block.data() + filled);
            if (fromRgb32) {
                const QRgb *px = reinterpret_cast<const QRgb *>(src);
                for (int x = 0; x < width; ++x, dst += 3) {
                    dst[0] = uchar(qBlue(px[x]));
                    dst[1] = uchar(qGreen(px[x]));
                    dst[2] = uchar(qRed(px[x]));
                }
            } else {
                for (int x = 0; x < width; ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
            }
        }
        ok = file.write(block.constData(), filled);
    }
    return ok && file.commit();
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
