// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The preview's line model: wrapping, lines, colours and the options it draws with.
#include "preview_test_support.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "render/payload_encoder.h"

#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;

class TestPreviewModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void linesAndWrapping_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("lines");

        const QString a60(60, u'a');
        QTest::newRow("breaks kept, empty end not a line")
            << 1 << 0 << QStringLiteral("abc def\r\rghi\r")
            << QStringList{QStringLiteral("abc def\r"), QStringLiteral("\r"), QStringLiteral("ghi\r")};
        QTest::newRow("page mark keeps the break after it")
            << 1 << 0 << QStringLiteral("A\u25BC\rB")
            << QStringList{QStringLiteral("A\u25BC\r"), QStringLiteral("B")};
        // 'a' is 12 wide: the 52nd reaches 614 and, with no space, a break is inserted.
        QTest::newRow("over-long word broken")
            << 1 << 0 << a60 << QStringList{QString(51, u'a') + u'\n', QString(9, u'a')};
        QTest::newRow("space before overflow becomes the break")
            << 0 << 0 << QString(40, u'a') + u' ' + QString(20, u'b')
            << QStringList{QString(40, u'a') + u'\n', QString(20, u'b')};
        QTest::newRow("double size counts twice on 588")
            << 1 << 1 << QString(30, u'a') << QStringList{QString(24, u'a') + u'\n', QString(6, u'a')};
        QTest::newRow("picture side panel is 214 wide")
            << 3 << 0 << QString(20, u'a') << QStringList{QString(17, u'a') + u'\n', QString(3, u'a')};
        // The projector gets standard size for this style, so the preview measures so too.
        QTest::newRow("picture side ignores double size")
            << 3 << 1 << QString(20, u'a') << QStringList{QString(17, u'a') + u'\n', QString(3, u'a')};
    }
    void linesAndWrapping()
    {
        QFETCH(int, style);
        QFETCH(int, fontSize);
        QFETCH(QString, body);
        QFETCH(QStringList, lines);
        CurrentMessage m = makeMessage(style, body);
        m.options.fontSize = quint8(fontSize);
        const PreviewModel model = modelOf(m);
        QStringList got;
        for (const PreviewLine &l : model.messageLines)
            got << lineText(l);
        QCOMPARE(got, lines);
    }

    void pictureSideTitleWidthDependsOnIcon()
    {
        // 16 'a' of 12 fit 194; the space after them overflows and becomes the break.
        CurrentMessage m = makeMessage(3, QStringLiteral("x"), QString(16, u'a') + QStringLiteral(" aa"));
        const PreviewModel plain = modelOf(m);
        QCOMPARE(plain.titleLines.size(), 2);
        QCOMPARE(lineText(plain.titleLines.at(0)), QString(16, u'a') + u'\n');
        m.icon = 1; // 170 wide: the 15th 'a' overflows and no space precedes it
        const PreviewModel withIcon = modelOf(m);
        QCOMPARE(withIcon.titleLines.size(), 2);
        QCOMPARE(lineText(withIcon.titleLines.at(0)), QString(14, u'a') + u'\n');
        QCOMPARE(lineText(withIcon.titleLines.at(1)), QStringLiteral("aa aa"));
    }

    void coloursFollowTheSourceCharacters()
    {
        // 60 characters, colour changes at source position 51, where wrapping inserts a
        // break: the break takes the colours before it, the next line starts in green.
        CurrentMessage m = makeMessage(1, QString());
        RichText body;
        body.append(QString(51, u'a'), colours(Red, BlackRgb));
        body.append(QString(9, u'b'), colours(Green, Blue));
        m.setBody(body);
        const PreviewModel model = modelOf(m);
        QCOMPARE(model.messageLines.size(), 2);
        const PreviewLine &first = model.messageLines.at(0);
        const PreviewLine &second = model.messageLines.at(1);
        QCOMPARE(first.last().ch, u'\n');
        QCOMPARE(first.last().colour, quint8(1));
        QCOMPARE(first.last().background, quint8(0));
        QCOMPARE(second.first().ch, u'b');
        QCOMPARE(second.first().colour, quint8(3));
        QCOMPARE(second.first().background, quint8(5));
        QCOMPARE(second.last().colour, quint8(3));
    }

    void transparencyBecomesTheBackground_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("attribute");
        QTest::addColumn<bool>("displayMode");
        QTest::addColumn<int>("background"); // the text area's code
        QTest::addColumn<int>("charBackground");

        // A transparent colour shows what is behind it, never black.
        QTest::newRow("half transparent") << 1 << 0x20 << false << 8 << 8;
        QTest::newRow("transparent shows blue") << 1 << 0x40 << false << 5 << 5;
        QTest::newRow("opaque green") << 1 << 0x03 << false << 3 << 3;
        // The blink bit says nothing about the background.
        QTest::newRow("blinking half transparent") << 2 << 0xA0 << false << 8 << 8;
        QTest::newRow("blinking transparent") << 2 << 0xC0 << false << 5 << 5;
        QTest::newRow("blinking red") << 2 << 0x81 << false << 1 << 1;
        QTest::newRow("0x60 takes its low bits") << 1 << 0x64 << false << 4 << 4;
        QTest::newRow("display mode") << 1 << 0x20 << true << 5 << 5;
        QTest::newRow("display mode, picture side") << 3 << 0x20 << true << 0 << 0;
    }
    void transparencyBecomesTheBackground()
    {
        QFETCH(int, style);
        QFETCH(int, attribute);
        QFETCH(bool, displayMode);
        QFETCH(int, background);
        QFETCH(int, charBackground);
        CurrentMessage m = makeMessage(style, QString());
        RichText body;
        body.append(QStringLiteral("t"), colours(Clear, Clear)); // transparent on transparent
        body.append(QStringLiteral("o"), colours(Red, Green));   // opaque
        m.setBody(body);
        m.options.displayAttribute = quint8(attribute);
        const PreviewModel model = modelOf(m, displayMode);
        QCOMPARE(model.backgroundCode, background);
        const PreviewLine &line = model.messageLines.at(0);
        QCOMPARE(int(line.at(0).colour), background);
        QCOMPARE(int(line.at(0).background), charBackground);
        QCOMPARE(int(line.at(1).colour), 1);
        QCOMPARE(int(line.at(1).background), displayMode ? background : 3);
    }

    void optionsAreNormalised()
    {
        struct Case {
            const char *name;
            std::function<void(CurrentMessage &)> set;
            std::function<bool(const PreviewModel &)> check;
        };
        const QList<Case> cases = {
            {"style out of range is Scroll", [](CurrentMessage &m) { m.options.style = 7; },
             [](const PreviewModel &p) { return p.style == PreviewStyle::Scroll; }},
            {"size other than 1 is standard", [](CurrentMessage &m) { m.options.fontSize = 255; },
             [](const PreviewModel &p) { return p.fontSize == 0 && p.lineHeight() == 24; }},
            {"double size", [](CurrentMessage &m) { m.options.fontSize = 1; },
             [](const PreviewModel &p) { return p.fontSize == 1 && p.lineHeight() == 48; }},
            {"picture side is standard size",
             [](CurrentMessage &m) { m.options.style = 3; m.options.fontSize = 1; },
             [](const PreviewModel &p) { return p.fontSize == 0; }},
            {"speed above 2 is standard", [](CurrentMessage &m) { m.options.scrollSpeed = 9; },
             [](const PreviewModel &p) { return p.scrollSpeed == 1; }},
            {"icon outside 1..5 is none", [](CurrentMessage &m) { m.icon = 6; },
             [](const PreviewModel &p) { return p.icon == 0; }},
            {"icon 5", [](CurrentMessage &m) { m.icon = 5; }, [](const PreviewModel &p) { return p.icon == 5; }},
            {"blink only for 1", [](CurrentMessage &m) { m.options.blink = 255; },
             [](const PreviewModel &p) { return !p.blink; }},
            {"unset display time has no limit",
             [](CurrentMessage &m) { m.options.displayMinutes = 255; m.options.displayHalfMinute = 255; },
             [](const PreviewModel &p) { return p.displaySeconds == 0; }},
            {"0 minutes 30 seconds",
             [](CurrentMessage &m) { m.options.displayMinutes = 0; m.options.displayHalfMinute = 1; },
             [](const PreviewModel &p) { return p.displaySeconds == 30; }},
            {"10 minutes, odd flag ignored",
             [](CurrentMessage &m) { m.options.displayMinutes = 10; m.options.displayHalfMinute = 255; },
             [](const PreviewModel &p) { return p.displaySeconds == 600; }},
            {"unset scroll count is endless", [](CurrentMessage &m) { m.options.scrollCount = 255; },
             [](const PreviewModel &p) { return p.scrollCount == 0; }},
            {"odd positions are the first item",
             [](CurrentMessage &m) {
                 m.options.verticalPosition = 9;
                 m.options.titlePosition = 3;
                 m.options.horizontalPosition = 1;
             },
             [](const PreviewModel &p) {
                 return p.verticalPosition == 0 && p.titlePosition == 0 && p.horizontalPosition == 0;
             }},
        };
        for (const Case &c : cases) {
            CurrentMessage m = makeMessage(1, QStringLiteral("x"));
            c.set(m);
            QVERIFY2(c.check(modelOf(m)), c.name);
        }
    }

    void partsAreBounded()
    {
        // Far more lines than the model keeps, and a line of narrow characters longer than
        // 100: neither overflows.
        const PreviewModel many = modelOf(makeMessage(1, QString(400, u'\r')));
        QCOMPARE(many.messageLines.size(), PreviewMaxLines);
        const PreviewModel narrow = modelOf(makeMessage(1, QString(300, u'\'')));
        QCOMPARE(narrow.messageLines.at(0).size(), 123); // 122 quotes of 5 and the break
    }

    void titleIsCutAsTheEncoderCutsIt()
    {
        CurrentMessage m = makeMessage(1, QStringLiteral("x"), QString(50, u'i'));
        QCOMPARE(buildPreviewModel(m, true, false).titleLines.at(0).size(), 20);
        QCOMPARE(buildPreviewModel(m, false, false).titleLines.at(0).size(), 40);
        m.options.fontSize = 1;
        QCOMPARE(buildPreviewModel(m, true, false).titleLines.at(0).size(), 10);
        // Picture Side is shown at standard size but cut by the stored size, as sent.
        m.options.style = 3;
        QCOMPARE(buildPreviewModel(m, true, false).titleLines.at(0).size(), 10);
    }

    void preparationRunsTheChecks()
    {
        ScriptedPrompter prompter;
        PayloadContext ctx;
        ctx.prompter = &prompter;
        PreviewModel model;

        CurrentMessage empty = makeMessage(1, QString(), QStringLiteral("title"));
        QCOMPARE(PreparePreviewModel(empty, ctx, &model), 1);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Please input Message")});

        prompter.clear();
        CurrentMessage longTitle = makeMessage(1, QStringLiteral("x"), QString(25, u't'));
        prompter.script({PromptAnswer::Cancel});
        QCOMPARE(PreparePreviewModel(longTitle, ctx, &model), 1);
        QCOMPARE(prompter.shown().size(), 1);
        prompter.script({PromptAnswer::Ok});
        QCOMPARE(PreparePreviewModel(longTitle, ctx, &model), 0);
        QCOMPARE(model.titleLines.at(0).size(), 20);
        QCOMPARE(lineText(model.messageLines.at(0)), QStringLiteral("x"));

        // A basic-set projector refuses characters it cannot show, whatever the answer.
        prompter.clear();
        ctx.capabilities = TargetCapabilities::fixed(false, false, false);
        CurrentMessage cjk = makeMessage(1, QStringLiteral("\u4E00"));
        prompter.script({PromptAnswer::Cancel});
        QCOMPARE(PreparePreviewModel(cjk, ctx, &model), 1);
    }
};

QTEST_GUILESS_MAIN(TestPreviewModel)
#include "tst_preview_model.moc"
