// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/projector_endpoint.h"

#include <QByteArray>
#include <QList>
#include <QMutex>

#include <atomic>
#include <thread>

namespace glintcaster::testing {

/// One request/answer round of a fake conversation.
struct FakeRound {
    /// Sent in pieces, `partGapMs` apart; nothing at all when empty (silence).
    QList<QByteArray> answerParts;
    int delayMs = 0;
    int partGapMs = 0;
    /// Close the connection instead of (after) answering.
    bool closeAfterAnswer = false;

    static FakeRound answer(QByteArray bytes, int delayMs = 0)
    {
        FakeRound r;
        r.answerParts = {std::move(bytes)};
        r.delayMs = delayMs;
        return r;
    }
};

/// What the fake peer does with one accepted connection.
struct FakeConversation {
    bool closeAtOnce = false;   // close before greeting or reading anything
    QByteArray greeting;        // sent right after accept when not empty
    bool closeAfterGreeting = false;
    QList<FakeRound> rounds;    // one per request; further requests are recorded, not answered

    static FakeConversation answering(QByteArray bytes, QByteArray greeting = {})
    {
        FakeConversation c;
        c.greeting = std::move(greeting);
        c.rounds = {FakeRound::answer(std::move(bytes))};
        return c;
    }
};

/// A scriptable stand-in for a projector on a loopback address and an ephemeral port, for
/// tests of timings and faults. Handles one connection at a time on its own thread.
class FakePeer {
public:
    explicit FakePeer(quint32 address = ipv4(127, 0, 0, 1));
    ~FakePeer();

    /// Conversations are used in order, the last one for every further connection.
    void setConversations(QList<FakeConversation> conversations);
    bool start();
    void stop();

    quint16 port() const { return m_port; }
    ProjectorEndpoint endpoint(const QString &password = {}) const;

    /// Every request received, in order, with the time since its connection was accepted.
    QList<QByteArray> requests() const;
    QList<int> requestDelaysMs() const;
    QList<QByteArray> greetingsSent() const;
    int connections() const { return m_connections; }
    /// Waits up to `ms` for at least `n` recorded requests.
    bool waitForRequests(int n, int ms = 5000) const;

private:
    void run();
    void serve(int fd, const FakeConversation &conversation);

    quint32 m_address = 0;
    quint16 m_port = 0;
    int m_listenFd = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable QMutex m_mutex;
    QList<FakeConversation> m_conversations;
    QList<QByteArray> m_requests;
    QList<int> m_requestDelays;
    QList<QByteArray> m_greetings;
};

/// A listener that never accepts: its backlog is full, so further connects hang.
class NeverAcceptingPeer {
public:
    explicit NeverAcceptingPeer(quint32 address = ipv4(127, 0, 0, 1));
    ~NeverAcceptingPeer();
    bool start();
    ProjectorEndpoint endpoint() const;

private:
    quint32 m_address = 0;
    quint16 m_port = 0;
    int m_listenFd = -1;
    QList<int> m_fillers;
};

/// A loopback port with nothing listening (connects are refused at once).
quint16 unusedPort(quint32 address = ipv4(127, 0, 0, 1));

} // namespace glintcaster::testing
