// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_fleet.h"

#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

using namespace glintcaster;

namespace {

QHostAddress addr(int last)
{
    return QHostAddress(QStringLiteral("127.71.3.%1").arg(last));
}

/// One request on a fresh connection (the fleet runs without passwords), the whole answer.
QByteArray oneShot(const QHostAddress &host, const QByteArray &request)
{
    QTcpSocket s;
    s.connectToHost(host, 9719);
    if (!s.waitForConnected(2000))
        return "no connection";
    s.write(request);
    QByteArray got;
    while (s.waitForReadyRead(300))
        got += s.readAll();
    return got;
}

QByteArray putRequest(int slot, const QByteArray &body)
{
    return "PUT 0102030405060708090A0B0C0D0E0F10\r\nSave-ID:" + QByteArray::number(slot)
           + "\r\nLength:" + QByteArray::number(body.size()).rightJustified(5, '0') + "\r\n\r\n"
           + body;
}

} // namespace

class TestFleet : public QObject {
    Q_OBJECT
private slots:
    void parsesListenValues_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("expected"); // first and last address and the count
        QTest::addColumn<bool>("ok");
        const auto l = [](std::initializer_list<const char *> items) {
            QStringList r;
            for (const char *i : items)
                r << QString::fromLatin1(i);
            return r;
        };
        QTest::newRow("one") << l({"127.0.0.5"}) << l({"127.0.0.5", "127.0.0.5", "1"}) << true;
        QTest::newRow("range over octets")
            << l({"127.0.2.1-127.0.5.254"}) << l({"127.0.2.1", "127.0.5.254", "1022"}) << true;
        QTest::newRow("repeated, overlaps once")
            << l({"127.0.0.3-127.0.0.6", "127.0.0.1", "127.0.0.5"})
            << l({"127.0.0.3", "127.0.0.1", "5"}) << true;
        QTest::newRow("range of one") << l({"10.0.0.1-10.0.0.1"}) << l({"10.0.0.1", "10.0.0.1", "1"}) << true;
        QTest::newRow("largest fleet")
            << l({"127.9.0.0-127.9.15.255"}) << l({"127.9.0.0", "127.9.15.255", "4096"}) << true;
        QTest::newRow("one too many") << l({"127.9.0.0-127.9.16.0"}) << QStringList() << false;
        QTest::newRow("too many in all")
            << l({"127.9.0.0-127.9.15.255", "127.10.0.1"}) << QStringList() << false;
        QTest::newRow("backwards") << l({"127.0.0.9-127.0.0.2"}) << QStringList() << false;
        QTest::newRow("octet over 255") << l({"127.0.0.256"}) << QStringList() << false;
        QTest::newRow("three octets") << l({"127.0.1"}) << QStringList() << false;
        QTest::newRow("open range") << l({"127.0.0.1-"}) << QStringList() << false;
        QTest::newRow("name") << l({"localhost"}) << QStringList() << false;
        QTest::newRow("ipv6") << l({"::1"}) << QStringList() << false;
        QTest::newRow("empty octet") << l({"127..0.1"}) << QStringList() << false;
    }
    void parsesListenValues()
    {
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QFETCH(bool, ok);
        QList<QHostAddress> addresses;
        QString error;
        QCOMPARE(parseListenAddresses(values, &addresses, &error), ok);
        if (!ok) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QCOMPARE(addresses.first().toString(), expected.at(0));
        QCOMPARE(addresses.last().toString(), expected.at(1));
        QCOMPARE(QString::number(addresses.size()), expected.at(2));
    }

    void fleetMacTellsMembersApart()
    {
        const QByteArray base = QByteArray::fromHex("00163E514D01");
        QCOMPARE(fleetMac(base, QHostAddress(QStringLiteral("127.1.2.3"))).toHex(), QByteArray("00163e010203"));
        QCOMPARE(fleetMac(base, QHostAddress(QStringLiteral("127.1.2.4"))).toHex(), QByteArray("00163e010204"));
    }

    // Members share threads yet keep their own state; one can stop while the others serve.
    void membersAreIndependent()
    {
        SimFleet fleet(2);
        for (int i = 1; i <= 3; ++i) {
            ProjectorSimConfig config;
            config.address = addr(i);
            config.discoveryMulticast = false;
            fleet.add(config)->setFirmwareLevel(i);
        }
        QString error;
        QVERIFY2(fleet.start(&error), qPrintable(error));
        QCOMPARE(fleet.threadCount(), 2);

        for (int i = 1; i <= 3; ++i)
            QCOMPARE(oneShot(addr(i), "CTRL 0F01\r\n2\r\n"),
                     QByteArray("CTRL 0\r\nValue:") + QByteArray::number(i) + "\r\n");
        QCOMPARE(oneShot(addr(2), putRequest(4, "hello")), QByteArray("PUT 0\r\n"));
        QVERIFY(fleet.at(1)->slot(4).used);
        QCOMPARE(fleet.at(1)->slot(4).body, QByteArray("hello"));
        QVERIFY(!fleet.at(0)->slot(4).used);
        QVERIFY(!fleet.at(2)->slot(4).used);
        QCOMPARE(fleet.at(1)->requestCount(), 2);
        QCOMPARE(fleet.at(0)->requestCount(), 1);

        fleet.at(1)->stop(); // shares its thread with the first
        QCOMPARE(oneShot(addr(2), "CTRL 0F01\r\n2\r\n"), QByteArray("no connection"));
        QCOMPARE(oneShot(addr(1), "CTRL 0F01\r\n2\r\n"), QByteArray("CTRL 0\r\nValue:1\r\n"));

        fleet.stop();
        QCOMPARE(oneShot(addr(1), "CTRL 0F01\r\n2\r\n"), QByteArray("no connection"));
        QCOMPARE(oneShot(addr(3), "CTRL 0F01\r\n2\r\n"), QByteArray("no connection"));
    }

    // A fleet that cannot start one member leaves nothing listening.
    void failedStartStopsAll()
    {
        ProjectorSim squatter(addr(12));
        QVERIFY(squatter.start());
        SimFleet fleet(8);
        for (int i = 10; i <= 13; ++i) {
            ProjectorSimConfig config;
            config.address = addr(i);
            config.discoveryMulticast = false;
            fleet.add(config);
        }
        QString error;
        QVERIFY(!fleet.start(&error));
        QVERIFY(error.contains(QStringLiteral("127.71.3.12")));
        QCOMPARE(oneShot(addr(10), "CTRL 0F01\r\n2\r\n"), QByteArray("no connection"));
    }

    void executableServesARange()
    {
        const QString program = QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-sim");
        if (!QFileInfo::exists(program))
            QSKIP("glintcaster-sim is not built");
        QProcess sim;
        sim.start(program, {QStringLiteral("--listen"), QStringLiteral("127.71.3.20-127.71.3.22"),
                            QStringLiteral("--listen"), QStringLiteral("127.71.3.21"),
                            QStringLiteral("--firmware"), QStringLiteral("3"),
                            QStringLiteral("--no-multicast")});
        QVERIFY(sim.waitForStarted());
        QStringList lines;
        QDeadlineTimer deadline(5000);
        while (lines.size() < 3 && sim.waitForReadyRead(int(deadline.remainingTime())))
            lines += QString::fromLatin1(sim.readAllStandardOutput())
                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{QStringLiteral("glintcaster-sim listening on 127.71.3.20:9719"),
                                     QStringLiteral("glintcaster-sim listening on 127.71.3.21:9719"),
                                     QStringLiteral("glintcaster-sim listening on 127.71.3.22:9719")}));
        QCOMPARE(oneShot(addr(20), putRequest(1, "x")), QByteArray("PUT 0\r\n"));
        // The options apply to every member.
        QCOMPARE(oneShot(addr(22), "CTRL 0F01\r\n2\r\n"), QByteArray("CTRL 0\r\nValue:3\r\n"));
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);

        QProcess bad;
        bad.start(program, {QStringLiteral("--listen"), QStringLiteral("127.71.3.9-127.71.3.1")});
        QVERIFY(bad.waitForFinished(3000));
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY(bad.readAllStandardError().contains("runs backwards"));
    }
};

QTEST_MAIN(TestFleet)
#include "tst_fleet.moc"
