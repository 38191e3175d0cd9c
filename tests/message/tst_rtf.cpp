// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rtf_reader.h"
#include "message/rtf_writer.h"
#include "common/corpus_dir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

using namespace glintcaster;

namespace {

CharFormat fmt(quint32 colour, quint32 background, int twips = 176,
               const QString &face = QStringLiteral("Arial Unicode MS"))
{
    CharFormat f;
    f.colour = colour;
    f.background = background;
    f.sizeTwips = twips;
    f.face = face;
    return f;
}

RichText read(const QByteArray &rtf)
{
    const RtfReadResult r = readRtf(rtf);
    if (!r.ok)
        qWarning() << "refused:" << r.error;
    return r.ok ? r.text : RichText(QStringLiteral("<refused>"));
}

QString describe(const RichText &t)
{
    QString s;
    for (const RichChar &c : t.chars())
        s += QStringLiteral("%1[%2/%3/%4/%5] ")
                 .arg(QChar(c.ch))
                 .arg(c.format.colour, 6, 16, QChar('0'))
                 .arg(c.format.background, 6, 16, QChar('0'))
                 .arg(c.format.sizeTwips)
                 .arg(c.format.face);
    return s;
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsEveryAttribute_data();
    void roundTripKeepsEveryAttribute();
    void writerSpeaksTheRichEditDialect();
    void readsRichEditFixtures_data();
    void readsRichEditFixtures();
    void fixturesKeepColours();
    void textControlWords();
    void skipDecisions_data();
    void skipDecisions();
    void damagedEnds_data();
    void damagedEnds();
    void hostileInputIsRefused_data();
    void hostileInputIsRefused();
    void mutatedFixturesNeverCrash();
    void realWorldCorpus();
};

void TestRtf::roundTripKeepsEveryAttribute_data()
{
    QTest::addColumn<RichText>("text");
    QTest::newRow("empty") << RichText();

    RichText mixed;
    mixed.append(QStringLiteral("Red on "), fmt(0xFF0000, 0xC0C0C0));
    mixed.append(QStringLiteral("blue"), fmt(0xFFFFFF, 0x0000FF));
    mixed.append(QStringLiteral("\r"), fmt(0xFFFFFF, 0xC0C0C0));
    mixed.append(QStringLiteral("BIG"), fmt(0x00FF00, 0xE0E0E0, 352));
    mixed.append(QStringLiteral("\r\r"), fmt(0xFFFF00, 0x000000));
    QTest::newRow("colours, backgrounds and sizes per character") << mixed;

    QTest::newRow("Japanese") << RichText(QStringLiteral("会議は十時から。カタカナ\rひらがな"));
    QTest::newRow("Simplified Chinese") << RichText(QStringLiteral("会议将在十点开始，请准时。"));
    QTest::newRow("code page 1252 and escapes")
        << RichText(QStringLiteral("Café € „quoted“ \\ {braces} ÿ\u0081"));
    QTest::newRow("outside the BMP and signed \\u range")
        << RichText(QStringLiteral("\U0001F600 \uFFFD \u8000 \uFF21"));
    QTest::newRow("page feed mark") << RichText(QStringLiteral("one\u25BC\rtwo"));

    RichText faces;
    faces.append(QStringLiteral("abc"), fmt(0xFFFFFF, 0xC0C0C0, 240, QStringLiteral("Courier New")));
    faces.append(QStringLiteral("def"), fmt(0xFFFFFF, 0xC0C0C0, 176, QStringLiteral("ＭＳ ゴシック")));
    QTest::newRow("faces") << faces;
}

void TestRtf::roundTripKeepsEveryAttribute()
{
    QFETCH(RichText, text);
    const QByteArray rtf = writeRtf(text);
    const RtfReadResult r = readRtf(rtf);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(describe(r.text), describe(text));
    QCOMPARE(r.text, text);
}

void TestRtf::writerSpeaksTheRichEditDialect()
{
    RichText t;
    t.append(QStringLiteral("é"), fmt(0xFF0000, 0xC0C0C0));
    t.append(QStringLiteral("あ\r"), fmt(0x0000FF, 0xFFFF00, 352));
    const QByteArray rtf = writeRtf(t);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial Unicode MS;}}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;\\red192\\green192\\blue192;"
                         "\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"));
    QVERIFY(rtf.contains("\\uc1"));
    QVERIFY(rtf.contains("\\cf1\\highlight2\\f0\\fs18 \\'e9"));
    QVERIFY(rtf.contains("\\cf3\\highlight4\\fs35 \\u12354?\\par"));
    QVERIFY(rtf.trimmed().endsWith('}'));
    // Only the characters given: no trailing paragraph is invented.
    QCOMPARE(rtf.count("\\par\r\n"), 1);
}

