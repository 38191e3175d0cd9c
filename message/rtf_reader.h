// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// Limits that keep hostile or broken documents from costing unbounded time or memory.
struct RtfLimits {
    qsizetype maxInputBytes = 64 * 1024 * 1024;
    int maxDepth = 4096;           ///< nested groups (Outlook HTML mail nests thousands deep)
    int maxColours = 4096;         ///< colour table entries
    int maxFonts = 4096;           ///< font table entries
    qsizetype maxChars = 1 << 20;  ///< characters of text produced
};

struct RtfReadResult {
    bool ok = false;
    RichText text;  ///< what was read; empty when !ok
    QString error;  ///< why the document was refused (English, for logs and tests)
};

/// Reads an RTF document into rich text: characters with their colour (`\cf`), background
/// (`\highlight`, `\cb`, `\chcbpat`), size (`\fs`) and face (`\f`), paragraph and line breaks as
/// U+000D, tabs as four spaces. Code-page bytes are decoded in the document's code page or in
/// the code page of the current font's charset. Attributes a document leaves unset or
/// "automatic" take their value from `base`. Anything that is not well-formed RTF, or that
/// exceeds `limits`, is refused with an error; nothing partial is returned.
RtfReadResult readRtf(const QByteArray &rtf, const CharFormat &base = {},
                      const RtfLimits &limits = {});

} // namespace glintcaster
