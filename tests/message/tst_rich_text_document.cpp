// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/current_message.h"
#include "message/rich_text_document.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace glintcaster;

class TestRichTextDocument : public QObject {
    Q_OBJECT
private slots:
    void documentKeepsEveryUnitAndUnsetMeansDefault()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        // Text without any colours: the box's default, not black.
        c.insertText(QStringLiteral("a\u00A0b\u2028c"));
        c.insertBlock();
        QTextCharFormat red;
        red.setForeground(QColor(255, 0, 0));
        c.insertText(QStringLiteral("\u25BC"), red);
        c.insertBlock();
        c.insertText(QStringLiteral("end"));

        const CharFormat box = defaultCharFormat(true);
        const RichText rt = richTextFromDocument(doc, box);
        QCOMPARE(rt.plainText(), QStringLiteral("a\u00A0b\u2028c\r\u25BC\rend"));
        QCOMPARE(rt.at(0).format, box);
        QCOMPARE(rt.at(6).format.colour, rgbForCode(1));
        QCOMPARE(rt.at(6).format.background, box.background);
        // A range reads the same units at the same positions.
        QCOMPARE(richTextFromDocument(doc, box, 2, 8), rt.mid(2, 6));

        // And back into a document, formats included.
        QTextDocument copy;
        QTextCursor cc(&copy);
        insertRichText(cc, rt);
        QCOMPARE(richTextFromDocument(copy, box), rt);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::newRow("crlf") << "a\r\nb" << "a b" << "a\rb";
        QTest::newRow("lf") << "a\nb" << "a b" << "a\rb";
        QTest::newRow("separators") << "a\u2028b\u2029c" << "a b c" << "a\rb\rc";
        QTest::newRow("page feed mark") << "a\u25BC\rb" << "a b" << "a\u25BC\rb";
        QTest::newRow("form feed") << "a\fb" << "a b" << "a\u25BC\rb";
        QTest::newRow("tab") << "a\tb" << "a    b" << "a    b";
        QTest::newRow("no-break space kept") << "a\u00A0b" << "a\u00A0b" << "a\u00A0b";
    }
    void lineBreaks()
    {
        QFETCH(QString, input);
        QFETCH(QString, title);
        QFETCH(QString, body);
        QCOMPARE(oneLineTitle(RichText(input)).plainText(), title);
        QCOMPARE(normalisedBody(RichText(input)).plainText(), body);
    }

    void nearestPaletteColour_data()
    {
        QTest::addColumn<quint32>("rgb");
        QTest::addColumn<int>("code");
        for (int c = 0; c < PaletteSize; ++c)
            QTest::addRow("exact %d", c) << rgbForCode(c) << c;
        QTest::newRow("dark red") << 0xC00000u << 1;
        QTest::newRow("orange") << 0xFFC000u << 2;
        QTest::newRow("navy") << 0x000090u << 5;
        QTest::newRow("near black") << 0x000060u << 0;
        QTest::newRow("mid grey") << 0x909090u << 8;
        QTest::newRow("near white") << 0xF0F0F0u << 7;
        QTest::newRow("pale grey") << 0xE8E8E8u << 9;
        QTest::newRow("alpha ignored") << 0xFF00FF00u << 3;
    }
    void nearestPaletteColour()
    {
        QFETCH(quint32, rgb);
        QFETCH(int, code);
        QCOMPARE(nearestPaletteCode(rgb), code);
    }
};

QTEST_MAIN(TestRichTextDocument)
#include "tst_rich_text_document.moc"
