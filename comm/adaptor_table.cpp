// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/adaptor_table.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace glintcaster {

std::optional<quint32> parseDottedAddress(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 address = 0;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        bool ok = false;
        const uint value = part.toUInt(&ok, 10);
        if (!ok || value > 255)
            return std::nullopt;
        address = (address << 8) | value;
    }
    return address;
}

QString formatDottedAddress(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

std::optional<QStringList> parseAdaptorRestriction(const QByteArray &value, bool isSet)
{
    if (!isSet)
        return std::nullopt;
    QStringList result;
    for (const QByteArray &item : value.split(',')) {
        const QString entry = QString::fromLatin1(item).trimmed();
        if (!entry.isEmpty())
            result.append(entry);
    }
    return result;
}

QList<AdaptorEntry> filterAdaptorCandidates(const QList<AdaptorCandidate> &candidates,
                                            const std::optional<QStringList> &restriction)
{
    // Restriction entries are compared as addresses, so "127.000.0.1" still matches.
    QList<quint32> allowed;
    if (restriction) {
        for (const QString &text : *restriction) {
            if (const auto address = parseDottedAddress(text))
                allowed.append(*address);
        }
    }

    QList<AdaptorEntry> table;
    for (const AdaptorCandidate &candidate : candidates) {
        if (table.size() >= MaxAdaptors)
            break;
        if (candidate.addressText == QLatin1String("0.0.0.0"))
            continue;
        const auto address = parseDottedAddress(candidate.addressText);
        if (!address || *address == 0)
            continue;
        if (restriction) {
            if (!allowed.contains(*address))
                continue;
        } else if (candidate.loopback) {
            // The platform's own adaptor list never offers loopback; no projector lives there.
            continue;
        }
        table.append(AdaptorEntry{*address, candidate.addressText, candidate.name});
    }
    return table;
}

QList<AdaptorCandidate> enumerateAdaptorCandidates()
{
    QList<AdaptorCandidate> candidates;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        AdaptorCandidate candidate;
        candidate.name = iface.humanReadableName();
        candidate.loopback = iface.flags().testFlag(QNetworkInterface::IsLoopBack);
        candidate.addressText = QStringLiteral("0.0.0.0");
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                candidate.addressText = entry.ip().toString();
                break;
            }
        }
        candidates.append(candidate);
    }
    return candidates;
}

QList<AdaptorEntry> BuildAdaptorTable()
{
    const bool isSet = qEnvironmentVariableIsSet(AdaptorRestrictionVariable);
    const auto restriction =
        parseAdaptorRestriction(qgetenv(AdaptorRestrictionVariable), isSet);
    return filterAdaptorCandidates(enumerateAdaptorCandidates(), restriction);
}

} // namespace glintcaster
