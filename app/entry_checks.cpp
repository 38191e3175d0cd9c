// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/entry_checks.h"

#include <QRegularExpression>

namespace glintcaster {

QString macProblem(const QString &mac)
{
    static const QRegularExpression sixPairs(
        QStringLiteral("^[0-9A-Fa-f]{2}([-:])[0-9A-Fa-f]{2}(\\1[0-9A-Fa-f]{2}){4}$"));
    if (mac == QLatin1String("-----") || sixPairs.match(mac).hasMatch())
        return {};
    return QStringLiteral("\"%1\" is not a MAC address (six pairs of hexadecimal digits separated by hyphens)")
        .arg(mac.left(40));
}

QString projectorAddressProblem(quint32 ip)
{
    const quint32 first = ip >> 24;
    if (ip == 0)
        return QStringLiteral("0.0.0.0 names no projector");
    if (ip == 0xFFFFFFFFu)
        return QStringLiteral("255.255.255.255 is the broadcast address, not a projector");
    if (first >= 224 && first <= 239)
        return QStringLiteral("%1.x.x.x is a multicast address, not a projector").arg(first);
    if (first >= 240)
        return QStringLiteral("%1.x.x.x is a reserved address, not a projector").arg(first);
    return {};
}

bool passwordBeyondLatin1(const QString &password)
{
    for (QChar c : password)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

QString passwordBeyondLatin1Warning()
{
    return QStringLiteral("The password has characters beyond Latin-1: the projector compares only the "
                          "low byte of each, so other passwords will be accepted for it too.");
}

} // namespace glintcaster
