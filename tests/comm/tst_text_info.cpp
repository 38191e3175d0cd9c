// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;
using namespace glintcaster::JobMessage;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 4, 1);

// An info answer: status line, label + header hex, label + slot digit, label + length.
QByteArray infoAnswer(const QByteArray &headerHex, char slot, int length)
{
    return "INFO 0\r\n" + QByteArray("HEADER:") + headerHex + "\r\n" + "SAVE-ID:" + slot +
           "\r\n" + "LENGTH:" + QByteArray::number(length) + "\r\n";
}

// A text answer: 8-byte status line, 11 bytes nobody reads, the length line at byte 19.
QByteArray textAnswer(const QByteArray &data, int declared = -1)
{
    return "TEXT 0\r\nSAVE-ID:3\r\nLENGTH:" +
           QByteArray::number(declared < 0 ? data.size() : declared) + "\r\n" + data;
}

QByteArray statAnswer(char c) { return "STAT 0\r\nSAVE-ID:0\r\nSTATUS:" + QByteArray(1, c) + "\r\n"; }

JobRecord infoJob(const ProjectorEndpoint &endpoint, JobKind kind, quint8 slot = 3)
{
    JobRecord job;
    job.kind = kind;
    job.timings = quickTimings();
    job.info.endpoint = endpoint;
    job.info.saveId = slot;
    job.upload.endpoint = endpoint;
    job.upload.saveId = slot;
    return job;
}

QList<FakeConversation> each(const QList<QByteArray> &answers)
{
    QList<FakeConversation> list;
    for (const QByteArray &a : answers)
        list << FakeConversation::answering(a);
    return list;
}

} // namespace

