// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "base/prompter.h"
#include "message/current_message.h"
#include "message/message_file.h"
#include "message/path_rules.h"
#include "message/rtf_reader.h"
#include "message/rtf_writer.h"
#include "message/text_import.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

namespace {

const QString kFormatMessage = QStringLiteral("This file format is not supported.");

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList documentLines(const QString &path)
{
    const RtfReadResult r = readRtf(fileBytes(path));
    return r.ok ? r.text.plainText().split(u'\r') : QStringList{QStringLiteral("<refused>")};
}

// A message file as another writer might have produced it: the given lines as paragraphs.
QByteArray handWritten(const QStringList &lines)
{
    return writeRtf(RichText(lines.join(u'\r'), defaultCharFormat()));
}

QStringList standardHeader()
{
    return {QStringLiteral("OPTNUM=10"), QStringLiteral("TITLE=11"), QStringLiteral("MSG=12"),
            QStringLiteral("ST01"), QStringLiteral("VPOS=02"), QStringLiteral("HPOS=02"),
            QStringLiteral("CHRSIZE=00"), QStringLiteral("DISPAR=20"),
            QStringLiteral("DISPLVL=01"), QStringLiteral("TITLEATT=43"),
            QStringLiteral("SCRLLNUM=05"), QStringLiteral("SCRLLSPD=02"),
            QStringLiteral("DISPTIME=8a")};
}

CharFormat coloured(quint32 colour, quint32 background, bool doubleSize = false)
{
    CharFormat f = defaultCharFormat(doubleSize);
    f.colour = colour;
    f.background = background;
    return f;
}

} // namespace

class TestMessageFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void newMessageHeaderLines();
    void roundTripKeepsTextColoursAndOptions();
    void emptyTitleRoundTrip();
    void hexadecimalOfEitherCase();
    void acceptedHeaderVariants_data();
    void acceptedHeaderVariants();
    void lappedOverPictureFromEleventhOptionLine();
    void editedByAnotherProgram();
    void refusedFiles_data();
    void refusedFiles();
    void alarmDigits();
    void titleLimitOnWrite();
    void textImport();
    void failedSaveKeepsPreviousFile();
    void readForSendingUsesItsOwnOptions();
    void pathRules();
    void folderListing();

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    MessageFileContext m_context;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestMessageFile::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    MessageTable::setLanguage(Language::English);
    QVERIFY(m_dir.isValid());
}

void TestMessageFile::init()
{
    m_prompter.clear();
    m_context = MessageFileContext{};
    m_context.prompter = &m_prompter;
    m_context.workDir = m_dir.path();
}

