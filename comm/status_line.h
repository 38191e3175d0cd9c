// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArrayView>

namespace glintcaster {

/// Helpers for reading projector answers. `answer` is always the whole zero-filled receive
/// buffer, so bytes past what arrived read as zero; nothing here reads outside it.

/// An 8- or 10-character status line ("CTRL 0\r\n", "CANCEL 1\r\n"): a prefix match, the
/// rest of the answer does not matter.
bool startsWithStatusLine(QByteArrayView answer, QByteArrayView literal);

/// A 7-byte upload answer ("PUT 0\r\n") counts only when the answer is exactly those bytes:
/// the byte after them must be zero.
bool isUploadAnswer(QByteArrayView answer, QByteArrayView literal);

/// Reads a decimal number as atoi would (leading blanks, optional sign, digits up to the
/// first non-digit; no digits give 0), starting at `pos` and looking at no more than
/// `maxChars` characters (all up to the buffer's end when negative). Saturates instead of
/// overflowing.
int parseDecimal(QByteArrayView answer, qsizetype pos, qsizetype maxChars = -1);

/// Byte at `pos`, or 0 outside the buffer.
char byteAt(QByteArrayView answer, qsizetype pos);

/// Position of the first CR at or after `from`, looking at most `span` bytes further;
/// -1 when there is none.
qsizetype findCr(QByteArrayView answer, qsizetype from, qsizetype span = 255);

/// Whether `received` (the bytes that arrived so far) is a whole answer to `command` (the
/// request without its digest): it ends in CR LF, and a success answer that carries a value
/// reaches past it: the value line of a control read (type 2), the status character of
/// "STAT 0", the length line of "INFO 0". A projector may send its answer in several TCP
/// segments; a cut one must not be read as a value.
bool answerComplete(QByteArrayView command, QByteArrayView received);

} // namespace glintcaster
