// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/text_wrap.h"

#include "message/current_message.h"
#include "render/width_tables.h"

namespace glintcaster {

int WrapSettings::lineWidth() const
{
    if (width > 0)
        return width;
    return doubleSize ? LineWidthDouble : LineWidthStandard;
}

namespace {

enum class WrapMode { Encoding, Display };

// Walks `buf` with a running line width and turns the last space of an overflowing line
// into a line break. The backward search never leaves the current line: otherwise one
// over-long word would turn every space of the earlier lines into breaks.
void wrap(QString &buf, QList<qsizetype> *origin, const WrapSettings &s, WrapMode mode)
{
    const int limit = s.lineWidth();
    const int scale = s.doubleSize ? 2 : 1;
    int w = 0;
    bool suspended = false;
    qsizetype lineStart = 0;
    qsizetype i = 0;
    while (i < buf.size()) {
        const char16_t c = buf.at(i).unicode();
        if (c == 0x000C || c == 0x000D) {
            w = 0;
            suspended = false;
            lineStart = i + 1;
            ++i;
            continue;
        }
        if (suspended) {
            ++i;
            continue;
        }
        int cw = 0;
        if (s.extendedCharset) {
            if (ExtendedWidthTable::covers(c)) {
                cw = ExtendedWidthTable::width(c);
            } else if (mode == WrapMode::Display) {
                cw = 12;
            }
            if (cw == 0) {
                // Not measurable: the rest of the paragraph is left to the projector.
                w = 0;
                suspended = true;
                ++i;
                continue;
            }
        } else {
            cw = BasicWidthTable::width(c);
        }
        w += cw * scale;
        if (w < limit) {
            ++i;
            continue;
        }
        w = 0;
        qsizetype j = i;
        while (j > lineStart && j >= 1 && buf.at(j) != u' ')
            --j;
        if (j > lineStart && j >= 1 && buf.at(j) == u' ') {
            buf[j] = QChar(AutoLineBreak);
            lineStart = j + 1;
            i = j + 1;
        } else if (mode == WrapMode::Display) {
            buf.insert(i, QChar(AutoLineBreak));
            if (origin)
                origin->insert(i, -1);
            lineStart = i + 1;
            i = i + 1; // the overflowing character starts the new line
        } else {
            ++i;
        }
    }
}

} // namespace

void wrapForEncoding(QString &text, const WrapSettings &settings)
{
    wrap(text, nullptr, settings, WrapMode::Encoding);
}

DisplayWrap wrapForDisplay(const QString &text, const WrapSettings &settings)
{
    DisplayWrap r;
    r.text = text;
    r.origin.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        r.origin.append(i);
    wrap(r.text, &r.origin, settings, WrapMode::Display);
    return r;
}

int countWrappedLines(const QString &wrapped)
{
    int lines = 0;
    qsizetype run = 0;
    for (qsizetype k = 0; k < wrapped.size(); ++k) {
        const char16_t c = wrapped.at(k).unicode();
        if (c == AutoLineBreak || c == ParagraphBreak) {
            ++lines;
            run = 0;
        } else if (c == PageFeedMark) {
            ++lines;
            run = 0;
            ++k;
        } else {
            ++run;
        }
    }
    if (run > 0)
        ++lines;
    return lines;
}

QList<int> displayLines(const QString &text, const WrapSettings &settings)
{
    const DisplayWrap d = wrapForDisplay(text, settings);
    QList<int> lines(text.size(), 1);
    int line = 1;
    bool afterMark = false;
    for (qsizetype k = 0; k < d.text.size(); ++k) {
        const qsizetype source = d.origin.at(k);
        if (afterMark) {
            // The break after a page-feed mark belongs to the mark's line.
            afterMark = false;
            if (source >= 0)
                lines[source] = line - 1;
            continue;
        }
        if (source >= 0)
            lines[source] = line;
        const char16_t c = d.text.at(k).unicode();
        if (c == AutoLineBreak || c == ParagraphBreak) {
            ++line;
        } else if (c == PageFeedMark) {
            ++line;
            afterMark = true;
        }
    }
    return lines;
}

int CountDisplayLines(const QString &title, const QString &body, const WrapSettings &settings)
{
    return countWrappedLines(wrapForDisplay(title, settings).text) +
           countWrappedLines(wrapForDisplay(body, settings).text);
}

int CountDisplayLines(const CurrentMessage &message, bool extendedCharset)
{
    return CountDisplayLines(message.title().plainText(), message.body().plainText(),
                             WrapSettings{extendedCharset, message.options.fontSize == 1});
}

} // namespace glintcaster
