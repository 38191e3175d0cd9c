// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rtf_codepage.h"

namespace glintcaster {

namespace {

// Bytes 0x80..0x9F of code page 1252; the rest of the upper half equals Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QList<QByteArray> codecNames(int codePage)
{
    switch (codePage) {
    case 932:
        return {"windows-31j", "Shift_JIS"};
    case 936:
        return {"GBK", "cp936"};
    case 949:
        return {"windows-949"};
    case 950:
        return {"windows-950", "Big5"};
    case 10000:
        return {"macintosh"};
    case 10001:
        return {"Shift_JIS"};
    case 10008:
        return {"GB2312"};
    case 437:
        return {"IBM437"};
    case 65001:
        return {"UTF-8"};
    default:
        break;
    }
    const QByteArray n = QByteArray::number(codePage);
    return {"windows-" + n, "cp" + n, "ibm-" + n};
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

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 78: return 10001;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    default: return 0;
    }
}

QStringDecoder *CodePageDecoder::decoderFor(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it != m_decoders.end())
        return it->get();
    std::shared_ptr<QStringDecoder> found;
    for (const QByteArray &name : codecNames(codePage)) {
        auto d = std::make_shared<QStringDecoder>(name.constData());
        if (d->isValid()) {
            found = d;
            break;
        }
    }
    m_decoders.insert(codePage, found);
    return found.get();
}

QString CodePageDecoder::decode(int codePage, const QByteArray &bytes)
{
    QStringDecoder *decoder = codePage == 1252 ? nullptr : decoderFor(codePage);
    if (!decoder) {
        QString s(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            s[i] = QChar(cp1252Char(static_cast<unsigned char>(bytes.at(i))));
        return s;
    }
    decoder->resetState();
    return decoder->decode(bytes);
}

} // namespace glintcaster