class TestTextInfo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        CancelRequested = false;
        CancelCarried = false;
    }

    void infoShortHeaderForm()
    {
        const QByteArray hex = "000102030405060708090A0B0C0D0E0F";
        const QByteArray answer = infoAnswer(hex, '3', 142);
        QCOMPARE(answer.indexOf('3', 49), 57); // where the slot digit lands
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Info, 3);
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(InfoStarted), msgPair(InfoAnswer0)}));
        QCOMPARE(peer.requests().value(0), QByteArray("INFO 3\r\n"));
        QCOMPARE(job.info.headerTextBytes(), hex + "\r\n" + QByteArray(30, '\0'));
        QCOMPARE(job.info.saveId, quint8('3'));
        QCOMPARE(job.info.length, 142);
        QCOMPARE(job.info.total, answer.size());
    }

    void infoLongHeaderForm()
    {
        QByteArray header(32, '\0');
        header[11] = 0x20;
        header[31] = char(0xAB);
        const QByteArray hex = header.toHex().toUpper();
        const QByteArray answer = infoAnswer(hex, 'C', 3968);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Info, 12);
        QCOMPARE(runWorker(job).value(1), msgPair(InfoAnswer0));
        QCOMPARE(peer.requests().value(0), QByteArray("INFO C\r\n"));
        QCOMPARE(job.info.headerTextBytes(), hex);
        QCOMPARE(job.info.saveId, quint8('C'));
        QCOMPARE(job.info.length, 3968);
        QCOMPARE(job.info.total, answer.size() - 32);
    }

    void infoRefusalsAndGarbage()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({"INFO 9\r\n", "INFO 0", QByteArray(5000, 'q')}));
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Info);
        QCOMPARE(runWorker(job).value(1), msgPair(InfoAnswer9));
        QCOMPARE(runWorker(job).value(1), msgPair(InfoFailed, int(UnexpectedAnswer))); // cut
        QCOMPARE(runWorker(job).value(1), msgPair(InfoFailed, 0));
    }

    void getTextInPieces()
    {
        QByteArray data(1000, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i);
        const QByteArray answer = textAnswer(data);
        FakeRound pieces;
        pieces.answerParts = {answer.left(10), answer.mid(10, 500), answer.mid(510)};
        pieces.partGapMs = 30;
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {pieces}}});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::GetText, 10);
        job.upload.bodyLength = data.size();
        job.upload.expectedBase = answer.size() - data.size() + 39; // as an info job reports it
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(TextStarted), msgPair(TextAnswer0)}));
        QCOMPARE(peer.requests().value(0), QByteArray("TEXT A\r\n"));
        QCOMPARE(job.upload.bodyLength, data.size());
        QCOMPARE(job.upload.bodyBytes(), data);
    }

    void getTextStopsAtTheExpectedSize()
    {
        // A length that promises more than arrived: only what arrived is taken.
        const QByteArray answer = textAnswer("abcdef", 4000);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::GetText);
        job.upload.bodyLength = 6;
        job.upload.expectedBase = answer.size() - 6 + 39;
        QCOMPARE(runWorker(job).value(1), msgPair(TextAnswer0));
        QCOMPARE(job.upload.bodyBytes(), QByteArray("abcdef"));
    }

    void getTextFaults()
    {
        const QByteArray answer = textAnswer(QByteArray(200, 'x'));
        FakeRound stalls;
        stalls.answerParts = {answer.left(100)}; // then nothing, connection kept open
        FakeRound cuts = stalls;
        cuts.closeAfterAnswer = true;
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {stalls}},
                               FakeConversation{false, {}, false, {cuts}},
                               FakeConversation::answering("TEXT 0\r\nno length line"),
                               FakeConversation::answering("TEXT 8\r\n"),
                               FakeConversation::answering("GARBAGE ANSWER\r\n")});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::GetText);
        job.upload.bodyLength = 200;
        job.upload.expectedBase = answer.size() - 200 + 39;
        job.timings.answerChecks = 20;
        QCOMPARE(runWorker(job).value(1), msgPair(TextFailed, 17)); // the read is bounded
        QCOMPARE(runWorker(job).value(1), msgPair(TextFailed, 22));
        job.upload.bodyLength = 0;
        job.upload.expectedBase = 39 + 20;
        QCOMPARE(runWorker(job).value(1), msgPair(TextFailed, 19));
        QCOMPARE(runWorker(job).value(1), msgPair(TextAnswer8)); // recognised without data
        QCOMPARE(runWorker(job).value(1), msgPair(TextFailed, 19));
    }

    void getTextCancelledWhileWaiting()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::GetText);
        job.timings.answerChecks = 1000;
        std::thread presser([&] {
            peer.waitForRequests(1);
            CancelRequested = true;
        });
        const auto messages = runWorker(job);
        presser.join();
        QCOMPARE(messages, (QList<QPair<int, qintptr>>{msgPair(TextStarted), msgPair(JobCancelled)}));
    }

    void statusUntilSaved()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({statAnswer('3'), statAnswer('3'), statAnswer('3'),
                                    statAnswer('3'), statAnswer('0')}));
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Status, 0);
        const auto messages = runWorker(job);
        QCOMPARE(messages.size(), 6);
        QCOMPARE(messages.first(), msgPair(StatStarted));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(messages.at(i), msgPair(StatStatus, '3'));
        QCOMPARE(messages.at(5), msgPair(StatStatus, '0'));
        QCOMPARE(peer.requests().value(0), QByteArray("STAT 0\r\n"));
        QCOMPARE(job.info.statusChar, '0');
    }

    void statusStuckEndsAfterTheLastPoll()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({statAnswer('1')}));
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Status, 5);
        job.timings.greetingWait = std::chrono::milliseconds(20);
        const auto messages = runWorker(job);
        QCOMPARE(messages.size(), 1 + 21 + 1);
        QCOMPARE(messages.at(21), msgPair(StatStatus, '1'));
        QCOMPARE(messages.last(), msgPair(InfoFailed, 11));
        QCOMPARE(peer.connections(), 21);
    }

    void statusOtherAnswers()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({statAnswer('4'), "STAT 1\r\n", "STAT 9\r\n", "STAT 2\r\n"}));
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Status);
        QCOMPARE(runWorker(job).value(1), msgPair(StatStatus, '4'));
        job.info.statusChar = 0;
        QCOMPARE(runWorker(job).value(1), msgPair(StatAnswer1));
        QCOMPARE(runWorker(job).value(1), msgPair(StatAnswer9));
        QCOMPARE(runWorker(job).value(1), msgPair(StatFailed, 0));
    }

    void statusWithCarriedCancelEndsAtOnce()
    {
        CancelCarried = true;
        ProjectorEndpoint nowhere;
        nowhere.address = kPeerAddress;
        nowhere.port = unusedPort(kPeerAddress);
        JobRecord job = infoJob(nowhere, JobKind::Status);
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(StatStarted), msgPair(JobCancelled)}));
    }

    void statusAlreadySavedStillEnds()
    {
        ProjectorEndpoint nowhere;
        nowhere.address = kPeerAddress;
        nowhere.port = unusedPort(kPeerAddress);
        JobRecord job = infoJob(nowhere, JobKind::Status);
        job.info.statusChar = '0';
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(StatStarted), msgPair(StatStatus, '0')}));
    }

    void cancelAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("message");
        QTest::newRow("0") << QByteArray("CANCEL 0\r\n") << CancelAnswer0;
        QTest::newRow("1 is success") << QByteArray("CANCEL 1\r\n") << CancelAnswer0;
        QTest::newRow("3") << QByteArray("CANCEL 3\r\n") << CancelAnswer3;
        QTest::newRow("4") << QByteArray("CANCEL 4\r\n") << CancelAnswer4;
        QTest::newRow("8") << QByteArray("CANCEL 8\r\n") << CancelAnswer8;
        QTest::newRow("9") << QByteArray("CANCEL 9\r\n") << CancelAnswer9;
        QTest::newRow("2") << QByteArray("CANCEL 2\r\n") << CancelFailed;
    }
    void cancelAnswers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, message);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = infoJob(peer.endpoint(), JobKind::Cancel);
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(CancelStarted), msgPair(message)}));
        QCOMPARE(peer.requests().value(0), QByteArray("CANCEL\r\n"));
    }
};

QTEST_MAIN(TestTextInfo)
#include "tst_text_info.moc"
