// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/current_message.h"

#include <algorithm>

namespace glintcaster {

CharFormat defaultCharFormat(bool doubleSize)
{
    CharFormat f;
    f.colour = rgbForColour(ColourCode::White);
    f.background = rgbForColour(ColourCode::HalfTransparent);
    f.sizeTwips = doubleSize ? DoubleSizeTwips : StandardSizeTwips;
    return f;
}

bool replaceTabs(RichText &text)
{
    if (std::none_of(text.chars().cbegin(), text.chars().cend(),
                     [](const RichChar &c) { return c.ch == u'\t'; }))
        return false;
    QList<RichChar> out;
    out.reserve(text.size() + 8);
    for (const RichChar &c : text.chars()) {
        if (c.ch != u'\t') {
            out.append(c);
            continue;
        }
        for (int i = 0; i < 4; ++i)
            out.append(RichChar{u' ', c.format});
    }
    text.chars() = std::move(out);
    return true;
}

QString replaceTabs(QString text)
{
    return text.replace(QLatin1Char('\t'), QStringLiteral("    "));
}

void CurrentMessage::reset()
{
    options.reset();
    background = ColourCode::HalfTransparent;
    icon = 0;
    filePath.clear();
    m_title.clear();
    m_body.clear();
    titleModified = bodyModified = false;
}

void CurrentMessage::decodeOptions(const OptionBlock &block, bool alarmCapable)
{
    block.decodeInto(options, alarmCapable);
    icon = options.icon;
    background = backgroundForDisplayAttribute(options.displayAttribute);
}

void CurrentMessage::setTitle(RichText title)
{
    replaceTabs(title);
    m_title = std::move(title);
    titleModified = true;
}

void CurrentMessage::setBody(RichText body)
{
    replaceTabs(body);
    m_body = std::move(body);
    bodyModified = true;
}

} // namespace glintcaster
