// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The one file writer: a full disk keeps the old file and says why; what is not a regular
// file is refused; links in the home are replaced, not followed; leftovers are cleared.
#include "base/safe_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace glintcaster;

namespace {

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

QStringList leftovers(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList({QStringLiteral("*.glintcaster-tmp")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { simulateDiskFullAfter(-1); }

    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::addColumn<int>("size");
        QTest::newRow("no room, small file") << qint64(0) << 40;
        QTest::newRow("room for part of it") << qint64(1000) << 300000;
        QTest::newRow("one byte short") << qint64(99) << 100;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(qint64, room);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        writeAll(path, "old contents");
        simulateDiskFullAfter(room);
        QString error;
        QVERIFY(!writeFileSafely(path, QByteArray(size, 'n'), &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
        QCOMPARE(readAll(path), QByteArray("old contents"));
        QVERIFY(leftovers(dir).isEmpty());

        // The streaming form fails at the write that does not fit, and commit stays false.
        simulateDiskFullAfter(room);
        SafeFileWriter out(path);
        QVERIFY(out.open());
        const bool written = out.write(QByteArray(size, 'n'));
        QVERIFY(!written && !out.commit());
        QCOMPARE(readAll(path), QByteArray("old contents"));
    }

    void writesAndPermissions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("secret.txt"));
        SafeWriteOptions owner;
        owner.mode = 0600;
        QVERIFY(writeFileSafely(path, "one", nullptr, owner));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        QVERIFY(writeFileSafely(path, "two"));
        QCOMPARE(readAll(path), QByteArray("two"));
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0640); // a rewrite keeps the file's own mode
    }

    void targetsThatAreNotRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("sideFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << "fifo" << false << "not a regular file";
        QTest::newRow("named pipe, home") << "fifo" << true << "not a regular file";
        QTest::newRow("link to a device") << "device link" << false << "not a regular file";
        QTest::newRow("folder") << "folder" << false << "is a folder, not a file";
        QTest::newRow("link to nothing") << "dangling" << false << "a link to nothing";
    }
    void targetsThatAreNotRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, sideFile);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out"));
        const QByteArray p = QFile::encodeName(path);
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(p.constData(), 0600), 0);
        else if (kind == u"device link") {
            // A null device of our own, never the system's /dev/null.
            const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("null-device")));
            if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("cannot make a device node here");
            QVERIFY(QFile::link(QFile::decodeName(node), path));
        }
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), path));
        SafeWriteOptions options;
        options.sideFile = sideFile;
        QCOMPARE(outputPathProblem(path, sideFile), reason);
        QString error;
        QVERIFY(!writeFileSafely(path, "x", &error, options));
        QCOMPARE(error, reason);
        QVERIFY(leftovers(dir).isEmpty());
        QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("nowhere"))).exists());
    }

    // A link planted in the home is replaced; a link the user named is written through.
    void links()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim"));
        const QString home = dir.filePath(QStringLiteral("title.bmp"));
        writeAll(victim, "precious");
        QVERIFY(QFile::link(victim, home));
        SafeWriteOptions side;
        side.sideFile = true;
        QVERIFY(writeFileSafely(home, "bitmap", nullptr, side));
        QCOMPARE(readAll(victim), QByteArray("precious"));
        QVERIFY(!QFileInfo(home).isSymLink());
        QCOMPARE(readAll(home), QByteArray("bitmap"));

        const QString chosen = dir.filePath(QStringLiteral("chosen.glc"));
        QVERIFY(QFile::link(victim, chosen));
        QVERIFY(writeFileSafely(chosen, "message"));
        QVERIFY(QFileInfo(chosen).isSymLink());
        QCOMPARE(readAll(victim), QByteArray("message"));
    }

    void staleTemporariesOfDeadWritersAreRemoved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.wav"));
        QProcess gone;
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString dead = path + QStringLiteral(".%1-0.glintcaster-tmp").arg(pid);
        const QString live = path + QStringLiteral(".%1-0.glintcaster-tmp").arg(::getppid());
        const QString other = dir.filePath(QStringLiteral("other.wav.%1-0.glintcaster-tmp").arg(pid));
        for (const QString &f : {dead, live, other})
            writeAll(f, "complete but never renamed");
        QVERIFY(writeFileSafely(path, "new"));
        QVERIFY(!QFile::exists(dead));
        QVERIFY(QFile::exists(live));  // its writer may still be at work
        QVERIFY(QFile::exists(other)); // not of this name
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safe_file.moc"
