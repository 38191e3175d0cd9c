// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QList>
#include <QString>

namespace glintcaster {

class CurrentMessage;

inline constexpr char16_t AutoLineBreak = 0x000A;

struct WrapSettings {
    bool extendedCharset = true; ///< measure with the extended table, else the basic one
    bool doubleSize = false;     ///< every width counts twice on a narrower line
    int width = 0;               ///< line width in units; 0: 614, or 588 at double size
    int lineWidth() const;
};

/// The encoder's wrapping: a space before the point where a line overflows becomes 0x000A.
/// Nothing is inserted, so positions keep matching the source text; a word with no space
/// before it in its line stays unbroken (the projector breaks it itself).
void wrapForEncoding(QString &text, const WrapSettings &settings);

/// Wrapping as the projector shows the text: like the encoder's, but an over-long word is
/// broken by inserting 0x000A, and characters the extended table cannot measure count 12.
struct DisplayWrap {
    QString text;             ///< wrapped text
    QList<qsizetype> origin;  ///< per character of `text`: index in the source, -1 if inserted
};
DisplayWrap wrapForDisplay(const QString &text, const WrapSettings &settings);

/// Lines of wrapped text: runs ended by 0x000A, 0x000D, the page-feed mark (which swallows
/// the character after it) or the end; an empty run at the very end does not count.
int countWrappedLines(const QString &wrapped);

/// 1-based display line of every source position of `text`.
QList<int> displayLines(const QString &text, const WrapSettings &settings);

/// Lines title and body occupy on the projector, each wrapped on its own, whole.
int CountDisplayLines(const QString &title, const QString &body, const WrapSettings &settings);
/// The same for a message, at its own character size.
int CountDisplayLines(const CurrentMessage &message, bool extendedCharset);

} // namespace glintcaster
