// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// The character code page 1252 gives to a byte (0x81, 0x8D, 0x8F, 0x90 and 0x9D, which it
/// leaves undefined, map to the same code, as Windows does).
char16_t cp1252Char(unsigned char byte);
/// The byte for `ch` in code page 1252, or -1 when the code page has no such character.
int cp1252ByteFor(char16_t ch);

/// The Windows ANSI code page that files written by the Windows build use in the program's
/// language: 932 for Japanese, 936 for Chinese, 1252 otherwise.
int languageCodePage();

/// True when `bytes` are well-formed UTF-8 (an incomplete sequence at the end is not).
bool isValidUtf8(const QByteArray &bytes);

/// Decodes `bytes` in code page 1252, 932 or 936; false when a byte sequence has no
/// character there (1252 takes every byte).
bool decodeCodePage(int codePage, const QByteArray &bytes, QString *text);
/// Encodes `text` in code page 1252, 932 or 936; false when a character has no bytes there.
bool encodeCodePage(int codePage, const QString &text, QByteArray *bytes);

} // namespace glintcaster
