// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/discovery_acceptor.h"
#include "comm/discovery_protocol.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace glintcaster;

namespace {

constexpr quint32 ip(int a, int b, int c, int d)
{
    return (quint32(a) << 24) | (quint32(b) << 16) | (quint32(c) << 8) | quint32(d);
}

QByteArray record(quint32 address, const QString &name = QStringLiteral("PJ"),
                  const QString &mac = QStringLiteral("00-1A-2B-3C-4D-5E"))
{
    return buildAnswerRecord(DiscoveredProjector{name, address, mac});
}

// Accepts and drops every connection, like a projector's command port under a probe.
class ProbeTarget : public QTcpServer {
public:
    explicit ProbeTarget(const QHostAddress &address, quint16 port = 0)
    {
        setMaxPendingConnections(4096);
        setListenBacklogSize(1024);
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                ++accepted;
                socket->close();
                socket->deleteLater();
            }
        });
        listen(address, port);
    }
    int accepted = 0;
};

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void searchDatagramCarriesTheAdaptorAddress()
    {
        const QByteArray datagram = buildSearchDatagram(ip(192, 168, 0, 21));
        QCOMPARE(datagram.size(), kSearchDatagramSize);
        QCOMPARE(datagram, QByteArray("\x01\x00" "DeviceSearch" "\xC0\xA8\x00\x15", 18));
    }

    void answerRecordsAreReadAndFormatted()
    {
        QByteArray raw = record(ip(10, 1, 200, 7), QStringLiteral("Hall A"),
                                QStringLiteral("0A-bc-00-FF-01-2d"));
        QCOMPARE(raw.size(), kAnswerRecordSize);
        raw[1] = '\x7F'; // not examined
        auto projector = parseAnswerRecord(raw);
        QVERIFY(projector);
        QCOMPARE(projector->name, QStringLiteral("Hall A"));
        QCOMPARE(projector->mac, QStringLiteral("0A-BC-00-FF-01-2D"));
        QCOMPARE(projector->address, ip(10, 1, 200, 7));
        QCOMPARE(projector->addressText(), QStringLiteral("10.1.200.7"));

        // A name filling all 64 bytes has no terminator and is taken whole.
        const QString longName(64, QLatin1Char('N'));
        projector = parseAnswerRecord(record(1, longName));
        QVERIFY(projector);
        QCOMPARE(projector->name, longName);

        QByteArray wrongLabel = raw;
        wrongLabel.replace(2, 12, "DeviceSearch");
        QVERIFY(!parseAnswerRecord(wrongLabel));
        QVERIFY(!parseAnswerRecord(raw.left(kAnswerRecordSize - 1)));
    }

    void scannerFindsRecordsBackToBack()
    {
        const QByteArray a = record(ip(10, 0, 0, 1));
        const QByteArray b = record(ip(10, 0, 0, 2));
        QCOMPARE(scanAnswerDatagram(a + b), (QList<QByteArray>{a, b}));
        // Bytes before a record start are skipped; a 0x01 inside a record does not restart it.
        QByteArray withOne = record(ip(1, 1, 1, 1), QStringLiteral("\x01\x01"));
        QCOMPARE(scanAnswerDatagram(QByteArray("\x00\x7Fxyz", 5) + withOne),
                 QList<QByteArray>{withOne});
        QVERIFY(scanAnswerDatagram(QByteArray(300, 'x')).isEmpty());
        QVERIFY(scanAnswerDatagram(QByteArray()).isEmpty());
    }

    void scannerDropsMarkedAndIncompleteRecords()
    {
        const QByteArray a = record(ip(10, 0, 0, 1));
        const QByteArray b = record(ip(10, 0, 0, 2));
        QVERIFY(scanAnswerDatagram(a + "WL").isEmpty());
        // The "WL" is consumed with the record; scanning goes on after it.
        QCOMPARE(scanAnswerDatagram(a + "WL" + b), QList<QByteArray>{b});
        // Only the two bytes right after the record count.
        QCOMPARE(scanAnswerDatagram(a + "W"), QList<QByteArray>{a});
        QCOMPARE(scanAnswerDatagram(a + "xWL"), QList<QByteArray>{a});
        // A record cut at the datagram's end is dropped, not carried into the next one.
        QCOMPARE(scanAnswerDatagram(a + b.left(40)), QList<QByteArray>{a});
        QVERIFY(scanAnswerDatagram(b.mid(40)).isEmpty());
    }

    void acceptorListsAProjectorThatTakesTheProbe()
    {
        ProbeTarget target(QHostAddress(QStringLiteral("127.0.31.1")));
        QVERIFY(target.isListening());
        DiscoveryAcceptor acceptor;
        acceptor.setProbePort(target.serverPort());
        QSignalSpy accepted(&acceptor, &DiscoveryAcceptor::projectorAccepted);
        QSignalSpy finished(&acceptor, &DiscoveryAcceptor::probesFinished);

        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 31, 1), QStringLiteral("Lobby"))),
                 DiscoveryAcceptor::Verdict::Probing);
        QTRY_COMPARE(accepted.size(), 1);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(acceptor.discovered().size(), 1);
        const DiscoveredProjector &projector = acceptor.discovered().first();
        QCOMPARE(projector.name, QStringLiteral("Lobby"));
        QCOMPARE(projector.addressText(), QStringLiteral("127.0.31.1"));
        QCOMPARE(projector.mac, QStringLiteral("00-1A-2B-3C-4D-5E"));
        QTRY_COMPARE(target.accepted, 1);

        // Not an answer: ignored without a probe.
        QByteArray search = record(ip(127, 0, 31, 1));
        search.replace(2, 12, "DeviceSearch");
        QCOMPARE(acceptor.AcceptAnswer(search), DiscoveryAcceptor::Verdict::Ignored);
        QCOMPARE(acceptor.pendingCount(), 0);
    }

    void acceptorKeepsArrivalOrderAndSkipsRefusalsAndDuplicates()
    {
        ProbeTarget first(QHostAddress(QStringLiteral("127.0.32.1")));
        DiscoveryAcceptor acceptor;
        acceptor.setProbePort(first.serverPort());
        ProbeTarget third(QHostAddress(QStringLiteral("127.0.32.3")), first.serverPort());
        QVERIFY(first.isListening() && third.isListening());
        // 127.0.32.2 has no listener on the port: its probe is refused.
        const auto a = DiscoveryAcceptor::Verdict::Probing;
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 1), "one")), a);
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 2), "refuses")), a);
        // The same projector heard on a second adaptor.
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 1), "one again")),
                 DiscoveryAcceptor::Verdict::Ignored);
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 3), "three")), a);
        QTRY_COMPARE(acceptor.pendingCount(), 0);
        QCOMPARE(acceptor.discovered().size(), 2);
        QCOMPARE(acceptor.discovered().at(0).name, QStringLiteral("one"));
        QCOMPARE(acceptor.discovered().at(1).name, QStringLiteral("three"));
        // Still a duplicate once listed.
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 1))),
                 DiscoveryAcceptor::Verdict::Ignored);

        acceptor.clear();
        QVERIFY(acceptor.discovered().isEmpty());
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 32, 1))), a);
        QTRY_COMPARE(acceptor.discovered().size(), 1);
    }

    void clearAbandonsRunningProbes()
    {
        ProbeTarget target(QHostAddress(QStringLiteral("127.0.33.1")));
        DiscoveryAcceptor acceptor;
        acceptor.setProbePort(target.serverPort());
        QSignalSpy accepted(&acceptor, &DiscoveryAcceptor::projectorAccepted);
        acceptor.AcceptAnswer(record(ip(127, 0, 33, 1)));
        acceptor.clear();
        QCOMPARE(acceptor.pendingCount(), 0);
        QTest::qWait(100);
        QCOMPARE(accepted.size(), 0);
        QVERIFY(acceptor.discovered().isEmpty());
    }

    void answersBeyondTheLimitAreIgnored()
    {
        ProbeTarget target(QHostAddress::AnyIPv4);
        QVERIFY(target.isListening());
        DiscoveryAcceptor acceptor;
        acceptor.setProbePort(target.serverPort());
        for (int i = 0; i < kMaxDiscoveredProjectors; ++i) {
            QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 34 + i / 200, i % 200 + 1))),
                     DiscoveryAcceptor::Verdict::Probing);
        }
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 40, 1))),
                 DiscoveryAcceptor::Verdict::Ignored);
        QTRY_COMPARE_WITH_TIMEOUT(acceptor.discovered().size(), kMaxDiscoveredProjectors, 20000);
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 40, 2))),
                 DiscoveryAcceptor::Verdict::Ignored);
        QCOMPARE(acceptor.pendingCount(), 0);
        QCOMPARE(acceptor.discovered().last().address, ip(127, 0, 35, 56));
    }

    void probesThatFailDoNotTakeUpTheLimit()
    {
        ProbeTarget first(QHostAddress(QStringLiteral("127.0.41.1")));
        ProbeTarget second(QHostAddress(QStringLiteral("127.0.41.2")), first.serverPort());
        QVERIFY(first.isListening() && second.isListening());
        DiscoveryAcceptor acceptor;
        acceptor.setProbePort(first.serverPort());
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 41, 1))),
                 DiscoveryAcceptor::Verdict::Probing);
        QTRY_COMPARE(acceptor.discovered().size(), 1);
        // Nothing listens on these: every probe will be refused.
        for (int i = 0; i < kMaxDiscoveredProjectors - 1; ++i) {
            QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 42 + i / 200, i % 200 + 1))),
                     DiscoveryAcceptor::Verdict::Probing);
        }
        // One listed and 255 probes that will fail: the list is far from full, so the next
        // answer is still probed and then listed.
        QCOMPARE(acceptor.AcceptAnswer(record(ip(127, 0, 41, 2))),
                 DiscoveryAcceptor::Verdict::Probing);
        QTRY_COMPARE_WITH_TIMEOUT(acceptor.pendingCount(), 0, 20000);
        QCOMPARE(acceptor.discovered().size(), 2);
        QCOMPARE(acceptor.discovered().last().address, ip(127, 0, 41, 2));
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
