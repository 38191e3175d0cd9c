// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The command-line program end to end, against substitute projectors on loopback.
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

struct Run {
    int exit = -1;
    QByteArray out;
    QByteArray err;
};

QString cliPath() { return QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"); }

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_config;

    Run cli(QStringList args, int timeoutMs = 60000)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.insert(QStringLiteral("GLINTCASTER_ADAPTORS"), QStringLiteral("127.0.0.1"));
        p.setProcessEnvironment(env);
        args << QStringLiteral("--home") << m_home.path() << QStringLiteral("--lang") << QStringLiteral("en");
        p.start(cliPath(), args);
        p.closeWriteChannel();
        Run r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
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
