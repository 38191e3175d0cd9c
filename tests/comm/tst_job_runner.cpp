// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "comm/cancel_flags.h"
#include "comm/job_runner.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"
#include "sim/projector_sim.h"

#include <QtTest>

#include <cstdio>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 5, 1);

class RecordingPresenter : public JobPresenter {
public:
    QStringList lines;
    QList<bool> ends;
    void statusLineChanged(const QString &text) override { lines << text; }
    void jobFinished(bool success) override { ends << success; }
};

QByteArray statAnswer(char c) { return "STAT 0\r\nSAVE-ID:0\r\nSTATUS:" + QByteArray(1, c) + "\r\n"; }

QList<FakeConversation> each(const QList<QByteArray> &answers)
{
    QList<FakeConversation> list;
    for (const QByteArray &a : answers)
        list << FakeConversation::answering(a);
    return list;
}

} // namespace

class TestJobRunner : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }
    void init()
    {
        CancelRequested = false;
        CancelCarried = false;
    }

    void answersBecomeCodeAndText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("success");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const int put = int(JobKind::Upload), info = int(JobKind::Info),
                  ctrl = int(JobKind::Control), text = int(JobKind::GetText);
        QTest::newRow("PUT 0") << put << QByteArray("PUT 0\r\n") << true << 0 << QString()
                               << QStringList{"Now Sending..."};
        QTest::newRow("PUT 1") << put << QByteArray("PUT 1\r\n") << false << 1
                               << "Transfer failure" << QStringList{"Now Sending...", "PUT1"};
        QTest::newRow("PUT 5") << put << QByteArray("PUT 5\r\n") << false << 5
                               << "Data Size Over." << QStringList{"Now Sending...", "PUT5"};
        QTest::newRow("PUT 4") << put << QByteArray("PUT 4\r\n") << false << 19
                               << "Communication error\n : [Unexpected error]"
                               << QStringList{"Now Sending...", "ERROR"};
        QTest::newRow("INFO 9") << info << QByteArray("INFO 9\r\n") << false << 9
                                << "No Message Data." << QStringList{"Now Get Information...", "INFO9"};
        QTest::newRow("CTRL 9") << ctrl << QByteArray("CTRL 9\r\n") << false << 9 << "Other error"
                                << QStringList{"Now Controlling...", "CTRL9"};
        QTest::newRow("CTRL 1") << ctrl << QByteArray("CTRL 1\r\n") << false << 1
                                << "Illegal Request." << QStringList{"Now Controlling...", "CTRL1"};
        QTest::newRow("CTRL 0") << ctrl << QByteArray("CTRL 0\r\n") << true << 0 << "Request ok."
                                << QStringList{"Now Controlling..."};
        QTest::newRow("CTRL unknown") << ctrl << QByteArray("CTRL 7\r\n") << false << 0
                                      << "Communication error\n : [Unexpected error]"
                                      << QStringList{"Now Controlling...", "ERROR"};
        QTest::newRow("TEXT 2") << text << QByteArray("TEXT 2\r\n") << false << 2
                                << "Projector Busy." << QStringList{"Now Getting...", "TEXT2"};
    }
    void answersBecomeCodeAndText()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, answer);
        QFETCH(bool, success);
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering(answer)});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind(kind), peer.endpoint());
        record.upload.bodyLength = 8; // get text: expects a few bytes
        record.upload.expectedBase = 39;
        RecordingPresenter presenter;
        const JobOutcome outcome = runJob(record, &presenter);
        QCOMPARE(outcome.success, success);
        QCOMPARE(outcome.code, code);
        QCOMPARE(outcome.text, text);
        QCOMPARE(record.resultCode, code);
        QCOMPARE(presenter.lines, lines);
        QCOMPARE(presenter.ends, QList<bool>{success});
    }

    void transportFailureTexts()
    {
        QCOMPARE(JobRunner::failureDetail(11), QStringLiteral("[Socket error]"));
        QCOMPARE(JobRunner::failureDetail(15), QStringLiteral("[No Response]"));
        QCOMPARE(JobRunner::failureDetail(17), QStringLiteral("[No Response]"));
        QCOMPARE(JobRunner::failureDetail(14), QStringLiteral("[Authentication error]"));
        QCOMPARE(JobRunner::failureDetail(22), QStringLiteral("[Socket error]"));
        QCOMPARE(JobRunner::failureDetail(0), QString());
        QCOMPARE(JobRunner::failureDetail(23), QString());

        ProjectorEndpoint refused;
        refused.address = kPeerAddress;
        refused.port = unusedPort(kPeerAddress);
        JobRecord record = quickJob(JobKind::Cancel, refused);
        const JobOutcome outcome = runJob(record);
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.code, 12);
        QCOMPARE(outcome.text, QStringLiteral("Communication error\n : [Connection error]"));
    }

    // The cause of a failure is never empty and never blames a password nobody gave; a
    // close right after the digest is marked so callers can suggest the password is wrong.
    void failureCausesNameWhatHappened_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("closeAtOnce");
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("greeted");
        const int ctrl = int(JobKind::Control), put = int(JobKind::Upload), info = int(JobKind::Info);
        QTest::newRow("closed at once, no password") << ctrl << true << QByteArray() << QString() << 14
                                                     << "Communication error\n : [No Response]" << false;
        QTest::newRow("closed at once, upload") << put << true << QByteArray() << QString() << 14
                                                << "Communication error\n : [No Response]" << false;
        QTest::newRow("closed at once, with password") << info << true << QByteArray() << QStringLiteral("pw")
                                                       << 14 << "Communication error\n : [Authentication error]"
                                                       << false;
        QTest::newRow("closed after the digest") << ctrl << false << QByteArray("CHALLENG") << QStringLiteral("x")
                                                 << 18 << "Communication error\n : [Receive error]" << true;
        QTest::newRow("closed after a bare request") << ctrl << false << QByteArray() << QString() << 18
                                                     << "Communication error\n : [Receive error]" << false;
    }
    void failureCausesNameWhatHappened()
    {
        QFETCH(int, kind);
        QFETCH(bool, closeAtOnce);
        QFETCH(QByteArray, greeting);
        QFETCH(QString, password);
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(bool, greeted);
        FakeConversation c;
        c.closeAtOnce = closeAtOnce;
        c.greeting = greeting;
        FakeRound closing;
        closing.closeAfterAnswer = true;
        c.rounds = {closing};
        FakePeer peer(kPeerAddress);
        peer.setConversations({c});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind(kind), peer.endpoint(password));
        const JobOutcome outcome = runJob(record);
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.code, code);
        QCOMPARE(outcome.text, text);
        QCOMPARE(outcome.greeted, greeted);
    }

    void statusCharactersShowProgress()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({statAnswer('1'), statAnswer('5'), statAnswer('3'), statAnswer('0')}));
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Status, peer.endpoint());
        RecordingPresenter presenter;
        const JobOutcome outcome = runJob(record, &presenter);
        QVERIFY(outcome.success);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(presenter.lines, (QStringList{"Now Get Status...", "Save...", "Waiting...",
                                               "PROJECTOR busy...", "Complete"}));
        QCOMPARE(record.statusCharResult, int('0'));
    }

    void statusCharactersThatEndInFailure_data()
    {
        QTest::addColumn<char>("c");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("4") << '4' << "Transfer failure" << "Transfer failure";
        QTest::newRow("unknown") << 'x' << "Undefined error..." << "Other error";
    }
    void statusCharactersThatEndInFailure()
    {
        QFETCH(char, c);
        QFETCH(QString, line);
        QFETCH(QString, text);
        FakePeer peer(kPeerAddress);
        peer.setConversations(each({statAnswer('2'), statAnswer(c)}));
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Status, peer.endpoint());
        RecordingPresenter presenter;
        const JobOutcome outcome = runJob(record, &presenter);
        QVERIFY(!outcome.success);
        QCOMPARE(presenter.lines, (QStringList{"Now Get Status...", "ReTry...", line}));
        QCOMPARE(outcome.text, text);
        QCOMPARE(record.statusCharResult, int(c));
    }

    void cancelledGetTextIsFollowedByCancel()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent, FakeConversation::answering("CANCEL 0\r\n")});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::GetText, peer.endpoint());
        record.upload.saveId = 4;
        record.timings.answerChecks = 1000;
        JobRunner runner(record);
        RecordingPresenter presenter;
        runner.setPresenter(&presenter);
        std::thread presser([&] {
            peer.waitForRequests(1);
            CancelRequested = true; // the Cancel button
        });
        const JobOutcome first = runner.run();
        presser.join();
        QVERIFY(!first.success);
        QCOMPARE(first.code, 0);
        QCOMPARE(first.text, QStringLiteral("Cancel complete."));
        QCOMPARE(presenter.lines.last(), QStringLiteral("CANCEL"));

        const JobOutcome final = cancelFollowUp(record, JobKind::GetText, first,
                                                [&runner](JobRecord &) { return runner.run(); });
        QVERIFY(!final.success);
        QCOMPARE(final.text, QStringLiteral("Cancel complete."));
        QCOMPARE(peer.requests(), (QList<QByteArray>{"TEXT 4\r\n", "CANCEL\r\n"}));
        QCOMPARE(presenter.lines.mid(presenter.lines.size() - 1), QStringList{"Cancel..."});
    }

    // The same operator cancel against the substitute projector, with a password: the
    // projector holds back its TEXT answer, and the follow-up CANCEL reaches it.
    void cancelledGetTextReachesTheSubstituteProjector()
    {
        ProjectorSim sim(QHostAddress(QStringLiteral("127.61.5.10")), 9719);
        sim.setPassword(QStringLiteral("pw"));
        sim.setSlot(2, QByteArray(16, '\x01'), QByteArray(40, 'q'));
        sim.setAnswerDelay(30000, "TEXT");
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        ProjectorEndpoint endpoint;
        endpoint.address = ipv4(127, 61, 5, 10);
        endpoint.password = QStringLiteral("pw");

        JobRecord record = quickJob(JobKind::GetText, endpoint);
        record.timings.greetingWait = std::chrono::milliseconds(1000);
        record.timings.answerChecks = 1000;
        record.upload.saveId = 2;
        record.upload.bodyLength = 40;
        record.upload.expectedBase = 100;
        JobRunner runner(record);
        std::thread presser([&] {
            sim.waitForRequests(1, 5000);
            CancelRequested = true;
        });
        const JobOutcome first = runner.run();
        presser.join();
        QCOMPARE(first.code, 0);
        QCOMPARE(first.text, QStringLiteral("Cancel complete."));
        QVERIFY(!first.success);

        const JobOutcome final = cancelFollowUp(record, JobKind::GetText, first,
                                                [&runner](JobRecord &) { return runner.run(); });
        QVERIFY(!final.success);
        QCOMPARE(final.text, QStringLiteral("Cancel complete."));
        QCOMPARE(sim.device().cancelCount, 1);
        const QList<SimRequest> requests = sim.requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(1).command, QByteArray("CANCEL\r\n"));
        QVERIFY(requests.at(1).authenticated);
    }

    void getTextNoDataReadsAsCancelled()
    {
        JobRecord record;
        const JobOutcome outcome{false, 1, QStringLiteral("No Message Data.")};
        bool reran = false;
        const JobOutcome final = cancelFollowUp(record, JobKind::GetText, outcome,
                                                [&](JobRecord &) { reran = true; return JobOutcome{}; });
        QVERIFY(!reran);
        QCOMPARE(final.text, QStringLiteral("Cancel complete."));
        const JobOutcome info = cancelFollowUp(record, JobKind::Info, outcome,
                                               [&](JobRecord &) { reran = true; return JobOutcome{}; });
        QCOMPARE(info.text, QStringLiteral("No Message Data."));
        QVERIFY(!reran);
    }

    void cancelCarriedFromLargeUploadEndsTheStatusJob()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation{false, {}, false, {FakeRound::answer("PUT 0\r\n", 150)}},
                               FakeConversation::answering("CANCEL 1\r\n")});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Upload, peer.endpoint());
        record.upload.setBody(QByteArray(600, 'm'));
        std::thread presser([&] {
            peer.waitForRequests(1);
            CancelRequested = true;
        });
        JobRunner runner(record);
        const JobOutcome upload = runner.run();
        presser.join();
        QVERIFY(upload.success);

        record.kind = JobKind::Status;
        record.info.statusChar = 0;
        const JobOutcome status = runner.run();
        QVERIFY(!status.success);
        QCOMPARE(status.text, QStringLiteral("Cancel complete."));
        const JobOutcome final = cancelFollowUp(record, JobKind::Status, status,
                                                [&runner](JobRecord &) { return runner.run(); });
        QCOMPARE(final.text, QStringLiteral("Cancel complete."));
        QCOMPARE(peer.requests().size(), 2); // no STAT was sent, the CANCEL was
        QCOMPARE(peer.requests().value(1), QByteArray("CANCEL\r\n"));
    }

    void cancelFlagsByKind()
    {
        for (int k = 0; k <= 8; ++k) {
            CancelRequested = true;
            CancelCarried = true;
            JobRunner::resetCancelFlags(JobKind(k));
            QVERIFY(!CancelRequested);
            const bool keepsCarried = k == 4 || k == 5;
            QCOMPARE(bool(CancelCarried), keepsCarried);
        }
        JobRecord record;
        record.kind = JobKind::Control;
        QVERIFY(!JobRunner::runsHidden(record));
        record.control.hide = 1;
        QVERIFY(JobRunner::runsHidden(record));
        record.kind = JobKind::CapabilityQuery;
        QVERIFY(JobRunner::runsHidden(record));
        record.kind = JobKind::Info;
        QVERIFY(!JobRunner::runsHidden(record));
    }

    void unreachableQueryIsQuietSuccess()
    {
        NeverAcceptingPeer peer(kPeerAddress);
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::ValueQueryA, peer.endpoint());
        record.control.code = 0x3532;
        record.control.type = 2;
        RecordingPresenter presenter;
        const JobOutcome outcome = runJob(record, &presenter);
        QVERIFY(outcome.success);
        QCOMPARE(outcome.text, QStringLiteral("Request ok."));
        QCOMPARE(record.control.value, kValueUnreachable);
    }

    void presenterSeesStatusLines()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({FakeConversation::answering("CTRL 3\r\n")});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Control, peer.endpoint());
        RecordingPresenter presenter;
        QVERIFY(!runJob(record, &presenter).success);
        QCOMPARE(presenter.lines, (QStringList{QStringLiteral("Now Controlling..."), QStringLiteral("CTRL3")}));
    }

    // The same jobs against the substitute projector: upload, storage progress, info and
    // read-back of what was stored.
    void roundTripWithSubstituteProjector()
    {
        ProjectorSim sim(QHostAddress(QStringLiteral("127.61.5.9")), 9719);
        sim.setPassword(QStringLiteral("secret"));
        sim.setStatScript("130");
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        ProjectorEndpoint endpoint;
        endpoint.address = ipv4(127, 61, 5, 9);
        endpoint.password = QStringLiteral("secret");

        JobRecord record = quickJob(JobKind::Upload, endpoint);
        record.timings.greetingWait = std::chrono::milliseconds(1000);
        for (int i = 0; i < 16; ++i)
            record.upload.optionHeader[i] = quint8(i + 1);
        QByteArray body(142, '\0');
        for (int i = 0; i < body.size(); ++i)
            body[i] = char(i * 3);
        record.upload.setBody(body);
        record.upload.saveId = 7;
        JobRunner runner(record);
        QVERIFY(runner.run().success);
        QCOMPARE(sim.slot(7).body, body);

        record.kind = JobKind::Status;
        record.info.saveId = 7;
        record.info.statusChar = 0;
        QVERIFY(runner.run().success);
        QCOMPARE(record.statusCharResult, int('0'));

        record.kind = JobKind::Info;
        QVERIFY(runner.run().success);
        QCOMPARE(record.info.length, 142);
        QCOMPARE(record.info.headerTextBytes().left(32), QByteArray("0102030405060708090A0B0C0D0E0F10"));

        record.kind = JobKind::GetText;
        record.upload.bodyLength = record.info.length;
        record.upload.expectedBase = record.info.total;
        record.upload.body.fill('\0');
        QVERIFY(runner.run().success);
        QCOMPARE(record.upload.bodyBytes(), body);
    }
    void outcomesInJapaneseAndChinese()
    {
        struct Case {
            Language language;
            JobKind kind;
            QByteArray answer;
            QStringList lines;
            QString text;
        };
        const QList<Case> cases{
            {Language::Japanese, JobKind::Info, "INFO 1\r\n",
             {QStringLiteral("情報取得中..."), QStringLiteral("INFO1")},
             QStringLiteral("メッセージデータがありません。")},
            {Language::Japanese, JobKind::Upload, "PUT 2\r\n",
             {QStringLiteral("送信中..."), QStringLiteral("PUT2")}, QStringLiteral("Projector Busy.")},
            {Language::Chinese, JobKind::Control, "CTRL 1\r\n",
             {QStringLiteral("处理中..."), QStringLiteral("CTRL1")}, QStringLiteral("请求不正确。")},
            {Language::Chinese, JobKind::GetText, "TEXT 1\r\n",
             {QStringLiteral("取得执行中..."), QStringLiteral("TEXT1")}, QStringLiteral("没有消息数据。")},
        };
        for (const Case &c : cases) {
            MessageTable::setLanguage(c.language);
            FakePeer peer(kPeerAddress);
            peer.setConversations({FakeConversation::answering(c.answer)});
            QVERIFY(peer.start());
            JobRecord record = quickJob(c.kind, peer.endpoint());
            record.upload.bodyLength = 8;
            record.upload.expectedBase = 39;
            RecordingPresenter presenter;
            const JobOutcome outcome = runJob(record, &presenter);
            QVERIFY(!outcome.success);
            QCOMPARE(presenter.lines, c.lines);
            QCOMPARE(outcome.text, c.text);
        }
        MessageTable::setLanguage(Language::English);
    }
};

QTEST_MAIN(TestJobRunner)
#include "tst_job_runner.moc"
