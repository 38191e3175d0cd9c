// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/projector_sim.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

using namespace glintcaster;

namespace {

// Each test gets its own loopback addresses so parallel test programs never collide.
QHostAddress addr(int last)
{
    return QHostAddress(QStringLiteral("127.71.0.%1").arg(last));
}

QByteArray digestFor(const QByteArray &greeting, const QByteArray &password)
{
    QByteArray input = greeting.left(8).leftJustified(8, '\0', true) + password;
    if (input.indexOf('\0') >= 0)
        input.truncate(input.indexOf('\0'));
    return QCryptographicHash::hash(input, QCryptographicHash::Md5).toHex().toUpper();
}

/// A blocking raw client: connects, takes the greeting if one comes, answers it with the
/// digest, sends commands and collects what comes back.
class Client {
public:
    bool open(const QHostAddress &host, quint16 port = 9719, int greetingWaitMs = 300)
    {
        m_socket.connectToHost(host, port);
        if (!m_socket.waitForConnected(2000))
            return false;
        if (m_socket.waitForReadyRead(greetingWaitMs))
            greeting = m_socket.readAll();
        return true;
    }
    void send(const QByteArray &command, const QByteArray &password = {}, bool withDigest = true)
    {
        QByteArray request = command;
        if (withDigest && !greeting.isEmpty())
            request.prepend(digestFor(greeting, password));
        m_socket.write(request);
        m_socket.flush();
    }
    /// Reads until `size` bytes came (or, for -1, until the data stops for 150 ms).
    QByteArray read(int size = -1, int waitMs = 2000)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < waitMs) {
            if (size >= 0 && got.size() >= size)
                break;
            if (!m_socket.bytesAvailable()
                && !m_socket.waitForReadyRead(got.isEmpty() || size >= 0 ? 100 : 150)) {
                if (m_socket.state() != QAbstractSocket::ConnectedState)
                    break;
                if (!got.isEmpty() && size < 0)
                    break;
                continue;
            }
            got += m_socket.readAll();
        }
        return got;
    }
    QByteArray talk(const QByteArray &command, const QByteArray &password = {}, int size = -1)
    {
        send(command, password);
        return read(size);
    }
    /// True once the peer has closed (waits up to waitMs).
    bool closedByPeer(int waitMs = 1000)
    {
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        m_socket.waitForDisconnected(waitMs);
        return m_socket.state() == QAbstractSocket::UnconnectedState;
    }
    QTcpSocket &socket() { return m_socket; }

    QByteArray greeting;

private:
    QTcpSocket m_socket;
};

QByteArray oneShot(const QHostAddress &host, const QByteArray &command, int size = -1)
{
    Client c;
    if (!c.open(host, 9719, 100))
        return "<no connection>";
    return c.talk(command, {}, size);
}

QByteArray putRequest(const QByteArray &header, int slot, const QByteArray &body)
{
    return "PUT " + header.toHex().toUpper() + "\r\nSave-ID:"
           + QByteArray::number(slot, 16).toUpper() + "\r\nLength:"
           + QByteArray::number(body.size()).rightJustified(5, '0') + "\r\n\r\n" + body;
}

QByteArray header16()
{
    return QByteArray::fromHex("0102030405060708090A0B0C0D0E0F10");
}

} // namespace

