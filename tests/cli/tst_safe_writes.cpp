// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Every file the command line writes survives a full disk, a second writer, a special file
// or a link planted where it writes; passwords need not stand on the command line.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

const QString kCli = QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli");
const QByteArray kList = "[RESIST NUM]\r\nNUM=2\r\n"
                         "[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=2137456897\r\nProjectorName=Hall\r\nMAC=-----\r\nAuth=1\r\nPass=pw\r\n"
                         "[RESIST PROJECTOR2]\r\nNUM=2\r\nIP=2137456898\r\nProjectorName=Foyer\r\nMAC=-----\r\nAuth=0\r\nPass=\r\n";
// 127.103.1.1 and 127.103.1.2: nothing is contacted, the addresses only stand in the list.

struct Run {
    int exit = -1;
    QByteArray out, err;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

} // namespace

class TestSafeWrites : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_home;

    Run cli(QStringList args, const QByteArray &input = {}, const QString &diskFull = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        if (!diskFull.isEmpty())
            env.insert(QStringLiteral("GLINTCASTER_SIMULATE_DISK_FULL"), diskFull);
        p.setProcessEnvironment(env);
        args << QStringLiteral("--home") << m_home << QStringLiteral("--lang") << QStringLiteral("en");
        p.start(kCli, args);
        p.write(input);
        p.closeWriteChannel();
        Run r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    QString home(const QString &name) const { return QDir(m_home).filePath(name); }

private slots:
    void init()
    {
        m_home = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        QDir().mkpath(m_home);
        writeAll(home(QStringLiteral("LastPj.txt")), kList);
        writeAll(home(QStringLiteral("note.txt")), "A note");
    }

    void fullDiskLosesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("kept"); // the file that must stay as it was
        const QString list = QStringLiteral("LastPj.txt");
        QTest::newRow("projectors add") << QStringList{"projectors", "add", "127.103.1.3"} << list;
        QTest::newRow("projectors password") << QStringList{"projectors", "password", "127.103.1.1", "--password", "new"} << list;
        QTest::newRow("projectors remove") << QStringList{"projectors", "remove", "127.103.1.2", "--yes"} << list;
        QTest::newRow("import -o") << QStringList{"import", "note.txt", "-o", "out.glc"} << "out.glc";
        QTest::newRow("preview -o") << QStringList{"preview", "note.txt", "-o", "out.png"} << "out.png";
        QTest::newRow("sound -o") << QStringList{"sound", "1", "-o", "out.wav"} << "out.wav";
    }
    void fullDiskLosesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, kept);
        for (QString &a : args)
            if (a.contains(u'.') && !a.startsWith(QLatin1String("127.")))
                a = home(a);
        if (kept != u"LastPj.txt")
            writeAll(home(kept), "earlier output");
        const QByteArray before = readAll(home(kept));
        const Run r = cli(args, {}, QStringLiteral("0"));
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains("No space left on device"), r.err.constData());
        QCOMPARE(readAll(home(kept)), before);
        QVERIFY(QDir(m_home).entryList({QStringLiteral("*tmp*")}).isEmpty());
    }

    // The same through a real full file system, where one can be mounted without privileges.
    void fullTmpfs()
    {
        const QString script = QStringLiteral(
            "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99; cp \"$2\" \"$1/LastPj.txt\"; "
            "dd if=/dev/zero of=\"$1/fill\" bs=1k 2>/dev/null; "
            "\"$3\" projectors add 127.103.1.4 --home \"$1\" 2>/dev/null; echo \"exit $?\"; cat \"$1/LastPj.txt\"");
        const QString mountPoint = m_dir.filePath(QStringLiteral("tmpfs"));
        QDir().mkpath(mountPoint);
        QProcess p;
        p.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                                            QStringLiteral("sh"), mountPoint, home(QStringLiteral("LastPj.txt")), kCli});
        if (!p.waitForFinished(30000) || p.exitCode() == 99 || p.exitStatus() != QProcess::NormalExit
            || !p.readAllStandardOutput().startsWith("exit")) {
            p.kill();
            QSKIP("no unprivileged mount here");
        }
        p.start(p.program(), p.arguments()); // again, reading the output this time
        QVERIFY(p.waitForFinished(30000));
        const QByteArray out = p.readAllStandardOutput();
        QCOMPARE(out, "exit 1\n" + kList);
    }

    // Two programs registering at once: every registration is kept.
    void concurrentWritersKeepEverything()
    {
        writeAll(home(QStringLiteral("LastPj.txt")), {});
        const QString loop = QStringLiteral(
            "i=1; while [ $i -le 32 ]; do \"$1\" projectors add 127.103.$2.$i --home \"$3\" || exit 1; i=$((i+1)); done; "
            "i=1; while [ $i -le 18 ]; do \"$1\" projectors password 127.103.$2.$i --password p$2x$i --home \"$3\" || exit 1; i=$((i+1)); done");
        QProcess a, b;
        a.start(QStringLiteral("sh"), {QStringLiteral("-c"), loop, QStringLiteral("sh"), kCli, QStringLiteral("2"), m_home});
        b.start(QStringLiteral("sh"), {QStringLiteral("-c"), loop, QStringLiteral("sh"), kCli, QStringLiteral("3"), m_home});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const Run r = cli({QStringLiteral("projectors"), QStringLiteral("list")});
        QCOMPARE(r.out.count('\n'), 64); // the list's capacity: 2 x 32 registrations
        const QByteArray file = readAll(home(QStringLiteral("LastPj.txt")));
        for (int net : {2, 3})
            for (int i = 1; i <= 32; ++i) {
                QVERIFY2(r.out.contains(QStringLiteral("127.103.%1.%2\t").arg(net).arg(i).toLatin1()), r.out.constData());
                QCOMPARE(file.contains(QStringLiteral("Pass=p%1x%2\r\n").arg(net).arg(i).toLatin1()), i <= 18);
            }
    }

    void outputsThatAreNotRegularFilesAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("target");
        for (const char *kind : {"fifo", "device link"}) {
            QTest::addRow("sound, %s", kind) << QStringList{"sound", "1", "-o"} << kind;
            QTest::addRow("preview, %s", kind) << QStringList{"preview", "note.txt", "-o"} << kind;
            QTest::addRow("import, %s", kind) << QStringList{"import", "note.txt", "-o"} << kind;
        }
    }
    void outputsThatAreNotRegularFilesAreRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, target);
        const QString out = home(QStringLiteral("out.glc"));
        if (target == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(out).constData(), 0600), 0);
        } else {
            // A null device of our own: a writer that got this wrong as root must not
            // replace the system's /dev/null.
            const QString node = home(QStringLiteral("null-device"));
            if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("cannot make a device node here");
            QVERIFY(QFile::link(node, out));
        }
        for (QString &a : args)
            if (a == u"note.txt")
                a = home(a);
        const Run r = cli(args << out);
        QVERIFY2(r.exit == 1 || r.exit == 2, r.err.constData());
        QVERIFY2(r.err.contains("not a regular file"), r.err.constData());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &st), 0);
        QVERIFY(target == u"fifo" ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode));
    }

    // Links planted in the home are replaced, never written through.
    void plantedLinksInTheHome()
    {
        const QString victim = m_dir.filePath(QStringLiteral("victim-") + QFileInfo(m_home).fileName());
        writeAll(victim, kList); // a list, so reading through the link is no refusal
        for (const char *name : {"LastPj.txt", "title.bmp", "message.bmp"}) {
            QFile::remove(home(QLatin1String(name)));
            QVERIFY(QFile::link(victim, home(QLatin1String(name))));
        }
        QCOMPARE(cli({QStringLiteral("projectors"), QStringLiteral("add"), QStringLiteral("127.103.1.5")}).exit, 0);
        QCOMPARE(cli({QStringLiteral("preview"), home(QStringLiteral("note.txt")), QStringLiteral("-o"),
                      home(QStringLiteral("out.png"))}).exit, 0);
        QCOMPARE(readAll(victim), kList);
        for (const char *name : {"LastPj.txt", "title.bmp", "message.bmp"})
            QVERIFY(!QFileInfo(home(QLatin1String(name))).isSymLink());
    }

    void passwordsOffTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("stdin") << QStringList{"--password-stdin"} << QByteArray("s\xC3\xAB" "cret\n") << "sëcret";
        QTest::newRow("stdin, CR LF") << QStringList{"--password-stdin"} << QByteArray("pw2\r\n") << "pw2";
        QTest::newRow("file") << QStringList{"--password-file", "pw.txt"} << QByteArray() << "from file";
        QTest::newRow("both") << QStringList{"--password-stdin", "--password", "x"} << QByteArray("y\n") << "";
    }
    void passwordsOffTheCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, stored);
        writeAll(home(QStringLiteral("pw.txt")), "from file\n");
        for (QString &a : args)
            if (a == u"pw.txt")
                a = home(a);
        const Run r = cli(QStringList{QStringLiteral("projectors"), QStringLiteral("password"), QStringLiteral("127.103.1.2")} + args, input);
        const QByteArray file = readAll(home(QStringLiteral("LastPj.txt")));
        if (stored.isEmpty()) {
            QCOMPARE(r.exit, 2);
            QCOMPARE(file, kList);
        } else {
            QVERIFY2(r.exit == 0, r.err.constData());
            QVERIFY(file.contains("Pass=" + stored.toUtf8() + "\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSafeWrites)
#include "tst_safe_writes.moc"
