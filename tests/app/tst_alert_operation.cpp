// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// An alert against a fleet of substitute projectors with mixed behaviours: the phase and
// outcome of every target, retry of the failed only, cancel, the one question, the log.
#include "app/alert_operation.h"
#include "app/projector_store.h"
#include "base/app_home.h"
#include "base/message_table.h"
#include "comm/job_runner.h"
#include "comm/worker_harness.h"
#include "sim/sim_fleet.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

namespace {

QString address(int n)
{
    return QStringLiteral("127.104.1.%1").arg(n);
}

CurrentMessage message(quint8 style = 1, int lines = 1)
{
    CurrentMessage m;
    m.setTitle(RichText(QStringLiteral("Drill")));
    QStringList body;
    for (int i = 0; i < lines; ++i)
        body << QStringLiteral("Leave by the east stairs");
    m.setBody(RichText(body.join(u'\r')));
    m.options.style = style;
    return m;
}

enum class Kind { Reachable, Offline, WrongPassword, Busy, Refusing, NoPictureSide };

struct Fleet {
    SimFleet fleet{8};
    QList<AlertTarget> targets;
    QHash<int, ProjectorSim *> sims; // by target index

    void add(Kind kind)
    {
        const int n = int(targets.size()) + 1;
        AlertTarget t;
        t.endpoint.address = QHostAddress(address(n)).toIPv4Address();
        t.name = QStringLiteral("Room %1").arg(n);
        if (kind != Kind::Offline) {
            ProjectorSimConfig c;
            c.address = QHostAddress(address(n));
            c.discoveryMulticast = false;
            c.discoveryUnicast = false;
            ProjectorSim *sim = fleet.add(c);
            if (kind == Kind::WrongPassword) {
                sim->setPassword(QStringLiteral("right"));
                t.endpoint.password = QStringLiteral("wrong");
            }
            if (kind == Kind::Busy)
                sim->setFault(SimFault::Busy);
            if (kind == Kind::Refusing)
                sim->setStatusCharacter('2');
            if (kind == Kind::NoPictureSide)
                sim->setCapabilityFlags(TargetCapabilities::AlarmFlag | TargetCapabilities::ExtendedCharsetFlag);
            sims.insert(int(targets.size()), sim);
        }
        targets.append(t);
    }
    bool start()
    {
        QString error;
        return fleet.start(&error);
    }
};

JobRunFn quick()
{
    return [](JobRecord &job) {
        job.timings = testing::quickTimings();
        return runJobHere(job);
    };
}

AlertRequest request(const Fleet &f, CurrentMessage m = message())
{
    AlertRequest r;
    r.targets = f.targets;
    r.message = m;
    r.confirm = false;
    return r;
}

} // namespace