class TestProjectorSim : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void greetingAndDigest()
    {
        ProjectorSim sim(addr(1));
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        sim.setPassword(QStringLiteral("secret"));

        Client good;
        QVERIFY(good.open(addr(1)));
        QVERIFY(good.greeting.size() >= 8);
        QCOMPARE(good.talk("CTRL 6020\r\n2\r\n", "secret"), QByteArray("CTRL 0\r\nValue:0\r\n"));

        Client bad;
        QVERIFY(bad.open(addr(1)));
        QVERIFY(bad.greeting.size() >= 8);
        QVERIFY(bad.greeting != good.greeting); // a fresh challenge per connection
        QCOMPARE(bad.talk("CTRL 6020\r\n2\r\n", "wrong"), QByteArray());
        QVERIFY(bad.closedByPeer());

        // A client that missed the greeting sends the bare command: also refused.
        Client bare;
        QVERIFY(bare.open(addr(1)));
        bare.send("CTRL 6020\r\n2\r\n", {}, false);
        QCOMPARE(bare.read(), QByteArray());
        QVERIFY(bare.closedByPeer());

        QVERIFY(sim.waitForRequests(3, 2000));
        const QList<SimRequest> log = sim.requests();
        QVERIFY(log[0].authenticated);
        QCOMPARE(log[0].digest, digestFor(good.greeting, "secret"));
        QCOMPARE(log[0].command, QByteArray("CTRL 6020\r\n2\r\n"));
        QCOMPARE(log[0].raw, log[0].digest + log[0].command);
        QVERIFY(!log[1].authenticated);
        QVERIFY(!log[2].authenticated);

        // Without a password there is no greeting and the command stands at byte 0.
        sim.setPassword({});
        Client open;
        QVERIFY(open.open(addr(1)));
        QVERIFY(open.greeting.isEmpty());
        QCOMPARE(open.talk("CTRL 0F01\r\n2\r\n"), QByteArray("CTRL 0\r\nValue:4\r\n"));

        // Greeting forced on: the digest then covers the challenge alone.
        sim.setGreetingMode(SimGreeting::Always);
        Client always;
        QVERIFY(always.open(addr(1)));
        QCOMPARE(always.greeting.size(), 8);
        QCOMPARE(always.talk("INFO 0\r\n"), QByteArray("INFO 1\r\n"));

        // A short fixed greeting: only its bytes count, not the password.
        sim.setGreeting("ABCDE");
        sim.setPassword(QStringLiteral("pw"));
        Client shortGreeting;
        QVERIFY(shortGreeting.open(addr(1)));
        QCOMPARE(shortGreeting.greeting, QByteArray("ABCDE"));
        shortGreeting.send(QCryptographicHash::hash("ABCDE", QCryptographicHash::Md5)
                               .toHex()
                               .toUpper()
                           + "INFO 0\r\n",
                           {}, false);
        QCOMPARE(shortGreeting.read(), QByteArray("INFO 1\r\n"));

        // A late greeting: a client that gave up waiting sends no digest and is refused.
        sim.setGreetingDelay(400);
        Client late;
        QVERIFY(late.open(addr(1), 9719, 100));
        QVERIFY(late.greeting.isEmpty());
        late.send("INFO 0\r\n");
        QCOMPARE(late.read(), QByteArray());
        QVERIFY(late.closedByPeer());
    }

    void quietConnectionsAreClosed()
    {
        ProjectorSimConfig config;
        config.address = addr(13);
        config.idleTimeoutMs = 200;
        ProjectorSim sim(config);
        QVERIFY(sim.start());
        Client c;
        QVERIFY(c.open(addr(13), 9719, 50));
        c.send("INFO"); // never finished
        QVERIFY(c.closedByPeer(2000));
        QCOMPARE(sim.requestCount(), 0);
    }

    void uploadInSegmentsThenReadBack()
    {
        ProjectorSim sim(addr(2));
        QVERIFY(sim.start());

        QByteArray header = header16();
        header[11] = 0x20; // the alarm-capable, 32-byte form
        header += QByteArray::fromHex("1112131415161718191A1B1C1D1E1F20");
        QByteArray body;
        for (int i = 0; i < 1000; ++i)
            body += char(i & 0xFF);
        const QByteArray request = putRequest(header, 5, body);

        Client c;
        QVERIFY(c.open(addr(2), 9719, 50));
        for (int at = 0; at < request.size(); at += 400) {
            c.socket().write(request.mid(at, 400));
            c.socket().flush();
            QTest::qWait(30);
        }
        QCOMPARE(c.read(), QByteArray("PUT 0\r\n")); // exactly these 7 bytes
        QCOMPARE(sim.slot(5).header, header);
        QCOMPARE(sim.slot(5).body, body);
        QCOMPARE(sim.requests().constLast().raw, request);

        const QByteArray info = oneShot(addr(2), "INFO 5\r\n");
        QVERIFY(info.startsWith("INFO 0\r\n"));
        QCOMPARE(info.mid(37, 2), QByteArray("20"));
        QCOMPARE(info.mid(15, 64), header.toHex().toUpper());
        QCOMPARE(info.at(89), '5');
        const int total = int(info.size()) - 32;
        const int length = info.mid(92 + 7, info.indexOf('\r', 92) - 99).toInt();
        QCOMPARE(length, 1000);

        const int expected = total + length - 39;
        Client t;
        QVERIFY(t.open(addr(2), 9719, 50));
        const QByteArray text = t.talk("TEXT 5\r\n", {}, expected);
        QCOMPARE(text.size(), expected);
        QCOMPARE(t.read(-1, 200), QByteArray()); // nothing beyond the expected size
        const int cr = int(text.indexOf('\r', 19));
        QCOMPARE(text.mid(cr + 2, length), body);
    }

    void capabilityQueryOnOneConnection()
    {
        ProjectorSim sim(addr(3));
        QVERIFY(sim.start());
        sim.setPassword(QStringLiteral("pw"));
        sim.setFirmwareLevel(3);
        sim.setCapabilityFlags(1);
        sim.setStartupSetting(0x8205);

        Client c;
        QVERIFY(c.open(addr(3)));
        QCOMPARE(c.talk("CTRL 0F01\r\n2\r\n", "pw").mid(14).toInt(), 3);
        QCOMPARE(c.talk("CTRL 0F02\r\n2\r\n", "pw").mid(14).toInt(), 1);
        QCOMPARE(c.talk("CTRL 3532\r\n2\r\n", "pw").mid(14).toInt(), 0x8205);
        const QList<SimRequest> log = sim.requests();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log[2].connection, log[0].connection);
        QCOMPARE(log[2].digest, log[0].digest);

        // A delay for one command leaves the others prompt.
        sim.setAnswerDelay(400, "CTRL 0F02");
        Client d;
        QVERIFY(d.open(addr(3)));
        d.send("CTRL 0F01\r\n2\r\n", "pw");
        QVERIFY(d.socket().waitForReadyRead(300));
        QCOMPARE(d.read().mid(14).toInt(), 3);
        d.send("CTRL 0F02\r\n2\r\n", "pw");
        QVERIFY(!d.socket().waitForReadyRead(200));
        QCOMPARE(d.read().mid(14).toInt(), 1);
    }

    void statusScriptAfterUpload()
    {
        ProjectorSim sim(addr(4));
        QVERIFY(sim.start());
        sim.setStatScript("1530");
        QCOMPARE(oneShot(addr(4), putRequest(header16(), 0, "hi")), QByteArray("PUT 0\r\n"));
        QByteArray seen;
        for (int i = 0; i < 5; ++i) {
            const QByteArray a = oneShot(addr(4), "STAT 0\r\n");
            QVERIFY(a.startsWith("STAT 0\r\n"));
            seen += a.at(26);
        }
        QCOMPARE(seen, QByteArray("15300"));
        QCOMPARE(oneShot(addr(4), "CANCEL\r\n"), QByteArray("CANCEL 0\r\n"));
        QCOMPARE(sim.device().cancelCount, 1);
    }

    void answerFaults()
    {
        ProjectorSim sim(addr(5));
        QVERIFY(sim.start());
        sim.setSlot(1, header16(), QByteArray(200, 'b'));

        sim.setFault(SimFault::Silent);
        {
            Client c;
            QVERIFY(c.open(addr(5), 9719, 50));
            QCOMPARE(c.talk("INFO 1\r\n"), QByteArray());
            QCOMPARE(c.socket().state(), QAbstractSocket::ConnectedState);
        }

        sim.setFault(SimFault::CloseOnAccept);
        {
            Client c;
            QVERIFY(c.open(addr(5), 9719, 50));
            QVERIFY(c.greeting.isEmpty());
            QVERIFY(c.closedByPeer());
        }

        sim.setFault(SimFault::CloseAfterRequest);
        {
            Client c;
            QVERIFY(c.open(addr(5), 9719, 50));
            QCOMPARE(c.talk("INFO 1\r\n"), QByteArray());
            QVERIFY(c.closedByPeer());
        }

        sim.setFault(SimFault::CloseMidAnswer);
        {
            const QByteArray whole = "TEXT 0\r\nSave-ID:1\r\nLength:00200\r\n"
                                     + QByteArray(200, 'b') + "\r\n";
            Client c;
            QVERIFY(c.open(addr(5), 9719, 50));
            const QByteArray part = c.talk("TEXT 1\r\n", {}, int(whole.size()));
            QVERIFY(!part.isEmpty());
            QVERIFY(part.size() < whole.size());
            QVERIFY(whole.startsWith(part));
            QVERIFY(c.closedByPeer());
        }

        sim.setFault(SimFault::Garbage);
        {
            const QByteArray a = oneShot(addr(5), "CTRL 6020\r\n2\r\n");
            QVERIFY(!a.isEmpty());
            QVERIFY(!a.startsWith("CTRL "));
        }

        sim.setFault(SimFault::Busy);
        QCOMPARE(oneShot(addr(5), putRequest(header16(), 2, "x")), QByteArray("PUT 2\r\n"));
        QVERIFY(!sim.slot(2).used);
        QCOMPARE(oneShot(addr(5), "INFO 1\r\n"), QByteArray("INFO 3\r\n"));

        sim.setFault(SimFault::None);
        sim.setAnswerDelay(400);
        {
            Client c;
            QVERIFY(c.open(addr(5), 9719, 50));
            c.send("INFO 2\r\n");
            QVERIFY(!c.socket().waitForReadyRead(200));
            QCOMPARE(c.read(), QByteArray("INFO 1\r\n"));
        }
        sim.setAnswerDelay(0);
    }

    void rawAnswers()
    {
        ProjectorSim sim(addr(6));
        QVERIFY(sim.start());
        sim.setRawAnswer("CTRL 9\r\n", "CTRL 0F02");
        sim.queueRawAnswer("PUT 4\r\n");
        QCOMPARE(oneShot(addr(6), putRequest(header16(), 0, "a")), QByteArray("PUT 4\r\n"));
        QVERIFY(!sim.slot(0).used);
        QCOMPARE(oneShot(addr(6), "CTRL 0F01\r\n2\r\n"), QByteArray("CTRL 0\r\nValue:4\r\n"));
        QCOMPARE(oneShot(addr(6), "CTRL 0F02\r\n2\r\n"), QByteArray("CTRL 9\r\n"));
        // Zero bytes: the projector hangs up without a word.
        sim.setRawAnswer({});
        Client c;
        QVERIFY(c.open(addr(6), 9719, 50));
        QCOMPARE(c.talk("INFO 0\r\n"), QByteArray());
        QVERIFY(c.closedByPeer());
        sim.clearRawAnswers();
        QCOMPARE(oneShot(addr(6), "INFO 0\r\n"), QByteArray("INFO 1\r\n"));
    }

    void connectFaults()
    {
        ProjectorSim sim(addr(7));
        QVERIFY(sim.start());

        sim.setFault(SimFault::Refuse);
        {
            QTcpSocket s;
            QElapsedTimer t;
            t.start();
            s.connectToHost(addr(7), 9719);
            QVERIFY(!s.waitForConnected(2000));
            QCOMPARE(s.error(), QAbstractSocket::ConnectionRefusedError);
            QVERIFY(t.elapsed() < 1000);
        }

        sim.setFault(SimFault::HangConnect);
        {
            QTcpSocket s;
            s.connectToHost(addr(7), 9719);
            QElapsedTimer t;
            t.start();
            QVERIFY(!s.waitForConnected(600));
            QCOMPARE(s.error(), QAbstractSocket::SocketTimeoutError);
            QVERIFY(t.elapsed() >= 550);
        }

        sim.setFault(SimFault::None);
        QCOMPARE(oneShot(addr(7), "INFO 0\r\n"), QByteArray("INFO 1\r\n"));
    }

    void severalProjectorsOnOnePort()
    {
        ProjectorSim a(addr(8)), b(addr(9));
        QVERIFY(a.start());
        QVERIFY(b.start());
        a.setFirmwareLevel(2);
        b.setFirmwareLevel(5);
        QCOMPARE(oneShot(addr(8), "CTRL 0F01\r\n2\r\n").mid(14).toInt(), 2);
        QCOMPARE(oneShot(addr(9), "CTRL 0F01\r\n2\r\n").mid(14).toInt(), 5);

        ProjectorSim clash(addr(8));
        QVERIFY(!clash.start());
        QVERIFY(!clash.errorString().isEmpty());
    }

    void discoveryAnswersDirectSearches()
    {
        ProjectorSim sim(addr(10));
        QVERIFY(sim.start());
        const QByteArray mac("\x00\x1A\x2B\x3C\x4D\x5E", 6);
        sim.setIdentity(QStringLiteral("Hall B"), mac);

        const QHostAddress asker = addr(11);
        QUdpSocket answers;
        QVERIFY(answers.bind(asker, 4001));
        QUdpSocket searcher;
        QVERIFY(searcher.bind(asker, 2363));
        const QByteArray search("\x01\x00" "DeviceSearch\x7F\x47\x00\x0B", 18);

        auto ask = [&]() -> QByteArray {
            searcher.writeDatagram(search, addr(10), 2363);
            if (!answers.waitForReadyRead(1000))
                return {};
            return answers.receiveDatagram().data();
        };

        QByteArray expected("\x01\x00" "DeviceAnswer\x7F\x47\x00\x0A", 18);
        expected += mac;
        expected += QByteArray("Hall B").leftJustified(64, '\0');
        QCOMPARE(ask(), expected);
        QCOMPARE(sim.searchesReceived().constFirst(), search);

        sim.setDiscoveryShape(SimDiscoveryShape::TwoRecords);
        sim.setExtraRecord(QStringLiteral("Other"), mac, addr(12));
        const QByteArray two = ask();
        QCOMPARE(two.size(), 176);
        QCOMPARE(two.left(88), expected);
        QCOMPARE(two.mid(88 + 14, 4), QByteArray("\x7F\x47\x00\x0C", 4));

        sim.setDiscoveryShape(SimDiscoveryShape::TrailingWL);
        QCOMPARE(ask(), expected + "WL");

        sim.setDiscoveryEnabled(false);
        searcher.writeDatagram(search, addr(10), 2363);
        QVERIFY(sim.waitForSearches(4, 1000));
        QVERIFY(!answers.waitForReadyRead(300));
    }

    // Multicast needs a loopback that carries it, which only a private network namespace
    // gives us; the test re-runs itself inside one.
    void discoveryAnswersMulticastInNamespace()
    {
        if (qEnvironmentVariableIsSet("GLINTCASTER_SIM_IN_NETNS")) {
            multicastRound();
            return;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("unshare is not available");
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {QStringLiteral("-rn"), QStringLiteral("true")});
        if (!probe.waitForFinished(5000) || probe.exitCode() != 0)
            QSKIP("cannot create a network namespace here");

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GLINTCASTER_SIM_IN_NETNS"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("unshare"),
                    {QStringLiteral("-rn"), QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("ip link set lo up && ip link set lo multicast on && "
                                    "exec \"$0\" discoveryAnswersMulticastInNamespace"),
                     QCoreApplication::applicationFilePath()});
        QVERIFY(child.waitForFinished(20000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitCode() == 0, output.constData());
    }

