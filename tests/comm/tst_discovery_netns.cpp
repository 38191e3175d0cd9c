// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// Real multicast searches. CTest runs this program inside a private network namespace
// whose only adaptor is loopback; anywhere else it skips itself, so no datagram can
// reach a real network.
#include "comm/discovery.h"
#include "comm/discovery_session.h"
#include "sim/projector_sim.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUdpSocket>
#include <QtTest>

using namespace glintcaster;
using namespace std::chrono_literals;

namespace {

constexpr quint32 kLoopback1 = 0x7F000001;
constexpr quint32 kLoopback2 = 0x7F000002;

AdaptorEntry adaptor(quint32 address)
{
    return AdaptorEntry{address, formatDottedAddress(address), QStringLiteral("lo")};
}

QNetworkInterface loopbackInterface()
{
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack))
            return iface;
    }
    return {};
}

// Stands in for projectors: hears the search on the group and answers the adaptor named
// in the datagram, on the answer port.
class Responder : public QObject {
public:
    struct Heard {
        qint64 atMs = 0;
        QHostAddress from;
        quint16 fromPort = 0;
        QByteArray data;
    };

    Responder()
    {
        m_clock.start();
        const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
        m_ok = m_socket.bind(QHostAddress::AnyIPv4, kDiscoverySearchPort, mode) &&
               m_socket.joinMulticastGroup(QHostAddress(QString::fromLatin1(kDiscoveryGroup)),
                                           loopbackInterface());
        connect(&m_socket, &QUdpSocket::readyRead, this, &Responder::read);
    }

    bool isReady() const { return m_ok; }
    /// What to send back after the n-th search datagram (the last entry repeats; empty
    /// sends nothing).
    QList<QByteArray> answers;
    QList<Heard> heard;
    qint64 elapsed() const { return m_clock.elapsed(); }

private:
    void read()
    {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket.receiveDatagram();
            heard.append(Heard{m_clock.elapsed(), datagram.senderAddress(),
                               quint16(datagram.senderPort()), datagram.data()});
            const QByteArray data = datagram.data();
            if (data.size() < kSearchDatagramSize || answers.isEmpty())
                continue;
            const QByteArray answer = answers.at(qMin(heard.size(), answers.size()) - 1);
            const quint32 back = (quint32(quint8(data[14])) << 24) |
                                 (quint32(quint8(data[15])) << 16) |
                                 (quint32(quint8(data[16])) << 8) | quint32(quint8(data[17]));
            if (!answer.isEmpty())
                m_socket.writeDatagram(answer, QHostAddress(back), kDiscoveryAnswerPort);
        }
    }

    QUdpSocket m_socket;
    QElapsedTimer m_clock;
    bool m_ok = false;
};

// Collects what a search posts, with the time each event was handled.
class Receiver : public QObject {
public:
    struct Got {
        int number = 0;
        quint64 searchId = 0;
        QByteArray record;
        qint64 atMs = 0;
    };
    Receiver() { m_clock.start(); }
    QList<Got> got;
    int count(int number) const
    {
        return int(std::count_if(got.begin(), got.end(),
                                 [number](const Got &g) { return g.number == number; }));
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != WorkerEvent::eventType())
            return QObject::event(event);
        const auto *message = static_cast<WorkerEvent *>(event);
        Got g{message->number(), quint64(message->parameter()), {}, m_clock.elapsed()};
        if (message->number() == DiscoveryMessage::DiscoveryAnswer)
            g.record = static_cast<DiscoveryAnswerEvent *>(event)->record();
        got.append(g);
        return true;
    }

private:
    QElapsedTimer m_clock;
};

QByteArray answerFor(quint32 address, const char *name)
{
    return buildAnswerRecord(
        DiscoveredProjector{QString::fromLatin1(name), address, QStringLiteral("00-11-22-33-44-55")});
}

DiscoveryConfig fastConfig()
{
    DiscoveryConfig config;
    config.timings.silentWait = 100ms;
    return config;
}

} // namespace

