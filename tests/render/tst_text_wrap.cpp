// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/text_wrap.h"
#include "render/width_tables.h"

#include <QtTest>

using namespace glintcaster;

namespace {

QList<int> row(const char *widths)
{
    QList<int> out;
    for (const QByteArray &w : QByteArray(widths).split(' '))
        out << w.toInt();
    return out;
}

const WrapSettings Basic{false, false};
const WrapSettings Extended{true, false};

} // namespace

class TestTextWrap : public QObject {
    Q_OBJECT
private slots:
    void basicTable()
    {
        const QList<QPair<int, const char *>> rows = {
            {0x20, "12 8 9 13 12 14 13 5 9 9 10 12 7 7 7 8"},
            {0x30, "12 12 12 12 12 12 12 12 12 12 7 7 13 12 13 12"},
            {0x40, "13 13 13 13 13 13 13 13 13 8 10 13 12 13 13 13"},
            {0x50, "13 13 13 13 13 13 13 12 13 12 13 9 8 9 12 13"},
            {0x60, "7 12 12 12 12 12 10 12 12 8 7 12 8 12 12 13"},
            {0x70, "12 12 9 11 9 12 12 12 13 13 12 12 8 12 13 12"},
            {0xA0, "12 8 12 13 11 12 8 12 10 12 10 11 13 10 13 14"},
            {0xB0, "8 12 8 8 7 11 13 8 9 8 8 11 13 13 13 12"},
            {0xC0, "13 13 13 13 13 13 13 13 13 13 13 13 8 8 8 8"},
            {0xD0, "13 13 13 13 13 13 13 11 13 13 13 13 13 12 12 12"},
            {0xE0, "12 12 12 12 12 12 13 12 12 12 12 12 8 8 8 8"},
            {0xF0, "13 12 13 13 13 13 13 12 13 12 12 12 12 13 12 13"},
        };
        for (const auto &[start, widths] : rows) {
            const QList<int> expected = row(widths);
            for (int i = 0; i < 16; ++i)
                QCOMPARE(BasicWidthTable::width(char16_t(start + i)), expected.at(i));
        }
        for (int c = 0; c < 0x20; ++c)
            QCOMPARE(BasicWidthTable::width(char16_t(c)), 0);
        for (int c = 0x80; c < 0xA0; ++c)
            QCOMPARE(BasicWidthTable::width(char16_t(c)), 12);
        // Looked up by the low byte, whatever the character.
        QCOMPARE(BasicWidthTable::width(u'\u0141'), BasicWidthTable::width(u'A'));
        QCOMPARE(BasicWidthTable::width(u'\u25BC'), 13);
    }

    void extendedTable()
    {
        const QList<QPair<int, const char *>> rows = {
            {0x20, "9 5 8 15 12 18 15 5 7 7 11 14 6 9 6 13"},
            {0x30, "12 12 12 12 12 12 12 12 12 12 6 6 13 14 13 11"},
            {0x40, "18 15 13 13 13 12 11 14 14 9 11 13 12 16 14 15"},
            {0x50, "13 15 13 13 14 14 14 19 14 14 13 6 13 7 11 11"},
            {0x60, "7 11 12 11 12 12 9 12 12 5 7 12 7 18 12 13"},
            {0x70, "12 12 8 10 9 12 13 17 12 14 11 8 5 8 13 9"},
        };
        for (const auto &[start, widths] : rows) {
            const QList<int> expected = row(widths);
            for (int i = 0; i < 16; ++i)
                QCOMPARE(ExtendedWidthTable::width(char16_t(start + i)), expected.at(i));
        }
        for (int c = 0; c < 0x20; ++c)
            QCOMPARE(ExtendedWidthTable::width(char16_t(c)), 0);
        for (int c = 0x80; c <= 0xA0; ++c)
            QCOMPARE(ExtendedWidthTable::width(char16_t(c)), 11);
        for (int c = 0x20; c < 0x500; ++c)
            QVERIFY2(ExtendedWidthTable::width(char16_t(c)) > 0, qPrintable(QString::number(c, 16)));
        for (int c = 0x1E00; c < 0x1F00; ++c)
            QVERIFY(ExtendedWidthTable::width(char16_t(c)) > 0);
        QCOMPARE(ExtendedWidthTable::width(u'\u0500'), 0);
        QCOMPARE(ExtendedWidthTable::width(u'\u20AC'), 0);
        QCOMPARE(ExtendedWidthTable::width(u'\u25BC'), 0);
        // Accented letters measure like their base letter.
        QCOMPARE(ExtendedWidthTable::width(u'\u00C4'), ExtendedWidthTable::width(u'A'));
        QCOMPARE(ExtendedWidthTable::width(u'\u1EA0'), ExtendedWidthTable::width(u'A'));
        QCOMPARE(ExtendedWidthTable::width(u'\u1EF3'), ExtendedWidthTable::width(u'y'));
        QCOMPARE(ExtendedWidthTable::width(u'\u0416'), 11);
    }

