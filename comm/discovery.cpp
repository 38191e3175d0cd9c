// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/discovery.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QThread>
#include <QUdpSocket>
#include <QVariant>

#include <thread>

namespace glintcaster {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Raising the process-wide stop moves this on; a search stops when it differs from the
// value it started with.
std::atomic<quint64> g_stopGeneration{0};
std::atomic<quint64> g_lastSearchId{0};

// While listening, the stop flag is looked at this often.
constexpr milliseconds kStopCheckSlice{50};

// The interface that owns the adaptor's address (or, failing that, whose subnet holds it),
// so membership and outgoing datagrams stay on the adaptor being searched.
QNetworkInterface interfaceForAddress(quint32 address)
{
    const QHostAddress wanted(address);
    QNetworkInterface bySubnet;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            if (entry.ip() == wanted)
                return iface;
            if (!bySubnet.isValid() && entry.prefixLength() > 0 &&
                wanted.isInSubnet(entry.ip(), entry.prefixLength()))
                bySubnet = iface;
        }
    }
    return bySubnet;
}

} // namespace

struct DiscoverySearch::Shared {
    std::atomic<bool> stop{false};
    quint64 stopGeneration = 0;

    bool stopRaised() const
    {
        return stop.load() || g_stopGeneration.load() != stopGeneration;
    }
};

namespace {

class SearchWorker {
public:
    SearchWorker(QObject *receiver, DiscoveryConfig config, QList<AdaptorEntry> adaptors,
                 std::shared_ptr<DiscoverySearch::Shared> shared, quint64 searchId)
        : m_receiver(receiver), m_config(std::move(config)), m_adaptors(std::move(adaptors)),
          m_shared(std::move(shared)), m_searchId(searchId)
    {
    }

    void run()
    {
        for (const AdaptorEntry &adaptor : std::as_const(m_adaptors)) {
            if (stopRaised())
                break;
            searchAdaptor(adaptor);
        }
        post(new WorkerEvent(DiscoveryMessage::DiscoveryDone, qintptr(m_searchId)));
    }

private:
    bool stopRaised() const { return m_shared->stopRaised(); }

    void post(QEvent *event) const
    {
        if (m_receiver)
            QCoreApplication::postEvent(m_receiver, event);
        else
            delete event;
    }

    void searchAdaptor(const AdaptorEntry &adaptor)
    {
        const QHostAddress local(adaptor.address);
        const QNetworkInterface iface = interfaceForAddress(adaptor.address);
        const auto bindMode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

        // Searches and answers stay on the local network, never with a proxy.
        QUdpSocket sender;
        sender.setProxy(QNetworkProxy::NoProxy);
        if (!sender.bind(local, m_config.searchPort, bindMode))
            return;
        const bool joined = iface.isValid() ? sender.joinMulticastGroup(m_config.group, iface)
                                            : sender.joinMulticastGroup(m_config.group);
        if (!joined)
            return;
        sender.setSocketOption(QAbstractSocket::MulticastTtlOption, m_config.ttl);
        if (sender.socketOption(QAbstractSocket::MulticastTtlOption).toInt() != m_config.ttl)
            return;
        if (iface.isValid())
            sender.setMulticastInterface(iface);

        // Without a bound answer socket no answer could be heard; searching would be noise.
        QUdpSocket receiver;
        receiver.setProxy(QNetworkProxy::NoProxy);
        if (!receiver.bind(local, m_config.answerPort, bindMode))
            return;

        const QByteArray datagram = buildSearchDatagram(adaptor.address);
        int periodsHeld = 0;
        for (;;) {
            if (sender.writeDatagram(datagram, m_config.group, m_config.searchPort) !=
                datagram.size())
                break;
            if (periodsHeld == 2 || stopRaised())
                break;
            listen(receiver);
            ++periodsHeld;
            // A stopped search sends nothing more.
            if (stopRaised())
                break;
        }
    }

    void listen(QUdpSocket &socket)
    {
        int silent = 0;
        while (silent < m_config.timings.silentWaitsPerPeriod && !stopRaised()) {
            if (!waitReadable(socket)) {
                if (!stopRaised())
                    ++silent;
                continue;
            }
            const QNetworkDatagram datagram = socket.receiveDatagram(kAnswerDatagramLimit);
            if (!datagram.isValid()) {
                // A socket that reports data it cannot deliver must not spin forever.
                ++silent;
                continue;
            }
            const QList<QByteArray> records = scanAnswerDatagram(datagram.data());
            for (const QByteArray &record : records) {
                post(new DiscoveryAnswerEvent(record, m_searchId));
                std::this_thread::sleep_for(m_config.timings.pacing);
                // A full datagram holds eleven records; a stop need not wait for all.
                if (stopRaised())
                    break;
            }
        }
    }

    // One wait of up to silentWait, in short slices so that a stop is noticed quickly.
    bool waitReadable(QUdpSocket &socket) const
    {
        const auto deadline = Clock::now() + m_config.timings.silentWait;
        for (;;) {
            if (socket.hasPendingDatagrams())
                return true;
            if (stopRaised())
                return false;
            const auto left =
                std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
            if (left <= milliseconds::zero())
                return false;
            socket.waitForReadyRead(int(std::min(left, kStopCheckSlice).count()));
        }
    }

    QObject *m_receiver = nullptr;
    DiscoveryConfig m_config;
    QList<AdaptorEntry> m_adaptors;
    std::shared_ptr<DiscoverySearch::Shared> m_shared;
    quint64 m_searchId = 0;
};

} // namespace

void RaiseDiscoveryStop()
{
    g_stopGeneration.fetch_add(1);
}

DiscoverySearch::DiscoverySearch(QObject *receiver, DiscoveryConfig config)
    : m_receiver(receiver), m_config(std::move(config))
{
}

DiscoverySearch::~DiscoverySearch()
{
    stopAndWait();
}

quint64 DiscoverySearch::StartDiscovery(const QList<AdaptorEntry> &adaptors)
{
    stopAndWait();
    m_shared = std::make_shared<Shared>();
    m_shared->stopGeneration = g_stopGeneration.load();
    m_searchId = g_lastSearchId.fetch_add(1) + 1;

    auto worker = std::make_shared<SearchWorker>(m_receiver.data(), m_config, adaptors,
                                                 m_shared, m_searchId);
    m_thread.reset(QThread::create([worker] { worker->run(); }));
    m_thread->setObjectName(QStringLiteral("discovery"));
    m_thread->start();
    return m_searchId;
}

void DiscoverySearch::requestStop()
{
    if (m_shared)
        m_shared->stop.store(true);
}

void DiscoverySearch::stopAndWait()
{
    requestStop();
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
}

bool DiscoverySearch::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool DiscoverySearch::wait(std::chrono::milliseconds limit)
{
    if (!m_thread)
        return true;
    return m_thread->wait(QDeadlineTimer(limit.count()));
}

bool DiscoverySearch::isCurrent(const WorkerEvent &event) const
{
    return m_searchId != 0 && quint64(event.parameter()) == m_searchId;
}

} // namespace glintcaster
