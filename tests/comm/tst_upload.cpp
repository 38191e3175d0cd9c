// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/cancel_flags.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;
using namespace glintcaster::JobMessage;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 2, 1);

JobRecord uploadJob(const FakePeer &peer, QByteArray body, quint8 slot = 3)
{
    JobRecord job;
    job.kind = JobKind::Upload;
    job.timings = quickTimings();
    job.upload.endpoint = peer.endpoint();
    job.upload.saveId = slot;
    for (int i = 0; i < kOptionHeaderSize; ++i)
        job.upload.optionHeader[i] = quint8(i);
    job.upload.setBody(body);
    return job;
}

QByteArray bodyOf(int size)
{
    QByteArray body(size, '\0');
    for (int i = 0; i < size; ++i)
        body[i] = char(i * 7);
    return body;
}

} // namespace

class TestUpload : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        CancelRequested = false;
        CancelCarried = false;
    }

    void sendsTheWholeRequestInOnePiece()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("PUT 0\r\n")});
        QVERIFY(peer.start());
        const QByteArray body = bodyOf(142);
        JobRecord job = uploadJob(peer, body);
        QCOMPARE(runWorker(job), (QList<QPair<int, qintptr>>{msgPair(PutStarted), msgPair(PutAnswer0)}));
        const QByteArray request = peer.requests().value(0);
        QCOMPARE(request.size(), 207);
        QCOMPARE(request.left(65), QByteArray("PUT 000102030405060708090A0B0C0D0E0F\r\n"
                                               "Save-ID:3\r\nLength:00142\r\n\r\n"));
        QCOMPARE(request.mid(65), body);
    }

    void commandText()
    {
        UploadSection up;
        for (int i = 0; i < kOptionHeaderSize; ++i)
            up.optionHeader[i] = quint8(0xE0 + i);
        up.optionHeader[11] = 0x20; // the alarm bytes travel: all 32 header bytes
        up.saveId = 11;
        up.bodyLength = 0;
        const QByteArray text = uploadCommandText(up);
        const qsizetype lineEnd = text.indexOf("\r\n") + 2;
        QCOMPARE(lineEnd, 70);
        QCOMPARE(text.mid(4, 64), QByteArray(reinterpret_cast<const char *>(up.optionHeader.data()),
                                             32).toHex().toUpper());
        QCOMPARE(text.mid(lineEnd), QByteArray("Save-ID:B\r\nLength:00000\r\n\r\n"));

        up.optionHeader[11] = 0x21;
        up.saveId = 0;
        up.bodyLength = 3968;
        const QByteArray shortForm = uploadCommandText(up);
        QCOMPARE(shortForm.indexOf("\r\n"), 36);
        QVERIFY(shortForm.endsWith("\r\nSave-ID:0\r\nLength:03968\r\n\r\n"));
    }

    void bodyWithZerosIsSentWhole()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("PUT 0\r\n", "ABCDEFGH")});
        QVERIFY(peer.start());
        QByteArray body(300, '\0');
        body[299] = 'Z';
        JobRecord job = uploadJob(peer, body, 12);
        job.upload.endpoint.password = QStringLiteral("abc");
        QCOMPARE(runWorker(job).value(1), msgPair(PutAnswer0));
        const QByteArray request = peer.requests().value(0);
        QVERIFY(request.startsWith("7ADF8C04760D6E1333528DFCAFD10EB7PUT "));
        QVERIFY(request.contains("Save-ID:C\r\nLength:00300\r\n\r\n"));
        QVERIFY(request.endsWith(body));
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("parameter");
        QTest::newRow("stored") << QByteArray("PUT 0\r\n") << PutAnswer0 << 0;
        QTest::newRow("1") << QByteArray("PUT 1\r\n") << PutAnswer1 << 0;
        QTest::newRow("2") << QByteArray("PUT 2\r\n") << PutAnswer2 << 0;
        QTest::newRow("3") << QByteArray("PUT 3\r\n") << PutAnswer3 << 0;
        QTest::newRow("5") << QByteArray("PUT 5\r\n") << PutAnswer5 << 0;
        QTest::newRow("9") << QByteArray("PUT 9\r\n") << PutAnswer9 << 0;
        QTest::newRow("4 is unknown") << QByteArray("PUT 4\r\n") << PutFailed << 19;
        QTest::newRow("more bytes after the line") << QByteArray("PUT 0\r\nOK") << PutFailed << 19;
        QTest::newRow("cut line") << QByteArray("PUT 0\r") << PutFailed << 19;
    }
    void answers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, message);
        QFETCH(int, parameter);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord job = uploadJob(peer, bodyOf(10));
        const auto messages = runWorker(job);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.at(1), msgPair(message, parameter));
    }

    void transportFailures()
    {
        ProjectorEndpoint refused;
        refused.address = kPeerAddress;
        refused.port = unusedPort(kPeerAddress);
        JobRecord job;
        job.kind = JobKind::Upload;
        job.timings = quickTimings();
        job.upload.endpoint = refused;
        QCOMPARE(runWorker(job).value(1), msgPair(PutFailed, 12));

        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent});
        QVERIFY(peer.start());
        JobRecord quiet = uploadJob(peer, bodyOf(10));
        quiet.timings.answerChecks = 5;
        QCOMPARE(runWorker(quiet).value(1), msgPair(PutFailed, 17));
    }

    void cancelDuringLargeUploadIsCarried()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {FakeRound::answer("PUT 0\r\n", 150)}}});
        QVERIFY(peer.start());
        JobRecord job = uploadJob(peer, bodyOf(600));
        std::thread presser([&] {
            peer.waitForRequests(1);
            CancelRequested = true;
        });
        const auto messages = runWorker(job);
        presser.join();
        QCOMPARE(messages.value(1), msgPair(PutAnswer0)); // the upload itself is not interrupted
        QVERIFY(CancelCarried);
    }

    void cancelDuringSmallUploadIsForgotten()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {FakeRound::answer("PUT 0\r\n", 150)}}});
        QVERIFY(peer.start());
        JobRecord job = uploadJob(peer, bodyOf(400));
        std::thread presser([&] {
            peer.waitForRequests(1);
            CancelRequested = true;
        });
        const auto messages = runWorker(job);
        presser.join();
        QCOMPARE(messages.value(1), msgPair(PutAnswer0));
        QVERIFY(!CancelCarried);
        QVERIFY(!CancelRequested);
    }

    void bodyLengthOutsideTheBufferIsBounded()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("PUT 0\r\n")});
        QVERIFY(peer.start());
        JobRecord job = uploadJob(peer, bodyOf(10));
        job.upload.bodyLength = 100000;
        QCOMPARE(runWorker(job).value(1), msgPair(PutAnswer0));
        const QByteArray request = peer.requests().value(0);
        QVERIFY(request.contains("Length:04500\r\n\r\n"));
        QCOMPARE(request.size(), request.indexOf("\r\n\r\n") + 4 + kBodyBufferSize);
    }
};

QTEST_MAIN(TestUpload)
#include "tst_upload.moc"
