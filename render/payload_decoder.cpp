// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/payload_decoder.h"

namespace glintcaster {

namespace {

constexpr qsizetype MaxBodyChars = 2000;
constexpr qsizetype TitleChars = 64;

int escapeCode(char16_t unit)
{
    switch (unit >> 8) {
    case 1:
        return int(ColourCode::HalfTransparent);
    case 2:
        return int(ColourCode::Transparent);
    default:
        return unit & 0xFF;
    }
}

class Decoder {
public:
    Decoder(QByteArrayView body, const CharFormat &base, ReceivedMessageInfo &info)
        : m_body(body), m_base(base), m_info(info)
    {
        m_chars = qMin<qsizetype>(body.size() / 2, MaxBodyChars);
    }

    // Decodes characters [from, to) up to the part's zero; the bound stops a part that
    // has none.
    RichText part(qsizetype from, qsizetype to, bool isBody)
    {
        RichText text;
        CharFormat format = m_base;
        to = qMin(to, m_chars);
        for (qsizetype k = from; k < to; ++k) {
            const char16_t c = unit(k);
            if (c == 0x0000)
                break;
            if (c == 0x001B) {
                if (k + 2 >= m_chars)
                    break; // a cut-off escape ends what can be read
                if (m_info.colourRuns < MaxColourRuns) {
                    ++m_info.colourRuns;
                    format.colour = rgbForCode(escapeCode(unit(k + 1)));
                    int background = escapeCode(unit(k + 2));
                    if (background == int(ColourCode::Transparent))
                        background = int(ColourCode::HalfTransparent);
                    format.background = rgbForCode(background);
                } else {
                    m_info.runsDropped = true;
                }
                k += 2;
                continue;
            }
            if (c == 0xFFFF)
                continue;
            // The title is one line: a line or page break received in it would split the
            // title line of a message file and move the rest of it into the body.
            if (c == 0x000A || (!isBody && (c == 0x000D || c == 0x000C))) {
                text.append(RichChar{u' ', format});
            } else if (c == 0x000C && isBody) {
                text.append(RichChar{PageFeedMark, format});
                text.append(RichChar{ParagraphBreak, format});
            } else {
                text.append(RichChar{c, format});
            }
        }
        return text;
    }

    qsizetype size() const { return m_chars; }

private:
    char16_t unit(qsizetype k) const
    {
        return char16_t((quint8(m_body[2 * k]) << 8) | quint8(m_body[2 * k + 1]));
    }

    QByteArrayView m_body;
    CharFormat m_base;
    ReceivedMessageInfo &m_info;
    qsizetype m_chars = 0;
};

} // namespace

ReceivedMessageInfo decodeReceivedMessage(const OptionBlock &optionBytes, QByteArrayView body,
                                          bool alarmCapable, CurrentMessage &message)
{
    ReceivedMessageInfo info;
    message.decodeOptions(optionBytes, alarmCapable);

    const CharFormat base = defaultCharFormat(message.options.fontSize == 1);
    Decoder decoder(body, base, info);
    message.setTitle(decoder.part(0, TitleChars, false));
    message.setBody(decoder.part(TitleChars, decoder.size(), true));

    if (message.background == ColourCode::Transparent) {
        // Shown half transparent, with the mode that makes everything transparent on.
        message.background = ColourCode::HalfTransparent;
        info.characterDisplayMode = true;
    }
    return info;
}

} // namespace glintcaster
