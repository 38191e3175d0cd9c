// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <memory>

namespace glintcaster {

/// The character code page 1252 gives to a byte (0x81, 0x8D, 0x8F, 0x90 and 0x9D, which it
/// leaves undefined, map to the same code, as Windows does).
char16_t cp1252Char(unsigned char byte);
/// The byte for `ch` in code page 1252, or -1 when the code page has no such character.
int cp1252ByteFor(char16_t ch);

/// Windows code page of an RTF `\fcharset` value; 0 when the charset names no code page
/// of its own (the document's code page applies).
int codePageForCharset(int charset);

/// Decodes byte runs in Windows code pages. Decoders are made once per code page; a code
/// page nobody can decode falls back to 1252.
class CodePageDecoder {
public:
    QString decode(int codePage, const QByteArray &bytes);

private:
    QStringDecoder *decoderFor(int codePage);
    QHash<int, std::shared_ptr<QStringDecoder>> m_decoders;
};

} // namespace glintcaster
