// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rtf_writer.h"

#include "message/rtf_codepage.h"

#include <QList>

namespace glintcaster {

namespace {

// The two sizes the edit boxes use; neither is a whole number of half-points.
constexpr int kStandardTwips = 176;
constexpr int kDoubleTwips = 352;

void appendNumber(QByteArray &out, const char *word, long long value)
{
    out += word;
    out += QByteArray::number(value);
}

void appendColour(QByteArray &out, quint32 rgb)
{
    appendNumber(out, "\\red", (rgb >> 16) & 0xFF);
    appendNumber(out, "\\green", (rgb >> 8) & 0xFF);
    appendNumber(out, "\\blue", rgb & 0xFF);
    out += ';';
}

// Escapes one UTF-16 unit of running text or, with `inName`, of a font name (where a
// paragraph break would mean nothing).
void appendEscaped(QByteArray &out, char16_t ch, bool inName = false)
{
    if (inName && ch < 0x20) {
        appendNumber(out, "\\u", ch);
        out += '?';
        return;
    }
    if (ch == u'\\' || ch == u'{' || ch == u'}') {
        out += '\\';
        out += char(ch);
    } else if (ch >= 0x20 && ch < 0x7F) {
        out += char(ch);
    } else if (ch == u'\r' || ch == u'\n') {
        out += "\\par\r\n";
    } else if (ch == u'\t') {
        out += "\\tab ";
    } else if (const int byte = cp1252ByteFor(ch); byte >= 0x80) {
        static const char hex[] = "0123456789abcdef";
        out += "\\'";
        out += hex[byte >> 4];
        out += hex[byte & 0xF];
    } else {
        // \u takes a signed 16-bit number; the '?' is the one-byte fallback \uc1 announces.
        appendNumber(out, "\\u", static_cast<qint16>(ch));
        out += '?';
    }
}

} // namespace

int rtfHalfPointsFromTwips(int twips)
{
    return qMax(1, (twips + 5) / 10);
}

int rtfTwipsFromHalfPoints(int halfPoints)
{
    if (halfPoints == rtfHalfPointsFromTwips(kStandardTwips))
        return kStandardTwips;
    if (halfPoints == rtfHalfPointsFromTwips(kDoubleTwips))
        return kDoubleTwips;
    return halfPoints * 10;
}

QByteArray writeRtf(const RichText &text)
{
    QList<QString> faces;
    QList<quint32> colours;
    for (const RichChar &c : text.chars()) {
        if (!faces.contains(c.format.face))
            faces.append(c.format.face);
        if (!colours.contains(c.format.colour))
            colours.append(c.format.colour);
        if (!colours.contains(c.format.background))
            colours.append(c.format.background);
    }
    const CharFormat defaults;
    if (faces.isEmpty())
        faces.append(defaults.face);

    QByteArray out;
    out.reserve(256 + text.size() * 2);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    for (qsizetype i = 0; i < faces.size(); ++i) {
        appendNumber(out, "{\\f", i);
        out += "\\fnil\\fcharset0 ";
        for (QChar ch : faces.at(i))
            appendEscaped(out, ch.unicode(), true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (quint32 rgb : colours)
        appendColour(out, rgb);
    out += "}\r\n\\viewkind4\\uc1\\pard";

    // Start from a state that matches nothing, so the first character writes every attribute.
    int colour = -1, background = -1, face = -1, halfPoints = -1;
    bool first = true;
    for (const RichChar &c : text.chars()) {
        const int wantColour = int(colours.indexOf(c.format.colour)) + 1;
        const int wantBackground = int(colours.indexOf(c.format.background)) + 1;
        const int wantFace = int(faces.indexOf(c.format.face));
        const int wantHalf = rtfHalfPointsFromTwips(c.format.sizeTwips);
        bool changed = false;
        if (wantColour != colour) {
            appendNumber(out, "\\cf", colour = wantColour);
            changed = true;
        }
        if (wantBackground != background) {
            appendNumber(out, "\\highlight", background = wantBackground);
            changed = true;
        }
        if (wantFace != face) {
            appendNumber(out, "\\f", face = wantFace);
            changed = true;
        }
        if (wantHalf != halfPoints) {
            appendNumber(out, "\\fs", halfPoints = wantHalf);
            changed = true;
        }
        if (changed || first)
            out += ' ';
        first = false;
        appendEscaped(out, c.ch);
    }
    if (text.isEmpty())
        out += "\\f0\\fs" + QByteArray::number(rtfHalfPointsFromTwips(defaults.sizeTwips)) + ' ';
    out += "\r\n}\r\n";
    return out;
}

} // namespace glintcaster
