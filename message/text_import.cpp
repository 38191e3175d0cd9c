// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/text_import.h"

#include "base/code_page.h"
#include "base/file_read.h"

#include <atomic>

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

std::atomic<int> g_encoding{GuessEncoding};

QString utf16(const QByteArray &bytes, bool bigEndian, qsizetype start = 2)
{
    const qsizetype units = (bytes.size() - start) / 2; // an odd last byte is half a unit
    QString text;
    text.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const auto a = static_cast<unsigned char>(bytes.at(start + 2 * i));
        const auto b = static_cast<unsigned char>(bytes.at(start + 1 + 2 * i));
        text.append(QChar(char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a))));
    }
    return text;
}

// UTF-16 saved without a mark: text in it has a NUL in (nearly) every other byte, on the
// odd bytes for little-endian, the even ones for big-endian. 0 when it does not look so.
int unmarkedUtf16(const QByteArray &bytes)
{
    const qsizetype units = bytes.size() / 2;
    if (units < 1)
        return 0;
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        even += bytes.at(i) == '\0';
        odd += bytes.at(i + 1) == '\0';
    }
    // Three pairs in four: a stray NUL in a short 8-bit file is not enough.
    if (odd * 4 >= units * 3 && even * 10 <= units)
        return Utf16LEEncoding;
    if (even * 4 >= units * 3 && odd * 10 <= units)
        return Utf16BEEncoding;
    return 0;
}

QString decodeAs(int encoding, const QByteArray &bytes)
{
    const auto skip = [&bytes](const char *mark) { return bytes.startsWith(mark) ? qsizetype(qstrlen(mark)) : 0; };
    switch (encoding) {
    case Utf8Encoding:
        return QString::fromUtf8(bytes.mid(skip("\xEF\xBB\xBF")));
    case Utf16LEEncoding:
        return utf16(bytes, false, skip("\xFF\xFE"));
    case Utf16BEEncoding:
        return utf16(bytes, true, skip("\xFE\xFF"));
    default: {
        QString text;
        decodeCodePage(encoding, bytes, &text); // told so: what does not decode stays U+FFFD
        return text;
    }
    }
}

QString decodeBytes(const QByteArray &bytes)
{
    if (const int told = g_encoding.load(); told != GuessEncoding)
        return decodeAs(told, bytes);
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
    if (const int wide = unmarkedUtf16(bytes))
        return utf16(bytes, wide == Utf16BEEncoding, 0);
    qsizetype length = 0;
    bool nonAscii = false;
    if (validUtf8(bytes, bytes.size() >= TextImportLimit, &length, &nonAscii) && nonAscii)
        return QString::fromUtf8(bytes.left(length));
    // Written by a Windows editor in the ANSI code page; a double-byte character cut by the
    // import limit is left out.
    QString text;
    const int codePage = languageCodePage();
    if (codePage != 1252) {
        for (qsizetype cut = 0; cut < 2 && cut < bytes.size(); ++cut)
            if (decodeCodePage(codePage, bytes.left(bytes.size() - cut), &text))
                return text;
    }
    decodeCodePage(1252, bytes, &text);
    return text;
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

void setTextImportEncoding(int codePage)
{
    g_encoding.store(codePage);
}

int textEncodingForName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"utf-8" || n == u"utf8")
        return Utf8Encoding;
    if (n == u"utf-16le" || n == u"utf-16")
        return Utf16LEEncoding;
    if (n == u"utf-16be")
        return Utf16BEEncoding;
    if (n == u"cp1252" || n == u"windows-1252" || n == u"latin-1" || n == u"latin1")
        return 1252;
    if (n == u"cp932" || n == u"shift_jis" || n == u"sjis" || n == u"windows-31j")
        return 932;
    if (n == u"cp936" || n == u"gbk")
        return 936;
    return -1;
}

bool mostlyDropped(int dropped, qsizetype kept)
{
    return dropped > 0 && qsizetype(dropped) > kept;
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
    int droppedCount = 0;
    const QString text = decodeImportedText(read.data, &droppedCount);
    if (dropped)
        *dropped = droppedCount;
    if (mostlyDropped(droppedCount, text.size())) {
        if (error)
            *error = QStringLiteral("not text: %1 of its %2 characters would be left out (try another encoding)")
                         .arg(droppedCount).arg(droppedCount + text.size());
        return false;
    }
    *body = RichText(text, format);
    return true;
}

} // namespace glintcaster
