// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace glintcaster {

/// The projector's glyph bitmaps (codes 0x20..0xFF, "mfont") and title icons ("micon").
/// A glyph is white ink on black, its width is its advance and it is 24 pixels high at
/// standard size. A missing file leaves an empty image: nothing is drawn, the advance is 0.
class GlyphSet {
public:
    static constexpr int FirstCode = 0x20;
    static constexpr int GlyphCount = 224;
    static constexpr int IconCount = 5;
    /// Icons are square bitmaps of this many pixels at standard size.
    static constexpr int IconSize = 24;

    /// Each folder is taken from the first place that has it: the application home, the
    /// installed data folder, then the copy built into the program.
    static GlyphSet load();
    /// Reads the files of the given folders (either may be empty or missing).
    static GlyphSet loadFrom(const QString &glyphDir, const QString &iconDir);

    /// Where a data folder ("mfont" or "micon") is found; never empty (the built-in copy
    /// is the last resort).
    static QString findDataDir(const QString &name);
    /// "0x0020.bmp" .. "0x00ff.bmp".
    static QString glyphFileName(int code);
    /// "BG_ICN_Warning.bmp" .. "BG_ICN_Clip.bmp" for indexes 1..5; empty otherwise.
    static QString iconFileName(int index);

    /// The glyph of `code`; a null image for a missing glyph or a code outside 0x20..0xFF.
    const QImage &glyph(int code) const;
    /// The icon 1..5; a null image for a missing one or any other index.
    const QImage &icon(int index) const;

    int missingGlyphs() const;
    int missingIcons() const;
    QString glyphDir() const { return m_glyphDir; }
    QString iconDir() const { return m_iconDir; }

private:
    QList<QImage> m_glyphs = QList<QImage>(GlyphCount);
    QList<QImage> m_icons = QList<QImage>(IconCount);
    QString m_glyphDir;
    QString m_iconDir;
};

} // namespace glintcaster
