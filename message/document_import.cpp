// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/document_import.h"

#include "message/current_message.h"
#include "message/message_options.h"
#include "message/rtf_reader.h"
#include "message/text_import.h"
#include "message/text_limits.h"

namespace glintcaster {

namespace {

// Stand-ins for "the document did not say": no 24-bit colour can equal them.
constexpr quint32 kAutomatic = 0x1000000;

int nearestOf(quint32 rgb, int codes)
{
    const int r = int((rgb >> 16) & 0xFF), g = int((rgb >> 8) & 0xFF), b = int(rgb & 0xFF);
    int best = 0;
    long bestDistance = -1;
    for (int code = 0; code < codes; ++code) {
        const quint32 p = rgbForCode(code);
        const int dr = r - int((p >> 16) & 0xFF), dg = g - int((p >> 8) & 0xFF), db = b - int(p & 0xFF);
        // Weighted as the eye weighs the primaries, so dark blue stays blue rather than black.
        const long distance = 3L * dr * dr + 4L * dg * dg + 2L * db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = code;
            bestDistance = distance;
        }
    }
    return best;
}

bool isDropped(char16_t c)
{
    if (c == u'\r')
        return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF || c == 0xFFFE || c == 0xFFFF ||
           (c >= 0xFDD0 && c <= 0xFDEF);
}

bool startsAsRtf(const QByteArray &bytes)
{
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes.at(i))))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

} // namespace

int nearestTextColour(quint32 rgb) { return nearestOf(rgb & 0xFFFFFF, 8); }
int nearestBackgroundColour(quint32 rgb) { return nearestOf(rgb & 0xFFFFFF, 9); }

DocumentImport importDocument(const QByteArray &input, bool mustBeRtf)
{
    DocumentImport result;
    if (input.size() > DocumentImportLimit) {
        result.error = QStringLiteral("larger than %1 MiB").arg(DocumentImportLimit / (1024 * 1024));
        return result;
    }
    const CharFormat standard = defaultCharFormat();
    RichText read;
    if (startsAsRtf(input)) {
        result.rtf = true;
        CharFormat base = standard;
        base.colour = kAutomatic;
        base.background = kAutomatic;
        const qsizetype bom = input.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        RtfLimits limits;
        limits.keepTruncated = true; // a mail or a disk cut it short: the text read is still wanted
        RtfReadResult rtf = readRtf(input.mid(bom), base, limits);
        if (!rtf.ok) {
            result.error = QStringLiteral("not readable as RTF: %1").arg(rtf.error);
            return result;
        }
        if (rtf.trailingIgnored)
            result.warnings << QStringLiteral("data after the end of the document ignored");
        if (rtf.openGroups > 0)
            result.warnings << QStringLiteral("the document is cut off (%1 left open); what was read is kept")
                                   .arg(rtf.openGroups == 1 ? QStringLiteral("1 group")
                                                            : QStringLiteral("%1 groups").arg(rtf.openGroups));
        read = std::move(rtf.text);
    } else if (mustBeRtf) {
        result.error = QStringLiteral("not an RTF document");
        return result;
    } else {
        int controls = 0; // the text decoding already leaves control characters out
        const QString text = decodeImportedText(input, &controls);
        if (mostlyDropped(controls, text.size())) {
            result.error = QStringLiteral("not text: %1 of its %2 characters would be left out (try another encoding)")
                               .arg(controls).arg(controls + text.size());
            return result;
        }
        read = RichText(text, standard);
        result.dropped += controls;
    }

    RichText body;
    for (const RichChar &c : read.chars()) {
        if (isDropped(c.ch)) {
            ++result.dropped;
            continue;
        }
        RichChar out{c.ch, standard};
        const bool paper = c.format.background == kAutomatic ||
                           nearestOf(c.format.background & 0xFFFFFF, 10) == int(ColourCode::White);
        out.format.background = paper ? rgbForColour(ColourCode::HalfTransparent)
                                      : rgbForCode(nearestBackgroundColour(c.format.background));
        int colour = c.format.colour == kAutomatic ? int(ColourCode::White) : nearestTextColour(c.format.colour);
        if (paper && colour == int(ColourCode::Black))
            colour = int(ColourCode::White); // ink on paper is the message's ordinary text
        out.format.colour = rgbForCode(colour);
        body.append(out);
    }
    // The closing paragraph mark of every document would otherwise show as an empty line.
    QList<RichChar> &chars = body.chars();
    while (!chars.isEmpty() && (chars.last().ch == u'\r' || chars.last().ch == u' '))
        chars.removeLast();
    result.body = std::move(body);
    result.ok = true;
    return result;
}

QList<qsizetype> unsupportedPositions(const RichText &text, bool basicOnly)
{
    QList<qsizetype> positions;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).ch;
        if (QChar::isSurrogate(c)) {
            positions.append(i);
            continue;
        }
        if (basicOnly && !isBasicSupported(c))
            positions.append(i);
    }
    return positions;
}

} // namespace glintcaster
