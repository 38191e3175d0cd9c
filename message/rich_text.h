// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace glintcaster {

/// Character format of one character of a title or body, as the edit boxes keep it.
/// Colours are 0xRRGGBB; the palette code is derived from them where needed.
struct CharFormat {
    quint32 colour = 0xFFFFFF;     ///< character colour (white)
    quint32 background = 0xC0C0C0; ///< character background (half transparent, light grey)
    int sizeTwips = 176;
    QString face = QStringLiteral("Arial Unicode MS");

    friend bool operator==(const CharFormat &, const CharFormat &) = default;
};

struct RichChar {
    char16_t ch = 0;
    CharFormat format;

    friend bool operator==(const RichChar &, const RichChar &) = default;
};

/// Rich text as the edit boxes report it: one entry per UTF-16 unit, paragraph
/// breaks as U+000D, the page-feed mark U+25BC followed by a paragraph break.
class RichText {
public:
    RichText() = default;
    explicit RichText(const QString &text, const CharFormat &format = {}) { append(text, format); }

    void append(const QString &text, const CharFormat &format = {})
    {
        m_chars.reserve(m_chars.size() + text.size());
        for (QChar c : text)
            m_chars.append(RichChar{c.unicode(), format});
    }
    void append(const RichChar &c) { m_chars.append(c); }
    void append(const RichText &other) { m_chars.append(other.m_chars); }

    QString plainText() const
    {
        QString s;
        s.reserve(m_chars.size());
        for (const RichChar &c : m_chars)
            s.append(QChar(c.ch));
        return s;
    }

    qsizetype size() const { return m_chars.size(); }
    bool isEmpty() const { return m_chars.isEmpty(); }
    void clear() { m_chars.clear(); }
    const RichChar &at(qsizetype i) const { return m_chars.at(i); }
    RichChar &operator[](qsizetype i) { return m_chars[i]; }
    const QList<RichChar> &chars() const { return m_chars; }
    QList<RichChar> &chars() { return m_chars; }
    RichText mid(qsizetype pos, qsizetype len = -1) const
    {
        RichText r;
        r.m_chars = m_chars.mid(pos, len);
        return r;
    }

    friend bool operator==(const RichText &, const RichText &) = default;

private:
    QList<RichChar> m_chars;
};

} // namespace glintcaster
