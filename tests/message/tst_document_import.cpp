// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Documents from other editors turned into message bodies: code pages, Unicode escapes,
// colours snapped to the palette, and the real-world corpus against an independent reader.
#include "message/current_message.h"
#include "message/document_import.h"
#include "message/message_options.h"
#include "common/corpus_dir.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStandardPaths>
#include <QtTest>

using namespace glintcaster;

namespace {

/// What `unrtf --text` shows of the document's body: its banner ("###" lines) and the
/// document information above the dashed line left out.
QString unrtfText(const QString &path, bool *ok)
{
    QProcess p;
    p.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), path});
    *ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    // unrtf writes the bytes of the document's code page unchanged when it has no
    // converter; those documents here are in code page 1252.
    const QByteArray bytes = p.readAllStandardOutput();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QStringDecoder("windows-1252").decode(bytes);
    // It also names the picture files it would write.
    text.remove(QRegularExpression(QStringLiteral("pict\\d+\\.\\w+")));
    QStringList lines = text.split(QLatin1Char('\n'));
    const qsizetype dashes = lines.indexOf(QStringLiteral("-----------------"));
    if (dashes >= 0)
        lines = lines.mid(dashes + 1);
    for (QString &l : lines) {
        const qsizetype note = l.indexOf(QLatin1String("###"));
        if (note >= 0)
            l.truncate(note); // its own remarks ("### picture data found ...")
    }
    return lines.join(QLatin1Char('\n'));
}

/// The letters and digits of ASCII, in order. unrtf gets much of the rest wrong on its
/// own (typographic quotes and dashes dropped, bullets shown as '"', an ellipsis as '&',
/// code pages it has no converter for as '?' or stray bytes), so that is what two readers
/// of the same document must agree on.
QString skeleton(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            out += c;
    }
    return out;
}

int codeOf(quint32 rgb) { return codeForRgb(rgb); }

} // namespace

class TestDocumentImport : public QObject {
    Q_OBJECT

private slots:
    void coloursSnapToThePalette_data()
    {
        QTest::addColumn<quint32>("rgb");
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("background");
        QTest::newRow("pure red") << 0xFF0000u << 1 << 1;
        QTest::newRow("dark red") << 0xC00000u << 1 << 1;
        QTest::newRow("orange") << 0xFFA500u << 2 << 2;
        QTest::newRow("navy") << 0x000080u << 5 << 5;
        QTest::newRow("dark grey") << 0x404040u << 0 << 0;
        QTest::newRow("light grey") << 0xD0D0D0u << 7 << 8;
        QTest::newRow("teal") << 0x00C0C0u << 4 << 4;
        QTest::newRow("violet") << 0xC000C0u << 6 << 6;
        QTest::newRow("lime") << 0x40FF40u << 3 << 3;
    }
    void coloursSnapToThePalette()
    {
        QFETCH(quint32, rgb);
        QFETCH(int, text);
        QFETCH(int, background);
        QCOMPARE(nearestTextColour(rgb), text);
        QCOMPARE(nearestBackgroundColour(rgb), background);
    }

