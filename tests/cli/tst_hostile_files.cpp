// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Hostile files through the command line: each gives a one-line reason and exit 1, never a
// crash, a hang or a change to the user's files.
#include "sim/projector_sim.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace glintcaster;

namespace {

struct Run {
    int exit = -1;
    QByteArray out;
    QByteArray err;
    qint64 ms = 0;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    Run cli(QStringList args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        args << QStringLiteral("--home") << m_home.path() << QStringLiteral("--lang") << QStringLiteral("en");
        QElapsedTimer timer;
        timer.start();
        p.start(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"), args);
        p.closeWriteChannel();
        Run r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.ms = timer.elapsed();
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = m_home.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return path;
    }

private slots:
    void messageFilesAreRefusedWithAReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exit");
        QTest::newRow("empty") << "empty.glc" << QByteArray() << 1;
        QTest::newRow("truncated") << "cut.glc" << QByteArray("{\\rtf1\\ansi OPTNUM=10\\par TITLE=1") << 1;
        QTest::newRow("binary") << "bin.glc" << QByteArray("\x00\xFF\x13\x37{\\rtf1", 10) << 1;
        QTest::newRow("deeply nested") << "deep.glc" << QByteArray(200000, '{') << 1;
        QTest::newRow("UTF-16 text") << "u16.txt" << QByteArray("\xFE\xFF\0H\0i", 6) << 0;
        QTest::newRow("NULs in text") << "nul.txt" << QByteArray("a\0b", 3) << 0;
    }
    void messageFilesAreRefusedWithAReason()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, exit);
        const QString path = write(name, content);
        const Run r = cli({QStringLiteral("encode"), path});
        QCOMPARE(r.exit, exit);
        if (exit != 0)
            QVERIFY2(r.err.trimmed().count('\n') == 0 && !r.err.trimmed().isEmpty(), r.err.constData());
        QCOMPARE(readAll(path), content);
    }

    void specialPathsNeverHang()
    {
        // A folder named like a file, a named pipe, and a file too large to read.
        QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("folder.glc")));
        const QString fifo = m_home.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QFile big(m_home.filePath(QStringLiteral("big.glc")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(65 * 1024 * 1024));
        big.close();
        for (const QString &name : {QStringLiteral("folder.glc"), QStringLiteral("pipe.txt"),
                                    QStringLiteral("big.glc"), QStringLiteral("absent.glc")}) {
            // The same refusal from every command that reads a message file; the reason
            // names the file once.
            for (const QStringList &command : {QStringList{QStringLiteral("encode")},
                                               QStringList{QStringLiteral("send"), QStringLiteral("--to"),
                                                           QStringLiteral("127.0.78.9")}}) {
                const Run r = cli(QStringList{command.first(), m_home.filePath(name)} + command.mid(1));
                QVERIFY2(r.exit == 1, qPrintable(command.first() + name + QStringLiteral(": ") + QString::number(r.exit)));
                QVERIFY2(r.ms < 5000, qPrintable(name));
                QVERIFY2(!r.err.trimmed().isEmpty() && r.err.trimmed().count('\n') == 0, r.err.constData());
                QVERIFY2(r.err.count(name.toUtf8()) == 1, r.err.constData());
                const Run j = cli(QStringList{command.first(), m_home.filePath(name), QStringLiteral("--json")}
                                  + command.mid(1));
                QCOMPARE(QJsonDocument::fromJson(j.out).object().value(QStringLiteral("exit")).toInt(), 1);
            }
        }
    }

    void textImportReportsDroppedControls()
    {
        const Run r = cli({QStringLiteral("encode"), write(QStringLiteral("ctl.txt"), QByteArray("x\0y\x01z", 5))});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.contains("2 control character(s)"), r.err.constData());
        // UTF-8 arrives as UTF-8: "é" is U+00E9 in the body, not two Latin-1 characters.
        const Run u = cli({QStringLiteral("encode"), write(QStringLiteral("u8.txt"), "\xC3\xA9"),
                           QStringLiteral("--json")});
        QCOMPARE(u.exit, 0);
        QVERIFY(QJsonDocument::fromJson(u.out).object().value(QStringLiteral("body")).toString().endsWith(
            QStringLiteral("010000E90000")));
    }

    void unreadableListIsNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("junk") << QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0", 10);
        QTest::newRow("negative NUM") << QByteArray("[RESIST NUM]\r\nNUM=-5\r\n");
        QTest::newRow("absurd NUM") << QByteArray("[RESIST NUM]\r\nNUM=2000000000\r\n");
    }
    void unreadableListIsNeverOverwritten()
    {
        QFETCH(QByteArray, content);
        const QString path = write(QStringLiteral("LastPj.txt"), content);
        for (const QStringList &args :
             {QStringList{QStringLiteral("projectors"), QStringLiteral("list")},
              QStringList{QStringLiteral("projectors"), QStringLiteral("add"), QStringLiteral("10.0.0.5")},
              QStringList{QStringLiteral("projectors"), QStringLiteral("remove"), QStringLiteral("10.0.0.5"), QStringLiteral("--yes")},
              QStringList{QStringLiteral("projectors"), QStringLiteral("password"), QStringLiteral("10.0.0.5"), QStringLiteral("--none")}}) {
            const Run r = cli(args);
            QVERIFY2(r.exit == 1, qPrintable(args.join(u' ')));
            QVERIFY2(r.err.contains("LastPj.txt cannot be read"), r.err.constData());
            QVERIFY(r.out.isEmpty());
        }
        QCOMPARE(readAll(path), content);
        QFile::remove(path);
    }

    void usageAndDestinationAreCheckedFirst()
    {
        ProjectorSim sim(QHostAddress(QStringLiteral("127.0.78.1")));
        sim.config().discoveryMulticast = false;
        sim.config().discoveryUnicast = false;
        QVERIFY(sim.start());
        const QString to = QStringLiteral("127.0.78.1");
        QCOMPARE(cli({QStringLiteral("status"), QStringLiteral("--to"), to}).exit, 0);
        sim.clearRequests();
        // A folder that does not exist, and one that is a file: refused before the network.
        for (const QString &out : {m_home.filePath(QStringLiteral("no/such/dir/x.glc")),
                                   m_home.path()}) {
            const Run r = cli({QStringLiteral("get"), QStringLiteral("--to"), to, QStringLiteral("-o"), out});
            QCOMPARE(r.exit, 1);
            QVERIFY(!r.err.isEmpty());
        }
        QCOMPARE(sim.requestCount(), 0);
        QCOMPARE(cli({QStringLiteral("display"), QStringLiteral("on"), QStringLiteral("--slot"),
                      QStringLiteral("+1"), QStringLiteral("--to"), to}).exit, 2);
        QCOMPARE(cli({QStringLiteral("get"), QStringLiteral("--slot"), QStringLiteral("1.0"),
                      QStringLiteral("--to"), to, QStringLiteral("-o"), m_home.filePath(QStringLiteral("a.glc"))}).exit, 2);
        QCOMPARE(cli({QStringLiteral("send"), write(QStringLiteral("s.txt"), "s"), QStringLiteral("--startup"),
                      QStringLiteral("128"), QStringLiteral("--to"), to}).exit, 2);
        // Usage errors, from the parser or from the commands: exit 2, one prefixed line, no traffic.
        const QList<QStringList> usage = {
            {"clear", "--slot", "+1", "--yes", "--to", to},
            {"startup", "--set", "--slot", "1", "--minutes", "128", "--to", to},
            {"startup", "--slot", "5", "--to", to}, // setting options without --set
            {"status"},
            {"status", "--to", to, "--bogus"},
            {"frobnicate"},
            {"preview", write(QStringLiteral("p.txt"), "p"), "-o", m_home.filePath(QStringLiteral("p.png")),
             "--tick", "2000000"},
        };
        for (const QStringList &args : usage) {
            const Run r = cli(args);
            QCOMPARE(r.exit, 2);
            QVERIFY2(r.err.startsWith("glintcaster-cli: ") && r.err.trimmed().count('\n') == 0,
                     r.err.constData());
            // With --json the failure is an object too, with its reason.
            const Run j = cli(args + QStringList{QStringLiteral("--json")});
            const QJsonObject o = QJsonDocument::fromJson(j.out).object();
            QCOMPARE(o.value(QStringLiteral("exit")).toInt(), 2);
            QVERIFY2(!o.value(QStringLiteral("ok")).toBool(true) && !o.value(QStringLiteral("text")).toString().isEmpty(),
                     j.out.constData());
        }
        QVERIFY(cli({QStringLiteral("frobnicate")}).err.contains("\"frobnicate\" is not a command"));
        QCOMPARE(sim.requestCount(), 0);
    }

    void receivedTitleStaysOneLine()
    {
        ProjectorSim sim(QHostAddress(QStringLiteral("127.0.78.2")));
        sim.config().discoveryMulticast = false;
        sim.config().discoveryUnicast = false;
        sim.setFirmwareLevel(4);
        sim.setCapabilityFlags(7);
        QVERIFY(sim.start());
        // A title "Ti<CR>tle<LF>x" as a projector may hold it, then the body "Body".
        QByteArray body;
        for (QChar c : QStringLiteral("Ti\rtle\nx").leftJustified(64, QChar(0)))
            body.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        body.append(QByteArray("\0\x1B\0\x07\x01\0\0B\0o\0d\0y\0\0", 16));
        QByteArray header(32, '\0');
        header[4] = 0x20;
        header[11] = 0x20;
        sim.setSlot(2, header, body);
        const QString out = m_home.filePath(QStringLiteral("title.glc"));
        Run r = cli({QStringLiteral("get"), QStringLiteral("--to"), QStringLiteral("127.0.78.2"), QStringLiteral("--slot"),
                     QStringLiteral("2"), QStringLiteral("-o"), out, QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("title")).toString(),
                 QStringLiteral("Ti tle x"));
        r = cli({QStringLiteral("encode"), out, QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        // The body is still only "Body": no part of the title moved into it.
        const QString hex = QJsonDocument::fromJson(r.out).object().value(QStringLiteral("body")).toString();
        QVERIFY2(hex.contains(QStringLiteral("0042006F00640079")), qPrintable(hex));
        QVERIFY(!hex.mid(256).contains(QStringLiteral("0074006C0065")));
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
