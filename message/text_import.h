// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// Bytes of a plain-text file that are imported; the rest is ignored.
inline constexpr qsizetype TextImportLimit = 4096;

/// Text of the first 4096 bytes of a ".txt" file: UTF-16 little-endian after an FF FE
/// mark, otherwise one character per byte (U+0000..U+00FF). Tabs become four spaces and
/// line ends (CR LF, LF or CR) become paragraph breaks (U+000D), as the edit box keeps them.
QString decodeImportedText(const QByteArray &bytes);

/// Reads the first 4096 bytes of `path` and decodes them as above, in `format`.
/// Returns false when the file cannot be opened or read.
bool importTextFile(const QString &path, const CharFormat &format, RichText *body,
                    QString *error = nullptr);

} // namespace glintcaster
