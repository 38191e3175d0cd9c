// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "common/fake_peer.h"

#include <QElapsedTimer>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace glintcaster::testing {

namespace {

// Quiet time after which a request counts as complete.
constexpr int kRequestQuietMs = 40;
// Longest wait for a request to begin.
constexpr int kRequestStartMs = 20000;

int bindListener(quint32 address, int backlog, quint16 *port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = 0;
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0 ||
        ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(sa.sin_port);
    return fd;
}

bool readable(int fd, int ms)
{
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, ms) > 0;
}

void sendAll(int fd, const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent),
                                 MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

} // namespace

FakePeer::FakePeer(quint32 address) : m_address(address) {}

FakePeer::~FakePeer() { stop(); }

void FakePeer::setConversations(QList<FakeConversation> conversations)
{
    QMutexLocker lock(&m_mutex);
    m_conversations = std::move(conversations);
}

bool FakePeer::start()
{
    m_listenFd = bindListener(m_address, 8, &m_port);
    if (m_listenFd < 0)
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void FakePeer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
}

ProjectorEndpoint FakePeer::endpoint(const QString &password) const
{
    ProjectorEndpoint e;
    e.address = m_address;
    e.password = password;
    e.port = m_port;
    return e;
}

QList<QByteArray> FakePeer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

QList<int> FakePeer::requestDelaysMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_requestDelays;
}

QList<QByteArray> FakePeer::greetingsSent() const
{
    QMutexLocker lock(&m_mutex);
    return m_greetings;
}

bool FakePeer::waitForRequests(int n, int ms) const
{
    QElapsedTimer timer;
    timer.start();
    while (requests().size() < n) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(5);
    }
    return true;
}

void FakePeer::run()
{
    while (!m_stop) {
        if (!readable(m_listenFd, 20))
            continue;
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0)
            continue;
        FakeConversation conversation;
        {
            QMutexLocker lock(&m_mutex);
            if (!m_conversations.isEmpty()) {
                conversation = m_conversations.size() > 1 ? m_conversations.takeFirst()
                                                          : m_conversations.first();
            }
        }
        ++m_connections;
        serve(fd, conversation);
        ::close(fd);
    }
}

void FakePeer::serve(int fd, const FakeConversation &conversation)
{
    if (conversation.closeAtOnce)
        return;
    QElapsedTimer sinceAccept;
    sinceAccept.start();
    if (!conversation.greeting.isEmpty()) {
        sendAll(fd, conversation.greeting);
        QMutexLocker lock(&m_mutex);
        m_greetings.append(conversation.greeting);
    }
    if (conversation.closeAfterGreeting)
        return;
    for (int round = 0; !m_stop; ++round) {
        // Wait for a request to begin, then take everything until the line goes quiet.
        QElapsedTimer waiting;
        waiting.start();
        bool began = false;
        while (!m_stop && waiting.elapsed() < kRequestStartMs) {
            if (readable(fd, 20)) {
                began = true;
                break;
            }
        }
        if (!began)
            return;
        const int delay = int(sinceAccept.elapsed());
        QByteArray request;
        char buffer[8192];
        bool closed = false;
        do {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closed = true;
                break;
            }
            request.append(buffer, n);
        } while (readable(fd, kRequestQuietMs));
        if (!request.isEmpty()) {
            QMutexLocker lock(&m_mutex);
            m_requests.append(request);
            m_requestDelays.append(delay);
        }
        if (closed || round >= conversation.rounds.size())
            return closed ? void() : serve(fd, FakeConversation{}); // hold: record, never answer
        const FakeRound &r = conversation.rounds.at(round);
        QElapsedTimer delayed;
        delayed.start();
        while (delayed.elapsed() < r.delayMs && !m_stop)
            QThread::msleep(1);
        for (int i = 0; i < r.answerParts.size() && !m_stop; ++i) {
            if (i > 0)
                QThread::msleep(r.partGapMs);
            sendAll(fd, r.answerParts.at(i));
        }
        if (r.closeAfterAnswer)
            return;
    }
}

NeverAcceptingPeer::NeverAcceptingPeer(quint32 address) : m_address(address) {}

NeverAcceptingPeer::~NeverAcceptingPeer()
{
    for (int fd : m_fillers)
        ::close(fd);
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

bool NeverAcceptingPeer::start()
{
    m_listenFd = bindListener(m_address, 0, &m_port);
    if (m_listenFd < 0)
        return false;
    // Fill the backlog; these connections are never accepted.
    for (int i = 0; i < 2; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(m_address);
        sa.sin_port = htons(m_port);
        ::connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        m_fillers.append(fd);
    }
    QThread::msleep(50);
    return true;
}

ProjectorEndpoint NeverAcceptingPeer::endpoint() const
{
    ProjectorEndpoint e;
    e.address = m_address;
    e.port = m_port;
    return e;
}

quint16 unusedPort(quint32 address)
{
    quint16 port = 0;
    const int fd = bindListener(address, 1, &port);
    if (fd >= 0)
        ::close(fd); // the port is free again, and nobody listens on it
    return port;
}

} // namespace glintcaster::testing
