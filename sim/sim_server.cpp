// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_server.h"

#include "sim/sim_shared.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace glintcaster {

namespace {

const QHostAddress DiscoveryGroup(QStringLiteral("224.0.5.128"));

// Bytes that match no status line of any command.
const QByteArray GarbageAnswer("#?GARBAGE\xff\x01\r\n", 13);

QByteArray randomChallenge()
{
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    QByteArray g;
    for (int i = 0; i < 8; ++i)
        g += alphabet[QRandomGenerator::global()->bounded(int(sizeof(alphabet) - 1))];
    return g;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

// ---------------------------------------------------------------------------------------

SimServer::SimServer(ProjectorSim *owner, ProjectorSimConfig config,
                     std::shared_ptr<SimShared> shared)
    : m_owner(owner), m_config(std::move(config)), m_shared(std::move(shared))
{
}

SimServer::~SimServer()
{
    closeHang();
}

bool SimServer::open(QString *error)
{
    m_tcp = new QTcpServer(this);
    connect(m_tcp, &QTcpServer::newConnection, this, &SimServer::acceptConnections);
    if (!listenTcp(error))
        return false;
    openDiscovery();
    applyFault();
    return true;
}

bool SimServer::listenTcp(QString *error)
{
    if (m_tcp->isListening())
        return true;
    if (!m_tcp->listen(m_config.address, m_config.port)) {
        if (error) {
            *error = QStringLiteral("cannot listen on %1:%2: %3")
                         .arg(m_config.address.toString())
                         .arg(m_config.port)
                         .arg(m_tcp->errorString());
        }
        return false;
    }
    if (m_config.port == 0)
        m_config.port = m_tcp->serverPort();
    return true;
}

void SimServer::stopTcp()
{
    if (m_tcp)
        m_tcp->close();
}

void SimServer::close()
{
    closeHang();
    stopTcp();
    // Children (connections, sockets) go with their parent; do it here, on our thread.
    const auto children = this->children();
    for (QObject *child : children)
        delete child;
    m_tcp = nullptr;
    m_unicast = m_multicast = m_sender = nullptr;
}

void SimServer::applyFault()
{
    if (!m_tcp)
        return;
    SimFault fault;
    {
        QMutexLocker lock(&m_shared->mutex);
        fault = m_shared->fault;
    }
    const bool refuse = fault == SimFault::Refuse;
    const bool hang = fault == SimFault::HangConnect;
    if (fault == m_listeningFault)
        return;
    m_listeningFault = fault;
    closeHang();
    if (refuse || hang)
        stopTcp();
    if (hang) {
        QString error;
        if (!openHang(&error))
            qWarning("glintcaster-sim: %s", qPrintable(error));
    } else if (!refuse) {
        QString error;
        if (!listenTcp(&error))
            qWarning("glintcaster-sim: %s", qPrintable(error));
    }
}

// A listener with a backlog of 0 and one connection parked in it that is never accepted:
// the kernel then drops further handshakes, so a client's connect neither succeeds nor
// fails until its own timeout.
bool SimServer::openHang(QString *error)
{
#ifndef Q_OS_UNIX
    if (error)
        *error = QStringLiteral("hanging connects are not supported on this platform");
    return false;
#else
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(m_config.port);
    addr.sin_addr.s_addr = htonl(m_config.address.toIPv4Address());

    m_hangListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(m_hangListener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (m_hangListener < 0 || ::bind(m_hangListener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_hangListener, 0) != 0) {
        if (error)
            *error = QStringLiteral("cannot set up the hanging listener");
        closeHang();
        return false;
    }
    m_hangFiller = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(m_hangFiller, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    pollfd p{m_hangFiller, POLLOUT, 0};
    ::poll(&p, 1, 1000); // handshake done: the queue is now full
    return true;
#endif
}

void SimServer::closeHang()
{
#ifdef Q_OS_UNIX
    if (m_hangFiller >= 0)
        ::close(m_hangFiller);
    if (m_hangListener >= 0)
        ::close(m_hangListener);
#endif
    m_hangFiller = m_hangListener = -1;
}

void SimServer::acceptConnections()
{
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        socket->setParent(nullptr);
        new SimConnection(this, socket, ++m_serial);
    }
}

void SimServer::openDiscovery()
{
    m_sender = new QUdpSocket(this);
    m_sender->bind(m_config.address, 0);

    if (m_config.discoveryUnicast) {
        m_unicast = new QUdpSocket(this);
        if (m_unicast->bind(m_config.address, m_config.searchPort,
                            QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            connect(m_unicast, &QUdpSocket::readyRead, this,
                    [this] { readSearches(m_unicast, false); });
        } else {
            qWarning("glintcaster-sim: discovery port %u on %s: %s", m_config.searchPort,
                     qPrintable(m_config.address.toString()),
                     qPrintable(m_unicast->errorString()));
        }
    }

    if (!m_config.discoveryMulticast)
        return;
    QNetworkInterface carrier;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip() == m_config.address
                || (iface.flags().testFlag(QNetworkInterface::IsLoopBack)
                    && m_config.address.isLoopback()))
                carrier = iface;
        }
    }
    // Joining a group announces it on the wire; keep that off real adaptors.
    if (!carrier.isValid() || !carrier.flags().testFlag(QNetworkInterface::CanMulticast))
        return;
    if (!carrier.flags().testFlag(QNetworkInterface::IsLoopBack) && !m_config.multicastAnyInterface)
        return;
    m_multicast = new QUdpSocket(this);
    if (!m_multicast->bind(QHostAddress::AnyIPv4, m_config.searchPort,
                           QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
        || !m_multicast->joinMulticastGroup(DiscoveryGroup, carrier)) {
        qWarning("glintcaster-sim: no multicast discovery: %s",
                 qPrintable(m_multicast->errorString()));
        delete m_multicast;
        m_multicast = nullptr;
        return;
    }
    connect(m_multicast, &QUdpSocket::readyRead, this, [this] { readSearches(m_multicast, true); });
}

void SimServer::readSearches(QUdpSocket *socket, bool viaMulticast)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket->receiveDatagram(2048);
        // The wildcard socket also sees unicast meant for other projectors on this host.
        if (viaMulticast && !d.destinationAddress().isNull()
            && d.destinationAddress() != DiscoveryGroup)
            continue;
        if (!simwire::isSearch(d.data()))
            continue;
        answerSearch(d);
    }
}

