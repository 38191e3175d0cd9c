// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The command line's groups, --group/--all, alert and log against substitute projectors.
#include "common/process_run.h"
#include "sim/sim_fleet.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;
using glintcaster::testing::ProcessRun;

namespace {

QString address(int n)
{
    return QStringLiteral("127.104.4.%1").arg(n);
}

QList<QJsonObject> objects(const QByteArray &out)
{
    QList<QJsonObject> list;
    for (const QByteArray &line : out.split('\n'))
        if (!line.trimmed().isEmpty())
            list << QJsonDocument::fromJson(line).object();
    return list;
}

} // namespace

class TestAlertCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    SimFleet m_fleet{4};
    QList<ProjectorSim *> m_sims;

    ProcessRun cli(QStringList args)
    {
        args << QStringLiteral("--home") << m_home.path();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        return glintcaster::testing::runProcess(glintcaster::testing::cliProgram(), args, env, 120000);
    }

private slots:
    void initTestCase()
    {
        // 1 and 2 take messages, 3 refuses (fatal state), 4 is registered but not there.
        for (int n = 1; n <= 3; ++n) {
            ProjectorSimConfig c;
            c.address = QHostAddress(address(n));
            c.discoveryMulticast = c.discoveryUnicast = false;
            m_sims << m_fleet.add(c);
        }
        QString error;
        QVERIFY2(m_fleet.start(&error), qPrintable(error));
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("add"), address(n),
                          QStringLiteral("--name"), QStringLiteral("Room %1").arg(n)}).exit, 0);
    }

    void groupsCommands()
    {
        struct Step {
            QStringList args;
            int exit;
        };
        const QList<Step> steps{
            {{"groups", "add", "Hall", address(1), address(2)}, 0},
            {{"groups", "add", "Hall", address(1)}, 0},                 // already in: no change
            {{"groups", "add", "Spare", "10.9.9.9"}, 1},                // not registered
            {{"groups", "add", "Gone", "x.y"}, 2},
            {{"groups", "rename", "Spare", "Side"}, 0},
            {{"groups", "remove", "Side"}, 0},
            {{"groups", "remove", "All"}, 1},
            {{"groups", "show", "Nowhere"}, 1},
        };
        for (const Step &s : steps) {
            const ProcessRun r = cli(s.args);
            QVERIFY2(r.exit == s.exit, qPrintable(s.args.join(u' ') + QLatin1String(": ") + QString::fromUtf8(r.err)));
        }
        const ProcessRun list = cli({QStringLiteral("groups"), QStringLiteral("list")});
        QCOMPARE(list.out, QByteArray("All\t4\nHall\t2\n"));
        const ProcessRun show = cli({QStringLiteral("groups"), QStringLiteral("show"), QStringLiteral("hall")});
        QCOMPARE(show.out, (address(1) + "\tRoom 1\n" + address(2) + "\tRoom 2\n").toUtf8());
    }

    // Exit status and per-target phase: 0 all, 1 a refusal, 3 an unreachable one.
    void alertExitAndPhases_data()
    {
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QStringList>("phases");
        QTest::newRow("group") << QStringList{"--group", "Hall", "--to", address(1)} << 0
                               << QStringList{"Complete", "Complete"};
        QTest::newRow("refused") << QStringList{"--to", address(3), "--group", "hall"} << 1
                                 << QStringList{"Checking", "Complete", "Complete"};
        QTest::newRow("all") << QStringList{"--all"} << 3
                             << QStringList{"Complete", "Complete", "Checking", "Checking"};
    }
    void alertExitAndPhases()
    {
        QFETCH(QStringList, targets);
        QFETCH(int, exit);
        QFETCH(QStringList, phases);
        m_sims[2]->setStatusCharacter('2');
        const ProcessRun r = cli(QStringList{"alert", "--title", "Drill", "--text", "Leave now\\nEast stairs",
                                             "--template", "urgent", "--yes", "--json"} + targets);
        QCOMPARE(r.exit, exit);
        const QList<QJsonObject> results = objects(r.out);
        QCOMPARE(results.size(), phases.size());
        QString id;
        for (int i = 0; i < results.size(); ++i) {
            QCOMPARE(results[i].value("phase").toString(), phases[i]);
            QCOMPARE(results[i].value("ok").toBool(), phases[i] == "Complete");
            QVERIFY(!results[i].value("text").toString().isEmpty());
            id = results[i].value("alert").toString();
        }
        QVERIFY(r.err.contains(QStringLiteral("%1 of %2 succeeded").arg(phases.count("Complete")).arg(phases.size()).toUtf8()));
        // The alert is in the log, one line per target.
        const ProcessRun log = cli({QStringLiteral("log"), QStringLiteral("--json")});
        QCOMPARE(log.exit, 0);
        int lines = 0;
        for (const QJsonObject &o : objects(log.out))
            lines += o.value("alert").toString() == id ? 1 : 0;
        QCOMPARE(lines, phases.size());
    }

    // The question is refused without --yes when nobody can answer it: nothing is sent.
    void alertWithoutYesSendsNothing()
    {
        const int uploads = m_sims[0]->device().uploadCount;
        const ProcessRun r = cli({"alert", "--text", "x", "--to", address(1)});
        QCOMPARE(r.exit, 1);
        QCOMPARE(m_sims[0]->device().uploadCount, uploads);
        QCOMPARE(cli({"alert", "--to", address(1), "--yes"}).exit, 2); // no message
        QCOMPARE(cli({"display", "on", "--slot", "quick"}).exit, 2);  // no target
    }

    void logFilters()
    {
        const ProcessRun all = cli({"log", "--target", address(4)});
        QCOMPARE(all.exit, 0);
        for (const QByteArray &line : all.out.split('\n'))
            QVERIFY(line.isEmpty() || line.contains(address(4).toUtf8()));
        QCOMPARE(cli({"log", "--since", "2999-01-01"}).out, QByteArray());
        QCOMPARE(cli({"log", "--since", "yesterday"}).exit, 2);
    }
};

QTEST_GUILESS_MAIN(TestAlertCli)
#include "tst_alert_cli.moc"
