// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Plain-text import: the encoding is told by its mark or by valid UTF-8, control
// characters that would cut the message on the projector are dropped and counted, and only
// regular files are opened.
#include "base/message_table.h"
#include "message/text_import.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace glintcaster;

class TestTextImport : public QObject {
    Q_OBJECT
private slots:
    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("dropped");
        QTest::newRow("ASCII") << QByteArray("abc\r\ndef") << QStringLiteral("abc\rdef") << 0;
        QTest::newRow("UTF-8 without a mark") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\n")
                                              << QStringLiteral("café €\r") << 0;
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBFna\xC3\xAFve")
                                           << QStringLiteral("naïve") << 0;
        QTest::newRow("UTF-16LE with a mark") << QByteArray("\xFF\xFEh\0\xE9\0", 6) << QStringLiteral("hé") << 0;
        QTest::newRow("UTF-16BE with a mark") << QByteArray("\xFE\xFF\0h\0\xE9\x30\x42", 8)
                                              << QStringLiteral("hé") + QChar(0x3042) << 0;
        QTest::newRow("Windows-1252 quotes, dash, euro") << QByteArray("\x93" "caf\xE9\x94 \x96 \x80\x0D\x0A")
                                                         << QStringLiteral("“café” – €\r") << 0;
        QTest::newRow("invalid UTF-8 is 1252") << QByteArray("\xC3\x28") << QStringLiteral("\u00C3(") << 0;
        QTest::newRow("NUL and controls dropped") << QByteArray("a\0b\x01\x1F\x7F\tc\x0C", 9)
                                                  << QStringLiteral("ab\u007F    c\f") << 3;
        QTest::newRow("UTF-16LE without a mark") << QByteArray("h\0i\0!\0\xAC\x20", 8) << QStringLiteral("hi!€") << 0;
        QTest::newRow("UTF-16BE without a mark") << QByteArray("\0h\0i\0!\x30\x42", 8) << QStringLiteral("hi!\u3042") << 0;
        QTest::newRow("NUL in UTF-16") << QByteArray("\xFE\xFF\0a\0\0\0b", 8) << QStringLiteral("ab") << 1;
        // A UTF-8 character cut by the 4096-byte limit is left out, not read as Latin-1.
        QTest::newRow("cut at the limit") << QByteArray(4095, 'x') + "\xC3\xA9"
                                          << QString(4095, u'x') << 0;
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, dropped);
        int count = -1;
        QCOMPARE(decodeImportedText(bytes, &count), text);
        QCOMPARE(count, dropped);
    }

    // Bytes that are not UTF-8 are the ANSI code page of the language, unless told otherwise.
    void codePages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("Shift-JIS, Japanese") << int(Language::Japanese) << QString() << QByteArray("\x89\xEF\x8B\x63") << QStringLiteral("会議");
        QTest::newRow("GBK, Chinese") << int(Language::Chinese) << QString() << QByteArray("\xBB\xE1\xD2\xE9") << QStringLiteral("会议");
        QTest::newRow("1252 bytes, Japanese") << int(Language::Japanese) << QString() << QByteArray("caf\xE9!") << QStringLiteral("café!");
        QTest::newRow("--encoding gbk, English") << int(Language::English) << "gbk" << QByteArray("\xBB\xE1") << QStringLiteral("会");
        QTest::newRow("--encoding utf-16be") << int(Language::English) << "UTF-16BE" << QByteArray("\x30\x42") << QStringLiteral("\u3042");
    }
    void codePages()
    {
        QFETCH(int, language);
        QFETCH(QString, told);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        MessageTable::setLanguage(Language(language));
        setTextImportEncoding(told.isEmpty() ? int(GuessEncoding) : textEncodingForName(told));
        QCOMPARE(decodeImportedText(bytes), text);
        setTextImportEncoding(GuessEncoding);
        MessageTable::setLanguage(Language::English);
    }

    void mostlyDroppedIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("binary.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x01\x02\x03\x04" "ab" "\x05\x06", 8));
        f.close();
        RichText body;
        QString error;
        QVERIFY(!importTextFile(path, CharFormat{}, &body, &error));
        QVERIFY2(error.contains(QStringLiteral("6 of its 8 characters")), qPrintable(error));
    }

    void onlyRegularFilesAreRead()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        RichText body;
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!importTextFile(fifo, CharFormat{}, &body, &error)); // would block if opened
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(!error.isEmpty());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.txt")));
        QVERIFY(!importTextFile(dir.filePath(QStringLiteral("folder.txt")), CharFormat{}, &body, &error));
        QVERIFY(error.contains(QStringLiteral("folder")));
    }
};

QTEST_MAIN(TestTextImport)
#include "tst_text_import.moc"
