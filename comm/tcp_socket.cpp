// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/tcp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

namespace glintcaster {

namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

bool setBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, wanted) == 0;
}

// poll() with a microsecond limit where the system offers one.
int pollFor(pollfd *pfd, std::chrono::microseconds limit)
{
#ifdef __linux__
    timespec ts{};
    ts.tv_sec = time_t(limit.count() / 1000000);
    ts.tv_nsec = long(limit.count() % 1000000) * 1000;
    return ::ppoll(pfd, 1, &ts, nullptr);
#else
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
    return ::poll(pfd, 1, int(ms));
#endif
}

// Repeats a poll interrupted by a signal, keeping to the overall deadline.
int pollUntil(pollfd *pfd, std::chrono::microseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const int r = pollFor(pfd, limit);
        if (r >= 0 || errno != EINTR)
            return r;
        limit = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (limit.count() < 0)
            return 0;
    }
}

} // namespace

TcpSocket::~TcpSocket() { close(); }

bool TcpSocket::create()
{
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0)
        return false;
#ifdef SO_NOSIGPIPE
    int one = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    return true;
}

TcpSocket::Wait TcpSocket::beginConnect(quint32 address, quint16 port)
{
    if (m_fd < 0 || !setBlocking(m_fd, false))
        return Wait::Failed;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address);
    if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) == 0)
        return setBlocking(m_fd, true) ? Wait::Ready : Wait::Failed;
    return errno == EINPROGRESS || errno == EINTR ? Wait::TimedOut : Wait::Failed;
}

bool TcpSocket::finishConnect()
{
    if (m_fd < 0)
        return false;
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0)
        return false;
    return setBlocking(m_fd, true);
}

TcpSocket::Wait TcpSocket::waitFor(short events, std::chrono::microseconds limit)
{
    if (m_fd < 0)
        return Wait::Failed;
    pollfd pfd{m_fd, events, 0};
    const int r = pollUntil(&pfd, limit);
    if (r < 0)
        return Wait::Failed;
    if (r == 0)
        return Wait::TimedOut;
    // A hang-up or error also makes the next read (or finishConnect) report it at once.
    if (pfd.revents & (events | POLLHUP | POLLERR))
        return Wait::Ready;
    return Wait::Failed;
}

TcpSocket::Wait TcpSocket::waitReadable(std::chrono::microseconds limit)
{
    return waitFor(POLLIN, limit);
}

TcpSocket::Wait TcpSocket::waitWritable(std::chrono::microseconds limit)
{
    return waitFor(POLLOUT, limit);
}

qint64 TcpSocket::receive(char *buffer, qint64 size)
{
    if (m_fd < 0 || size <= 0)
        return -1;
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, size_t(size), 0);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

qint64 TcpSocket::send(const char *data, qint64 size, std::chrono::milliseconds limit)
{
    if (m_fd < 0)
        return -1;
    timeval tv{};
    tv.tv_sec = limit.count() / 1000;
    tv.tv_usec = (limit.count() % 1000) * 1000;
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    for (;;) {
        const ssize_t n = ::send(m_fd, data, size_t(size), kSendFlags);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void TcpSocket::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace glintcaster
