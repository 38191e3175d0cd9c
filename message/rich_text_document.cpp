// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rich_text_document.h"

#include "message/current_message.h"
#include "message/message_options.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>

namespace glintcaster {

namespace {

quint32 rgbOf(const QBrush &brush)
{
    return brush.color().rgb() & 0xFFFFFF;
}

bool isBreak(char16_t c)
{
    return c == ParagraphBreak || c == u'\n' || c == 0x2028 || c == 0x2029;
}

} // namespace

CharFormat charFormatFromText(const QTextCharFormat &format, const CharFormat &boxDefault)
{
    CharFormat f = boxDefault;
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        f.colour = rgbOf(format.foreground());
    if (format.hasProperty(QTextFormat::BackgroundBrush)
        && format.background().style() != Qt::NoBrush)
        f.background = rgbOf(format.background());
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        f.sizeTwips = qRound(format.fontPointSize() * 20);
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        f.face = families.first();
    return f;
}

QTextCharFormat textFormatFor(const CharFormat &format)
{
    QTextCharFormat f;
    f.setForeground(QColor::fromRgb(format.colour));
    f.setBackground(QColor::fromRgb(format.background));
    f.setFontPointSize(format.sizeTwips / 20.0);
    f.setFontFamilies({format.face});
    return f;
}

RichText richTextFromDocument(const QTextDocument &document, const CharFormat &boxDefault,
                              int from, int to)
{
    RichText out;
    if (to < 0)
        to = std::numeric_limits<int>::max();
    // One conversion per distinct QTextFormat index: a body at the size limit has hundreds
    // of fragments but only a handful of formats.
    QHash<int, CharFormat> cache;
    const auto formatOf = [&](const QTextFragment &fragment) {
        const int index = fragment.charFormatIndex();
        auto it = cache.constFind(index);
        if (it == cache.cend())
            it = cache.insert(index, charFormatFromText(fragment.charFormat(), boxDefault));
        return *it;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int blockStart = block.position();
        if (blockStart >= to)
            break;
        CharFormat last = charFormatFromText(block.charFormat(), boxDefault);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int start = fragment.position();
            const QString text = fragment.text();
            const int begin = qMax(from, start);
            const int end = qMin<qsizetype>(to, start + text.size());
            if (begin >= end) {
                if (start < to)
                    last = formatOf(fragment);
                continue;
            }
            last = formatOf(fragment);
            for (int p = begin; p < end; ++p)
                out.append(RichChar{text.at(p - start).unicode(), last});
        }
        // The block separator sits at the block's end position.
        const int separator = blockStart + block.length() - 1;
        if (block.next().isValid() && separator >= from && separator < to)
            out.append(RichChar{ParagraphBreak, last});
    }
    return out;
}

void insertRichText(QTextCursor &cursor, const RichText &text)
{
    QString run;
    CharFormat runFormat;
    const auto flush = [&] {
        if (!run.isEmpty())
            cursor.insertText(run, textFormatFor(runFormat));
        run.clear();
    };
    for (const RichChar &c : text.chars()) {
        if (c.ch == ParagraphBreak || c.ch == u'\n') {
            flush();
            cursor.insertBlock(cursor.blockFormat(), textFormatFor(c.format));
            continue;
        }
        if (!run.isEmpty() && !(c.format == runFormat))
            flush();
        if (run.isEmpty())
            runFormat = c.format;
        run.append(QChar(c.ch));
    }
    flush();
}

int nearestPaletteCode(quint32 rgb)
{
    rgb &= 0xFFFFFF;
    int best = 0;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (int code = 0; code < PaletteSize; ++code) {
        const quint32 p = rgbForCode(code);
        const long long dr = int((rgb >> 16) & 0xFF) - int((p >> 16) & 0xFF);
        const long long dg = int((rgb >> 8) & 0xFF) - int((p >> 8) & 0xFF);
        const long long db = int(rgb & 0xFF) - int(p & 0xFF);
        const long long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            best = code;
            bestDistance = d;
        }
    }
    return best;
}

void snapToPalette(RichText &text)
{
    for (RichChar &c : text.chars()) {
        c.format.colour = rgbForCode(nearestPaletteCode(c.format.colour));
        c.format.background = rgbForCode(nearestPaletteCode(c.format.background));
    }
}

RichText oneLineTitle(const RichText &text)
{
    RichText out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        RichChar c = text.at(i);
        if (c.ch == ParagraphBreak && i + 1 < text.size() && text.at(i + 1).ch == u'\n')
            continue; // CR LF is one break
        if (c.ch == PageFeedMark && i + 1 < text.size() && isBreak(text.at(i + 1).ch)) {
            // The page-feed mark and its break are one page feed: one space.
            c.ch = u' ';
            out.append(c);
            ++i;
            continue;
        }
        if (isBreak(c.ch) || c.ch == u'\f' || c.ch == u'\v')
            c.ch = u' ';
        out.append(c);
    }
    replaceTabs(out);
    return out;
}

RichText normalisedBody(const RichText &text)
{
    RichText out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        RichChar c = text.at(i);
        if (c.ch == ParagraphBreak && i + 1 < text.size() && text.at(i + 1).ch == u'\n')
            continue;
        if (c.ch == u'\f') {
            if (i > 0 && text.at(i - 1).ch == PageFeedMark)
                continue; // already marked
            c.ch = PageFeedMark;
            out.append(c);
            c.ch = ParagraphBreak;
            out.append(c);
            continue;
        }
        if (isBreak(c.ch))
            c.ch = ParagraphBreak;
        out.append(c);
    }
    replaceTabs(out);
    return out;
}

void setSize(RichText &text, int sizeTwips)
{
    for (RichChar &c : text.chars())
        c.format.sizeTwips = sizeTwips;
}

} // namespace glintcaster
