// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster::server {

/// A client's text echoed in a one-line reason or a log line: control characters (line
/// breaks, NULs) shown as \uXXXX, and cut to `max` characters, so a request cannot add
/// lines to the log or to an answer.
inline QString quotedText(const QString &text, int max = 80)
{
    QString out;
    for (const QChar c : text) {
        if (out.size() >= max) {
            out += QStringLiteral("...");
            break;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace glintcaster::server
