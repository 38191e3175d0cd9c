// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/auth_digest.h"
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/status_monitor.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;
using namespace glintcaster::JobMessage;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 3, 1);

JobRecord controlJob(const ProjectorEndpoint &endpoint, JobKind kind, quint16 code, quint8 type,
                     quint16 value = 0)
{
    JobRecord job;
    job.kind = kind;
    job.timings = quickTimings();
    job.control.endpoint = endpoint;
    job.control.code = code;
    job.control.type = type;
    job.control.value = value;
    return job;
}

// "CTRL 0\r\n", six bytes nobody reads, then the value field from byte 14.
QByteArray ctrlAnswer(const QByteArray &valueField, char digit = '0')
{
    return QByteArray("CTRL ") + digit + "\r\n" + "VALUE:" + valueField;
}

} // namespace

class TestControl : public QObject {
    Q_OBJECT
private slots:
    void init() { CancelRequested = false; }

    void requestTexts()
    {
        QCOMPARE(controlCommandText(0x2002, 1, 1), QByteArray("CTRL 2002\r\n1\r\n1\r\n"));
        QCOMPARE(controlCommandText(0x6020, 2, 1), QByteArray("CTRL 6020\r\n2\r\n"));
        QCOMPARE(controlCommandText(0x0F01, 2, 0), QByteArray("CTRL 0F01\r\n2\r\n"));
        QCOMPARE(controlCommandText(0x3510, 1, 0x8300), QByteArray("CTRL 3510\r\n1\r\n33536\r\n"));
    }

