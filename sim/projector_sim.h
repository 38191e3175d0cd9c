// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sim/sim_device.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMetaMethod>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;

namespace glintcaster {

class SimServer;
struct SimShared;

/// Misbehaviours a test can switch on. Apart from CloseMidAnswer, a faulty answer means
/// the request is not carried out.
enum class SimFault {
    None,
    Silent,            // read the request, never answer; the connection stays open
    CloseOnAccept,     // close each connection as soon as it is accepted (no greeting)
    CloseAfterRequest, // read the request, then close without answering
    CloseMidAnswer,    // carry out the request, send the first half of the answer, close
    Garbage,           // answer with bytes that are no status line
    Refuse,            // stop listening: connects are refused at once
    Busy,              // answer every command with its busy digit
    HangConnect,       // stop accepting and fill the backlog: connects hang until timeout
    LateAnswer,        // carry out the request, answer only after the late-answer delay
    WrongDigest,       // greet every connection, then take every digest for a wrong one
};

/// How long LateAnswer holds an answer by default: past the whole answer wait (about 12 s).
inline constexpr int kSimLateAnswerMs = 13000;

enum class SimGreeting {
    WhenPassword, // greet (and demand a digest) only when a password is set
    Always,       // greet every connection; with no password the digest covers the challenge
    Never,
};

enum class SimDiscoveryShape {
    Single,     // one record per datagram
    TwoRecords, // own record followed by the extra record, in one datagram
    TrailingWL, // own record followed by "WL"
};

/// One request as the projector received it.
struct SimRequest {
    QByteArray raw;       // every byte of it, digest included
    QByteArray digest;    // the 32 digits before the command (empty without a greeting)
    QByteArray command;   // raw without the digest
    QByteArray greeting;  // what this connection was greeted with (empty: none)
    bool authenticated = true; // false: wrong digest, the connection was closed
    int connection = 0;   // serial number of the connection, from 1
    simwire::Request parsed;
};

/// Static settings, fixed once start() is called.
struct ProjectorSimConfig {
    QHostAddress address = QHostAddress(QStringLiteral("127.0.0.1"));
    quint16 port = 9719;
    quint16 searchPort = 2363; // discovery: where searches arrive
    quint16 answerPort = 4001; // discovery: the asker's port the answers go to
    bool discoveryUnicast = true; // answer searches sent straight to address:searchPort
    /// Join 224.0.5.128 on the interface that carries the address. Only done when that
    /// interface is a loopback one, unless multicastAnyInterface is set (for tests inside a
    /// private network namespace with veth pairs).
    bool discoveryMulticast = true;
    bool multicastAnyInterface = false;
    int idleTimeoutMs = 120000; // a connection quiet for this long is closed
    /// Keep every request and search for requests()/searchesReceived() and the waits on
    /// them. A long-running projector (the executable) turns it off so memory stays flat.
    bool keepLog = true;
};

/// A substitute projector: speaks the command protocol on TCP and answers discovery
/// searches on UDP, with its sockets on a thread of its own so that a test may make
/// blocking client calls on its own thread. All setters and getters may be called from
/// any thread; changes apply to the next connection or request.
class ProjectorSim : public QObject {
    Q_OBJECT
public:
    explicit ProjectorSim(QObject *parent = nullptr);
    explicit ProjectorSim(const QHostAddress &address, quint16 port = 9719,
                          QObject *parent = nullptr);
    explicit ProjectorSim(const ProjectorSimConfig &config, QObject *parent = nullptr);
    ~ProjectorSim() override; // stops and joins

    ProjectorSimConfig &config() { return m_config; } // change only before start()

    /// Starts the thread and listens; returns once listening, or false (see errorString()).
    bool start();
    /// Listens with its sockets on `thread`, a running thread shared with other projectors
    /// (a fleet); the thread stays the caller's and must outlive stop().
    bool startOn(QThread *thread);
    /// Closes every socket and joins the thread. Safe to call twice.
    void stop();
    bool isRunning() const;
    QString errorString() const;
    QHostAddress address() const { return m_config.address; }
    quint16 port() const { return m_config.port; }

    // Authentication.
    void setPassword(const QString &password);
    void setGreetingMode(SimGreeting mode);
    /// A fixed greeting instead of 8 random characters (empty: random again).
    void setGreeting(const QByteArray &greeting);
    void setGreetingDelay(int ms);

    // Faults and odd answers.
    void setFault(SimFault fault);
    SimFault fault() const;
    /// The delay of SimFault::LateAnswer (default kSimLateAnswerMs).
    void setLateAnswerDelay(int ms);
    /// Answers late: every request, or only those whose command starts with commandPrefix
    /// (a prefix delay wins over the general one).
    void setAnswerDelay(int ms, const QByteArray &commandPrefix = {});
    /// Answers every request whose command starts with commandPrefix (empty: every request)
    /// with exactly these bytes instead of carrying it out. An empty answer closes the
    /// connection without sending anything.
    void setRawAnswer(const QByteArray &answer, const QByteArray &commandPrefix = {});
    /// One-shot answers, used in order before anything else.
    void queueRawAnswer(const QByteArray &answer);
    void clearRawAnswers();

    // Projector state.
    void setFirmwareLevel(int level);
    void setCapabilityFlags(int flags);
    void setStartupSetting(int value);
    void setMessageState(int value);
    void setAlarmState(int value);
    void setStatusCharacter(char c);
    /// STAT characters after each upload, e.g. "1530"; the last one repeats.
    void setStatScript(const QByteArray &script);
    void setSlot(int slot, const QByteArray &header, const QByteArray &body);
    /// Any other change, made under the state lock.
    void updateDevice(const std::function<void(SimDevice &)> &change);
    SimDevice device() const; // a snapshot
    SimSlot slot(int slot) const;

    // Discovery.
    void setDiscoveryEnabled(bool on);
    void setIdentity(const QString &name, const QByteArray &mac);
    /// The address reported in records; null means the listening address.
    void setReportedAddress(const QHostAddress &address);
    void setDiscoveryShape(SimDiscoveryShape shape);
    void setExtraRecord(const QString &name, const QByteArray &mac, const QHostAddress &address);
    QList<QByteArray> searchesReceived() const;
    bool waitForSearches(int count, int timeoutMs) const;

    // Inspection.
    QList<SimRequest> requests() const;
    int requestCount() const;
    void clearRequests();
    /// Blocks the calling thread until at least count requests were logged.
    bool waitForRequests(int count, int timeoutMs) const;
    int connectionCount() const;

    /// Whether anything is connected to requestReceived.
    bool hasRequestListener() const
    {
        return isSignalConnected(QMetaMethod::fromSignal(&ProjectorSim::requestReceived));
    }

signals:
    /// Emitted from the projector's thread for every request (queued to other threads).
    void requestReceived(const QString &description, bool authenticated);
    void searchReceived(const QHostAddress &from);

private:
    friend class SimServer;
    ProjectorSimConfig m_config;
    std::shared_ptr<SimShared> m_shared;
    QThread *m_thread = nullptr;
    bool m_ownsThread = false;
    SimServer *m_server = nullptr;
    QString m_error;
};

} // namespace glintcaster