void TestMessageFile::newMessageHeaderLines()
{
    CurrentMessage message;
    message.setBody(RichText(QStringLiteral("x"), defaultCharFormat()));
    QCOMPARE(writeMessageFile(path("new.glc"), message, false, m_context), MessageFileStatus::Ok);
    QCOMPARE(documentLines(path("new.glc")),
             (QStringList{"OPTNUM=10", "TITLE=11", "MSG=12", "ST00", "VPOS=00", "HPOS=10",
                          "CHRSIZE=00", "DISPAR=20", "DISPLVL=00", "TITLEATT=00", "SCRLLNUM=00",
                          "SCRLLSPD=01", "DISPTIME=ff", "", "x", ""}));

    m_context.alarmCapable = true;
    QCOMPARE(writeMessageFile(path("new.glc"), message, true, m_context), MessageFileStatus::Ok);
    const QStringList lines = documentLines(path("new.glc"));
    QCOMPARE(lines.at(3), QStringLiteral("ff00ffffffST00"));
    QCOMPARE(lines.at(7), QStringLiteral("DISPAR=40")); // character display mode
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestMessageFile::roundTripKeepsTextColoursAndOptions()
{
    CurrentMessage saved;
    RichText title(QStringLiteral("会議"), coloured(0xFF0000, 0x000000));
    title.append(QStringLiteral("通知"), coloured(0xFFFF00, 0xE0E0E0));
    RichText body(QStringLiteral("请准时参加。"), coloured(0x00FF00, 0x0000FF));
    body.append(QStringLiteral("\r\u25BC\r"), defaultCharFormat());
    body.append(QStringLiteral("Café {x} \\ end"), coloured(0xFF00FF, 0xC0C0C0));
    saved.setTitle(title);
    saved.setBody(body);
    saved.options.style = 1;
    saved.options.horizontalPosition = 2;
    saved.options.lappedOverPicture = 0;
    saved.options.scrollCount = 10;
    saved.options.displayMinutes = 10;
    saved.options.displayHalfMinute = 1;
    saved.options.displayAttribute = 3;
    saved.options.blink = 1;
    saved.options.titlePosition = 2;
    saved.icon = 4;
    QCOMPARE(writeMessageFile(path("round.glc"), saved, false, m_context), MessageFileStatus::Ok);
    QCOMPARE(documentLines(path("round.glc")).at(10), QStringLiteral("SCRLLNUM=0a"));
    QCOMPARE(documentLines(path("round.glc")).at(5), QStringLiteral("HPOS=02"));

    // The work files hold what was written.
    QCOMPARE(readRtf(fileBytes(path("Titlebuff.rtf"))).text, title);
    QCOMPARE(readRtf(fileBytes(path("Messagebuff.rtf"))).text, body);

    CurrentMessage loaded;
    loaded.options.alarmSound = 3; // kept: the target takes no alarm
    QCOMPARE(readMessageFile(path("round.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.title(), title);
    QCOMPARE(loaded.body(), body);
    QCOMPARE(loaded.options.scrollCount, quint8(10));
    QCOMPARE(loaded.options.style, quint8(1));
    QCOMPARE(loaded.options.horizontalPosition, quint8(2));
    QCOMPARE(loaded.options.lappedOverPicture, quint8(0));
    QCOMPARE(loaded.options.displayMinutes, quint8(10));
    QCOMPARE(loaded.options.displayHalfMinute, quint8(1));
    QCOMPARE(loaded.options.blink, quint8(1));
    QCOMPARE(loaded.options.titlePosition, quint8(2));
    QCOMPARE(loaded.options.alarmSound, quint8(3));
    QCOMPARE(loaded.icon, 4);
    QCOMPARE(loaded.background, ColourCode::Green);
    QCOMPARE(loaded.filePath, path("round.glc"));
    QVERIFY(!loaded.isModified());
    // Saved again unchanged, the file is the same to the byte.
    QCOMPARE(writeMessageFile(path("again.glc"), loaded, false, m_context), MessageFileStatus::Ok);
    QCOMPARE(fileBytes(path("again.glc")), fileBytes(path("round.glc")));

    // Double size: the whole title is set to the double size on reading.
    saved.options.fontSize = 1;
    saved.setTitle(RichText(QStringLiteral("Big"), coloured(0xFF0000, 0x000000)));
    QCOMPARE(writeMessageFile(path("big.glc"), saved, false, m_context), MessageFileStatus::Ok);
    QCOMPARE(readMessageFile(path("big.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.title(), RichText(QStringLiteral("Big"), coloured(0xFF0000, 0x000000, true)));
    QCOMPARE(loaded.options.fontSize, quint8(1));
}

void TestMessageFile::emptyTitleRoundTrip()
{
    CurrentMessage saved;
    const RichText body(QStringLiteral("\rfirst\r\rlast\r"), defaultCharFormat());
    saved.setBody(body);
    QCOMPARE(writeMessageFile(path("untitled.glc"), saved, false, m_context),
             MessageFileStatus::Ok);
    CurrentMessage loaded;
    loaded.setTitle(RichText(QStringLiteral("old")));
    QCOMPARE(readMessageFile(path("untitled.glc"), loaded, m_context), MessageFileStatus::Ok);
    QVERIFY(loaded.title().isEmpty());
    QCOMPARE(loaded.body().plainText(), body.plainText());
    QCOMPARE(loaded.body(), body);
}

void TestMessageFile::hexadecimalOfEitherCase()
{
    QStringList lines = standardHeader();
    lines[10] = QStringLiteral("SCRLLNUM=0A");
    lines[12] = QStringLiteral("DISPTIME=8A");
    lines << QStringLiteral("Title") << QStringLiteral("Body") << QString();
    putFile(path("upper.glc"), handWritten(lines));
    CurrentMessage loaded;
    QCOMPARE(readMessageFile(path("upper.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.options.scrollCount, quint8(10));
    QCOMPARE(loaded.options.displayMinutes, quint8(10));
    QCOMPARE(loaded.options.displayHalfMinute, quint8(1));
    QCOMPARE(loaded.options.level, quint8(1));
    QCOMPARE(loaded.options.titlePosition, quint8(1));
    QCOMPARE(loaded.icon, 3);
    QCOMPARE(loaded.title().plainText(), QStringLiteral("Title"));
    QCOMPARE(loaded.body().plainText(), QStringLiteral("Body"));
}

void TestMessageFile::acceptedHeaderVariants_data()
{
    QTest::addColumn<int>("optNum");
    QTest::addColumn<int>("title");
    QTest::addColumn<int>("message");
    for (int o : {10, 11})
        for (int t : {11, 12})
            for (int m : {12, 13})
                QTest::addRow("%d/%d/%d", o, t, m) << o << t << m;
}

void TestMessageFile::acceptedHeaderVariants()
{
    QFETCH(int, optNum);
    QFETCH(int, title);
    QFETCH(int, message);
    QStringList lines = standardHeader();
    lines[0] = QStringLiteral("OPTNUM=%1").arg(optNum);
    lines[1] = QStringLiteral("TITLE=%1").arg(title);
    lines[2] = QStringLiteral("MSG=%1").arg(message);
    if (title == 12)
        lines << QStringLiteral("LAPPED=01");
    lines << QStringLiteral("The title") << QStringLiteral("The body") << QString();
    putFile(path("variant.glc"), handWritten(lines));
    CurrentMessage loaded;
    QCOMPARE(readMessageFile(path("variant.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.title().plainText(), QStringLiteral("The title"));
    QCOMPARE(loaded.body().plainText(), QStringLiteral("The body"));
    QCOMPARE(loaded.options.verticalPosition, quint8(2));
    QVERIFY(m_prompter.shown().isEmpty());
}

// A message file touched by a word processor: \\* before an ordinary word mid-group and a
// stray brace after the end lose nothing; a file cut short is still refused (below).
void TestMessageFile::editedByAnotherProgram()
{
    QByteArray bytes = handWritten(standardHeader() + QStringList{"The title", "The body", ""});
    QVERIFY(bytes.contains("The body"));
    bytes.replace("The body", "{\\loch\\f0\\*\\cs7 The} body");
    bytes += "}\r\n";
    putFile(path("edited.glc"), bytes);
    CurrentMessage loaded;
    QCOMPARE(readMessageFile(path("edited.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.body().plainText(), QStringLiteral("The body"));
}

void TestMessageFile::lappedOverPictureFromEleventhOptionLine()
{
    QStringList lines = standardHeader();
    lines[0] = QStringLiteral("OPTNUM=11");
    lines[1] = QStringLiteral("TITLE=12");
    lines[2] = QStringLiteral("MSG=13");
    lines[5] = QStringLiteral("HPOS=02"); // high digit says "Disable"
    lines << QStringLiteral("anything 01") << QStringLiteral("T") << QStringLiteral("B")
          << QString();
    putFile(path("eleven.glc"), handWritten(lines));
    CurrentMessage loaded;
    loaded.options.lappedOverPicture = 0;
    QCOMPARE(readMessageFile(path("eleven.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.options.lappedOverPicture, quint8(1));
    QCOMPARE(loaded.options.horizontalPosition, quint8(2));

    // The same eleventh line with a high HPOS digit of 1 and a value 00 gives 0.
    lines[5] = QStringLiteral("HPOS=12");
    lines[13] = QStringLiteral("x00");
    putFile(path("eleven.glc"), handWritten(lines));
    QCOMPARE(readMessageFile(path("eleven.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.options.lappedOverPicture, quint8(0));
}

void TestMessageFile::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QStringList lines = standardHeader();
    lines[0] = QStringLiteral("OPTNUM=12");
    QTest::newRow("OPTNUM 12") << handWritten(lines + QStringList{"T", "B", ""});
    lines = standardHeader();
    lines[1] = QStringLiteral("TITLE=13");
    QTest::newRow("TITLE 13") << handWritten(lines + QStringList{"T", "B", ""});
    lines = standardHeader();
    lines[2] = QStringLiteral("MSG");
    QTest::newRow("no number") << handWritten(lines + QStringList{"T", "B", ""});
    QTest::newRow("14 lines") << handWritten(standardHeader() + QStringList{"T"});
    lines = standardHeader();
    lines[8] = QString();
    QTest::newRow("empty option line") << handWritten(lines + QStringList{"T", "B", ""});
    QTest::newRow("not rich text") << QByteArray("OPTNUM=10\nTITLE=11\n");
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("broken rich text") << handWritten(standardHeader() + QStringList{"T", "B"})
                                             .chopped(4);
}

void TestMessageFile::refusedFiles()
{
    QFETCH(QByteArray, bytes);
    putFile(path("bad.glc"), bytes);
    CurrentMessage loaded;
    loaded.setTitle(RichText(QStringLiteral("kept")));
    loaded.options.style = 2;
    const CurrentMessage before = loaded;
    QCOMPARE(readMessageFile(path("bad.glc"), loaded, m_context), MessageFileStatus::NotSupported);
    QCOMPARE(m_prompter.texts(), QStringList{kFormatMessage});
    QCOMPARE(m_prompter.shown().first().icon, PromptIcon::Stop);
    QCOMPARE(loaded.title(), before.title());
    QVERIFY2(loaded.options == before.options, qPrintable(toString(loaded.options)));

    SendableMessage send;
    QCOMPARE(readMessageForSending(path("bad.glc"), {}, m_context, &send),
             MessageFileStatus::NotSupported);
}

void TestMessageFile::alarmDigits()
{
    m_context.alarmCapable = true;
    CurrentMessage saved;
    saved.setBody(RichText(QStringLiteral("b")));
    saved.options.alarmSound = 2;
    saved.options.alarmVolume = 2;
    saved.options.alarmLoop = 3;
    saved.options.alarmInterval = 5;
    QCOMPARE(writeMessageFile(path("alarm.glc"), saved, false, m_context), MessageFileStatus::Ok);
    QCOMPARE(documentLines(path("alarm.glc")).at(3), QStringLiteral("0202ff0305ST00"));

    CurrentMessage loaded;
    QCOMPARE(readMessageFile(path("alarm.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.options.alarmSound, quint8(2));
    QCOMPARE(loaded.options.alarmVolume, quint8(2));
    QCOMPARE(loaded.options.alarmLoop, quint8(3));
    QCOMPARE(loaded.options.alarmInterval, quint8(5));

    // Without alarm support the alarm fields are left alone.
    m_context.alarmCapable = false;
    CurrentMessage untouched;
    untouched.options.alarmSound = 4;
    QCOMPARE(readMessageFile(path("alarm.glc"), untouched, m_context), MessageFileStatus::Ok);
    QCOMPARE(untouched.options.alarmSound, quint8(4));

    // "STYLE" lines and files written without alarm support carry no alarm digits.
    m_context.alarmCapable = true;
    for (const QString &first : {QStringLiteral("STYLE=01"), QStringLiteral("ST01")}) {
        QStringList lines = standardHeader();
        lines[3] = first;
        putFile(path("style.glc"), handWritten(lines + QStringList{"T", "B", ""}));
        CurrentMessage m;
        m.options.alarmSound = 3;
        m.options.alarmVolume = 1;
        QCOMPARE(readMessageFile(path("style.glc"), m, m_context), MessageFileStatus::Ok);
        QCOMPARE(m.options.style, quint8(1));
        QCOMPARE(m.options.alarmSound, quint8(0));
        QCOMPARE(m.options.alarmVolume, quint8(0xFF));
    }
}

void TestMessageFile::titleLimitOnWrite()
{
    const auto tooLong = [](int limit) {
        return QStringLiteral("There is too many character in the title box.  (Max %1 "
                              "characters.) \nPlease delete any characters.")
            .arg(limit);
    };
    CurrentMessage message;
    message.setBody(RichText(QStringLiteral("b")));
    message.setTitle(RichText(QString(21, u'x')));
    QCOMPARE(writeMessageFile(path("long.glc"), message, false, m_context),
             MessageFileStatus::TitleTooLong);
    QCOMPARE(m_prompter.texts(), QStringList{tooLong(20)});
    QVERIFY(!QFile::exists(path("long.glc")));

    m_context = MessageFileContext::forTarget(TargetCapabilities::fixed(false, false, false),
                                              &m_prompter, m_dir.path());
    QCOMPARE(writeMessageFile(path("long.glc"), message, false, m_context), MessageFileStatus::Ok);
    message.setTitle(RichText(QString(41, u'x')));
    QCOMPARE(writeMessageFile(path("long.glc"), message, false, m_context),
             MessageFileStatus::TitleTooLong);
    message.options.fontSize = 1;
    message.setTitle(RichText(QString(11, u'x')));
    m_prompter.clear();
    QCOMPARE(writeMessageFile(path("long.glc"), message, false, m_context),
             MessageFileStatus::TitleTooLong);
    QCOMPARE(m_prompter.texts(), QStringList{tooLong(10)});
}

void TestMessageFile::textImport()
{
    QByteArray latin(5000, 'a');
    latin[0] = char(0xE9);
    latin[1] = '\t';
    latin[4095] = 'z';
    putFile(path("long.txt"), latin);

    CurrentMessage message;
    message.setTitle(RichText(QStringLiteral("old title")));
    message.options.fontSize = 1;
    message.options.style = 2;
    message.background = ColourCode::Red;
    QCOMPARE(readMessageFile(path("long.txt"), message, m_context), MessageFileStatus::Ok);
    const QString text = message.body().plainText();
    QCOMPARE(text.size(), 4096 - 1 + 4);
    QVERIFY(text.startsWith(QStringLiteral("é    aa")));
    QVERIFY(text.endsWith(u'z'));
    QVERIFY(message.title().isEmpty());
    QCOMPARE(message.options.fontSize, quint8(0));
    QCOMPARE(message.options.style, quint8(2));
    QCOMPARE(message.background, ColourCode::HalfTransparent);
    QCOMPARE(message.body().at(0).format, defaultCharFormat());

    // FF FE: UTF-16 little-endian; line ends become paragraph breaks.
    const QString unicode = QStringLiteral("日本語\tand 中文\r\nnext\nlast");
    QByteArray utf16("\xFF\xFE");
    for (QChar c : unicode)
        utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
    putFile(path("unicode.txt"), utf16 + "x"); // an odd trailing byte is ignored
    QCOMPARE(readMessageFile(path("unicode.txt"), message, m_context), MessageFileStatus::Ok);
    QCOMPARE(message.body().plainText(), QStringLiteral("日本語    and 中文\rnext\rlast"));

    QCOMPARE(decodeImportedText(QByteArray("\xFF\xFE") + QByteArray(5000, 'A')).size(), 2047);
    QCOMPARE(readMessageFile(path("missing.txt"), message, m_context),
             MessageFileStatus::CannotRead);
}

void TestMessageFile::failedSaveKeepsPreviousFile()
{
    CurrentMessage message;
    message.setBody(RichText(QStringLiteral("first version")));
    QCOMPARE(writeMessageFile(path("keep.glc"), message, false, m_context), MessageFileStatus::Ok);
    const QByteArray before = fileBytes(path("keep.glc"));

    QString error;
    QVERIFY(!saveFileAtomically(path("keep.glc"), QByteArray(10000, 'x'), &error, 5000));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path("keep.glc")), before);
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("keep.glc*")}, QDir::Files),
             QStringList{QStringLiteral("keep.glc")});

    QCOMPARE(writeMessageFile(path("no-such-dir/keep.glc"), message, false, m_context, &error),
             MessageFileStatus::CannotWrite);

    message.setBody(RichText(QStringLiteral("second version")));
    QCOMPARE(writeMessageFile(path("keep.glc"), message, false, m_context), MessageFileStatus::Ok);
    CurrentMessage loaded;
    QCOMPARE(readMessageFile(path("keep.glc"), loaded, m_context), MessageFileStatus::Ok);
    QCOMPARE(loaded.body().plainText(), QStringLiteral("second version"));
}

void TestMessageFile::readForSendingUsesItsOwnOptions()
{
    CurrentMessage saved;
    saved.setTitle(RichText(QStringLiteral("T")));
    saved.setBody(RichText(QStringLiteral("B\tx")));
    saved.options.fontSize = 1;
    saved.options.alarmSound = 0;
    saved.options.alarmVolume = 2;
    m_context.alarmCapable = true;
    QCOMPARE(writeMessageFile(path("send.glc"), saved, false, m_context), MessageFileStatus::Ok);

    SendableMessage send;
    QCOMPARE(readMessageForSending(path("send.glc"), {}, m_context, &send), MessageFileStatus::Ok);
    QCOMPARE(send.options.fontSize, quint8(1));
    QCOMPARE(send.options.alarmSound, quint8(0));
    QCOMPARE(send.options.alarmVolume, quint8(0xFF)); // sound "None" blanks the rest
    QCOMPARE(send.title.at(0).format.sizeTwips, 352);
    QCOMPARE(send.body.plainText(), QStringLiteral("B    x"));

    m_context.alarmCapable = false;
    QCOMPARE(readMessageForSending(path("send.glc"), {}, m_context, &send), MessageFileStatus::Ok);
    QCOMPARE(send.options.alarmSound, quint8(0xFF));

    putFile(path("plain.txt"), "hello");
    MessageOptions textOptions;
    textOptions.fontSize = 1;
    textOptions.style = 1;
    QCOMPARE(readMessageForSending(path("plain.txt"), textOptions, m_context, &send),
             MessageFileStatus::Ok);
    QCOMPARE(send.body.plainText(), QStringLiteral("hello"));
    QCOMPARE(send.options.fontSize, quint8(0));
    QCOMPARE(send.options.style, quint8(1));
    QVERIFY(send.title.isEmpty());
}

void TestMessageFile::pathRules()
{
    QVERIFY(checkSavePath(QStringLiteral("/m/a.glc"), m_prompter));
    QVERIFY(!checkSavePath(QStringLiteral("/m/a.GLC"), m_prompter));
    QVERIFY(!checkSavePath(QStringLiteral("/m/a.txt"), m_prompter));
    QCOMPARE(m_prompter.texts(), QStringList(2, QStringLiteral(".glc extension is only valid.")));

    m_prompter.clear();
    const QString folder = path("MessageData");
    QCOMPARE(messageFolder(m_dir.path()), folder);
    QVERIFY(ensureMessageFolder(m_dir.path()));
    QCOMPARE(messageFolderTarget(folder, QStringLiteral("/x/notes.txt")),
             folder + QStringLiteral("/notes.glc"));
    QCOMPARE(messageFolderTarget(folder, QStringLiteral("/x/msg.glc")),
             folder + QStringLiteral("/msg.glc"));
    QVERIFY(checkNoNameClash(folder + QStringLiteral("/msg.glc"), m_prompter));
    putFile(folder + QStringLiteral("/msg.glc"), "x");
    QVERIFY(!checkNoNameClash(folder + QStringLiteral("/msg.glc"), m_prompter));
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Same file name already exists.")});

    QVERIFY(isTextImportPath(QStringLiteral("a.txt")));
    QVERIFY(!isTextImportPath(QStringLiteral("a.TXT")));
    QVERIFY(!isTextImportPath(QStringLiteral("a.glc")));
}

void TestMessageFile::folderListing()
{
    QTemporaryDir home;
    QVERIFY(ensureMessageFolder(home.path()));
    const QString folder = messageFolder(home.path());
    QCOMPARE(listMessageFiles(folder), QStringList{});
    for (int i = 0; i < 260; ++i)
        putFile(QStringLiteral("%1/m%2.glc").arg(folder).arg(i, 3, 10, QChar('0')), "x");
    putFile(folder + QStringLiteral("/a.txt"), "x");
    QVERIFY(QDir(folder).mkdir(QStringLiteral("dir.glc")));
    const QStringList names = listMessageFiles(folder);
    QCOMPARE(names.size(), 255);
    QCOMPARE(names.first(), QStringLiteral("m000.glc"));
    QCOMPARE(names.last(), QStringLiteral("m254.glc"));
}

QTEST_MAIN(TestMessageFile)
#include "tst_message_file.moc"
