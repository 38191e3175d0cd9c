// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/text_limits.h"

namespace glintcaster {

int titleLimit(int fontSize, bool extendedCharset)
{
    if (fontSize == 1)
        return 10;
    return extendedCharset ? 20 : 40;
}

bool isBasicSupported(char16_t c)
{
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF))
        return true;
    switch (c) {
    case 0x0000:
    case 0x0009:
    case 0x000A:
    case 0x000C:
    case 0x000D:
    case 0x001B:
    case 0x25BC:
    case 0xFFFF:
        return true;
    default:
        return false;
    }
}

QString withNumber(const QString &pattern, int value)
{
    QString s = pattern;
    const qsizetype at = s.indexOf(QLatin1String("%d"));
    if (at >= 0)
        s.replace(at, 2, QString::number(value));
    return s;
}

} // namespace glintcaster
