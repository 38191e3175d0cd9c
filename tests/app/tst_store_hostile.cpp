// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// "LastPj.txt" files the store cannot read are never written; UTF-16 lists are read and
// written back as UTF-16; placeholders for missing sections are never written back.
#include "app/projector_store.h"
#include "base/message_table.h"
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
        QTest::newRow("shell script") << QByteArray("#!/bin/sh\nPATH=/usr/bin\nexec true\n")
                                      << QStringLiteral("not a projector list");
        QTest::newRow("other settings") << QByteArray("[General]\nvolume=3\n") << QStringLiteral("not a projector list");
        QTest::newRow("NUM=0, two sections") << QByteArray("[RESIST NUM]\r\nNUM=0\r\n" + kTwo.mid(21))
                                             << QStringLiteral("count does not match");
        QTest::newRow("NUM=1, two sections") << QByteArray("[RESIST NUM]\r\nNUM=1\r\n" + kTwo.mid(21))
                                             << QStringLiteral("count does not match");
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

    // A list the Windows build wrote in its ANSI code page keeps its names and passwords
    // through any write, and stays in that code page.
    void codePageListsRoundTrip_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("name");   // bytes in the code page
        QTest::addColumn<QString>("expected");
        QTest::newRow("1252") << int(Language::English) << QByteArray("Caf\xE9 \x80") << QStringLiteral("Café €");
        QTest::newRow("932") << int(Language::Japanese) << QByteArray("\x89\xEF\x8B\x63\x8E\xBA") << QStringLiteral("会議室");
        QTest::newRow("936") << int(Language::Chinese) << QByteArray("\xBB\xE1\xD2\xE9\xCA\xD2") << QStringLiteral("会议室");
        QTest::newRow("932 bytes, English") << int(Language::English) << QByteArray("\x89\xEF") << QStringLiteral("‰ï");
        QTest::newRow("1252 bytes that are UTF-8 too") << int(Language::English) << QByteArray("\xC3\xA9") << QStringLiteral("Ã©");
    }
    void codePageListsRoundTrip()
    {
        QFETCH(int, language);
        QFETCH(QByteArray, name);
        QFETCH(QString, expected);
        MessageTable::setLanguage(Language(language));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        const QByteArray original = "[RESIST NUM]\r\nNUM=1\r\n[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=167772161\r\n"
                                    "ProjectorName=" + name + "\r\nMAC=-----\r\nAuth=1\r\nPass=p\xE4ss\r\n";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(original);
        f.close();
        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        QCOMPARE(store.projector(0).ProjectorName, expected);
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("127.0.0.1"), QStringLiteral("lo"))); // the window's exit
        QVERIFY(readAll(path).startsWith(original));
        QVERIFY(store.setPassword(0, 1, QStringLiteral("pass"))); // the last byte that is not UTF-8 goes
        ProjectorStore reread(path);
        reread.LoadRegisteredProjectors();
        QCOMPARE(reread.projector(0).ProjectorName, expected);
        SilentPrompter prompter;
        ProjectorEntry d;
        d.IP = 0x0A000002;
        d.ProjectorName = QStringLiteral("Ωmega"); // no bytes in 1252: the file turns UTF-8, losing nothing
        QVERIFY(store.addProjector(d, prompter));
        ProjectorStore again(path);
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projector(0).ProjectorName, expected);
        QCOMPARE(again.projector(1).ProjectorName, d.ProjectorName);
        MessageTable::setLanguage(Language::English);
    }

    void byteOrderMarkInsideAValueSurvives()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(utf16(kTwo, true));
        f.close();
        ProjectorStore store(path);
        store.LoadRegisteredProjectors();
        const QString pass = QStringLiteral("\uFEFFsecret");
        QVERIFY(store.setPassword(0, 1, pass));
        QVERIFY(store.RewriteRegisteredProjectors());
        ProjectorStore again(path);
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projector(0).Pass, pass);
    }

    // The window's Password... on a row another program removed meanwhile: refused with a
    // reason, and nothing is written into the entry that took its row.
    void changesFollowTheAddressNotTheRow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kTwo);
        f.close();
        ProjectorStore window(path), cli(path);
        window.LoadRegisteredProjectors();
        cli.LoadRegisteredProjectors();
        QVERIFY(cli.removeProjector(0));
        QVERIFY(!window.setPassword(0, 1, QStringLiteral("stolen")));
        QVERIFY(window.entryGone());
        QCOMPARE(window.projectors().size(), 1); // refreshed from the file
        QVERIFY(!window.SaveProjectorPassword(0) || window.projector(0).Pass.isEmpty());
        ProjectorStore again(path);
        again.LoadRegisteredProjectors();
        QCOMPARE(again.projector(0).ProjectorName, QStringLiteral("Café"));
        QCOMPARE(again.projector(0).Pass, QString());
        // Deleting what the window still shows keeps what another program added.
        ProjectorEntry d;
        d.IP = 0x0A000005;
        SilentPrompter prompter;
        QVERIFY(cli.addProjector(d, prompter));
        QVERIFY(window.removeAddress(0x0A000002));
        QCOMPARE(window.projectors().size(), 1);
        QCOMPARE(window.projector(0).IP, d.IP);
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
