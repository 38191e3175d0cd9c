// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// A private home with test glyphs, and messages to preview.
#pragma once

#include "base/app_home.h"
#include "message/current_message.h"
#include "render/glyph_set.h"
#include "render/preview_model.h"
#include "render/width_tables.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace glintcaster::testing {

inline constexpr quint32 Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Yellow = 0xFFFF00,
                         WhiteRgb = 0xFFFFFF, Half = 0xC0C0C0, Clear = 0xE0E0E0, BlackRgb = 0;

inline QRgb argb(quint32 rgb) { return 0xFF000000 | rgb; }

/// Glyphs of the table widths, all white, so every pixel is predictable; icons solid magenta.
inline void writeTestGlyphs(const QString &home)
{
    QDir(home).mkpath(QStringLiteral("mfont"));
    QDir(home).mkpath(QStringLiteral("micon"));
    for (int c = GlyphSet::FirstCode; c < GlyphSet::FirstCode + GlyphSet::GlyphCount; ++c) {
        QImage g(BasicWidthTable::width(char16_t(c)), 24, QImage::Format_RGB32);
        g.fill(0xFFFFFFFF);
        g.save(home + QStringLiteral("/mfont/") + GlyphSet::glyphFileName(c), "BMP");
    }
    for (int i = 1; i <= GlyphSet::IconCount; ++i) {
        QImage icon(24, 24, QImage::Format_RGB32);
        icon.fill(0xFFFF00FF);
        icon.save(home + QStringLiteral("/micon/") + GlyphSet::iconFileName(i), "BMP");
    }
}

inline void writeGlyph(const QString &home, int code, const QImage &glyph)
{
    glyph.save(home + QStringLiteral("/mfont/") + GlyphSet::glyphFileName(code), "BMP");
}

/// A temporary home holding the test glyphs, made the application home.
struct PreviewHome {
    QTemporaryDir dir;
    PreviewHome()
    {
        writeTestGlyphs(dir.path());
        AppHome::setOverride(dir.path());
    }
    ~PreviewHome() { AppHome::setOverride(QString()); }
    QString path() const { return dir.path(); }
    GlyphSet glyphs() const { return GlyphSet::load(); }
};

inline CharFormat colours(quint32 colour, quint32 background)
{
    CharFormat f;
    f.colour = colour;
    f.background = background;
    return f;
}

/// A message in `style`: body in white on black unless given, no title unless given.
inline CurrentMessage makeMessage(int style, const QString &body, const QString &title = {},
                                  CharFormat format = colours(WhiteRgb, BlackRgb))
{
    CurrentMessage m;
    m.setTitle(RichText(title, format));
    m.setBody(RichText(body, format));
    m.options.style = quint8(style);
    return m;
}

inline PreviewModel modelOf(const CurrentMessage &m, bool characterDisplayMode = false)
{
    return buildPreviewModel(m, true, characterDisplayMode);
}

inline QString lineText(const PreviewLine &line)
{
    QString s;
    for (const PreviewChar &c : line)
        s.append(QChar(c.ch));
    return s;
}

} // namespace glintcaster::testing
