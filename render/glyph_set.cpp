// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/glyph_set.h"

#include "base/app_home.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace glintcaster {

namespace {

const char *const IconNames[GlyphSet::IconCount] = {"Warning", "Attention", "Question", "Contact",
                                                    "Clip"};

QImage readBitmap(const QString &dir, const QString &name)
{
    if (dir.isEmpty())
        return {};
    QImage image(dir + u'/' + name);
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QString GlyphSet::glyphFileName(int code)
{
    return QStringLiteral("0x00%1.bmp").arg(code, 0, 16);
}

QString GlyphSet::iconFileName(int index)
{
    if (index < 1 || index > IconCount)
        return {};
    return QStringLiteral("BG_ICN_%1.bmp").arg(QLatin1String(IconNames[index - 1]));
}

QString GlyphSet::findDataDir(const QString &name)
{
    const QString found = AppHome::dataDir(name);
    if (!found.isEmpty())
        return found;
    return QStringLiteral(":/glintcaster/") + name;
}

GlyphSet GlyphSet::loadFrom(const QString &glyphDir, const QString &iconDir)
{
    GlyphSet set;
    set.m_glyphDir = glyphDir;
    set.m_iconDir = iconDir;
    for (int i = 0; i < GlyphCount; ++i)
        set.m_glyphs[i] = readBitmap(glyphDir, glyphFileName(FirstCode + i));
    for (int i = 0; i < IconCount; ++i)
        set.m_icons[i] = readBitmap(iconDir, iconFileName(i + 1));
    return set;
}

GlyphSet GlyphSet::load()
{
    return loadFrom(findDataDir(QStringLiteral("mfont")), findDataDir(QStringLiteral("micon")));
}

const QImage &GlyphSet::glyph(int code) const
{
    static const QImage none;
    if (code < FirstCode || code >= FirstCode + GlyphCount)
        return none;
    return m_glyphs.at(code - FirstCode);
}

const QImage &GlyphSet::icon(int index) const
{
    static const QImage none;
    if (index < 1 || index > IconCount)
        return none;
    return m_icons.at(index - 1);
}

int GlyphSet::missingGlyphs() const
{
    return int(std::count_if(m_glyphs.begin(), m_glyphs.end(), [](const QImage &i) { return i.isNull(); }));
}

int GlyphSet::missingIcons() const
{
    return int(std::count_if(m_icons.begin(), m_icons.end(), [](const QImage &i) { return i.isNull(); }));
}

} // namespace glintcaster