    void clearSendsNoValueLine()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\n")});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind::Control, 0x3511, 6, 1);
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(CtrlStarted), msgPair(CtrlAnswer0)}));
        QCOMPARE(peer.requests().value(0), QByteArray("CTRL 3511\r\n6\r\n"));
    }

    void plainValueIsTheCharacterBeforeCr_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("value");
        QTest::newRow("digit then CR") << ctrlAnswer("1\r\n") << 0x31;
        QTest::newRow("no CR after it") << ctrlAnswer("12\r\n") << 0x30;
    }
    void plainValueIsTheCharacterBeforeCr()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, value);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind::Control, 0x6020, 2);
        QCOMPARE(runWorker(job).value(1), msgPair(CtrlAnswer0));
        QCOMPARE(int(job.control.value), value);
    }

    void answersOfTheFamily_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<int>("value");
        const int plain = int(JobKind::Control), a = int(JobKind::ValueQueryA),
                  b = int(JobKind::ValueQueryB);
        QTest::newRow("plain refusal") << plain << ctrlAnswer("7\r\n", '1') << CtrlAnswer1 << 0 << 99;
        QTest::newRow("plain 9") << plain << QByteArray("CTRL 9\r\n") << CtrlAnswer9 << 0 << 99;
        QTest::newRow("plain unknown") << plain << QByteArray("CTRL 4\r\n") << CtrlFailed << 0 << 99;
        // Bytes that never end their line are an incomplete answer: the unexpected answer.
        QTest::newRow("plain garbage") << plain << QByteArray("\0\0\0", 3) << CtrlFailed
                                       << int(UnexpectedAnswer) << 99;
        // A read answered by the status line alone was cut before its value.
        QTest::newRow("bare status line to a read") << plain << QByteArray("CTRL 0\r\n") << CtrlFailed
                                                    << int(UnexpectedAnswer) << 99;
        QTest::newRow("A value") << a << ctrlAnswer(" 513\r\n") << CtrlAnswer0 << 0 << 513;
        QTest::newRow("A refusal reads a value") << a << ctrlAnswer("7\r\n", '1') << CtrlAnswer0 << 0 << 7;
        QTest::newRow("B refusal reads 0") << b << ctrlAnswer("7\r\n", '1') << CtrlAnswer0 << 0 << 0;
        QTest::newRow("B busy") << b << QByteArray("CTRL 2\r\n") << CtrlAnswer2 << 0 << 99;
        QTest::newRow("A no digits") << a << ctrlAnswer("x\r\n") << CtrlAnswer0 << 0 << 0;
    }
    void answersOfTheFamily()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, answer);
        QFETCH(int, message);
        QFETCH(int, parameter);
        QFETCH(int, value);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind(kind), 0x3532, 2, 99);
        QCOMPARE(runWorker(job).value(1), msgPair(message, parameter));
        QCOMPARE(int(job.control.value), value);
    }

    void capabilityQueryBelowThreeAsksNothingMore()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(ctrlAnswer("2\r\n"))});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind::CapabilityQuery, 0x0F01, 2);
        job.control.secondValue = 5;
        QCOMPARE(runWorker(job).value(1), msgPair(CtrlAnswer0));
        QCOMPARE(job.control.value, quint16(2));
        QCOMPARE(job.control.secondValue, kValueNotObtained);
        QCOMPARE(job.control.thirdValue, kValueNotObtained);
        QCOMPARE(peer.requests(), QList<QByteArray>{"CTRL 0F01\r\n2\r\n"});
    }

    void capabilityQueryFollowsUpOnTheSameConnection()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation c;
        c.greeting = "QWERTYUI";
        c.rounds = {FakeRound::answer(ctrlAnswer("3\r\n")), FakeRound::answer(ctrlAnswer("6\r\n")),
                    FakeRound::answer(ctrlAnswer("1025\r\n"))};
        peer.setConversations({c});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(QStringLiteral("pw")), JobKind::CapabilityQuery,
                                   0x0F01, 2);
        QCOMPARE(runWorker(job).value(1), msgPair(CtrlAnswer0));
        QCOMPARE(job.control.value, quint16(3));
        QCOMPARE(job.control.secondValue, quint16(6));
        QCOMPARE(job.control.thirdValue, quint16(1025));
        QCOMPARE(peer.connections(), 1);
        const QByteArray digest = authDigest("QWERTYUI", QStringLiteral("pw"));
        QCOMPARE(peer.requests(), (QList<QByteArray>{digest + "CTRL 0F01\r\n2\r\n",
                                                     digest + "CTRL 0F02\r\n2\r\n",
                                                     digest + "CTRL 3532\r\n2\r\n"}));
    }

    void capabilityFollowUpsThatFailStayUnset()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation c;
        c.rounds = {FakeRound::answer(ctrlAnswer("4\r\n")), FakeRound::answer("CTRL 1\r\n")};
        c.rounds.append(FakeRound{{}, 0, 0, true}); // third request: hang up
        peer.setConversations({c});
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind::CapabilityQuery, 0x0F01, 2);
        QCOMPARE(runWorker(job).value(1), msgPair(CtrlAnswer0));
        QCOMPARE(job.control.value, quint16(4));
        QCOMPARE(job.control.secondValue, kValueNotObtained);
        QCOMPARE(job.control.thirdValue, kValueNotObtained);
    }

    void quietQueryToUnreachableProjector()
    {
        NeverAcceptingPeer peer(kPeerAddress);
        QVERIFY(peer.start());
        JobRecord job = controlJob(peer.endpoint(), JobKind::ValueQueryA, 0x3532, 1, 5);
        job.timings.timedConnectLimit = std::chrono::milliseconds(500);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(CtrlStarted), msgPair(QueryUnreachable)}));
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(job.control.value, kValueUnreachable);
    }

    void plainControlToRefusingProjectorFails()
    {
        ProjectorEndpoint refused;
        refused.address = kPeerAddress;
        refused.port = unusedPort(kPeerAddress);
        JobRecord job = controlJob(refused, JobKind::Control, 0x2002, 1, 1);
        QCOMPARE(runWorker(job).value(1), msgPair(CtrlFailed, 12));
        JobRecord query = controlJob(refused, JobKind::ValueQueryB, 0x3532, 2);
        QCOMPARE(runWorker(query).value(1), msgPair(QueryUnreachable));
    }

    void monitorQueries()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(ctrlAnswer("771234\r\n")),
                               FakeConversation::answering("CTRL 8\r\n"),
                               FakeConversation::answering("CTRL 5\r\n")});
        QVERIFY(peer.start());
        MessageLog log;
        std::atomic<bool> stop{false};
        StatusMonitor::queryOnce(peer.endpoint(), 0x3534, &log, quickTimings(), stop);
        StatusMonitor::queryOnce(peer.endpoint(), 0x3535, &log, quickTimings(), stop);
        StatusMonitor::queryOnce(peer.endpoint(), 0x3535, &log, quickTimings(), stop);
        log.deliver();
        QCOMPARE(log.messages, (QList<QPair<int, qintptr>>{msgPair(MonitorValueA, 7712),
                                                          msgPair(MonitorAnswer8),
                                                          msgPair(MonitorFailed, 0)}));
        QCOMPARE(peer.requests().value(0), QByteArray("CTRL 3534\r\n2\r\n"));
        QCOMPARE(peer.requests().value(1), QByteArray("CTRL 3535\r\n2\r\n"));
    }

    void monitorRestartLeavesOneLoop()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(ctrlAnswer("1\r\n"))});
        QVERIFY(peer.start());
        MessageLog log;
        {
            StatusMonitor monitor;
            monitor.start(peer.endpoint(), &log, quickTimings());
            QVERIFY(peer.waitForRequests(3));
            monitor.stop();
            monitor.start(peer.endpoint(), &log, quickTimings());
            QVERIFY(monitor.isRunning());
            QTRY_COMPARE(monitor.activeLoops(), 1);
            monitor.stop();
            QVERIFY(!monitor.isRunning());
            QTRY_COMPARE(monitor.activeLoops(), 0);
        }
        log.deliver();
        QVERIFY(log.numbers().contains(MonitorValueA));
        QVERIFY(log.numbers().contains(MonitorValueB));
    }

    // A stop ends a query that waits for a silent projector (reported as 17), and a
    // monitor destroyed mid-wait joins its loop without sitting out the answer wait.
    void monitorStopEndsAWaitingQuery()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent});
        QVERIFY(peer.start());
        ExchangeTimings timings = quickTimings();
        timings.answerChecks = 100000; // far longer than the test may take
        MessageLog log;
        std::atomic<bool> stop{false};
        std::thread stopper([&] {
            peer.waitForRequests(1);
            stop = true;
        });
        QElapsedTimer timer;
        timer.start();
        StatusMonitor::queryOnce(peer.endpoint(), 0x3534, &log, timings, stop);
        stopper.join();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        log.deliver();
        QCOMPARE(log.messages, (QList<QPair<int, qintptr>>{msgPair(MonitorFailed, 17)}));

        const int before = int(peer.requests().size());
        {
            StatusMonitor monitor;
            monitor.start(peer.endpoint(), &log, timings);
            QVERIFY(peer.waitForRequests(before + 1));
            timer.restart();
        }
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void monitorToUnreachableProjectorFailsWithZero()
    {
        ProjectorEndpoint refused;
        refused.address = kPeerAddress;
        refused.port = unusedPort(kPeerAddress);
        MessageLog log;
        std::atomic<bool> stop{false};
        StatusMonitor::queryOnce(refused, 0x3534, &log, quickTimings(), stop);
        log.deliver();
        QCOMPARE(log.messages, (QList<QPair<int, qintptr>>{msgPair(MonitorFailed, 0)}));
    }
};

QTEST_MAIN(TestControl)
#include "tst_control.moc"