void TestRtf::readsRichEditFixtures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("cp1252 with escapes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss"
                      "\\fcharset0 Arial;}}\r\n{\\*\\generator Msftedit 5.41.15.1507;}"
                      "\\viewkind4\\uc1\\pard\\f0\\fs20 Caf\\'e9 cr\\'e8me \\'80 5\\par\r\n"
                      "Na\\'efve\\par\r\n}\r\n") + QByteArray(2, '\0')
        << QStringLiteral("Café crème € 5\rNaïve\r");
    QTest::newRow("Japanese, two-byte escapes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
                      "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83"
                      "\\'62\\'83\\'4e;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0"
                      "\\blue255;}\r\n{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4"
                      "\\uc1\\pard\\cf1\\highlight2\\lang1041\\f0\\fs18\\'82\\'a0\\'82\\'a2\\'8a\\'bf\\'8e\\'9a "
                      "A\\'83\\'5c\\par\r\n}\r\n")
        << QStringLiteral("あい漢字 Aソ\r");
    QTest::newRow("Chinese font charset in a Latin document")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                      "{\\f1\\fnil\\fcharset134 SimSun;}}\\pard\\f1 \\'d6\\'d0\\'ce\\'c4\\f0 "
                      "\\'e9}")
        << QStringLiteral("中文é");
    QTest::newRow("\\u with \\uc1 fallbacks")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial "
                      "Unicode MS;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                      "\\viewkind4\\uc1\\pard\\cf1\\highlight2\\f0\\fs18 \\u12354?\\u-27545?"
                      "\\u-10179?\\u-8704? ok\\par}")
        << QStringLiteral("あ鑧\U0001F600 ok\r");
    QTest::newRow("\\uc2 fallbacks and group-local \\uc")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\uc2\\u12354\\'82\\'a0}\\u12356?x}")
        << QStringLiteral("あいx");
    QTest::newRow("ignorable destinations")
        << QByteArray("{\\rtf1\\ansi{\\*\\generator Riched20 10.0.19041;}{\\*\\unknownthing "
                      "{nested} text}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
                      "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}} done}")
        << QStringLiteral("link done");
    QTest::newRow("upr keeps the unicode part")
        << QByteArray("{\\rtf1\\ansi{\\upr{\\fonttbl{\\f0 Ansi;}}{\\*\\ud{\\fonttbl{\\f0 "
                      "Uni;}}}}\\f0 x}")
        << QStringLiteral("x");
}

void TestRtf::readsRichEditFixtures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    const RtfReadResult r = readRtf(rtf);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.text.plainText(), expected);
    // The rich-edit fixtures colour everything red on blue.
    if (rtf.contains("\\cf1\\highlight2")) {
        for (const RichChar &c : r.text.chars()) {
            QCOMPARE(c.format.colour, 0xFF0000u);
            QCOMPARE(c.format.background, 0x0000FFu);
            QCOMPARE(c.format.sizeTwips, 176);
        }
    }
}

