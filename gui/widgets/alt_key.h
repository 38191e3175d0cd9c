// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster {

/// `text` with an Alt key: the first `letter` in it is marked ("Send" -> "&Send"); a text
/// without that letter (a translation) gets it appended as "送信(&S)". For captions that
/// come from the message table, which carries no Alt keys.
inline QString withAltKey(const QString &text, QChar letter)
{
    const qsizetype at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at >= 0)
        return text.left(at) + u'&' + text.mid(at);
    return text + QStringLiteral("(&") + letter.toUpper() + u')';
}

} // namespace glintcaster
