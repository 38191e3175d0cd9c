// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sim/projector_sim.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <memory>

class QTcpServer;
class QTcpSocket;
class QTimer;
class QUdpSocket;
class QNetworkDatagram;

namespace glintcaster {

struct SimShared;

/// The sockets of a ProjectorSim. Lives on the projector's thread; every method runs there.
class SimServer : public QObject {
    Q_OBJECT
public:
    SimServer(ProjectorSim *owner, ProjectorSimConfig config, std::shared_ptr<SimShared> shared);
    ~SimServer() override;

    bool open(QString *error);
    void close();
    /// Follows the listening faults (Refuse, HangConnect) after a fault change.
    void applyFault();

    ProjectorSim *owner() const { return m_owner; }
    const ProjectorSimConfig &config() const { return m_config; }
    SimShared &shared() const { return *m_shared; }

private:
    void acceptConnections();
    bool listenTcp(QString *error);
    void stopTcp();
    bool openHang(QString *error);
    void closeHang();
    void openDiscovery();
    void readSearches(QUdpSocket *socket, bool viaMulticast);
    void answerSearch(const QNetworkDatagram &datagram);

    ProjectorSim *m_owner = nullptr;
    ProjectorSimConfig m_config;
    std::shared_ptr<SimShared> m_shared;
    QTcpServer *m_tcp = nullptr;
    int m_hangListener = -1;
    int m_hangFiller = -1;
    QUdpSocket *m_unicast = nullptr;
    QUdpSocket *m_multicast = nullptr;
    QUdpSocket *m_sender = nullptr;
    int m_serial = 0;
    SimFault m_listeningFault = SimFault::None;
};

/// One accepted connection: greeting, digest check, request framing and answers.
class SimConnection : public QObject {
    Q_OBJECT
public:
    SimConnection(SimServer *server, QTcpSocket *socket, int serial);

private:
    void sendGreeting();
    void readIncoming();
    void process();
    void handle(const QByteArray &raw, const QByteArray &digest, const simwire::Request &request);
    void deliver(const QByteArray &answer, bool cut);
    void finish();
    void log(const QByteArray &raw, const QByteArray &digest, bool authenticated,
             const simwire::Request &request);

    SimServer *m_server = nullptr;
    QPointer<QTcpSocket> m_socket;
    QTimer *m_idle = nullptr;
    int m_serial = 0;
    QByteArray m_greeting;
    QByteArray m_expectedDigest;
    QByteArray m_buffer;
    bool m_needDigest = false;
    bool m_holding = false; // an answer is pending or the projector went silent
    bool m_closing = false;
};

} // namespace glintcaster