    void documentsBecomeBodies_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("colours"); // text colour, background of each character
        QTest::addColumn<int>("dropped");
        const QByteArray table = "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green10\\blue10;\\red255\\green255\\blue0;"
                                 "\\red255\\green255\\blue255;}";
        QTest::newRow("code page 1252")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80\\par}") << QStringLiteral("café €")
            << QList<int>{} << 0;
        QTest::newRow("code page 932")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'83\\'4a\\par}") << QStringLiteral("あカ")
            << QList<int>{} << 0;
        QTest::newRow("code page 936 through the font charset")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset134 SimSun;}}\\f1 \\'c4\\'e3\\'ba\\'c3}")
            << QStringLiteral("你好") << QList<int>{} << 0;
        QTest::newRow("Unicode escapes with fallbacks")
            << QByteArray("{\\rtf1\\ansi\\uc1 \\u20320?\\u-3?{\\uc2\\u22909??}x}") << QStringLiteral("你\uFFFD好x")
            << QList<int>{} << 0;
        QTest::newRow("automatic and black ink on paper are white")
            << QByteArray("{\\rtf1\\ansi" + table + "a\\cf1 b\\cf2 c\\highlight3 d\\cf1 e\\highlight4 f}")
            << QStringLiteral("abcdef")
            << QList<int>{7, 8, 7, 8, 1, 8, 1, 2, 0, 2, 7, 8} << 0;
        QTest::newRow("controls dropped, closing breaks trimmed")
            << QByteArray("{\\rtf1\\ansi a\\u7?b\\u65279?\\line c\\par\\par }") << QStringLiteral("ab\rc")
            << QList<int>{} << 2;
        QTest::newRow("plain text")
            << QByteArray("Line one\r\nLine\ttwo\x01\n") << QStringLiteral("Line one\rLine    two")
            << QList<int>{} << 1;
    }
    void documentsBecomeBodies()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, text);
        QFETCH(QList<int>, colours);
        QFETCH(int, dropped);
        const DocumentImport doc = importDocument(input);
        QVERIFY2(doc.ok, qPrintable(doc.error));
        QCOMPARE(doc.body.plainText(), text);
        QCOMPARE(doc.dropped, dropped);
        for (qsizetype i = 0; i < colours.size() / 2; ++i) {
            const RichChar &c = doc.body.at(i);
            QCOMPARE(codeOf(c.format.colour), colours.at(2 * i));
            QCOMPARE(codeOf(c.format.background), colours.at(2 * i + 1));
        }
        for (const RichChar &c : doc.body.chars()) {
            QCOMPARE(c.format.sizeTwips, StandardSizeTwips);
            QCOMPARE(c.format.face, defaultCharFormat().face);
        }
    }

    void damagedEndsImportWithOneWarning()
    {
        const struct {
            QByteArray rtf;
            QString text;
            QString warning;
        } cases[] = {
            {"{\\rtf1 cut off{\\b mid", QStringLiteral("cut offmid"), QStringLiteral("cut off (2 groups left open)")},
            {"{\\rtf1 a}}junk{\\rtf1 b}", QStringLiteral("a"), QStringLiteral("data after the end of the document ignored")},
            {"{\\rtf1 a\\'zz}", {}, {}}, // damage that is not at the end is refused
        };
        for (const auto &c : cases) {
            const DocumentImport doc = importDocument(c.rtf);
            QCOMPARE(doc.ok, !c.text.isEmpty());
            QCOMPARE(doc.body.plainText(), c.text);
            QCOMPARE(doc.warnings.size(), c.warning.isEmpty() ? 0 : 1);
            if (doc.ok)
                QVERIFY2(doc.warnings.first().contains(c.warning), qPrintable(doc.warnings.first()));
            else
                QVERIFY(doc.error.startsWith(QStringLiteral("not readable as RTF: ")));
        }
    }

    void unsupportedCharacters()
    {
        const RichText text(QStringLiteral("a\u00e9\u4f60") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("\u25bc\r"));
        QCOMPARE(unsupportedPositions(text, false), (QList<qsizetype>{3, 4}));
        QCOMPARE(unsupportedPositions(text, true), (QList<qsizetype>{2, 3, 4}));
    }

    // Every real-world document imports or is refused with a reason, and what it reads is
    // what an independent reader reads.
    void realWorldCorpusMatchesUnrtf()
    {
        const QDir dir(rtfCorpusDir());
        if (!dir.exists())
            QSKIP("../shared/corpus/rtf-real is not here");
        if (QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty())
            QSKIP("unrtf is not installed (scripts/setup installs it)");
        // Where unrtf itself gets the text wrong, checked by hand against the documents.
        const QString cjk = QStringLiteral("turns Shift-JIS or GBK text into stray ASCII letters");
        const QString notes = QStringLiteral("shows footnotes, which an edit box does not");
        const QString symbols = QStringLiteral("decodes Symbol and Dingbats font characters as doubled digits and letters");
        const QHash<QString, QString> unrtfWrong{
            {QStringLiteral("Issue34"), QStringLiteral("code page 1251 comes out as control bytes")},
            {QStringLiteral("Issue39"), QStringLiteral("drops \\_ (non-breaking hyphen) and Lithuanian letters")},
            {QStringLiteral("Issue46"), QStringLiteral("shows \\'85 (an ellipsis) as &")},
            {QStringLiteral("Issue50-1"), QStringLiteral("shows hidden (\\v) text")},
            {QStringLiteral("Issue51"), QStringLiteral("shows hidden (\\v) text")},
            {QStringLiteral("Issue50-2"), QStringLiteral("shows the hex data of \\*\\datastore")},
            {QStringLiteral("Issue52"), QStringLiteral("drops text after \\htmlrtf0 in HTML mail")},
            {QStringLiteral("RtfParserTest_4"), cjk}, {QStringLiteral("RtfParserTest_5"), cjk},
            {QStringLiteral("RtfParserTest_6"), cjk}, {QStringLiteral("RtfParserTest_7"), cjk},
            {QStringLiteral("RtfParserTest_8"), cjk}, {QStringLiteral("rtf2xml_japanese"), cjk},
            {QStringLiteral("Test01"), QStringLiteral("prints the fallback of \\u next to the character")},
            {QStringLiteral("phprtflite_footnotes"), notes}, {QStringLiteral("rtf2xml_noteref"), notes},
            {QStringLiteral("rtf2xml_inline_mix"), notes},
            {QStringLiteral("phprtflite_paragraphs_fonts"), QStringLiteral("shows a hyperlink's field instruction")},
            {QStringLiteral("rtf2xml_bullet_list"), QStringLiteral("shows a list's number text 'c'")},
            {QStringLiteral("rtf2xml_char_upper_ranges"), symbols}, {QStringLiteral("rtf2xml_char_upper_ranges_hex"), symbols},
            {QStringLiteral("rtf2xml_symbol"), symbols}, {QStringLiteral("rtf2xml_zapf_dingbats"), symbols},
            {QStringLiteral("rtf2xml_old3_from_web"), symbols},
        };
        QStringList mismatched;
        int compared = 0;
        for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const DocumentImport doc = importDocument(f.readAll(), true);
            if (!doc.ok) {
                QVERIFY2(!doc.error.isEmpty(), qPrintable(name));
                continue;
            }
            const QString shortName =
                QString(name).remove(QStringLiteral("RtfPipe.Tests_Files_")).remove(QStringLiteral(".rtf"));
            if (unrtfWrong.contains(shortName)) {
                QVERIFY2(!doc.body.isEmpty(), qPrintable(name));
                continue;
            }
            bool ok = false;
            const QString reference = skeleton(unrtfText(dir.filePath(name), &ok));
            if (!ok)
                continue; // the reference could not read it either
            ++compared;
            const QString ours = skeleton(doc.body.plainText());
            if (ours != reference) {
                qsizetype at = 0;
                while (at < ours.size() && at < reference.size() && ours.at(at) == reference.at(at))
                    ++at;
                const qsizetype from = qMax<qsizetype>(0, at - 40);
                mismatched << QStringLiteral("%1 from character %2\n  ours:  %3\n  unrtf: %4")
                                  .arg(name).arg(at).arg(ours.mid(from, 120), reference.mid(from, 120));
            }
        }
        qInfo("%d documents compared", compared);
        for (const QString &m : mismatched)
            qWarning("%s", qPrintable(m));
        QVERIFY2(mismatched.isEmpty(), qPrintable(QStringLiteral("%1 documents read differently").arg(mismatched.size())));
    }
};

QTEST_MAIN(TestDocumentImport)
#include "tst_document_import.moc"
