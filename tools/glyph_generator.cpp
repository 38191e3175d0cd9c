// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Generates the preview's glyph bitmaps (mfont/0x0020.bmp .. 0x00ff.bmp) from a free font and
// its five title icons (micon/BG_ICN_*.bmp) from our own shapes.
//
//   glintcaster-glyphgen OUTDIR [FONTFILE]
//
// Each glyph is 24 pixels high and exactly as wide as the basic width table says, pure
// white ink on pure black, with the bottom row left black; a glyph is narrowed only where its
// ink would not fit its width.
#include "render/glyph_set.h"
#include "render/width_tables.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

using namespace glintcaster;

namespace {

constexpr int Height = 24;
constexpr int PixelSize = 19;
constexpr int Baseline = 18;

QImage glyphFor(int code, const QFont &font)
{
    const int width = BasicWidthTable::width(char16_t(code));
    QImage out(width, Height, QImage::Format_RGB32);
    out.fill(Qt::black);
    // C1 controls and DEL have no picture; the soft hyphen is shown as a hyphen.
    if (code == 0x7F || (code >= 0x80 && code <= 0x9F))
        return out;
    const QChar ch(code == 0xAD ? 0x2D : code);

    QImage canvas(64, Height, QImage::Format_Grayscale8);
    canvas.fill(0);
    {
        QPainter p(&canvas);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPoint(16, Baseline), QString(ch));
    }
    int left = canvas.width(), right = -1;
    for (int y = 0; y < Height - 1; ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.constScanLine(y)[x] > 127) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
    if (right < 0)
        return out; // blank (space, no-break space)

    int ink = right - left + 1;
    QImage cell = canvas.copy(left, 0, ink, Height);
    const int room = qMax(1, width - 1); // one clear column keeps neighbours apart
    if (ink > room) {
        cell = cell.scaled(room, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ink = room;
    }
    const int x0 = (width - ink) / 2;
    for (int y = 0; y < Height - 1; ++y) { // the bottom row stays black
        QRgb *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        const uchar *src = cell.constScanLine(y);
        for (int x = 0; x < ink; ++x)
            if (src[x] > 127)
                dst[x0 + x] = 0xFFFFFFFF;
    }
    return out;
}

QImage iconFor(int index, const QFont &font)
{
    QImage img(24, 24, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont symbolFont = font;
    symbolFont.setPixelSize(17);
    p.setFont(symbolFont);
    const QRectF box(1, 1, 22, 22);
    switch (index) {
    case 1: { // Warning: yellow triangle, black exclamation mark
        QPainterPath tri;
        tri.moveTo(12, 1);
        tri.lineTo(23, 22);
        tri.lineTo(1, 22);
        tri.closeSubpath();
        p.fillPath(tri, QColor(255, 210, 0));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 5, 24, 18), Qt::AlignCenter, QStringLiteral("!"));
        break;
    }
    case 2: // Attention: red disc, white exclamation mark
        p.setBrush(QColor(220, 30, 30));
        p.setPen(Qt::NoPen);
        p.drawEllipse(box);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, QStringLiteral("!"));
        break;
    case 3: // Question: blue disc, white question mark
        p.setBrush(QColor(30, 90, 230));
        p.setPen(Qt::NoPen);
        p.drawEllipse(box);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
        break;
    case 4: { // Contact: green badge with an envelope
        p.setBrush(QColor(20, 160, 70));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(box, 4, 4);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 7, 15, 10));
        p.setPen(QPen(QColor(20, 160, 70), 1.6));
        p.drawLine(QPointF(5, 7.5), QPointF(12, 13));
        p.drawLine(QPointF(19, 7.5), QPointF(12, 13));
        break;
    }
    case 5: { // Clip: grey badge with a paper clip
        p.setBrush(QColor(120, 120, 130));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(box, 4, 4);
        QPainterPath clip;
        clip.moveTo(14.5, 8);
        clip.lineTo(14.5, 16);
        clip.arcTo(QRectF(9.5, 13, 5, 6), 0, -180);
        clip.lineTo(9.5, 6);
        clip.arcTo(QRectF(9.5, 3, 7, 6), 180, -180);
        clip.lineTo(16.5, 17);
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(clip);
        break;
    }
    default:
        break;
    }
    return img;
}

bool save(const QImage &image, const QString &path)
{
    // 24-bit BMP, as the preview reads and writes them.
    if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: glintcaster-glyphgen OUTDIR [FONTFILE]\n";
        return 2;
    }
    const QString out = args.at(1);
    const QString fontFile = args.size() > 2
                                 ? args.at(2)
                                 : QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    const int id = QFontDatabase::addApplicationFont(fontFile);
    if (id < 0) {
        QTextStream(stderr) << "cannot load font " << fontFile << '\n';
        return 1;
    }
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0));
    font.setPixelSize(PixelSize);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoFontMerging);

    QDir().mkpath(out + QStringLiteral("/mfont"));
    QDir().mkpath(out + QStringLiteral("/micon"));
    bool ok = true;
    for (int code = GlyphSet::FirstCode; code < GlyphSet::FirstCode + GlyphSet::GlyphCount; ++code)
        ok &= save(glyphFor(code, font), out + QStringLiteral("/mfont/") + GlyphSet::glyphFileName(code));
    for (int i = 1; i <= GlyphSet::IconCount; ++i)
        ok &= save(iconFor(i, font), out + QStringLiteral("/micon/") + GlyphSet::iconFileName(i));
    return ok ? 0 : 1;
}
