// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/text_import.h"

#include "base/file_read.h"

namespace glintcaster {

namespace {

// Whether `bytes` is UTF-8, its usable length and whether any byte above 0x7F was seen. An
// incomplete sequence at the very end counts as valid only when the import cut the file
// there (`cutAtEnd`).
bool validUtf8(const QByteArray &bytes, bool cutAtEnd, qsizetype *validLength, bool *nonAscii)
{
    *nonAscii = false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        *nonAscii = true;
        int more = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1, cp = c & 0x1F, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, cp = c & 0x0F, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (i + more >= n) {
            // Runs past the end: acceptable only where the import cut the file.
            if (!cutAtEnd)
                return false;
            for (qsizetype k = i + 1; k < n; ++k)
                if ((p[k] & 0xC0) != 0x80)
                    return false;
            *validLength = i;
            return true;
        }
        for (int k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    *validLength = n;
    return true;
}

QString utf16(const QByteArray &bytes, bool bigEndian)
{
    const qsizetype units = (bytes.size() - 2) / 2; // an odd last byte is half a unit
    QString text;
    text.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const auto a = static_cast<unsigned char>(bytes.at(2 + 2 * i));
        const auto b = static_cast<unsigned char>(bytes.at(3 + 2 * i));
        text.append(QChar(char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a))));
    }
    return text;
}

QString decodeBytes(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return utf16(bytes, false);
    if (bytes.startsWith("\xFE\xFF"))
        return utf16(bytes, true);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        qsizetype length = 0;
        bool nonAscii = false;
        const QByteArray rest = bytes.mid(3);
        if (validUtf8(rest, bytes.size() >= TextImportLimit, &length, &nonAscii))
            return QString::fromUtf8(rest.left(length));
        return QString::fromUtf8(rest); // marked as UTF-8: damaged bytes become U+FFFD
    }
    qsizetype length = 0;
    bool nonAscii = false;
    if (validUtf8(bytes, bytes.size() >= TextImportLimit, &length, &nonAscii) && nonAscii)
        return QString::fromUtf8(bytes.left(length));
    return QString::fromLatin1(bytes);
}

bool droppedControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f';
}

} // namespace

QString decodeImportedText(const QByteArray &data, int *dropped)
{
    const QString text = decodeBytes(data.left(TextImportLimit));
    int droppedCount = 0;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\t') {
            out += QLatin1String("    ");
        } else if (c == u'\r') {
            out += QChar(u'\r');
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QChar(u'\r');
        } else if (droppedControl(c)) {
            ++droppedCount;
        } else {
            out += c;
        }
    }
    if (dropped)
        *dropped = droppedCount;
    return out;
}

bool importTextFile(const QString &path, const CharFormat &format, RichText *body, QString *error,
                    int *dropped)
{
    const FileReadResult read = readRegularFile(path, TextImportLimit, /*truncate=*/true);
    if (!read.ok()) {
        if (error)
            *error = read.reason;
        return false;
    }
    *body = RichText(decodeImportedText(read.data, dropped), format);
    return true;
}

} // namespace glintcaster
