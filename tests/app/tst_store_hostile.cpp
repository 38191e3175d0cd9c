// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// "LastPj.txt" files the store cannot read are never written; UTF-16 lists are read and
// written back as UTF-16; placeholders for missing sections are never written back.
#include "app/projector_store.h"
#include "base/prompter.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace glintcaster;

namespace {

class SilentPrompter : public Prompter {
public:
    void inform(const QString &text, PromptIcon, const QString &) override { shown << text; }
    PromptAnswer ask(const QString &, PromptButtons buttons, PromptIcon, const QString &) override
    {
        return refusingAnswer(buttons);
    }
    QStringList shown;
};

const QByteArray kTwo = "[RESIST NUM]\r\nNUM=2\r\n"
                        "[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=167772161\r\nProjectorName=Hall\r\nMAC=-----\r\nAuth=1\r\nPass=pw\r\n"
                        "[RESIST PROJECTOR2]\r\nNUM=2\r\nIP=167772162\r\nProjectorName=Caf\xC3\xA9\r\nMAC=-----\r\nAuth=0\r\nPass=\r\n";

QByteArray utf16(const QByteArray &utf8, bool little)
{
    QByteArray out(little ? "\xFF\xFE" : "\xFE\xFF");
    for (QChar c : QString::fromUtf8(utf8)) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out.append(little ? lo : hi).append(little ? hi : lo);
    }
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStoreHostile : public QObject {
    Q_OBJECT
private slots:
    void unreadableFilesAreLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("junk") << QByteArray("\x01\x02 binary \x00\xFF", 12) << QStringLiteral("NUL");
        QTest::newRow("lines of junk") << QByteArray("hello\nworld\n") << QStringLiteral("no INI");
        QTest::newRow("negative NUM") << QByteArray("[RESIST NUM]\r\nNUM=-1\r\n") << QStringLiteral("not a count");
        QTest::newRow("NUM not a number") << QByteArray("[RESIST NUM]\r\nNUM=abc\r\n") << QStringLiteral("not a count");
        QTest::newRow("absurd NUM") << QByteArray("[RESIST NUM]\r\nNUM=2000000000\r\n") << QStringLiteral("absurd");
        QTest::newRow("projectors without NUM")
            << QByteArray("[RESIST PROJECTOR1]\r\nIP=1\r\n") << QStringLiteral("without");
        QTest::newRow("UTF-16 without a mark") << QByteArray("[\0R\0]\0", 6) << QStringLiteral("NUL");
    }
    void unreadableFilesAreLeftAlone()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();

        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        QVERIFY2(store.loadProblem().contains(reason), qPrintable(store.loadProblem()));
        QVERIFY(store.problemText().contains(path));
        QVERIFY(store.projectors().isEmpty());
        SilentPrompter prompter;
        ProjectorEntry d;
        d.IP = 0x0A000009;
        QVERIFY(!store.addProjector(d, prompter));
        QVERIFY(!store.registerDiscovered(d, prompter));
        QVERIFY(!store.RewriteRegisteredProjectors());
        QVERIFY(!store.AppendRegisteredProjector(d));
        QVERIFY(!store.SaveAdaptorSelection(QStringLiteral("127.0.0.1"), QStringLiteral("lo")));
        QCOMPARE(readAll(path), content);
    }

    void oversizedFolderAndPipeAreRefused()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.txt"));
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(65 * 1024 * 1024)); // sparse: refused by its size, never read
        f.close();
        const QString folder = dir.filePath(QStringLiteral("folder.txt"));
        QVERIFY(QDir().mkpath(folder));
        const QString fifo = dir.filePath(QStringLiteral("fifo.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &path : {big, folder, fifo}) {
            ProjectorStore store(path);
            store.LoadRegisteredProjectors();
            QVERIFY2(!store.loadProblem().isEmpty(), qPrintable(path));
            QVERIFY(!store.SaveAdaptorSelection(QString(), QString()));
        }
        QCOMPARE(QFileInfo(big).size(), 65 * 1024 * 1024);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void missingOrAdaptorOnlyFilesAreFine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        QVERIFY(store.loadProblem().isEmpty());
        QVERIFY(store.SaveAdaptorSelection(QString(), QString())); // what the window writes at exit
        store.LoadRegisteredProjectors();
        QVERIFY(store.loadProblem().isEmpty());
        SilentPrompter prompter;
        ProjectorEntry d;
        d.IP = 0x0A000001;
        QVERIFY(store.addProjector(d, prompter));
        // A refusal by the rules is not a failed write; a folder that cannot hold the file is.
        QVERIFY(!store.addProjector(d, prompter));
        QVERIFY(!store.saveFailed());
        ProjectorStore nowhere(dir.filePath(QStringLiteral("gone/LastPj.txt")));
        nowhere.LoadRegisteredProjectors();
        QVERIFY(!nowhere.addProjector(d, prompter));
        QVERIFY(nowhere.saveFailed());
    }

    void utf16ListsRoundTrip_data()
    {
        QTest::addColumn<bool>("little");
        QTest::newRow("UTF-16LE") << true;
        QTest::newRow("UTF-16BE") << false;
    }
    void utf16ListsRoundTrip()
    {
        QFETCH(bool, little);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(utf16(kTwo, little));
        f.close();

        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        QVERIFY2(store.loadProblem().isEmpty(), qPrintable(store.loadProblem()));
        QCOMPARE(store.projectors().size(), 2);
        QCOMPARE(store.projector(1).ProjectorName, QStringLiteral("Café"));
        QCOMPARE(store.projector(0).Pass, QStringLiteral("pw"));
        SilentPrompter prompter;
        ProjectorEntry d;
        d.IP = 0x0A000003;
        d.ProjectorName = QStringLiteral("Third");
        QVERIFY(store.addProjector(d, prompter));
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("127.0.0.1"), QStringLiteral("lo")));
        const QByteArray written = readAll(path);
        QVERIFY(written.startsWith(little ? "\xFF\xFE" : "\xFE\xFF"));
        ProjectorStore again(path);
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projectors().size(), 3);
        QCOMPARE(again.projector(1).ProjectorName, QStringLiteral("Café"));
        QCOMPARE(again.LoadAdaptorSelection({QStringLiteral("eth0"), QStringLiteral("lo")}), 1);
    }

    void placeholdersAreNotWrittenBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[RESIST NUM]\r\nNUM=5\r\n[RESIST PROJECTOR2]\r\nIP=167772162\r\nProjectorName=Real\r\n");
        f.close();
        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        QCOMPARE(store.projectors().size(), 5); // as the file says
        QVERIFY(store.isPlaceholder(0));
        QVERIFY(!store.isPlaceholder(1));
        SilentPrompter prompter;
        ProjectorEntry d;
        d.IP = 0x0A000007;
        QVERIFY(store.registerDiscovered(d, prompter));
        ProjectorStore again(path);
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projectors().size(), 2);
        QCOMPARE(again.projector(0).ProjectorName, QStringLiteral("Real"));
        QCOMPARE(again.projector(1).IP, 0x0A000007u);

        // A count that fills the list with placeholders: deleting one entry frees it.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[RESIST NUM]\r\nNUM=70\r\n[RESIST PROJECTOR2]\r\nIP=167772162\r\n");
        f.close();
        store.LoadRegisteredProjectors();
        QCOMPARE(store.registrationRefusal(0x0A000007), 1033);
        QVERIFY(store.removeProjector(0));
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projectors().size(), 1);
        QCOMPARE(again.projector(0).IP, 167772162u);
    }
};

QTEST_MAIN(TestStoreHostile)
#include "tst_store_hostile.moc"
