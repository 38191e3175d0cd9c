// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The command-line program end to end, against substitute projectors on loopback.
#include "common/process_run.h"
#include "sim/projector_sim.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

using namespace glintcaster;

namespace {

using Run = glintcaster::testing::ProcessRun;

QString cliPath() { return QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"); }

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_config;

    Run cli(QStringList args, int timeoutMs = 60000)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.insert(QStringLiteral("GLINTCASTER_ADAPTORS"), QStringLiteral("127.0.0.1"));
        args << QStringLiteral("--home") << m_home.path() << QStringLiteral("--lang") << QStringLiteral("en");
        return glintcaster::testing::runProcess(cliPath(), args, env, timeoutMs);
    }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_home.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    static std::unique_ptr<ProjectorSim> sim(const QString &address)
    {
        auto s = std::make_unique<ProjectorSim>(QHostAddress(address));
        s->config().discoveryMulticast = false;
        s->setGreetingMode(SimGreeting::Always); // the slot list needs a greeting
        s->setFirmwareLevel(4);
        s->setCapabilityFlags(7);
        s->setStatScript("10");
        return s->start() ? std::move(s) : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(cliPath()));
        QVERIFY(m_home.isValid());
    }

    void encodeGivesTheUploadBytes()
    {
        const QString file = writeFile(QStringLiteral("abc.txt"), "abc");
        const Run r = cli({QStringLiteral("encode"), file, QStringLiteral("--json")});
        QCOMPARE(r.exit, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("length")).toInt(), 142);
        const QString body = o.value(QStringLiteral("body")).toString();
        // Empty title, then the body region from byte 128 with one colour escape
        // (white on half transparent) before "abc".
        QCOMPARE(body.left(4), QStringLiteral("0000"));
        QCOMPARE(body.mid(4, 252), QString(252, QLatin1Char('F')));
        QCOMPARE(body.mid(256), QStringLiteral("001B0007010000610062006300000000").left(body.size() - 256));
        QCOMPARE(o.value(QStringLiteral("header")).toString().size(), 64);
        QVERIFY(o.value(QStringLiteral("put")).toString().startsWith(QStringLiteral("PUT ")));
        QCOMPARE(o.value(QStringLiteral("put")).toString().size(), 4 + 32);

        const Run alarm = cli({QStringLiteral("encode"), file, QStringLiteral("--json"), QStringLiteral("--alarm")});
        QCOMPARE(alarm.exit, 0);
        QCOMPARE(QJsonDocument::fromJson(alarm.out).object().value(QStringLiteral("put")).toString().size(), 4 + 64);
    }

    void sendThenGetReturnsTheMessage()
    {
        auto projector = sim(QStringLiteral("127.0.40.1"));
        QVERIFY(projector);
        const QString file = writeFile(QStringLiteral("note.txt"), "First line\r\nSecond line");
        Run r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.40.1"),
                     QStringLiteral("--slot"), QStringLiteral("3"), QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        QVERIFY(!projector->slot(3).body.isEmpty());

        r = cli({QStringLiteral("list"), QStringLiteral("--to"), QStringLiteral("127.0.40.1"), QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        const QJsonArray rows = QJsonDocument::fromJson(r.out).object().value(QStringLiteral("slots")).toArray();
        QCOMPARE(rows.size(), 13);
        QCOMPARE(rows.at(3).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("in use"));
        QCOMPARE(rows.at(4).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("not used"));

        const QString back = m_home.filePath(QStringLiteral("back.glc"));
        r = cli({QStringLiteral("get"), QStringLiteral("--to"), QStringLiteral("127.0.40.1"), QStringLiteral("--slot"),
                 QStringLiteral("3"), QStringLiteral("-o"), back});
        QVERIFY2(r.exit == 0, r.err.constData());

        // What was read back encodes to exactly what was sent.
        const Run a = cli({QStringLiteral("encode"), file, QStringLiteral("--json")});
        const Run b = cli({QStringLiteral("encode"), back, QStringLiteral("--json")});
        QCOMPARE(a.exit, 0);
        QCOMPARE(b.exit, 0);
        QCOMPARE(QJsonDocument::fromJson(b.out).object().value(QStringLiteral("body")),
                 QJsonDocument::fromJson(a.out).object().value(QStringLiteral("body")));
    }

    void severalTargetsRunAtTheSameTime()
    {
        std::vector<std::unique_ptr<ProjectorSim>> sims;
        QStringList args{QStringLiteral("send"), writeFile(QStringLiteral("many.txt"), "To every room"),
                         QStringLiteral("--json")};
        for (int i = 0; i < 8; ++i) {
            const QString a = QStringLiteral("127.0.41.%1").arg(i + 1);
            sims.push_back(sim(a));
            QVERIFY(sims.back());
            args << QStringLiteral("--to") << a;
        }
        QElapsedTimer one;
        one.start();
        QCOMPARE(cli({QStringLiteral("send"), m_home.filePath(QStringLiteral("many.txt")), QStringLiteral("--to"),
                      QStringLiteral("127.0.41.1")})
                     .exit,
                 0);
        const qint64 single = one.elapsed();
        QElapsedTimer all;
        all.start();
        const Run r = cli(args);
        const qint64 eight = all.elapsed();
        QVERIFY2(r.exit == 0, r.err.constData());
        QCOMPARE(r.out.count('\n'), 8); // one result per target
        for (auto &s : sims)
            QVERIFY(!s->slot(0).body.isEmpty());
        QVERIFY2(eight < single * 3 + 1500, qPrintable(QStringLiteral("one %1 ms, eight %2 ms").arg(single).arg(eight)));
    }

    // Targets of one send share the reading of the message file only with targets of the
    // same kind: one without the alarm gets the short header, and the very bytes a send to
    // it alone would have given.
    void eachKindOfTargetGetsItsOwnReading()
    {
        const QString file = writeFile(QStringLiteral("kinds.txt"), "Fire drill at ten\rAssemble outside");
        std::vector<std::unique_ptr<ProjectorSim>> sims;
        QStringList args{QStringLiteral("send"), file, QStringLiteral("--json")};
        for (int i = 1; i <= 4; ++i) {
            const QString a = QStringLiteral("127.0.45.%1").arg(i);
            sims.push_back(sim(a));
            QVERIFY(sims.back());
            if (i % 2 == 0)
                sims.back()->setCapabilityFlags(5); // no alarm
            if (i < 4)
                args << QStringLiteral("--to") << a;
        }
        const Run r = cli(args);
        QVERIFY2(r.exit == 0, r.err.constData());
        QCOMPARE(cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.45.4")}).exit, 0);

        QCOMPARE(sims[0]->slot(0).header.size(), 32);
        QCOMPARE(sims[1]->slot(0).header.size(), 16);
        QCOMPARE(sims[2]->slot(0).header, sims[0]->slot(0).header);
        QCOMPARE(sims[2]->slot(0).body, sims[0]->slot(0).body);
        QCOMPARE(sims[1]->slot(0).header, sims[3]->slot(0).header);
        QCOMPARE(sims[1]->slot(0).body, sims[3]->slot(0).body);
    }

    void refusedConnectionIsACommunicationFailure()
    {
        const QString file = writeFile(QStringLiteral("x.txt"), "x");
        const Run r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.42.1")});
        QCOMPARE(r.exit, 3);
        QVERIFY(r.err.contains("Communication error"));
        QVERIFY(r.err.contains("[Connection error]"));
    }

    void projectorRefusalAndBadUsage()
    {
        auto projector = sim(QStringLiteral("127.0.43.1"));
        QVERIFY(projector);
        projector->setStatusCharacter('2');
        const QString file = writeFile(QStringLiteral("y.txt"), "y");
        Run r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.43.1")});
        QCOMPARE(r.exit, 1);
        QVERIFY(r.err.contains("Projector has the fatal error."));
        QCOMPARE(cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("not-an-address")}).exit, 2);
        QCOMPARE(cli({QStringLiteral("frobnicate")}).exit, 2);
        r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.43.1"),
                 QStringLiteral("--slot"), QStringLiteral("2"), QStringLiteral("--startup"), QStringLiteral("128")});
        QCOMPARE(r.exit, 2); // an option value out of range is a usage error
        QVERIFY(r.err.contains("Display time : Invalid value"));
        // "Quick" can never be the startup display: a usage error, before any traffic.
        projector->clearRequests();
        r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.43.1"),
                 QStringLiteral("--startup"), QStringLiteral("3")});
        QCOMPARE(r.exit, 2);
        QVERIFY(r.err.contains("--startup needs --slot 1..12"));
        QCOMPARE(projector->requestCount(), 0);
    }

    // Standard error carries one "glintcaster-cli: TARGET: TEXT" line per event, every
    // failed JSON result names its reason, a target named twice is sent to once, and the
    // closing summary counts the targets.
    void eventsAreOneLinePerTargetWithReasons()
    {
        auto good = sim(QStringLiteral("127.0.45.1"));
        auto locked = sim(QStringLiteral("127.0.45.2"));
        auto fatal = sim(QStringLiteral("127.0.45.3"));
        auto closing = sim(QStringLiteral("127.0.45.4"));
        auto garbage = sim(QStringLiteral("127.0.45.5"));
        QVERIFY(good && locked && fatal && closing && garbage);
        locked->setPassword(QStringLiteral("right"));
        fatal->setStatusCharacter('3');
        closing->setGreetingMode(SimGreeting::Never);
        closing->setFault(SimFault::CloseOnAccept);
        garbage->setGreetingMode(SimGreeting::Never);
        garbage->setFault(SimFault::Garbage);
        QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("add"), QStringLiteral("127.0.45.2"),
                      QStringLiteral("--password"), QStringLiteral("wrong")})
                     .exit,
                 0);

        const QString file = writeFile(QStringLiteral("events.txt"), "Fire drill at ten");
        QStringList args{QStringLiteral("send"), file, QStringLiteral("--json")};
        for (const char *to : {"127.0.45.1", "127.0.45.2", "127.0.45.3", "127.0.45.4", "127.0.45.5", "127.0.45.1"})
            args << QStringLiteral("--to") << QString::fromLatin1(to);
        const Run r = cli(args);
        QCOMPARE(r.exit, 3); // the worst of all
        int puts = 0;
        for (const SimRequest &q : good->requests())
            puts += q.command.startsWith("PUT") ? 1 : 0;
        QCOMPARE(puts, 1);

        QMap<QString, QJsonObject> results;
        for (const QByteArray &line : r.out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            results.insert(o.value(QStringLiteral("target")).toString(), o);
        }
        QCOMPARE(results.size(), 5);
        for (const QJsonObject &o : results)
            QVERIFY2(!o.value(QStringLiteral("text")).toString().trimmed().isEmpty(),
                     QJsonDocument(o).toJson().constData());
        QCOMPARE(results.value(QStringLiteral("127.0.45.1")).value(QStringLiteral("exit")).toInt(), 0);
        const QJsonObject wrong = results.value(QStringLiteral("127.0.45.2"));
        QCOMPARE(wrong.value(QStringLiteral("exit")).toInt(), 3);
        QVERIFY(wrong.value(QStringLiteral("text")).toString().contains(QStringLiteral("password may be wrong")));
        QCOMPARE(results.value(QStringLiteral("127.0.45.3")).value(QStringLiteral("text")).toString(),
                 QStringLiteral("Projector has the fatal error."));
        const QString closed = results.value(QStringLiteral("127.0.45.4")).value(QStringLiteral("text")).toString();
        QVERIFY2(!closed.contains(QStringLiteral("Authentication")), qPrintable(closed));
        QCOMPARE(results.value(QStringLiteral("127.0.45.4")).value(QStringLiteral("exit")).toInt(), 3);
        QVERIFY(!results.value(QStringLiteral("127.0.45.5")).value(QStringLiteral("text")).toString().endsWith(QStringLiteral(": ")));

        const QStringList errLines = QString::fromUtf8(r.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : errLines)
            QVERIFY2(line.startsWith(QStringLiteral("glintcaster-cli: ")), qPrintable(line));
        QVERIFY(errLines.contains(QStringLiteral("glintcaster-cli: 127.0.45.3: Projector has the fatal error.")));
        QVERIFY(errLines.contains(QStringLiteral("glintcaster-cli: 127.0.45.5: Communication error: [Unexpected error]")));
        QCOMPARE(errLines.last(), QStringLiteral("glintcaster-cli: 1 of 5 succeeded"));
        // No progress without a terminal, unless asked for.
        QVERIFY(!r.err.contains("Now Sending"));
        const Run verbose = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.45.1"),
                                 QStringLiteral("--verbose")});
        QCOMPARE(verbose.exit, 0);
        QVERIFY(verbose.err.contains("glintcaster-cli: 127.0.45.1: Now Sending...\n"));
        QCOMPARE(verbose.out, QByteArray("Complete.\n"));

        const Run status = cli({QStringLiteral("status"), QStringLiteral("--to"), QStringLiteral("127.0.45.3")});
        QCOMPARE(status.exit, 1);
        QVERIFY2(status.out.startsWith("status: 3 (fatal error"), status.out.constData());
        // The stored-message list says it too when the digest was refused.
        const Run list = cli({QStringLiteral("list"), QStringLiteral("--to"), QStringLiteral("127.0.45.2"),
                              QStringLiteral("--json")});
        QCOMPARE(list.exit, 3);
        QVERIFY2(list.out.contains("password may be wrong"), list.out.constData());
        QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("remove"), QStringLiteral("127.0.45.2"),
                      QStringLiteral("--yes")})
                     .exit,
                 0);
    }

    void importTurnsDocumentsIntoMessageFiles()
    {
        const QString rtf = writeFile(QStringLiteral("letter.rtf"),
                                      "{\\rtf1\\ansi{\\colortbl;\\red220\\green0\\blue0;}Hello \\cf1 red\\par "
                                      "smile \\u-10179?\\u-8704?\\par}");
        const QString out = m_home.filePath(QStringLiteral("letter.glc"));
        Run r = cli({QStringLiteral("import"), rtf, QStringLiteral("-o"), out, QStringLiteral("--json")});
        QCOMPARE(r.exit, 1); // the emoji cannot be shown: reported, nothing written
        QVERIFY2(r.err.contains("Line 2 : ["), r.err.constData());
        QVERIFY(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("text")).toString().contains(
            QStringLiteral("--yes")));
        QVERIFY(!QFile::exists(out));

        r = cli({QStringLiteral("import"), rtf, QStringLiteral("-o"), out, QStringLiteral("--title"),
                 QStringLiteral("Notice"), QStringLiteral("--yes"), QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("characters")).toInt(),
                 int(QStringLiteral("Hello red\rsmile ").size()));
        const Run encoded = cli({QStringLiteral("encode"), out, QStringLiteral("--json")});
        QCOMPARE(encoded.exit, 0);
        // Title "Notice", then the red escape (colour 1 on half transparent) before "red".
        const QString body = QJsonDocument::fromJson(encoded.out).object().value(QStringLiteral("body")).toString();
        QVERIFY(body.startsWith(QStringLiteral("001B0007010000")) || body.contains(QStringLiteral("004E006F0074")));
        QVERIFY(body.contains(QStringLiteral("001B0001010000720065")));

        QCOMPARE(cli({QStringLiteral("import"), rtf, QStringLiteral("-o"), m_home.filePath(QStringLiteral("x.txt"))}).exit, 1);
        const QString notRtf = writeFile(QStringLiteral("fake.rtf"), "plain words");
        r = cli({QStringLiteral("import"), notRtf, QStringLiteral("-o"), out});
        QCOMPARE(r.exit, 1);
        QVERIFY(r.err.contains("not an RTF document"));