void SimServer::answerSearch(const QNetworkDatagram &datagram)
{
    QByteArray answer;
    {
        QMutexLocker lock(&m_shared->mutex);
        if (m_config.keepLog)
            m_shared->searches.append(datagram.data());
        m_shared->changed.wakeAll();
        if (m_shared->discoveryEnabled) {
            const QHostAddress reported = m_shared->reportedAddress.isNull()
                                              ? m_config.address
                                              : m_shared->reportedAddress;
            answer = simwire::answerRecord(m_shared->name, m_shared->mac,
                                           reported.toIPv4Address());
            if (m_shared->shape == SimDiscoveryShape::TwoRecords) {
                const QHostAddress extra =
                    m_shared->extraAddress.isNull()
                        ? QHostAddress(reported.toIPv4Address() + 1)
                        : m_shared->extraAddress;
                answer += simwire::answerRecord(m_shared->extraName, m_shared->extraMac,
                                                extra.toIPv4Address());
            } else if (m_shared->shape == SimDiscoveryShape::TrailingWL) {
                answer += "WL";
            }
        }
    }
    emit m_owner->searchReceived(datagram.senderAddress());
    if (!answer.isEmpty() && m_sender)
        m_sender->writeDatagram(answer, datagram.senderAddress(), m_config.answerPort);
}

// ---------------------------------------------------------------------------------------

SimConnection::SimConnection(SimServer *server, QTcpSocket *socket, int serial)
    : QObject(server), m_server(server), m_socket(socket), m_serial(serial)
{
    socket->setParent(this);
    SimShared &shared = server->shared();
    bool greet = false;
    int delay = 0;
    SimFault fault;
    {
        QMutexLocker lock(&shared.mutex);
        ++shared.connections;
        fault = shared.fault;
        greet = shared.greetingMode == SimGreeting::Always
                || (shared.greetingMode == SimGreeting::WhenPassword
                    && !shared.password.isEmpty())
                || fault == SimFault::WrongDigest;
        if (greet) {
            m_greeting = shared.fixedGreeting.isEmpty() ? randomChallenge()
                                                        : shared.fixedGreeting;
            m_expectedDigest = simwire::authDigest(m_greeting, shared.password);
            if (fault == SimFault::WrongDigest)
                m_expectedDigest = QByteArray(32, '-'); // no digest matches
        }
        delay = shared.greetingDelayMs;
        shared.changed.wakeAll();
    }
    m_needDigest = greet;

    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket && m_socket->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    });
    if (fault == SimFault::CloseOnAccept) {
        finish();
        return;
    }

    m_idle = new QTimer(this);
    m_idle->setSingleShot(true);
    connect(m_idle, &QTimer::timeout, this, &SimConnection::finish);
    if (server->config().idleTimeoutMs > 0)
        m_idle->start(server->config().idleTimeoutMs);

    connect(socket, &QTcpSocket::readyRead, this, &SimConnection::readIncoming);
    if (greet) {
        if (delay > 0)
            QTimer::singleShot(delay, this, &SimConnection::sendGreeting);
        else
            sendGreeting();
    }
}

void SimConnection::sendGreeting()
{
    if (m_socket && !m_closing) {
        m_socket->write(m_greeting);
        m_socket->flush(); // now, not on the next turn of the event loop
    }
}

void SimConnection::readIncoming()
{
    if (!m_socket || m_closing)
        return;
    m_buffer += m_socket->readAll();
    if (m_idle && m_idle->interval() > 0)
        m_idle->start();
    if (m_buffer.size() > simwire::MaxAcceptedBody + 8192) {
        finish(); // nothing we could answer is that big
        return;
    }
    process();
}