void TestRtf::fixturesKeepColours()
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial Unicode MS;}"
        "{\\f1\\fnil Courier;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\r\n\\viewkind4\\uc1\\pard\\cf1\\highlight2\\f0\\fs35 A{\\cf2\\highlight0\\f1\\fs24 B}"
        "C\\cf0 D\\plain E{\\cb1 F}{\\chcbpat2 G}}";
    CharFormat base = fmt(0x123456, 0x654321, 200, QStringLiteral("Base"));
    const RtfReadResult r = readRtf(rtf, base);
    QVERIFY2(r.ok, qPrintable(r.error));
    RichText expected;
    expected.append(QStringLiteral("A"), fmt(0xFF0000, 0x0000FF, 352));
    expected.append(QStringLiteral("B"), fmt(0x0000FF, 0x654321, 240, QStringLiteral("Courier")));
    expected.append(QStringLiteral("C"), fmt(0xFF0000, 0x0000FF, 352));
    expected.append(QStringLiteral("D"), fmt(0x123456, 0x0000FF, 352));
    expected.append(QStringLiteral("E"), fmt(0x123456, 0x654321, 200));
    expected.append(QStringLiteral("F"), fmt(0x123456, 0xFF0000, 200));
    expected.append(QStringLiteral("G"), fmt(0x123456, 0x0000FF, 200));
    QCOMPARE(describe(r.text), describe(expected));
}

void TestRtf::textControlWords()
{
    const QByteArray rtf = "{\\rtf1\\ansi a\\tab b\tc\\line d\\par e\\~f\\emdash\\lquote "
                           "\\unknownword g{\\v hidden}\\bin3 {}}h\\\\\\{\\}\\-i\\cell j}";
    QCOMPARE(read(rtf).plainText(),
             QStringLiteral("a    b    c\rd\re\u00A0f\u2014\u2018gh\\{}i    j"));
}

// What a word processor shows in the body of the page, construct by construct.
void TestRtf::skipDecisions_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("\\* mid-group is ignored") << QByteArray("{\\loch\\f2\\i0\\*\\cs7\\cf0 Hello} you")
                                             << QStringLiteral("Hello you");
    QTest::newRow("\\* after text is ignored") << QByteArray("{a\\*\\zzz b}") << QStringLiteral("ab");
    QTest::newRow("unknown destination after {\\*") << QByteArray("a{\\*\\zzz b{c}}d") << QStringLiteral("ad");
    QTest::newRow("unknown word without \\*") << QByteArray("{\\zzz b}") << QStringLiteral("b");
    QTest::newRow("headers and footers")
        << QByteArray("{\\header H}{\\headerf H}{\\footerl F}{\\footer{\\field{\\fldrslt 1}}}x")
        << QStringLiteral("x");
    QTest::newRow("footnotes") << QByteArray("a\\chftn{\\footnote\\pard N}{\\*\\ftnsep S}b")
                               << QStringLiteral("ab");
    QTest::newRow("hidden text") << QByteArray("a{\\v hidden}b\\v c\\v0 d") << QStringLiteral("abd");
    QTest::newRow("list numbers")
        << QByteArray("{\\listtext 1.\\tab}one\\par{\\pntext\\'b7\\tab}two")
        << QStringLiteral("1.    one\r\u00B7    two");
    QTest::newRow("\\ts in a table row")
        << QByteArray("\\trowd\\ts11\\tsrowd\\cellx100 c1\\cell c2\\cell\\row")
        << QStringLiteral("c1    c2    \r");
    QTest::newRow("field instruction and result")
        << QByteArray("{\\field{\\*\\fldinst{HYPERLINK \"x\"}}{\\fldrslt{link}}}") << QStringLiteral("link");
    QTest::newRow("pictures")
        << QByteArray("a{\\pict\\pngblip 89504e47}{\\*\\shppict{\\pict 00}}{\\nonshppict{\\pict 00}}b")
        << QStringLiteral("ab");
    QTest::newRow("object data, its result shown")
        << QByteArray("{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result{\\pict 00}shown}}")
        << QStringLiteral("shown");
    QTest::newRow("binary data") << QByteArray("a\\bin4 }{\\'b{\\pict\\bin2 xy}c") << QStringLiteral("abc");
}

