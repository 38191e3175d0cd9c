// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The shared projector operations against a substitute projector: the send sequence with its
// startup display rules, a startup setting the projector does not store, address 0, and the
// evaluation of capability values that were not obtained.
#include "app/projector_operations.h"
#include "base/message_table.h"
#include "comm/job_runner.h"
#include "comm/worker_harness.h"
#include "sim/projector_sim.h"

#include <QtTest>

using namespace glintcaster;

namespace {

struct Bench {
    ProjectorSim projector;
    ProjectorEndpoint target;
    ScriptedPrompter prompter;
    ProjectorOperations ops{prompter, [](JobRecord &job) {
                                job.timings = testing::quickTimings();
                                return runJob(job);
                            }};

    explicit Bench(const char *address) : projector(QHostAddress(QString::fromLatin1(address)))
    {
        projector.config().discoveryMulticast = false;
        target.address = QHostAddress(QString::fromLatin1(address)).toIPv4Address();
    }
    bool start()
    {
        if (!projector.start())
            return false;
        target.port = projector.port();
        return true;
    }
    /// The first line of every command the projector received, with the value line of a
    /// CTRL set request appended ("CTRL 3532=33027").
    QStringList commands() const
    {
        QStringList out;
        for (const SimRequest &r : projector.requests()) {
            const QList<QByteArray> lines = r.command.split('\n');
            QString line = QString::fromLatin1(lines.value(0).trimmed());
            if (line.startsWith(QLatin1String("CTRL")) && lines.value(1).trimmed() == "1")
                line += QLatin1Char('=') + QString::fromLatin1(lines.value(2).trimmed());
            if (line.startsWith(QLatin1String("PUT")))
                line = QStringLiteral("PUT");
            out << line;
        }
        return out;
    }
};

CurrentMessage hello()
{
    CurrentMessage m;
    m.setBody(RichText(QStringLiteral("hello")));
    return m;
}

} // namespace

class TestProjectorOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void sendSequence_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("startupMinutes");
        QTest::addColumn<int>("knownStartup"); // -1 unknown, else the 16-bit setting
        QTest::addColumn<bool>("pollStorage");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("stored"); // -1 nothing stored
        const QString status = QStringLiteral("CTRL 6020");
        const QString put = QStringLiteral("PUT");
        const QString stat = QStringLiteral("STAT 3");
        // 0x8000 | 3 << 8 | 10 = 33546; slot 3 switched off: 3 << 8 = 768.
        QTest::newRow("plain") << 3 << -1 << -1 << true << QStringList{status, put, stat} << -1;
        QTest::newRow("edit tab: no storage poll") << 3 << -1 << -1 << false << QStringList{status, put} << -1;
        QTest::newRow("startup 10 min")
            << 3 << 10 << -1 << true
            << QStringList{status, put, stat, QStringLiteral("CTRL 3532=33546")} << 0x830A;
        QTest::newRow("overwriting the startup slot switches it off")
            << 3 << -1 << 0x8305 << true
            << QStringList{status, put, stat, QStringLiteral("CTRL 3532=768")} << 0x0300;
        QTest::newRow("another startup slot is left alone")
            << 3 << -1 << 0x8405 << true << QStringList{status, put, stat} << -1;
        QTest::newRow("a disabled startup display is left alone")
            << 3 << -1 << 0x0305 << true << QStringList{status, put, stat} << -1;
        QTest::newRow("quick never matches a startup slot")
            << 0 << -1 << 0x8005 << true << QStringList{status, put, QStringLiteral("STAT 0")} << -1;
    }
    void sendSequence()
    {
        QFETCH(int, slot);
        QFETCH(int, startupMinutes);
        QFETCH(int, knownStartup);
        QFETCH(bool, pollStorage);
        QFETCH(QStringList, expected);
        QFETCH(int, stored);
        Bench b("127.0.93.1");
        QVERIFY(b.start());
        CurrentMessage m = hello();
        SendOptions options;
        options.slot = slot;
        options.startupMinutes = startupMinutes;
        options.pollStorage = pollStorage;
        if (knownStartup >= 0)
            options.knownStartup = StartupSetting::fromValue(quint16(knownStartup));
        std::optional<StartupSetting> storedStartup;
        QVERIFY(b.ops.sendMessage(b.target, m, PayloadContext{}, options, &storedStartup));
        QStringList got = b.commands();
        got.replaceInStrings(QRegularExpression(QStringLiteral("^STAT (\\d+).*")),
                             QStringLiteral("STAT \\1"));
        got.removeDuplicates(); // storage progress polls as often as the projector needs
        QCOMPARE(got, expected);
        QCOMPARE(b.prompter.texts(), QStringList{QStringLiteral("    Complete.")});
        QCOMPARE(storedStartup.has_value(), stored >= 0);
        if (stored >= 0)
            QCOMPARE(storedStartup->value(), quint16(stored));
        QCOMPARE(b.projector.slot(slot).body.isEmpty(), false);
    }

    void sendRefusesAnEmptyBodyBeforeAnyTraffic()
    {
        Bench b("127.0.93.2");
        QVERIFY(b.start());
        CurrentMessage empty;
        QVERIFY(!b.ops.sendMessage(b.target, empty, PayloadContext{}, SendOptions{}));
        QCOMPARE(b.prompter.texts(), QStringList{QStringLiteral("Please input Message")});
        QCOMPARE(b.ops.lastResult(), OperationResult::Refused);
        QCOMPARE(b.projector.requestCount(), 0);
    }

    void startupSettingThatIsNotStoredFails()
    {
        // A refusal is read by the quiet query as a value; it must still count as a failure,
        // and the send must not claim "Complete."
        Bench b("127.0.93.3");
        b.projector.setRawAnswer("CTRL 1\r\n", "CTRL 3532");
        QVERIFY(b.start());
        QVERIFY(!b.ops.setStartup(b.target, {true, 2, 0}));
        QCOMPARE(b.prompter.texts(), QStringList{QStringLiteral("Illegal Request.")});
        QCOMPARE(b.prompter.shown().first().caption, QString()); // the program's name
        QCOMPARE(b.ops.lastResult(), OperationResult::Refused);

        b.prompter.clear();
        CurrentMessage m = hello();
        SendOptions options;
        options.slot = 2;
        options.startupMinutes = 0;
        std::optional<StartupSetting> stored;
        QVERIFY(!b.ops.sendMessage(b.target, m, PayloadContext{}, options, &stored));
        QCOMPARE(b.prompter.texts(), QStringList{QStringLiteral("Illegal Request.")});
        QVERIFY(!stored);

        // A projector that cannot be reached is a communication failure.
        Bench gone("127.0.93.4");
        QVERIFY(!gone.ops.setStartup(gone.target, {true, 2, 0}));
        QCOMPARE(gone.ops.lastResult(), OperationResult::Communication);
        QVERIFY(gone.prompter.texts().value(0).startsWith(QStringLiteral("Communication error")));
    }

    void addressZeroNeverConnects()
    {
        // Something listening on the local host must not receive what was meant for an
        // empty selection.
        Bench local("127.0.0.1");
        QVERIFY(local.start());
        ScriptedPrompter prompter;
        ProjectorOperations ops(prompter, [](JobRecord &job) { return runJob(job); });
        ProjectorEndpoint zero;
        zero.port = local.projector.port();
        QVERIFY(!ops.statusCheck(zero));
        QCOMPARE(ops.lastOutcome().code, 12);
        QCOMPARE(ops.lastResult(), OperationResult::Communication);
        CapabilityReport report;
        QVERIFY(ops.capabilityQuery(zero, &report));
        QVERIFY(!report.reachable);
        QCOMPARE(local.projector.connectionCount(), 0);
    }

    void capabilitiesNotObtained_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("startup");
        QTest::addColumn<bool>("pictureSide");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<bool>("startupKnown");
        QTest::newRow("level 2: follow-ups never asked") << 2 << 0xFFFF << 0xFFFF << false << false << true << false;
        QTest::newRow("level 3, flags lost") << 3 << 0xFFFF << 0x8305 << false << false << true << true;
        QTest::newRow("level 4, flags lost") << 4 << 0xFFFF << 0xFFFF << false << false << true << false;
        QTest::newRow("level 4, everything") << 4 << 7 << 0x0000 << true << true << true << true;
        QTest::newRow("level 4, basic set") << 4 << 3 << 0x8305 << true << true << false << true;
        QTest::newRow("level 3 cannot ring") << 3 << 7 << 0x8305 << true << false << true << true;
    }
    void capabilitiesNotObtained()
    {
        QFETCH(int, level);
        QFETCH(int, flags);
        QFETCH(int, startup);
        QFETCH(bool, pictureSide);
        QFETCH(bool, alarm);
        QFETCH(bool, extended);
        QFETCH(bool, startupKnown);
        // Start from a projector that could do everything, as a tab would after the last one.
        TargetCapabilities caps;
        caps.report(4, 3);
        caps.report(level, flags);
        QCOMPARE(caps.PictureSideCapable(), pictureSide);
        QCOMPARE(caps.AlarmCapable(), alarm);
        QCOMPARE(caps.ExtendedCharset(), extended);
        CapabilityReport rep;
        rep.reachable = true;
        rep.level = quint16(level);
        rep.flags = quint16(flags);
        rep.startupValue = quint16(startup);
        QCOMPARE(rep.startup().has_value(), startupKnown);
        // A new projector starts from nothing.
        caps.forget();
        QVERIFY(!caps.hasLevel());
        QVERIFY(!caps.AlarmCapable());
        QVERIFY(caps.ExtendedCharset());
    }

    void refreshCapabilitiesOfAnUnreachableProjector()
    {
        Bench gone("127.0.93.5");
        TargetCapabilities caps;
        CapabilityReport rep;
        QVERIFY(gone.ops.refreshCapabilities(gone.target, &caps, &rep));
        QVERIFY(!rep.reachable);
        QVERIFY(!rep.startup());
        QCOMPARE(caps.firmwareLevel(), int(TargetCapabilities::NotReached));
        QVERIFY(gone.prompter.shown().isEmpty());
    }

    void startupMinutesText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("emptyIsRepeat");
        QTest::addColumn<int>("minutes");
        QTest::newRow("Repeat") << QStringLiteral("Repeat") << false << 0;
        QTest::newRow("repeat") << QStringLiteral(" repeat ") << false << 0;
        QTest::newRow("1") << QStringLiteral("1") << false << 1;
        QTest::newRow("127") << QStringLiteral("127") << false << 127;
        QTest::newRow("0") << QStringLiteral("0") << false << -1;
        QTest::newRow("128") << QStringLiteral("128") << false << -1;
        QTest::newRow("3x") << QStringLiteral("3x") << false << -1;
        QTest::newRow("empty") << QString() << false << -1;
        QTest::newRow("empty as repeat") << QString() << true << 0;
    }
    void startupMinutesText()
    {
        QFETCH(QString, text);
        QFETCH(bool, emptyIsRepeat);
        QFETCH(int, minutes);
        QCOMPARE(StartupSetting::parseMinutes(text, emptyIsRepeat), minutes);
    }
};

QTEST_MAIN(TestProjectorOperations)
#include "tst_projector_operations.moc"
