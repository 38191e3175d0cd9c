// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace glintcaster {

/// Multicast group every projector listens on for searches.
inline constexpr char kDiscoveryGroup[] = "224.0.5.128";
/// Destination port of the search, also the local port of the sending socket.
inline constexpr quint16 kDiscoverySearchPort = 2363;
/// Local port on which projectors' answers arrive.
inline constexpr quint16 kDiscoveryAnswerPort = 4001;
inline constexpr int kDiscoveryTtl = 10;
/// A found projector must accept a connection on its command port to be listed.
inline constexpr quint16 kDiscoveryProbePort = 9719;

inline constexpr int kSearchDatagramSize = 18;
inline constexpr int kAnswerRecordSize = 88;
/// Longer answer datagrams are cut to this many bytes when received.
inline constexpr int kAnswerDatagramLimit = 1024;
/// At most this many projectors are listed per search.
inline constexpr int kMaxDiscoveredProjectors = 256;

/// The 18-byte "DeviceSearch" datagram of the adaptor with the given address.
QByteArray buildSearchDatagram(quint32 adaptorAddress);

/// Finds the 88-byte answer records inside one received datagram, in order. A record
/// starts at a 0x01 byte; one directly followed by "WL" is dropped together with those two
/// bytes, and an incomplete record at the end of the datagram is dropped.
QList<QByteArray> scanAnswerDatagram(const QByteArray &datagram);

/// A projector as an answer record describes it.
struct DiscoveredProjector {
    QString name;     ///< as reported, at most 64 characters
    quint32 address = 0; ///< first octet in the most significant byte
    QString mac;      ///< "%02X-%02X-%02X-%02X-%02X-%02X"

    QString addressText() const;
    bool operator==(const DiscoveredProjector &) const = default;
};

/// Reads a record of at least 88 bytes labelled "DeviceAnswer"; nullopt for anything else.
std::optional<DiscoveredProjector> parseAnswerRecord(const QByteArray &record);

/// Builds an 88-byte "DeviceAnswer" record (what a projector sends; used by the
/// substitute projector and by tests).
QByteArray buildAnswerRecord(const DiscoveredProjector &projector);

} // namespace glintcaster
