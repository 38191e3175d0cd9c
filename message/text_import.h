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
/// FF FE, big-endian after FE FF, UTF-8 after EF BB BF or when the bytes are valid UTF-8
/// with at least one non-ASCII character, otherwise one character per byte (Latin-1, so
/// Windows-1252 files read as they always did). Tabs become four spaces and line ends
/// (CR LF, LF or CR) become paragraph breaks (U+000D), as the edit box keeps them. NUL and
/// the other C0 controls except tab, line feed, carriage return and form feed are dropped
/// (a NUL would end the text on the projector); `dropped` receives how many.
QString decodeImportedText(const QByteArray &bytes, int *dropped = nullptr);

/// Reads the first 4096 bytes of `path` (a regular file only) and decodes them as above,
/// in `format`. Returns false when the file cannot be opened or read.
bool importTextFile(const QString &path, const CharFormat &format, RichText *body,
                    QString *error = nullptr, int *dropped = nullptr);

} // namespace glintcaster
