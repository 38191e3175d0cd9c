// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/auth_digest.h"
#include "comm/command_exchange.h"
#include "comm/status_line.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 1, 1);

// Open, greet, send, wait and read, as every command does; returns the first failure.
int converse(CommandExchange &exchange, const QByteArray &command,
             ConnectMode mode = ConnectMode::BlockingConnect)
{
    int code = exchange.open(mode);
    if (code == 0)
        code = exchange.greet();
    if (code == 0)
        code = exchange.send(command);
    if (code == 0 && exchange.awaitAnswer() != CommandExchange::Await::Ready)
        code = NoAnswer;
    if (code == 0)
        code = exchange.readAnswer();
    exchange.close();
    return code;
}

} // namespace

class TestCommandExchange : public QObject {
    Q_OBJECT
private slots:
    void digestInput_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("challenge and password") << QByteArray("ABCDEFGHrest") << "abc"
                                                << QByteArray("ABCDEFGHabc");
        QTest::newRow("empty password") << QByteArray("ABCDEFGH") << "" << QByteArray("ABCDEFGH");
        QTest::newRow("short greeting leaves password out")
            << QByteArray("12345") << "abc" << QByteArray("12345");
        QTest::newRow("zero inside the challenge")
            << QByteArray("AB\0DEFGH", 8) << "abc" << QByteArray("AB");
        QTest::newRow("only the low byte of a wide character")
            << QByteArray("ABCDEFGH") << QString(QChar(0x0141)) << QByteArray("ABCDEFGHA");
        QTest::newRow("a character with a zero low byte ends it")
            << QByteArray("ABCDEFGH") << (QStringLiteral("ab") + QChar(0x0100) + "cd")
            << QByteArray("ABCDEFGHab");
        QTest::newRow("at most 120 password bytes")
            << QByteArray("ABCDEFGH") << QString(130, QLatin1Char('p'))
            << QByteArray("ABCDEFGH") + QByteArray(120, 'p');
        QTest::newRow("empty greeting") << QByteArray() << "abc" << QByteArray();
    }
    void digestInput()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QString, password);
        QFETCH(QByteArray, input);
        QCOMPARE(authDigestInput(greeting, password), input);
    }

    void digestVectors()
    {
        QCOMPARE(authDigest("ABCDEFGHrest", QStringLiteral("abc")),
                 QByteArray("7ADF8C04760D6E1333528DFCAFD10EB7"));
        QCOMPARE(authDigest("ABCDEFGH", QString()), QByteArray("4783E784B4FA2FBA9E4D6502DBC64F8F"));
        QCOMPARE(authDigest("12345", QStringLiteral("abc")),
                 QByteArray("827CCB0EEA8A706C4C34A16891F84E7B"));
        QCOMPARE(authDigest("ABCDEFGH", QString(QChar(0x0141))),
                 QByteArray("5211A563C1F37D363515A8E07C6CA09B"));
    }

    void statusLines()
    {
        QByteArray buffer(1024, '\0');
        buffer.replace(0, 7, "PUT 0\r\n");
        QVERIFY(isUploadAnswer(buffer, "PUT 0\r\n"));
        buffer.replace(7, 3, "xyz");
        QVERIFY(!isUploadAnswer(buffer, "PUT 0\r\n"));
        QVERIFY(!isUploadAnswer(QByteArray("PUT 0\r"), "PUT 0\r\n"));

        QByteArray text(4500, '\0');
        text.replace(0, 14, "TEXT 0\r\nabcdef");
        QVERIFY(startsWithStatusLine(text, "TEXT 0\r\n"));
        QVERIFY(!startsWithStatusLine(text, "TEXT 1\r\n"));
        QVERIFY(startsWithStatusLine(QByteArray("CANCEL 1\r\nmore"), "CANCEL 1\r\n"));
        QVERIFY(!startsWithStatusLine(QByteArray("CANCEL 1"), "CANCEL 1\r\n"));
    }

    void decimalNumbers()
    {
        QCOMPARE(parseDecimal("CTRL 0\r\nxxxxxx  42\r\n", 14), 42);
        QCOMPARE(parseDecimal("CTRL 0\r\nxxxxxx-7", 14), -7);
        QCOMPARE(parseDecimal("CTRL 0\r\nxxxxxxabc", 14), 0);
        QCOMPARE(parseDecimal("CTRL 0\r\nxxxxxx123456", 14, 4), 1234);
        QCOMPARE(parseDecimal("99999999999999999999", 0), std::numeric_limits<int>::max());
        QCOMPARE(parseDecimal("12", 5), 0);         // past the end
        QCOMPARE(parseDecimal(QByteArray(3966, '7'), 3960), 777777);
    }

    void greetingIsAnsweredWithDigestBeforeCommand()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\nValue:4\r\n", "ABCDEFGHxyz")});
        QVERIFY(peer.start());
        CommandExchange exchange(peer.endpoint(QStringLiteral("abc")), quickTimings());
        QCOMPARE(converse(exchange, "CTRL 0F01\r\n2\r\n"), 0);
        QCOMPARE(peer.requests().value(0),
                 QByteArray("7ADF8C04760D6E1333528DFCAFD10EB7CTRL 0F01\r\n2\r\n"));
        QCOMPARE(exchange.received(), 17);
        QVERIFY(startsWithStatusLine(exchange.answer(), "CTRL 0\r\n"));
    }

    void emptyPasswordStillSendsDigest()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\n", "ABCDEFGH")});
        QVERIFY(peer.start());
        CommandExchange exchange(peer.endpoint(), quickTimings());
        QCOMPARE(converse(exchange, "X\r\n"), 0);
        QCOMPARE(peer.requests().value(0), QByteArray("4783E784B4FA2FBA9E4D6502DBC64F8FX\r\n"));
    }

    void longGreetingWithZerosIsNotTakenForTheAnswer()
    {
        QByteArray greeting = "ABCDEFGH";
        greeting += QByteArray(3000, '\0');
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\n", greeting)});
        QVERIFY(peer.start());
        CommandExchange exchange(peer.endpoint(QStringLiteral("abc")), quickTimings());
        QCOMPARE(converse(exchange, "X\r\n"), 0);
        QVERIFY(peer.requests().value(0).startsWith("7ADF8C04760D6E1333528DFCAFD10EB7X"));
        QVERIFY(startsWithStatusLine(exchange.answer(), "CTRL 0\r\n"));
    }

    void withoutGreetingCommandStartsAtByteZeroAfterTheWait()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\nValue:0\r\n")});
        QVERIFY(peer.start());
        ExchangeTimings timings = quickTimings();
        timings.greetingWait = std::chrono::milliseconds(1000);
        CommandExchange exchange(peer.endpoint(QStringLiteral("abc")), timings);
        QCOMPARE(converse(exchange, "CTRL 6020\r\n2\r\n"), 0);
        QCOMPARE(peer.requests().value(0), QByteArray("CTRL 6020\r\n2\r\n"));
        QVERIFY(exchange.digestPrefix().isEmpty());
        const int delay = peer.requestDelaysMs().value(0);
        QVERIFY2(delay >= 950 && delay < 2500, qPrintable(QString::number(delay)));
    }

    // With the default timings an answer 100 ms after the request, between two former
    // readiness checks (at 0.2 ms and at 200 ms), is taken the moment it arrives.
    void answerBetweenTwoFormerChecksIsTakenAtOnce()
    {
        FakePeer peer(ipv4(127, 102, 1, 1));
        peer.setConversations(
            {FakeConversation{false, "ABCDEFGH", false, {FakeRound::answer("CTRL 0\r\n", 100)}}});
        QVERIFY(peer.start());
        CommandExchange exchange(peer.endpoint(), ExchangeTimings{});
        QCOMPARE(exchange.open(ConnectMode::BlockingConnect), 0);
        QCOMPARE(exchange.greet(), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange.send("X\r\n"), 0);
        QCOMPARE(exchange.awaitAnswer(), CommandExchange::Await::Ready);
        QCOMPARE(exchange.readAnswer(), 0);
        const qint64 took = timer.elapsed();
        QVERIFY(startsWithStatusLine(exchange.answer(), "CTRL 0\r\n"));
        QVERIFY2(took >= 95 && took < 160, qPrintable(QString::number(took)));
    }

    void lateAnswerInsideTheWaitIsRead()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {FakeRound::answer("CTRL 0\r\n", 300)}}});
        QVERIFY(peer.start());
        ExchangeTimings timings = quickTimings();
        timings.answerSleep = std::chrono::milliseconds(50);
        timings.answerChecks = 11; // 500 ms
        CommandExchange exchange(peer.endpoint(), timings);
        QCOMPARE(converse(exchange, "X\r\n"), 0);
        QVERIFY(startsWithStatusLine(exchange.answer(), "CTRL 0\r\n"));
    }

    void cancelHookEndsTheWaitQuickly()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent});
        QVERIFY(peer.start());
        ExchangeTimings timings; // the real 200 ms sleep
        timings.greetingWait = std::chrono::milliseconds(50);
        CommandExchange exchange(peer.endpoint(), timings);
        QCOMPARE(exchange.open(ConnectMode::BlockingConnect), 0);
        QCOMPARE(exchange.greet(), 0);
        QCOMPARE(exchange.send("X\r\n"), 0);
        std::atomic<bool> cancel{false};
        QElapsedTimer sinceCancel;
        std::thread presser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(450));
            sinceCancel.start();
            cancel = true;
        });
        const auto result = exchange.awaitAnswer([&] { return cancel.load(); });
        const qint64 reaction = sinceCancel.elapsed();
        presser.join();
        QCOMPARE(result, CommandExchange::Await::Cancelled);
        QVERIFY2(reaction <= 350, qPrintable(QString::number(reaction)));
    }

    void refusedConnectionGives12()
    {
        ProjectorEndpoint endpoint;
        endpoint.address = kPeerAddress;
        endpoint.port = unusedPort(kPeerAddress);
        CommandExchange exchange(endpoint, quickTimings());
        QCOMPARE(exchange.open(ConnectMode::BlockingConnect), int(ConnectFailed));
        QCOMPARE(exchange.open(ConnectMode::TimedConnect), int(ConnectFailed));
    }

    void connectsToANeverAcceptingPeerGiveUp()
    {
        NeverAcceptingPeer peer(kPeerAddress);
        QVERIFY(peer.start());
        ExchangeTimings timings;
        timings.blockingConnectLimit = std::chrono::milliseconds(800);
        CommandExchange exchange(peer.endpoint(), timings);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange.open(ConnectMode::TimedConnect), int(ConnectFailed));
        const qint64 timed = timer.elapsed();
        QVERIFY2(timed >= 450 && timed < 1500, qPrintable(QString::number(timed)));
        timer.restart();
        QCOMPARE(exchange.open(ConnectMode::BlockingConnect), int(ConnectFailed));
        QVERIFY(timer.elapsed() < 2500);
    }

    void vanishingPeersGiveTransportCodes()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation atOnce;
        atOnce.closeAtOnce = true;
        FakeConversation afterRequest;
        afterRequest.rounds = {FakeRound{{}, 0, 0, true}};
        peer.setConversations({atOnce, afterRequest});
        QVERIFY(peer.start());
        CommandExchange first(peer.endpoint(), quickTimings());
        QCOMPARE(converse(first, "X\r\n"), int(GreetingReadFailed));
        CommandExchange second(peer.endpoint(), quickTimings());
        const int code = converse(second, "X\r\n");
        QVERIFY2(code == AnswerReadFailed || code == SendFailed, qPrintable(QString::number(code)));
    }

    void answerLargerThanTheBufferIsCut()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 0\r\n" + QByteArray(6000, 'z'))});
        QVERIFY(peer.start());
        CommandExchange exchange(peer.endpoint(), quickTimings(), kSmallAnswerBuffer);
        QCOMPARE(converse(exchange, "X\r\n"), 0);
        QVERIFY(exchange.received() <= kSmallAnswerBuffer);
        QCOMPARE(exchange.answer().size(), kSmallAnswerBuffer);
    }

    // The bounds with the real timings, side by side to save time: an answer 11 s after
    // the send is still read, and a silent projector is given up on after the same 61
    // checks and 60 sleeps as ever (12.012 s), not sooner, hardly later.
    void answerWaitKeepsItsBound()
    {
        FakePeer answering(kPeerAddress);
        answering.setConversations(
            {FakeConversation{false, "ABCDEFGH", false, {FakeRound::answer("PUT 0\r\n", 11000)}}});
        FakePeer silent(ipv4(127, 102, 1, 2));
        silent.setConversations({FakeConversation{false, "ABCDEFGH", false, {FakeRound{}}}});
        QVERIFY(answering.start());
        QVERIFY(silent.start());
        CommandExchange late(answering.endpoint(), ExchangeTimings{});
        int lateCode = -1;
        std::thread lateThread([&] { lateCode = converse(late, "X\r\n"); });
        CommandExchange never(silent.endpoint(), ExchangeTimings{});
        QCOMPARE(never.open(ConnectMode::BlockingConnect), 0);
        QCOMPARE(never.greet(), 0);
        QCOMPARE(never.send("X\r\n"), 0);
        QElapsedTimer timer;
        timer.start();
        int hookCalls = 0;
        QCOMPARE(never.awaitAnswer([&hookCalls] { return ++hookCalls < 0; }),
                 CommandExchange::Await::NoAnswer);
        const qint64 waited = timer.elapsed();
        lateThread.join();
        QVERIFY2(waited >= 12000 && waited < 12600, qPrintable(QString::number(waited)));
        QVERIFY2(hookCalls >= 55 && hookCalls <= 62, qPrintable(QString::number(hookCalls)));
        QCOMPARE(lateCode, 0);
        QVERIFY(isUploadAnswer(late.answer(), "PUT 0\r\n"));
    }
};

QTEST_MAIN(TestCommandExchange)
#include "tst_command_exchange.moc"
