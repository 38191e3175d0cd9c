// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QtGlobal>

#include <chrono>

namespace glintcaster {

/// A plain IPv4 stream socket for the worker threads: every wait has a limit and nothing
/// raises signals. Kept separate so the exchange reads as protocol steps only.
class TcpSocket {
public:
    enum class Wait { Ready, TimedOut, Failed };

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket &) = delete;
    TcpSocket &operator=(const TcpSocket &) = delete;

    /// Creates the socket; false when the system refuses one.
    bool create();
    bool isOpen() const { return m_fd >= 0; }
    /// Connects to address:port (host-order address) within `limit`; false on refusal,
    /// error or timeout. The socket is blocking again afterwards.
    bool connectTo(quint32 address, quint16 port, std::chrono::milliseconds limit);
    /// Waits up to `limit` until a read would not block (data, end of stream or error).
    Wait waitReadable(std::chrono::microseconds limit);
    /// One receive call: bytes read, 0 at end of stream, -1 on error.
    qint64 receive(char *buffer, qint64 size);
    /// One send call with an upper time limit: bytes sent or -1.
    qint64 send(const char *data, qint64 size, std::chrono::milliseconds limit);
    void close();

private:
    int m_fd = -1;
};

} // namespace glintcaster