class TestDiscoveryNetns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
            if (!iface.flags().testFlag(QNetworkInterface::IsLoopBack))
                QSKIP("not inside a private network namespace; multicast tests skipped");
        }
        const QNetworkInterface lo = loopbackInterface();
        if (!lo.isValid() || !lo.flags().testFlag(QNetworkInterface::CanMulticast) ||
            !lo.flags().testFlag(QNetworkInterface::IsUp))
            QSKIP("loopback cannot carry multicast here");
    }

    void searchWithDefaultTimingsFindsTheProjector()
    {
        Responder responder;
        QVERIFY(responder.isReady());
        responder.answers = {answerFor(kLoopback1, "Simulated")};
        QTcpServer commandPort;
        QVERIFY(commandPort.listen(QHostAddress(kLoopback1), 0));

        DiscoverySession session;
        session.acceptor().setProbePort(commandPort.serverPort());
        QSignalSpy found(&session, &DiscoverySession::projectorFound);
        QSignalSpy finished(&session, &DiscoverySession::finished);
        session.start({adaptor(kLoopback1)});
        QVERIFY(session.isSearching());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 15000);
        QVERIFY(!session.isSearching());

        // Three datagrams from the adaptor's search port, each followed but the last by a
        // listening period that ends after two silent seconds.
        QCOMPARE(responder.heard.size(), 3);
        for (const Responder::Heard &h : responder.heard) {
            QCOMPARE(h.from, QHostAddress(kLoopback1));
            QCOMPARE(h.fromPort, kDiscoverySearchPort);
            QCOMPARE(h.data, buildSearchDatagram(kLoopback1));
        }
        for (int i = 1; i < 3; ++i) {
            const qint64 gap = responder.heard[i].atMs - responder.heard[i - 1].atMs;
            QVERIFY2(gap >= 1900 && gap < 3500, qPrintable(QString::number(gap)));
        }
        // Answered three times, listed once.
        QCOMPARE(found.size(), 1);
        QCOMPARE(session.discovered().size(), 1);
        QCOMPARE(session.discovered().at(0).name, QStringLiteral("Simulated"));
        QCOMPARE(session.discovered().at(0).addressText(), QStringLiteral("127.0.0.1"));
    }

    void findsTheSubstituteProjector()
    {
        ProjectorSim sim{QHostAddress(kLoopback1)};
        sim.setIdentity(QStringLiteral("Sim Hall"), QByteArray::fromHex("0012AB34CD56"));
        // A second record for a projector whose command port refuses: never listed.
        sim.setDiscoveryShape(SimDiscoveryShape::TwoRecords);
        sim.setExtraRecord(QStringLiteral("Ghost"), QByteArray::fromHex("00000000EEEE"),
                           QHostAddress(QStringLiteral("127.0.0.9")));
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));

        DiscoverySession session(fastConfig());
        QSignalSpy finished(&session, &DiscoverySession::finished);
        session.start({adaptor(kLoopback1)});
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(sim.searchesReceived().size(), 3);
        QCOMPARE(sim.searchesReceived().first(), buildSearchDatagram(kLoopback1));
        QCOMPARE(session.discovered().size(), 1);
        const DiscoveredProjector &found = session.discovered().first();
        QCOMPARE(found.name, QStringLiteral("Sim Hall"));
        QCOMPARE(found.mac, QStringLiteral("00-12-AB-34-CD-56"));
        QCOMPARE(found.address, kLoopback1);
    }

    void adaptorsAreSearchedOneAfterTheOther()
    {
        Responder responder;
        QVERIFY(responder.isReady());
        responder.answers = {QByteArray()};
        Receiver receiver;
        {
            DiscoverySearch search(&receiver, fastConfig());
            search.StartDiscovery({adaptor(kLoopback1), adaptor(kLoopback2)});
            QTRY_COMPARE_WITH_TIMEOUT(receiver.count(DiscoveryMessage::DiscoveryDone), 1, 5000);
        }
        QCOMPARE(responder.heard.size(), 6);
        for (int i = 0; i < 6; ++i) {
            const quint32 expected = i < 3 ? kLoopback1 : kLoopback2;
            QCOMPARE(responder.heard[i].from, QHostAddress(expected));
            QCOMPARE(responder.heard[i].data, buildSearchDatagram(expected));
        }
        // Within an adaptor the sends are a listening period (two silent waits) apart; the
        // responder notes arrival times only when the event loop gets to them.
        for (int i : {1, 2, 4, 5}) {
            const qint64 gap = responder.heard[i].atMs - responder.heard[i - 1].atMs;
            QVERIFY2(gap >= 150, qPrintable(QString::number(gap)));
        }
        QCOMPARE(receiver.count(DiscoveryMessage::DiscoveryAnswer), 0);
    }

    void recordsOfOneDatagramArriveIntactAndPaced()
    {
        Responder responder;
        QVERIFY(responder.isReady());
        const QByteArray a = answerFor(0x0A000001, "first");
        const QByteArray b = answerFor(0x0A000002, "second");
        const QByteArray marked = answerFor(0x0A000003, "marked");
        // First datagram: two records back to back; then a marked one; then nothing.
        responder.answers = {a + b, marked + "WL", QByteArray()};
        Receiver receiver;
        DiscoverySearch search(&receiver, fastConfig());
        const quint64 id = search.StartDiscovery({adaptor(kLoopback1)});
        QTRY_COMPARE_WITH_TIMEOUT(receiver.count(DiscoveryMessage::DiscoveryDone), 1, 5000);

        QCOMPARE(receiver.got.size(), 3);
        QCOMPARE(receiver.got[0].record, a);
        QCOMPARE(receiver.got[1].record, b);
        // Paced 100 ms apart; the test's event loop polls with about 10 ms of slack.
        const qint64 gap = receiver.got[1].atMs - receiver.got[0].atMs;
        QVERIFY2(gap >= 80, qPrintable(QString::number(gap)));
        for (const Receiver::Got &g : receiver.got) {
            QCOMPARE(g.searchId, id);
            QVERIFY(search.isCurrent(WorkerEvent(g.number, qintptr(g.searchId))));
        }
    }

    void stopEndsTheSearchPromptly()
    {
        Responder responder;
        QVERIFY(responder.isReady());
        Receiver receiver;
        DiscoveryConfig slow;
        slow.timings.silentWait = 1000ms;
        DiscoverySearch search(&receiver, slow);

        search.StartDiscovery({adaptor(kLoopback1), adaptor(kLoopback2)});
        QTRY_COMPARE(responder.heard.size(), 1);
        QElapsedTimer clock;
        clock.start();
        search.requestStop();
        QVERIFY(search.wait(1000ms));
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(receiver.count(DiscoveryMessage::DiscoveryDone), 1);
        QTest::qWait(50);
        QCOMPARE(responder.heard.size(), 1);

        // The process-wide stop ends a running search, not one started afterwards.
        const quint64 second = search.StartDiscovery({adaptor(kLoopback1)});
        QTRY_COMPARE(responder.heard.size(), 2);
        RaiseDiscoveryStop();
        QVERIFY(search.wait(1000ms));
        QTRY_COMPARE(receiver.count(DiscoveryMessage::DiscoveryDone), 2);
        QCOMPARE(receiver.got.last().searchId, second);

        // Restarting a running search makes the old one's late events stale.
        DiscoverySearch restarted(&receiver, fastConfig());
        const quint64 old = restarted.StartDiscovery({adaptor(kLoopback1)});
        const quint64 fresh = restarted.StartDiscovery({adaptor(kLoopback1)});
        QVERIFY(old != fresh);
        QVERIFY(!restarted.isCurrent(WorkerEvent(DiscoveryMessage::DiscoveryDone, qintptr(old))));
        QVERIFY(restarted.isCurrent(WorkerEvent(DiscoveryMessage::DiscoveryDone, qintptr(fresh))));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.count(DiscoveryMessage::DiscoveryDone), 4, 5000);
    }

    void unusableAdaptorIsSkippedSilently()
    {
        Responder responder;
        QVERIFY(responder.isReady());
        Receiver receiver;
        DiscoverySearch search(&receiver, fastConfig());
        // Not an address of this machine: the sockets cannot be bound, nothing is sent.
        search.StartDiscovery({adaptor(0xC0000201), adaptor(kLoopback1)});
        QTRY_COMPARE_WITH_TIMEOUT(receiver.count(DiscoveryMessage::DiscoveryDone), 1, 5000);
        QCOMPARE(responder.heard.size(), 3);
        QCOMPARE(responder.heard[0].from, QHostAddress(kLoopback1));
    }
};

QTEST_MAIN(TestDiscoveryNetns)
#include "tst_discovery_netns.moc"