void TestRtf::skipDecisions()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(read("{\\rtf1\\ansi " + body + "}").plainText(), expected);
}

// A damaged end keeps what was read when asked (imports) and says so; otherwise a document
// cut off is refused. What follows the outermost group never matters.
void TestRtf::damagedEnds_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("trailing");
    QTest::addColumn<int>("openGroups");
    QTest::newRow("padding") << QByteArray("{\\rtf1 x}\r\n\0\0 ", 14) << QStringLiteral("x") << false << 0;
    QTest::newRow("trailing brace") << QByteArray("{\\rtf1 x}}") << QStringLiteral("x") << true << 0;
    QTest::newRow("trailing text") << QByteArray("{\\rtf1 x}\r\nmore words") << QStringLiteral("x") << true << 0;
    QTest::newRow("trailing binary") << QByteArray("{\\rtf1 x}\0\x01\xff\x80{", 14) << QStringLiteral("x") << true
                                     << 0;
    QTest::newRow("second document") << QByteArray("{\\rtf1 a}{\\rtf1 b}") << QStringLiteral("a") << true << 0;
    QTest::newRow("inside a group") << QByteArray("{\\rtf1 a{\\b bold") << QStringLiteral("abold") << false << 2;
    QTest::newRow("inside a \\' escape") << QByteArray("{\\rtf1 caf\\'e") << QStringLiteral("caf") << false << 1;
    QTest::newRow("after a backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a") << false << 1;
    QTest::newRow("inside picture data")
        << QByteArray("{\\rtf1 before{\\pict\\pngblip 89504e470d0a") << QStringLiteral("before") << false << 2;
    QTest::newRow("inside \\bin data")
        << QByteArray("{\\rtf1 a{\\pict\\bin100 xy") << QStringLiteral("a") << false << 2;
}

void TestRtf::damagedEnds()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QFETCH(bool, trailing);
    QFETCH(int, openGroups);
    RtfLimits keep;
    keep.keepTruncated = true;
    const RtfReadResult kept = readRtf(rtf, {}, keep);
    QVERIFY2(kept.ok, qPrintable(kept.error));
    QCOMPARE(kept.text.plainText(), expected);
    QCOMPARE(kept.trailingIgnored, trailing);
    QCOMPARE(kept.openGroups, openGroups);
    const RtfReadResult strict = readRtf(rtf);
    QCOMPARE(strict.ok, openGroups == 0);
    QVERIFY(strict.ok || !strict.error.isEmpty());
}

void TestRtf::hostileInputIsRefused_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not rtf") << QByteArray("foobar");
    QTest::newRow("control word only") << QByteArray("\\foobar\n");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{');
    QTest::newRow("deep balanced nesting")
        << QByteArray("{\\rtf1 ") + QByteArray(5000, '{') + QByteArray(5000, '}') + "}";
    QTest::newRow("unterminated group") << QByteArray("{\\rtf1\\ansi {\\b bold} text");
    QTest::newRow("huge number") << QByteArray("{\\rtf1\\fs99999999999999999999 x}");
    QTest::newRow("number past int range") << QByteArray("{\\rtf1\\cf4294967296 x}");
    QTest::newRow("endless control word") << QByteArray("{\\rtf1\\") + QByteArray(100000, 'a') + "}";
    QByteArray colours = "{\\rtf1{\\colortbl;";
    for (int i = 0; i < 100000; ++i)
        colours += "\\red1\\green2\\blue3;";
    QTest::newRow("100000 colours") << colours + "}x}";
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 100000; ++i)
        fonts += "{\\f" + QByteArray::number(i) + " F;}";
    QTest::newRow("100000 fonts") << fonts + "}x}";
    QTest::newRow("truncated hex escape") << QByteArray("{\\rtf1 a\\'4");
    QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zz}");
    QTest::newRow("bin past the end") << QByteArray("{\\rtf1 \\bin2000000000 x}");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 \\bin-5 x}");
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 x\\");
    QTest::newRow("too much text")
        << QByteArray("{\\rtf1 ") + QByteArray(1 << 19, 'x') + QByteArray(1 << 19, 'y') + "z}";
    QTest::newRow("tab bomb") << QByteArray("{\\rtf1 ") + QByteArray(300000, '\t') + "}";
}

