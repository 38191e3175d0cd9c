// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The messages the benchmarks measure, shared by the Google Benchmark programs and by
// bench_fixtures, which writes them as message files for the whole-process measurements.
#pragma once

#include "message/current_message.h"
#include "message/message_options.h"
#include "message/rich_text.h"

namespace glintcaster::bench {

inline constexpr int kLargestBodyChars = 1916; // the most a body of Latin letters may hold

/// A body at the size limit with a colour change every `colourRun` characters (0: one
/// colour), titled "Notice".
inline CurrentMessage largestMessage(int colourRun = 4)
{
    RichText body;
    for (int i = 0; i < kLargestBodyChars; ++i) {
        CharFormat f = defaultCharFormat();
        if (colourRun > 0)
            f.colour = rgbForColour(ColourCode(1 + (i / colourRun) % 6));
        body.append(QString(QChar(u'a' + i % 26)), f);
    }
    CurrentMessage m;
    m.setTitle(RichText(QStringLiteral("Notice"), defaultCharFormat()));
    m.setBody(body);
    return m;
}

/// The option block a message file stores for `m`.
inline OptionBlock fileBlock(const CurrentMessage &m)
{
    OptionEncoding enc;
    enc.icon = m.icon;
    enc.alarmCapable = true;
    return OptionBlock::encodeForFile(m.options, enc);
}

} // namespace glintcaster::bench
