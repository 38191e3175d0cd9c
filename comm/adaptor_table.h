// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace glintcaster {

/// One IPv4 network adaptor of this computer that discovery can search on.
struct AdaptorEntry {
    quint32 address = 0; ///< first octet in the most significant byte
    QString addressText; ///< dotted decimal, as the platform reported it
    QString name;        ///< the adaptor's human-readable description
};

/// An adaptor as the platform enumerates it, before any filtering.
struct AdaptorCandidate {
    QString addressText; ///< first IPv4 address of the adaptor, dotted decimal
    QString name;
    bool loopback = false;
};

/// At most this many adaptors enter the table.
inline constexpr int MaxAdaptors = 15;

/// Environment variable holding a comma-separated list of IPv4 addresses; when set, only
/// adaptors with one of those addresses enter the table (loopback included), so tests and
/// demos never search on a real network.
inline constexpr char AdaptorRestrictionVariable[] = "GLINTCASTER_ADAPTORS";

/// Parses "a.b.c.d" (four decimal numbers 0..255) into a.b.c.d as a << 24 | ... | d.
std::optional<quint32> parseDottedAddress(const QString &text);
/// Formats an address as "%d.%d.%d.%d", most significant byte first.
QString formatDottedAddress(quint32 address);

/// Reads the restriction list from a variable's value; an unset variable gives nullopt,
/// a set one the trimmed, non-empty entries.
std::optional<QStringList> parseAdaptorRestriction(const QByteArray &value, bool isSet);

/// The pure part of building the table: keeps candidates in order, skips "0.0.0.0" and
/// unparsable addresses, keeps only restricted addresses when a restriction is given and
/// skips loopback adaptors otherwise, and stops after MaxAdaptors entries.
QList<AdaptorEntry> filterAdaptorCandidates(const QList<AdaptorCandidate> &candidates,
                                            const std::optional<QStringList> &restriction);

/// The platform's adaptors, in enumeration order, each with its first IPv4 address
/// ("0.0.0.0" for an adaptor without one).
QList<AdaptorCandidate> enumerateAdaptorCandidates();

/// Builds the adaptor table from the platform's adaptors and GLINTCASTER_ADAPTORS.
QList<AdaptorEntry> BuildAdaptorTable();

} // namespace glintcaster