void TestRtf::hostileInputIsRefused()
{
    QFETCH(QByteArray, rtf);
    QElapsedTimer timer;
    timer.start();
    const RtfReadResult r = readRtf(rtf);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QVERIFY(r.text.isEmpty());
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void TestRtf::mutatedFixturesNeverCrash()
{
    RichText sample;
    sample.append(QStringLiteral("Title é あ 中\r"), fmt(0xFF0000, 0x00FF00));
    sample.append(QStringLiteral("Body {x} \\ \U0001F600"), fmt(0x0000FF, 0xE0E0E0, 352));
    const QList<QByteArray> seeds = {
        writeRtf(sample),
        "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 M;}}{\\colortbl;\\red1;}"
        "\\f0\\'82\\'a0{\\*\\x y}\\uc2\\u-1\\'82\\'a0\\bin2 ab\\par}",
    };
    const QByteArray alphabet = "{}\\'*;0123456789-abcdefuxrtfbin \r\n\x82\xa0";
    QRandomGenerator rng(20261207);
    QElapsedTimer timer;
    timer.start();
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray data = seeds.at(round % seeds.size());
        const int edits = 1 + rng.bounded(8);
        for (int e = 0; e < edits && !data.isEmpty(); ++e) {
            const int at = rng.bounded(int(data.size()));
            switch (rng.bounded(4)) {
            case 0:
                data[at] = alphabet.at(rng.bounded(int(alphabet.size())));
                break;
            case 1:
                data.insert(at, alphabet.at(rng.bounded(int(alphabet.size()))));
                break;
            case 2:
                data.remove(at, 1 + rng.bounded(4));
                break;
            default:
                data.insert(at, data.mid(rng.bounded(int(data.size())), rng.bounded(40)));
                break;
            }
        }
        const RtfReadResult r = readRtf(data);
        QVERIFY(r.ok || !r.error.isEmpty());
        accepted += r.ok;
    }
    QVERIFY(accepted > 0);
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

void TestRtf::realWorldCorpus()
{
    const QDir dir(rtfCorpusDir());
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        QSKIP("the real-world RTF corpus is not present");

    QHash<QString, QString> texts;
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QElapsedTimer timer;
        timer.start();
        const RtfReadResult r = readRtf(data);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(name));
        // Broken on purpose: not RTF at all (0, 4, 5, 6) or cut off (3) are refused; data
        // after the end (1, 2) is ignored.
        const bool trailing = name.contains(QLatin1String("_fail_1")) || name.contains(QLatin1String("_fail_2"));
        if (name.contains(QLatin1String("_fail_")) && !trailing)
            QVERIFY2(!r.ok, qPrintable(name));
        else
            QVERIFY2(r.ok, qPrintable(name + QLatin1String(": ") + r.error));
        QCOMPARE(r.trailingIgnored, trailing);
        texts.insert(name, r.text.plainText());
    }

    // Spot checks of what the documents show.
    const auto text = [&](const char *name) { return texts.value(QLatin1String(name)); };
    QCOMPARE(text("RtfPipe.Tests_Files_rtf2xml_simplest.rtf"), QStringLiteral("hello world"));
    QCOMPARE(text("RtfPipe.Tests_Files_minimal.rtf"), QStringLiteral("foobar"));
    QVERIFY(text("RtfPipe.Tests_Files_RtfParserTest_0.rtf").contains(u"Hello world in {RTF}…"));
    const QString japanese = text("RtfPipe.Tests_Files_rtf2xml_japanese.rtf");
    QVERIFY2(japanese.contains(QChar(0x65E5)) || japanese.contains(QChar(0x3042)),
             qPrintable(japanese.left(200)));
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