private:
    void multicastRound()
    {
        ProjectorSim a(QHostAddress(QStringLiteral("127.0.0.2")));
        ProjectorSim b(QHostAddress(QStringLiteral("127.0.0.3")));
        QVERIFY(a.start());
        QVERIFY(b.start());
        a.setIdentity(QStringLiteral("A"), QByteArray(6, '\x0A'));
        b.setIdentity(QStringLiteral("B"), QByteArray(6, '\x0B'));

        const QHostAddress self(QStringLiteral("127.0.0.1"));
        QUdpSocket answers;
        QVERIFY(answers.bind(self, 4001));
        QUdpSocket searcher;
        QVERIFY(searcher.bind(self, 2363, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        searcher.setSocketOption(QAbstractSocket::MulticastTtlOption, 10);
        const QByteArray search("\x01\x00" "DeviceSearch\x7F\x00\x00\x01", 18);
        QCOMPARE(searcher.writeDatagram(search, QHostAddress(QStringLiteral("224.0.5.128")), 2363),
                 qint64(18));

        QSet<QByteArray> names;
        QElapsedTimer t;
        t.start();
        while (names.size() < 2 && t.elapsed() < 3000) {
            if (!answers.hasPendingDatagrams() && !answers.waitForReadyRead(500))
                continue;
            const QByteArray d = answers.receiveDatagram().data();
            QCOMPARE(d.size(), 88);
            names.insert(d.mid(24, 1));
        }
        QCOMPARE(names, (QSet<QByteArray>{"A", "B"}));
        QCOMPARE(a.searchesReceived().size(), 1);
        QCOMPARE(b.searchesReceived().size(), 1);
    }
};

QTEST_MAIN(TestProjectorSim)
#include "tst_projector_sim.moc"