void SimConnection::process()
{
    while (!m_holding && !m_closing && !m_buffer.isEmpty()) {
        QByteArray digest;
        qsizetype offset = 0;
        if (m_needDigest) {
            const qsizetype have = qMin<qsizetype>(m_buffer.size(), 32);
            bool couldBeDigest = true;
            for (qsizetype i = 0; i < have; ++i)
                couldBeDigest = couldBeDigest && isHexDigit(m_buffer.at(i));
            if (couldBeDigest && have < 32)
                return; // wait for the rest of the digest
            digest = m_buffer.left(32);
            if (!couldBeDigest || digest != m_expectedDigest) {
                simwire::Request unparsed;
                qsizetype consumed = 0;
                simwire::parseRequest(m_buffer.mid(digest.size()), unparsed, consumed);
                log(m_buffer, couldBeDigest ? digest : QByteArray(), false, unparsed);
                finish();
                return;
            }
            offset = 32;
        }
        simwire::Request request;
        qsizetype consumed = 0;
        if (simwire::parseRequest(m_buffer.mid(offset), request, consumed)
            == simwire::Parse::Incomplete)
            return;
        const QByteArray raw = m_buffer.left(offset + consumed);
        m_buffer.remove(0, offset + consumed);
        handle(raw, digest, request);
    }
}

void SimConnection::log(const QByteArray &raw, const QByteArray &digest, bool authenticated,
                        const simwire::Request &request)
{
    SimRequest entry;
    entry.raw = raw;
    entry.digest = digest;
    entry.command = raw.mid(digest.size());
    entry.greeting = m_greeting;
    entry.authenticated = authenticated;
    entry.connection = m_serial;
    entry.parsed = request;
    SimShared &shared = m_server->shared();
    {
        QMutexLocker lock(&shared.mutex);
        if (m_server->config().keepLog)
            shared.log.append(entry);
        shared.changed.wakeAll();
    }
    // Describing a request costs more than answering it; a fleet without --verbose has no
    // listener to describe it for.
    if (m_server->owner()->hasRequestListener())
        emit m_server->owner()->requestReceived(simwire::describe(request), authenticated);
}

void SimConnection::handle(const QByteArray &raw, const QByteArray &digest,
                           const simwire::Request &request)
{
    SimShared &shared = m_server->shared();
    QByteArray answer;
    bool cut = false;
    int delay = 0;
    bool silent = false;
    bool close = false;
    {
        QMutexLocker lock(&shared.mutex);
        const QByteArray command = raw.mid(digest.size());
        delay = shared.answerDelayMs;
        for (const auto &[prefix, ms] : std::as_const(shared.answerDelays)) {
            if (command.startsWith(prefix)) {
                delay = ms;
                break;
            }
        }
        bool overridden = false;
        if (!shared.rawQueue.isEmpty()) {
            answer = shared.rawQueue.takeFirst();
            overridden = true;
        } else {
            for (const auto &[prefix, bytes] : std::as_const(shared.rawAnswers)) {
                if (command.startsWith(prefix)) {
                    answer = bytes;
                    overridden = true;
                    break;
                }
            }
        }
        if (!overridden) {
            switch (shared.fault) {
            case SimFault::Silent:
                silent = true;
                break;
            case SimFault::CloseAfterRequest:
                close = true;
                break;
            case SimFault::Garbage:
                answer = GarbageAnswer;
                break;
            case SimFault::Busy:
                answer = SimDevice::busyAnswer(request);
                break;
            case SimFault::CloseMidAnswer:
                cut = true;
                answer = shared.device.execute(request);
                break;
            case SimFault::LateAnswer:
                delay = shared.lateAnswerMs;
                answer = shared.device.execute(request);
                break;
            default:
                answer = shared.device.execute(request);
                break;
            }
        }
        if (!overridden && request.command == simwire::Command::Unknown)
            close = true; // nothing sensible to answer a stranger with
    }
    log(raw, digest, true, request);

    if (close) {
        finish();
        return;
    }
    if (silent) {
        m_holding = true;
        return;
    }
    if (delay > 0) {
        m_holding = true;
        QTimer::singleShot(delay, this, [this, answer, cut] {
            m_holding = false;
            deliver(answer, cut);
            process();
        });
        return;
    }
    deliver(answer, cut);
}

void SimConnection::deliver(const QByteArray &answer, bool cut)
{
    if (!m_socket || m_closing)
        return;
    if (answer.isEmpty()) {
        finish();
        return;
    }
    if (cut) {
        m_socket->write(answer.left(qMax<qsizetype>(1, answer.size() / 2)));
        finish();
        return;
    }
    m_socket->write(answer);
    // Clients look for the answer within a fraction of a millisecond before they sleep:
    // send it now rather than on the next turn of the event loop.
    m_socket->flush();
}

void SimConnection::finish()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_idle)
        m_idle->stop();
    if (m_socket && m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->disconnectFromHost(); // pending bytes go out first
    else
        deleteLater();
}

} // namespace glintcaster