#ifdef Q_OS_UNIX
        const QString fifo = m_home.filePath(QStringLiteral("pipe.rtf"));
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
        r = cli({QStringLiteral("import"), fifo, QStringLiteral("-o"), out}, 10000);
        QCOMPARE(r.exit, 1); // refused at once, not stuck waiting for a writer
        QVERIFY(r.err.contains("not a regular file"));
#endif
    }

    // Long and sloppy documents: each outcome is one line on standard error, printed once.
    void importTakesLongAndSloppyDocuments_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("line"); // the one line standard error holds
        QTest::addColumn<int>("cut");      // -1: nothing written
        const QByteArray longBody = "{\\rtf1\\ansi " + QByteArray(3000, 'x') + "}";
        QTest::newRow("long body refused")
            << "{\\rtf1\\ansi " + QByteArray(2000, 'x') + "}" << QStringList{} << 1
            << QStringLiteral("Current:4136[byte] / MAX:3968[byte]): Please delete character datas. (--fit cuts") << -1;
        QTest::newRow("long body cut with --fit")
            << longBody << QStringList{QStringLiteral("--fit")} << 0
            << QStringLiteral("1084 characters left out to fit: the body cut after 1916 of 3000") << 1084;
        QTest::newRow("long title cut with --yes")
            << QByteArray("{\\rtf1 body}") << QStringList{QStringLiteral("--yes"), QStringLiteral("--title"), QString(25, u'T')}
            << 0 << QStringLiteral("5 characters left out to fit: the title cut to 20 characters") << 5;
        QTest::newRow("long title refused")
            << QByteArray("{\\rtf1 body}") << QStringList{QStringLiteral("--title"), QString(25, u'T')} << 1
            << QStringLiteral("(Max 20 characters.): Do you want to proceed? (--fit cuts it)") << -1;
        QTest::newRow("mid-group \\* and trailing data")
            << QByteArray("{\\rtf1{\\loch\\*\\cs7 Hello}}}\x01garbage") << QStringList{} << 0
            << QStringLiteral("data after the end of the document ignored") << 0;
        QTest::newRow("no text") << QByteArray("{\\rtf1{\\pict 00}}") << QStringList{} << 1
                                 << QStringLiteral("Please input Message") << -1;
    }
    void importTakesLongAndSloppyDocuments()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, options);
        QFETCH(int, exit);
        QFETCH(QString, line);
        QFETCH(int, cut);
        const QString out = m_home.filePath(QStringLiteral("sloppy.glc"));
        QFile::remove(out);
        const Run r = cli(QStringList{QStringLiteral("import"), writeFile(QStringLiteral("sloppy.rtf"), rtf),
                                      QStringLiteral("-o"), out, QStringLiteral("--json")} + options);
        QCOMPARE(r.exit, exit);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(QString::fromUtf8(r.err).contains(line), r.err.constData());
        QCOMPARE(QFile::exists(out), cut >= 0);
        if (cut < 0)
            return;
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("cut")).toInt(), cut);
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("removed")).toInt(), cut);
        QCOMPARE(cli({QStringLiteral("encode"), out}).exit, 0); // what send would carry
    }

    void everyProgramAnswersVersion()
    {
        for (const QString &program : {QStringLiteral("glintcaster-cli"), QStringLiteral("glintcaster-sim")}) {
            QProcess p;
            p.start(QStringLiteral(GLINTCASTER_BINARY_DIR "/") + program, {QStringLiteral("--version")});
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitCode(), 0);
            QCOMPARE(p.readAllStandardOutput().trimmed(), (program + QStringLiteral(" " GLINTCASTER_VERSION)).toUtf8());
        }
    }

    void lockedSendIsRefused()
    {
        QDir(m_config.path()).mkpath(QStringLiteral("KESTORA"));
        QFile ini(m_config.filePath(QStringLiteral("KESTORA/Glintcaster.conf")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[GlintcasterPass]\nLock=1\n");
        ini.close();
        const QString file = writeFile(QStringLiteral("z.txt"), "z");
        const Run r = cli({QStringLiteral("send"), file, QStringLiteral("--to"), QStringLiteral("127.0.44.1")});
        QCOMPARE(r.exit, 1);
        QVERIFY(r.err.contains("The Send button is locked."));
        QFile::remove(ini.fileName());
    }

    void projectorsListFollowsTheRegistrationRules()
    {
        QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("add"), QStringLiteral("10.0.0.1"),
                      QStringLiteral("--name"), QStringLiteral("Hall")})
                     .exit,
                 0);
        Run r = cli({QStringLiteral("projectors"), QStringLiteral("add"), QStringLiteral("10.0.0.1")});
        QCOMPARE(r.exit, 1);
        QVERIFY(r.err.contains("Same IP-Address already exists."));
        r = cli({QStringLiteral("projectors"), QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("name")).toString(), QStringLiteral("Hall"));
        QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("remove"), QStringLiteral("10.0.0.1"),
                      QStringLiteral("--yes")})
                     .exit,
                 0);
        QVERIFY(cli({QStringLiteral("projectors"), QStringLiteral("list")}).out.isEmpty());
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
