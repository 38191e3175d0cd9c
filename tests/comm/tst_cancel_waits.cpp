// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Cancel lands in every wait of every job kind, with the real cancel check.
#include "base/message_table.h"
#include "comm/cancel_flags.h"
#include "comm/job_runner.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

// The cancel check is 200 ms; the rest is room for a loaded machine.
constexpr qint64 kLandsWithinMs = 200 + 120;

enum class Where { Connect, Greeting, Answer, AnswerRest, PollPause };

QByteArray statAnswer(char c) { return "STAT 0\r\nSAVE-ID:0\r\nSTATUS:" + QByteArray(1, c) + "\r\n"; }

} // namespace

class TestCancelWaits : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void cancelLandsInEveryWait_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("where");
        QTest::addColumn<QByteArray>("answer"); // the peer's answer before it falls silent
        const auto row = [](const char *name, JobKind kind, Where where, QByteArray answer = {}) {
            QTest::newRow(name) << int(kind) << int(where) << answer;
        };
        row("connect, control", JobKind::Control, Where::Connect);
        row("connect, upload", JobKind::Upload, Where::Connect);
        row("connect, get text", JobKind::GetText, Where::Connect);
        row("greeting, info", JobKind::Info, Where::Greeting);
        row("greeting, upload", JobKind::Upload, Where::Greeting);
        row("answer, control", JobKind::Control, Where::Answer);
        row("answer, capability query", JobKind::CapabilityQuery, Where::Answer);
        row("answer, value query", JobKind::ValueQueryA, Where::Answer);
        row("answer, info", JobKind::Info, Where::Answer);
        row("answer, status", JobKind::Status, Where::Answer);
        row("answer, cancel", JobKind::Cancel, Where::Answer);
        row("answer, get text", JobKind::GetText, Where::Answer);
        row("rest of an answer, control", JobKind::Control, Where::AnswerRest, "CTRL 0\r\n");
        row("pause between polls, status", JobKind::Status, Where::PollPause, statAnswer('1'));
    }

    void cancelLandsInEveryWait()
    {
        QFETCH(int, kind);
        QFETCH(int, where);
        QFETCH(QByteArray, answer);
        const Where at = Where(where);

        NeverAcceptingPeer hanging(ipv4(127, 102, 2, 1));
        FakePeer peer(ipv4(127, 102, 2, 2));
        ProjectorEndpoint endpoint;
        if (at == Where::Connect) {
            QVERIFY(hanging.start());
            endpoint = hanging.endpoint();
        } else {
            FakeConversation c;
            c.greeting = at == Where::Greeting ? QByteArray() : QByteArray("ABCDEFGH");
            c.rounds = {answer.isEmpty() ? FakeRound{} : FakeRound::answer(answer)};
            peer.setConversations({c});
            QVERIFY(peer.start());
            endpoint = peer.endpoint();
        }

        auto record = std::make_unique<JobRecord>();
        record->kind = JobKind(kind);
        record->upload.endpoint = record->control.endpoint = record->info.endpoint = endpoint;
        record->control.type = 2; // a read, whose answer is complete only with its value
        record->upload.setBody("body");
        record->timings.greetingWait = std::chrono::seconds(30);
        record->timings.timedConnectLimit = std::chrono::seconds(30);
        record->timings.statusPollInterval = std::chrono::seconds(30);

        QElapsedTimer sinceCancel;
        std::thread presser([&] {
            if (at == Where::Connect || at == Where::Greeting)
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
            else
                peer.waitForRequests(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            sinceCancel.start();
            CancelRequested = true;
        });
        JobRunner runner(*record);
        const JobOutcome outcome = runner.run();
        const qint64 reaction = sinceCancel.elapsed();
        presser.join();
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.text, QStringLiteral("Cancel complete."));
        QVERIFY2(reaction <= kLandsWithinMs, qPrintable(QString::number(reaction)));
        QCOMPARE(peer.requests().size(), at == Where::Answer || at == Where::AnswerRest || at == Where::PollPause ? 1 : 0);
    }
};

QTEST_MAIN(TestCancelWaits)
#include "tst_cancel_waits.moc"
