// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace glintcaster {

/// Largest document `importDocument` reads.
inline constexpr qsizetype DocumentImportLimit = 16 * 1024 * 1024;

/// What became of a document written by another program.
struct DocumentImport {
    bool ok = false;
    QString error;      ///< why it was refused (English)
    bool rtf = false;   ///< read as RTF rather than as plain text
    RichText body;      ///< colours on the palette, the message's standard size and face
    int dropped = 0;    ///< control characters and non-characters removed on the way
    QStringList warnings; ///< what was taken despite damage (trailing data, a cut-off end)
};

/// Turns an RTF document (any editor; code pages through \ansicpg or the fonts' charsets,
/// Unicode escapes) or, when the bytes are not RTF, a plain text file into a message body.
/// Text colours and highlights become the nearest palette colours: automatic colour and
/// black text on no highlight (ink on paper) become the message's white; no highlight or a
/// white one (the paper) becomes the half-transparent background. Control characters other
/// than line breaks are dropped and counted, trailing empty lines removed.
/// Data after the document's end is ignored and a document cut off inside a group keeps
/// what was read; each says so in `warnings`.
/// With `mustBeRtf` (a file named ".rtf") bytes that are not RTF are refused rather than
/// read as text.
DocumentImport importDocument(const QByteArray &bytes, bool mustBeRtf = false);

/// Palette code nearest to `rgb`: for a character colour one of 0..7, for a background
/// one of 0..8 (the half-transparent background stands for light greys).
int nearestTextColour(quint32 rgb);
int nearestBackgroundColour(quint32 rgb);

/// Positions of characters a message cannot carry: characters outside the Basic
/// Multilingual Plane (both halves of the pair) and, for `basicOnly`, everything a
/// basic-set projector cannot show. The page-feed mark and line breaks are supported.
QList<qsizetype> unsupportedPositions(const RichText &text, bool basicOnly);

} // namespace glintcaster