class TestAlertOperation : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    // Every behaviour of the fleet in one alert, then a retry once two of them are mended.
    void mixedFleetAndRetry()
    {
        Fleet f;
        const QList<Kind> kinds{Kind::Reachable, Kind::Offline, Kind::WrongPassword, Kind::Busy,
                                Kind::Refusing, Kind::NoPictureSide, Kind::Reachable};
        for (Kind k : kinds)
            f.add(k);
        QVERIFY(f.start());
        AlertOperation alert;
        alert.setJobRunner(quick());
        const QString log = m_dir.filePath(QStringLiteral("mixed.log"));
        alert.setActivityLogPath(log);
        ScriptedPrompter prompter;
        // Picture Side: the one projector without it is refused, never sent a changed message.
        QVERIFY(alert.run(request(f, message(3)), prompter));
        alert.waitForFinished();

        struct Expect {
            AlertPhase phase;
            AlertResult result;
            QString text; // empty: not compared
        };
        const QList<Expect> expected{
            {AlertPhase::Complete, AlertResult::Succeeded, msg(1020).trimmed()},
            {AlertPhase::Checking, AlertResult::Communication, {}},
            {AlertPhase::Checking, AlertResult::Communication, {}},
            {AlertPhase::Checking, AlertResult::Refused, {}},
            {AlertPhase::Checking, AlertResult::Refused, msg(1041)},
            {AlertPhase::Checking, AlertResult::Refused, msg(1042)},
            {AlertPhase::Complete, AlertResult::Succeeded, msg(1020).trimmed()},
        };
        for (int i = 0; i < expected.size(); ++i) {
            const AlertTargetState st = alert.state(i);
            QVERIFY2(st.phase == expected[i].phase, qPrintable(QString::number(i) + alertPhaseText(st.phase)));
            QVERIFY2(st.result == expected[i].result, qPrintable(QString::number(i) + alertResultKey(st.result) + st.text));
            QVERIFY(!st.running);
            QVERIFY(!st.text.isEmpty());
            if (!expected[i].text.isEmpty())
                QCOMPARE(st.text, expected[i].text);
            // Nothing reached a projector that failed: no upload.
            if (f.sims.contains(i))
                QCOMPARE(f.sims[i]->device().uploadCount, st.result == AlertResult::Succeeded ? 1 : 0);
        }
        QCOMPARE(f.sims[0]->slot(0).used, true);
        QVERIFY(f.sims[0]->device().messageState & 1); // switched on
        QCOMPARE(alert.summary().text(), QStringLiteral("2 of 7 succeeded"));

        // Every target is in the log once, with the alert's id; no password anywhere.
        const QList<ActivityRecord> records = ActivityLog(log).read();
        QCOMPARE(records.size(), 7);
        for (const ActivityRecord &r : records) {
            QCOMPARE(r.alertId, alert.id());
            QCOMPARE(r.payloadSha256.size(), r.ok ? 32 : 0);
        }
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains("wrong") && !bytes.contains("right"));

        // Mend the busy and the refusing projector; retry touches only the failed ones.
        f.sims[3]->setFault(SimFault::None);
        f.sims[4]->setStatusCharacter('0');
        const int firstRequests = f.sims[0]->requestCount();
        QSignalSpy changed(&alert, &AlertOperation::targetChanged);
        QVERIFY(alert.retryFailed());
        alert.waitForFinished();
        QCOMPARE(f.sims[0]->requestCount(), firstRequests);
        for (const QList<QVariant> &args : changed)
            QVERIFY(args.at(0).toInt() != 0 && args.at(0).toInt() != 6);
        QCOMPARE(alert.state(3).result, AlertResult::Succeeded);
        QCOMPARE(alert.state(4).result, AlertResult::Succeeded);
        QCOMPARE(alert.state(1).result, AlertResult::Communication);
        QCOMPARE(alert.summary().text(), QStringLiteral("4 of 7 succeeded"));
        const QList<AlertHistoryEntry> history = alertHistory(ActivityLog(log).read());
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].summary.succeeded, 4);
        QCOMPARE(history[0].summary.total, 7);
    }

    // Cancel while one target runs: it ends complete, the others never start and are
    // reported cancelled; no target is left running or pending.
    void cancelLeavesNothingHalfDone()
    {
        Fleet f;
        for (int i = 0; i < 4; ++i)
            f.add(Kind::Reachable);
        QVERIFY(f.start());
        f.sims[0]->setAnswerDelay(300, "PUT");
        AlertOperation alert;
        alert.setJobRunner(quick());
        alert.setActivityLogPath(QString());
        AlertRequest r = request(f);
        r.maxAtOnce = 1;
        ScriptedPrompter prompter;
        connect(&alert, &AlertOperation::targetChanged, &alert, [&](int i) {
            if (i == 0 && alert.state(0).phase == AlertPhase::Sending)
                alert.cancel();
        });
        QVERIFY(alert.run(r, prompter));
        alert.waitForFinished();
        QCOMPARE(alert.state(0).result, AlertResult::Succeeded);
        QCOMPARE(alert.state(0).phase, AlertPhase::Complete);
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(alert.state(i).result, AlertResult::Cancelled);
            QCOMPARE(alert.state(i).phase, AlertPhase::Waiting);
            QCOMPARE(f.sims[i]->requestCount(), 0);
        }
        QCOMPARE(alert.summary().pending, 0);
        QVERIFY(!alert.isRunning());
    }

    // The questions of the whole alert are asked once, before anything is sent.
    void questionsAskedOnce_data()
    {
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("sent");
        QTest::newRow("both yes") << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::Yes} << 2 << true;
        QTest::newRow("count refused") << QList<PromptAnswer>{PromptAnswer::No} << 1 << false;
        QTest::newRow("pop on refused") << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::No} << 2 << false;
    }
    void questionsAskedOnce()
    {
        QFETCH(QList<PromptAnswer>, answers);
        QFETCH(int, questions);
        QFETCH(bool, sent);
        Fleet f;
        for (int i = 0; i < 3; ++i)
            f.add(Kind::Reachable);
        QVERIFY(f.start());
        AlertOperation alert;
        alert.setJobRunner(quick());
        alert.setActivityLogPath(QString());
        AlertRequest r = request(f, message(2, 16)); // "Pop on" with too many lines
        r.confirm = true;
        ScriptedPrompter prompter;
        prompter.script(answers);
        QCOMPARE(alert.run(r, prompter), sent);
        alert.waitForFinished();
        QCOMPARE(prompter.shown().size(), questions);
        QCOMPARE(prompter.texts().first(), QStringLiteral("Send this message to 3 projectors?"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(f.sims[i]->device().uploadCount, sent ? 1 : 0);
        if (sent)
            QCOMPARE(alert.summary().succeeded, 3);
    }

    // Transparent colour: asked once; a No refuses only the projectors of level 0.
    void transparentOnLevelZero()
    {
        Fleet f;
        f.add(Kind::Reachable);
        f.add(Kind::Reachable);
        QVERIFY(f.start());
        f.sims[0]->setFirmwareLevel(0);
        CurrentMessage m = message();
        m.options.displayAttribute = 0x40;
        for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
            AlertOperation alert;
            alert.setJobRunner(quick());
            alert.setActivityLogPath(QString());
            ScriptedPrompter prompter;
            prompter.script({answer});
            QVERIFY(alert.run(request(f, m), prompter));
            alert.waitForFinished();
            QCOMPARE(prompter.texts(), QStringList{msg(1040)});
            QCOMPARE(alert.state(0).result, answer == PromptAnswer::Yes ? AlertResult::Succeeded : AlertResult::Refused);
            QCOMPARE(alert.state(1).result, AlertResult::Succeeded);
        }
    }

    // Display off and Clear end an alert on the same selection; Clear asks its question
    // once for all.
    void endedAsStarted()
    {
        Fleet f;
        for (int i = 0; i < 3; ++i)
            f.add(Kind::Reachable);
        QVERIFY(f.start());
        ScriptedPrompter prompter;
        prompter.setFallback(PromptAnswer::Yes);
        for (AlertAction action : {AlertAction::Send, AlertAction::DisplayOff, AlertAction::Clear}) {
            AlertOperation alert;
            alert.setJobRunner(quick());
            alert.setActivityLogPath(QString());
            AlertRequest r = request(f);
            r.action = action;
            prompter.clear();
            QVERIFY(alert.run(r, prompter));
            alert.waitForFinished();
            QCOMPARE(alert.summary().succeeded, 3);
            QCOMPARE(prompter.texts(), action == AlertAction::Clear ? QStringList{msg(1021)} : QStringList{});
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(bool(f.sims[i]->device().messageState & 1), action == AlertAction::Send);
                QCOMPARE(f.sims[i]->slot(0).used, action != AlertAction::Clear);
            }
        }
    }

    // Single operations and registrations of a program with an origin log one line each
    // (a send with its startup setting is one line), never with the password.
    void singleOperationsLogged()
    {
        Fleet f;
        f.add(Kind::WrongPassword); // a password on the projector: the right one below
        QVERIFY(f.start());
        QTemporaryDir home;
        AppHome::setOverride(home.path());
        ActivityLog::setProcessOrigin(QStringLiteral("cli"));
        ProjectorStore store = ProjectorStore::inAppHome();
        ScriptedPrompter prompter;
        ProjectorEndpoint target = f.targets[0].endpoint;
        target.password = QStringLiteral("right");
        QVERIFY(store.addProjector({QStringLiteral("Hall"), target.address, true, QStringLiteral("right"), {}}, prompter));
        ProjectorOperations ops(prompter, quick());
        CurrentMessage m = message();
        SendOptions options;
        options.slot = 3;
        options.startupMinutes = 5;
        QVERIFY(ops.sendMessage(target, m, PayloadContext{}, options));
        QVERIFY(ops.mute(target));
        QVERIFY(store.setPassword(0, true, QStringLiteral("newpass")));
        ActivityLog::setProcessOrigin(QString());
        AppHome::setOverride(QString());

        const QList<ActivityRecord> records = ActivityLog(home.filePath(QStringLiteral("Activity.log"))).read();
        QStringList ops2;
        for (const ActivityRecord &r : records) {
            ops2 << r.operation;
            QCOMPARE(r.origin, QStringLiteral("cli"));
            QCOMPARE(r.targetName, QStringLiteral("Hall"));
        }
        QCOMPARE(ops2, (QStringList{QStringLiteral("register"), QStringLiteral("send"), QStringLiteral("mute"), QStringLiteral("password")}));
        QCOMPARE(records[1].slot, 3);
        QCOMPARE(records[1].payloadSha256.size(), 32);
        QFile file(home.filePath(QStringLiteral("Activity.log")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains("right") && !bytes.contains("newpass"));
    }
};

QTEST_GUILESS_MAIN(TestAlertOperation)
#include "tst_alert_operation.moc"
