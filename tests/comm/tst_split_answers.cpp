// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Answers that arrive in pieces or stop half-way: read until complete within the answer
// wait; an incomplete answer is the unexpected-answer outcome, never a value.
#include "comm/command_exchange.h"
#include "comm/status_line.h"
#include "common/fake_peer.h"
#include "worker_harness.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;

class TestSplitAnswers : public QObject {
    Q_OBJECT
private slots:
    void completeness_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("complete");
        const QByteArray read = "CTRL 6020\r\n2\r\n";
        const QByteArray set = "CTRL 2002\r\n1\r\n1\r\n";
        const QByteArray info = "INFO 3\r\nHeader:" + QByteArray(32, '0') + "\r\nSave-ID:3\r\nLength:00042\r\n";
        QTest::newRow("value read whole") << read << QByteArray("CTRL 0\r\nValue:0\r\n") << true;
        QTest::newRow("value read cut after the status line") << read << QByteArray("CTRL 0\r\n") << false;
        QTest::newRow("value read cut inside the value line") << read << QByteArray("CTRL 0\r\nValue:1") << false;
        QTest::newRow("refusal of a read is one line") << read << QByteArray("CTRL 1\r\n") << true;
        QTest::newRow("set needs no value") << set << QByteArray("CTRL 0\r\n") << true;
        QTest::newRow("status line cut") << set << QByteArray("CTRL ") << false;
        QTest::newRow("upload answer") << QByteArray("PUT 0\r\n") << QByteArray("PUT 0\r\n") << true;
        QTest::newRow("info whole") << QByteArray("INFO 3\r\n") << info.mid(0).replace(0, 6, "INFO 0") << true;
        QTest::newRow("info without its length line") << QByteArray("INFO 3\r\n")
                                                      << info.left(60).replace(0, 6, "INFO 0") << false;
        QTest::newRow("info refusal") << QByteArray("INFO 3\r\n") << QByteArray("INFO 1\r\n") << true;
        QTest::newRow("stat whole") << QByteArray("STAT 1\r\n") << QByteArray("STAT 0\r\nSave-ID:1\r\nStatus:5\r\n") << true;
        QTest::newRow("stat before its character") << QByteArray("STAT 1\r\n") << QByteArray("STAT 0\r\nSave-ID:1\r\n") << false;
        QTest::newRow("garbage that ends a line") << read << QByteArray("#?\xff\r\n") << true;
        QTest::newRow("nothing") << read << QByteArray() << false;
    }
    void completeness()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QFETCH(bool, complete);
        QCOMPARE(answerComplete(command, answer), complete);
    }

    void splitAnswerIsReadWhole_data()
    {
        QTest::addColumn<QList<QByteArray>>("parts");
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("read");
        QTest::newRow("two segments") << QList<QByteArray>{"CTRL 0\r\n", "Value:3\r\n"} << false << 0
                                      << QByteArray("CTRL 0\r\nValue:3\r\n");
        QTest::newRow("three segments") << QList<QByteArray>{"CT", "RL 0\r\nVal", "ue:12\r\n"} << false << 0
                                        << QByteArray("CTRL 0\r\nValue:12\r\n");
        QTest::newRow("closed half-way") << QList<QByteArray>{"CTRL 0\r\n"} << true << int(UnexpectedAnswer)
                                         << QByteArray();
        QTest::newRow("never completed") << QList<QByteArray>{"CTRL 0\r\nValue:"} << false
                                         << int(UnexpectedAnswer) << QByteArray();
    }
    void splitAnswerIsReadWhole()
    {
        QFETCH(QList<QByteArray>, parts);
        QFETCH(bool, close);
        QFETCH(int, code);
        QFETCH(QByteArray, read);
        FakePeer peer(ipv4(127, 62, 1, 1));
        FakeConversation conversation;
        FakeRound round;
        round.answerParts = parts;
        round.partGapMs = 60;
        round.closeAfterAnswer = close;
        conversation.rounds = {round};
        peer.setConversations({conversation});
        QVERIFY(peer.start());
        ExchangeTimings timings = quickTimings();
        timings.greetingWait = std::chrono::milliseconds(20);
        CommandExchange exchange(peer.endpoint(), timings);
        QCOMPARE(exchange.open(ConnectMode::BlockingConnect), 0);
        QCOMPARE(exchange.greet(), 0);
        QCOMPARE(exchange.send("CTRL 6020\r\n2\r\n"), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange.awaitAnswer(), CommandExchange::Await::Ready);
        QCOMPARE(exchange.readAnswer(), code);
        // Never past the answer wait (about 1 s here) and one more readiness period.
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        if (code == 0)
            QCOMPARE(QByteArray(exchange.answer().constData(), exchange.received()), read);
        exchange.close();
    }
};

QTEST_MAIN(TestSplitAnswers)
#include "tst_split_answers.moc"
