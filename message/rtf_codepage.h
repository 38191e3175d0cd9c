// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/code_page.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <memory>

namespace glintcaster {

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
