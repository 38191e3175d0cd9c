// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// Bytes of a plain-text file that are imported; the rest is ignored.
inline constexpr qsizetype TextImportLimit = 4096;

/// Text of the first 4096 bytes of a ".txt" file. The encoding: UTF-16 little-endian after
/// FF FE, big-endian after FE FF, UTF-8 after EF BB BF; UTF-16 without a mark when its NUL
/// bytes fall on every other byte; UTF-8 when the bytes are valid UTF-8 with at least one
/// non-ASCII character; otherwise the ANSI code page of the language (932 Japanese, 936
/// Chinese, else 1252), or 1252 when the bytes are no text in that one. Tabs become four spaces and line ends
/// (CR LF, LF or CR) become paragraph breaks (U+000D), as the edit box keeps them. NUL and
/// the other C0 controls except tab, line feed, carriage return and form feed are dropped
/// (a NUL would end the text on the projector); `dropped` receives how many.
QString decodeImportedText(const QByteArray &bytes, int *dropped = nullptr);

/// Encodings a text import can be told to use instead of guessing (Windows code page numbers).
enum TextEncoding : int {
    GuessEncoding = 0,
    Utf8Encoding = 65001,
    Utf16LEEncoding = 1200,
    Utf16BEEncoding = 1201,
};
/// Makes every later text import of this process use `codePage` (a TextEncoding, or 1252,
/// 932 or 936); GuessEncoding restores the guess.
void setTextImportEncoding(int codePage);
/// The code page of a name ("utf-8", "utf-16le", "utf-16be", "cp1252"/"windows-1252",
/// "cp932"/"shift_jis", "cp936"/"gbk", any case); -1 for a name not known.
int textEncodingForName(const QString &name);

/// Whether a text that lost `dropped` of its characters to the decoding is still worth
/// importing: false when most of it would be dropped (a binary file, a wrong encoding).
bool mostlyDropped(int dropped, qsizetype kept);

/// Reads the first 4096 bytes of `path` (a regular file only) and decodes them as above,
/// in `format`. Returns false when the file cannot be opened or read, or when most of it
/// would be dropped.
bool importTextFile(const QString &path, const CharFormat &format, RichText *body,
                    QString *error = nullptr, int *dropped = nullptr);

} // namespace glintcaster
