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
    /// Keep what was read when the data ends inside a group, a `\'` escape or `\bin` data
    /// (documents from elsewhere, cut short by a mail or a disk). Otherwise such a document
    /// is refused, as a message file or a clipboard cut short must be.
    bool keepTruncated = false;
};

struct RtfReadResult {
    bool ok = false;
    RichText text;  ///< what was read; empty when !ok
    QString error;  ///< why the document was refused (English, for logs and tests)
    bool trailingIgnored = false; ///< something other than padding followed the document
    int openGroups = 0;           ///< groups the data left open (only with keepTruncated)
};

/// Reads an RTF document into rich text: characters with their colour (`\cf`), background
/// (`\highlight`, `\cb`, `\chcbpat`), size (`\fs`) and face (`\f`), paragraph and line breaks as
/// U+000D, tabs as four spaces. Code-page bytes are decoded in the document's code page or in
/// the code page of the current font's charset. Attributes a document leaves unset or
/// "automatic" take their value from `base`.
///
/// The document ends with the closing brace of its outermost group; whatever follows (a
/// stray brace, a second document, garbage) is ignored and flagged in `trailingIgnored`.
/// Data that ends inside a group is refused unless `limits.keepTruncated`; anything else
/// that is not RTF, or that exceeds `limits`, is refused with an error and nothing partial.
///
/// What counts as text is what a word processor shows in the body of the page:
/// - `\*` marks an ignorable destination only directly after `{`: `{\*\unknown ...}` is
///   skipped whole, while a `\*` elsewhere (`{\loch\*\cs7 Hello}`) is ignored and the
///   group's text kept. An unknown control word without `\*` is ignored, its text kept.
/// - Skipped: headers and footers (`\header*`, `\footer*`), footnotes and annotations
///   (`\footnote`, `\annotation` and their separators), hidden text (`\v`, `\webhidden`),
///   field instructions (`\fldinst`), pictures (`\pict`, `\shp*`), embedded objects'
///   data (`\objdata` and the other `\obj*` parts), `\bin` data, index and contents
///   entries (`\xe`, `\tc`), the document's tables and properties (style sheet, list
///   tables, `\info`, bookmarks, theme and data stores).
/// - Kept: field results (`\fldrslt`) and an object's `\result`, list numbers and bullets
///   (`\listtext`, `\pntext`), table cells (tabs between cells, a break after each row;
///   `\ts` and `\tsrowd` are table-style words here, not destinations, and the row's text
///   follows them).
RtfReadResult readRtf(const QByteArray &rtf, const CharFormat &base = {},
                      const RtfLimits &limits = {});

} // namespace glintcaster
