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
    /// Starts connecting to address:port (host-order address) without waiting: Ready when
    /// connected at once, TimedOut while under way (waitWritable(), then finishConnect()),
    /// Failed on refusal or error.
    Wait beginConnect(quint32 address, quint16 port);
    /// After waitWritable() said Ready: whether the connect succeeded. The socket is
    /// blocking again afterwards, so a request leaves in one send call.
    bool finishConnect();
    /// Waits up to `limit` until a read would not block (data, end of stream or error).
    Wait waitReadable(std::chrono::microseconds limit);
    /// Waits up to `limit` until a connect under way has ended, one way or the other.
    Wait waitWritable(std::chrono::microseconds limit);
    /// One receive call: bytes read, 0 at end of stream, -1 on error.
    qint64 receive(char *buffer, qint64 size);
    /// One send call with an upper time limit: bytes sent or -1.
    qint64 send(const char *data, qint64 size, std::chrono::milliseconds limit);
    void close();

private:
    Wait waitFor(short events, std::chrono::microseconds limit);

    int m_fd = -1;
};

} // namespace glintcaster
