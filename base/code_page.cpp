// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/code_page.h"

#include "base/message_table.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace glintcaster {

namespace {

// Bytes 0x80..0x9F of code page 1252; the rest of the upper half equals Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char *codecName(int codePage)
{
    return codePage == 932 ? "windows-31j" : codePage == 936 ? "GBK" : nullptr;
}

} // namespace

char16_t cp1252Char(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[byte - 0x80];
    return byte;
}

int cp1252ByteFor(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == ch)
            return 0x80 + i;
    return -1;
}

int languageCodePage()
{
    switch (MessageTable::language()) {
    case Language::Japanese:
        return 932;
    case Language::Chinese:
        return 936;
    case Language::English:
        break;
    }
    return 1252;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool decodeCodePage(int codePage, const QByteArray &bytes, QString *text)
{
    if (const char *name = codecName(codePage)) {
        QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            return false;
        *text = decoder.decode(bytes);
        return !decoder.hasError() && !text->contains(QChar::ReplacementCharacter);
    }
    text->resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        (*text)[i] = QChar(cp1252Char(static_cast<unsigned char>(bytes.at(i))));
    return true;
}

bool encodeCodePage(int codePage, const QString &text, QByteArray *bytes)
{
    if (const char *name = codecName(codePage)) {
        QStringEncoder encoder(name, QStringEncoder::Flag::Stateless);
        if (!encoder.isValid())
            return false;
        *bytes = encoder.encode(text);
        // The encoder writes '?' for what it cannot encode; decoding back tells.
        QString back;
        return !encoder.hasError() && decodeCodePage(codePage, *bytes, &back) && back == text;
    }
    bytes->resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = cp1252ByteFor(text.at(i).unicode());
        if (b < 0)
            return false;
        (*bytes)[i] = char(b);
    }
    return true;
}

} // namespace glintcaster
