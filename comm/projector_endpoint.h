// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>
#include <QtGlobal>

namespace glintcaster {

/// TCP port of the projector command protocol.
inline constexpr quint16 kCommandPort = 9719;

/// What one exchange is told about its projector. Copied out of the projector record
/// before a job starts, so the job never shares it with the user interface.
struct ProjectorEndpoint {
    /// IPv4 address, first octet in the most significant byte (host order).
    quint32 address = 0;
    /// Carried along with every job; whether a digest is sent depends only on the greeting.
    qint32 authentication = 0;
    /// As entered; may be empty.
    QString password;
    /// Always the command port in the product; tests point it at their own listeners.
    quint16 port = kCommandPort;
};

/// a.b.c.d as the 32-bit host-order value used by ProjectorEndpoint.
constexpr quint32 ipv4(quint8 a, quint8 b, quint8 c, quint8 d)
{
    return (quint32(a) << 24) | (quint32(b) << 16) | (quint32(c) << 8) | quint32(d);
}

} // namespace glintcaster
