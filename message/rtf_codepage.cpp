// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rtf_codepage.h"

namespace glintcaster {

namespace {

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