    void encodingBreaksAtTheLastSpaceOfTheLine()
    {
        // Basic widths: 'n' 12, space 12. 51 characters fill 612 units; the 52nd overflows.
        QString t = QString(20, u'n') + u' ' + QString(40, u'n');
        wrapForEncoding(t, Basic);
        QCOMPARE(t.indexOf(QChar(AutoLineBreak)), 20);
        QCOMPARE(t.count(QChar(AutoLineBreak)), 1);

        // Exactly full lines: 51 characters stay on one line, the 52nd does not.
        QString full = QString(50, u'n') + u' ' + u'n';
        wrapForEncoding(full, Basic);
        QCOMPARE(full.indexOf(QChar(AutoLineBreak)), 50);
        QString fits = QString(49, u'n') + u' ' + u'n';
        wrapForEncoding(fits, Basic);
        QCOMPARE(fits.count(QChar(AutoLineBreak)), 0);

        // Double size: every character counts twice on a 588-unit line (24 per line).
        QString twice = QString(23, u'n') + u' ' + u'n';
        wrapForEncoding(twice, WrapSettings{false, true});
        QCOMPARE(twice.indexOf(QChar(AutoLineBreak)), 23);
    }

    void searchStaysInsideTheLine()
    {
        // An over-long word after a paragraph break must not break the earlier paragraph.
        const QString head = QStringLiteral("aa bb cc\r");
        QString t = head + QString(100, u'm');
        wrapForEncoding(t, Basic);
        QCOMPARE(t, head + QString(100, u'm'));

        // Nor the line before an inserted break.
        QString words = QString(30, u'n') + u' ' + QString(30, u'n') + u' ' + QString(100, u'm');
        wrapForEncoding(words, Basic);
        QCOMPARE(words.count(QChar(AutoLineBreak)), 2);
        QCOMPARE(words.at(30), QChar(AutoLineBreak));
        QCOMPARE(words.at(61), QChar(AutoLineBreak));
    }

    void unmeasurableCharactersSuspendWrapping()
    {
        QString t = QStringLiteral("\u3042") + QString(30, u'n') + u' ' + QString(30, u'n') +
                    u'\r' + QString(30, u'n') + u' ' + QString(30, u'n');
        wrapForEncoding(t, Extended);
        QCOMPARE(t.count(QChar(AutoLineBreak)), 1);
        QVERIFY(t.indexOf(QChar(AutoLineBreak)) > t.indexOf(u'\r'));

        // For the line count they measure 12 and wrap like anything else.
        const QString kana = QString(60, QChar(0x3042));
        QCOMPARE(countWrappedLines(wrapForDisplay(kana, Extended).text), 2);
    }

    void displayWrapBreaksLongWords()
    {
        // 'm' is 18 units in the extended font: 34 fit, the 35th starts a new line.
        const DisplayWrap d = wrapForDisplay(QString(80, u'm'), Extended);
        QCOMPARE(d.text.size(), 82);
        QCOMPARE(d.text.at(34), QChar(AutoLineBreak));
        QCOMPARE(d.text.at(69), QChar(AutoLineBreak));
        QCOMPARE(d.origin.at(34), qsizetype(-1));
        QCOMPARE(d.origin.at(35), qsizetype(34));
        QCOMPARE(countWrappedLines(d.text), 3);
        QCOMPARE(CountDisplayLines(QStringLiteral("title"), QString(80, u'm'), Extended), 4);
        QCOMPARE(CountDisplayLines(QString(), QString(), Extended), 0);
    }

    void countingLines()
    {
        QCOMPARE(countWrappedLines(QStringLiteral("abc")), 1);
        QCOMPARE(countWrappedLines(QStringLiteral("abc\r")), 1);
        QCOMPARE(countWrappedLines(QStringLiteral("abc\r\r")), 2);
        QCOMPARE(countWrappedLines(QStringLiteral("\r\rx")), 3);
        QCOMPARE(countWrappedLines(QStringLiteral("a\u25BC\rb")), 2);
        QCOMPARE(countWrappedLines(QStringLiteral("a\u25BC\r")), 1);
        QCOMPARE(countWrappedLines(QStringLiteral("a\nb")), 2);
    }

    void displayLineNumbers()
    {
        const QString t = QStringLiteral("one\rtwo\u25BC\rthree ") + QString(60, u'n');
        const QList<int> lines = displayLines(t, Basic);
        QCOMPARE(lines.size(), t.size());
        QCOMPARE(lines.at(0), 1);
        QCOMPARE(lines.at(3), 1);  // the break ends its line
        QCOMPARE(lines.at(4), 2);
        QCOMPARE(lines.at(7), 2);  // the page-feed mark
        QCOMPARE(lines.at(8), 2);  // and the break it swallows
        QCOMPARE(lines.at(9), 3);
        // "three" alone on line 3; the 60-letter word fills line 4 and ends on line 5.
        QCOMPARE(lines.at(15), 4);
        QCOMPARE(lines.last(), 5);
    }
};

QTEST_MAIN(TestTextWrap)
#include "tst_text_wrap.moc"
