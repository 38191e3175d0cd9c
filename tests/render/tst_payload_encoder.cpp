// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "base/prompter.h"
#include "render/payload_encoder.h"

#include <QtTest>

using namespace glintcaster;

namespace {

CharFormat colours(ColourCode fg, ColourCode bg)
{
    CharFormat f;
    f.colour = rgbForColour(fg);
    f.background = rgbForColour(bg);
    return f;
}

RichText text(const QString &s, ColourCode fg = ColourCode::White,
              ColourCode bg = ColourCode::HalfTransparent)
{
    return RichText(s, colours(fg, bg));
}

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

// Escape bytes for one colour pair.
QByteArray esc(int cm, int cc, int bm, int bc)
{
    return QByteArray("\x00\x1b", 2) + char(cm) + char(cc) + char(bm) + char(bc);
}

QByteArray utf16be(const QString &s)
{
    QByteArray out;
    for (QChar c : s) {
        out.append(char(c.unicode() >> 8));
        out.append(char(c.unicode() & 0xFF));
    }
    return out;
}

struct Run {
    ScriptedPrompter prompter;
    PayloadContext context;
    PayloadResult result;
    int rc = -1;

    explicit Run(bool extended = true, bool alarm = false)
    {
        context.prompter = &prompter;
        context.capabilities = TargetCapabilities::fixed(true, alarm, extended);
    }
    int build(CurrentMessage &m, PayloadPurpose purpose = PayloadPurpose::Send)
    {
        rc = BuildPayload(m, purpose, context, &result);
        return rc;
    }
    QByteArray body() const { return result.body.mid(128); }
};

} // namespace

class TestPayloadEncoder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void redOnBlackWholeMessage()
    {
        CurrentMessage m;
        m.setBody(text(QStringLiteral("abc"), ColourCode::Red, ColourCode::Black));
        Run r;
        QCOMPARE(r.build(m), 0);
        QVERIFY(r.prompter.shown().isEmpty());
        const QByteArray expected = hex("0000") + QByteArray(126, char(0xFF)) +
                                    hex("001b000100000061006200630000");
        QCOMPARE(r.result.body.toHex(' '), expected.toHex(' '));
        QCOMPARE(r.result.bodyLength, 142);
        QCOMPARE(r.result.header[14], quint8(0x81));
        QCOMPARE(r.result.header[15], quint8(0x3C));
        // No alarm: the short header travels and says so in byte 11.
        QCOMPARE(r.result.header[11], quint8(0xFF));
        QCOMPARE(r.result.header.sendBytes().size(), 16);
    }

    void titleLimits_data()
    {
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("limit");
        QTest::newRow("extended") << true << 0 << 20;
        QTest::newRow("basic") << false << 0 << 40;
        QTest::newRow("double extended") << true << 1 << 10;
        QTest::newRow("double basic") << false << 1 << 10;
    }
    void titleLimits()
    {
        QFETCH(bool, extended);
        QFETCH(int, fontSize);
        QFETCH(int, limit);
        const QString full = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        CurrentMessage m;
        m.options.fontSize = quint8(fontSize);
        m.setBody(text(QStringLiteral("x")));

        m.setTitle(text(full.left(limit)));
        Run exact(extended);
        QCOMPARE(exact.build(m), 0);
        QVERIFY(exact.prompter.shown().isEmpty());
        const QByteArray whole = esc(0, 7, 1, 0) + utf16be(full.left(limit)) + hex("0000");
        QCOMPARE(exact.result.body.left(whole.size()).toHex(), whole.toHex());

        m.setTitle(text(full.left(limit + 1)));
        Run cancelled(extended);
        QCOMPARE(cancelled.build(m), 1);
        QCOMPARE(cancelled.prompter.texts(),
                 QStringList{QStringLiteral("All Message may not be displayed because of too "
                                            "many characters in the title box. (Max %1 "
                                            "characters.)\nDo you want to proceed?")
                                 .arg(limit)});
        QCOMPARE(cancelled.prompter.shown().first().buttons, PromptButtons::OkCancel);
        QCOMPARE(cancelled.prompter.shown().first().icon, PromptIcon::Information);

        Run ok(extended);
        ok.prompter.script({PromptAnswer::Ok});
        QCOMPARE(ok.build(m), 0);
        QCOMPARE(ok.result.body.left(whole.size()).toHex(), whole.toHex());
        QCOMPARE(m.title().size(), limit + 1); // the box itself keeps what was typed
    }

    void bodyStartsAtItsRegion()
    {
        CurrentMessage m;
        m.setTitle(text(QStringLiteral("T")));
        m.setBody(text(QStringLiteral("b")));
        Run r;
        QCOMPARE(r.build(m), 0);
        const QByteArray title = esc(0, 7, 1, 0) + hex("00540000");
        QCOMPARE(r.result.body.left(title.size()).toHex(), title.toHex());
        QCOMPARE(r.result.body.mid(title.size(), 128 - title.size()),
                 QByteArray(128 - title.size(), char(0xFF)));
        // The body repeats the escape although the colours did not change.
        QCOMPARE(r.body().toHex(), (esc(0, 7, 1, 0) + hex("00620000")).toHex());
    }

    void emptyPartsAreJustTerminated()
    {
        CurrentMessage m;
        Run r;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.result.bodyLength, 130);
        QCOMPARE(r.result.body.toHex(),
                 (hex("0000") + QByteArray(126, char(0xFF)) + hex("0000")).toHex());
    }

    void escapesFollowColourChanges()
    {
        CurrentMessage m;
        RichText body = text(QStringLiteral("ab"), ColourCode::Yellow, ColourCode::Blue);
        body.append(QStringLiteral("c"), colours(ColourCode::Green, ColourCode::Blue));
        body.append(QStringLiteral("d"), colours(ColourCode::Green, ColourCode::Blue));
        body.append(QStringLiteral("e"), colours(ColourCode::Green, ColourCode::Magenta));
        m.setBody(body);
        Run r;
        QCOMPARE(r.build(m), 0);
        const QByteArray expected = esc(0, 2, 0, 5) + utf16be(QStringLiteral("ab")) +
                                    esc(0, 3, 0, 5) + utf16be(QStringLiteral("cd")) +
                                    esc(0, 3, 0, 6) + utf16be(QStringLiteral("e")) + hex("0000");
        QCOMPARE(r.body().toHex(' '), expected.toHex(' '));
    }

    void transparentColours()
    {
        CurrentMessage m;
        m.setBody(text(QStringLiteral("a"), ColourCode::Transparent, ColourCode::Transparent));
        m.options.displayAttribute = 0x40;
        Run r;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.body().left(6).toHex(), esc(2, 0, 2, 0).toHex());

        m.options.displayAttribute = 0x20;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.body().left(6).toHex(), esc(1, 0, 1, 0).toHex());

        // On an opaque background a transparent colour shows that background.
        m.options.displayAttribute = 3;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.body().left(6).toHex(), esc(0, 3, 0, 3).toHex());

        // Off-palette colours travel as black.
        CharFormat odd;
        odd.colour = 0x123456;
        odd.background = 0x654321;
        m.setBody(RichText(QStringLiteral("a"), odd));
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.body().left(6).toHex(), esc(0, 0, 0, 0).toHex());
    }

    void characterDisplayMode()
    {
        CurrentMessage m;
        m.setBody(text(QStringLiteral("ab"), ColourCode::Red, ColourCode::Green));
        m.options.blink = 1;
        Run r;
        r.context.characterDisplayMode = true;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.result.header[4], quint8(0xC0));
        QCOMPARE(r.body().left(6).toHex(), esc(0, 1, 2, 0).toHex());
        m.options.blink = 0;
        QCOMPARE(r.build(m, PayloadPurpose::SaveToFile), 0);
        QCOMPARE(r.result.header[4], quint8(0x40));
    }

    void pageFeedMark()
    {
        CurrentMessage m;
        RichText body = text(QStringLiteral("a"));
        body.append(QString(QChar(0x25BC)));
        // A differently coloured break after the mark must not add an escape.
        body.append(QStringLiteral("\r"), colours(ColourCode::Red, ColourCode::Red));
        body.append(QStringLiteral("b\rc"));
        m.setBody(body);
        Run r;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.body().toHex(' '),
                 (esc(0, 7, 1, 0) + hex("0061000c0062000d00630000")).toHex(' '));
    }

    void sizeLimits()
    {
        CurrentMessage m;
        m.setBody(text(QString(1916, QLatin1Char('x'))));
        Run r;
        QCOMPARE(r.build(m), 0);
        QCOMPARE(r.result.bodyLength, 3968);
        QCOMPARE(r.result.body.size(), 3968);
        QVERIFY(r.prompter.shown().isEmpty());

        m.setBody(text(QString(1917, QLatin1Char('x'))));
        Run over;
        QCOMPARE(over.build(m), 1);
        QCOMPARE(over.prompter.texts(),
                 QStringList{QStringLiteral("Too many characters in the message box.\n( "
                                            "Current:3970[byte] / MAX:3968[byte])\nPlease "
                                            "delete character datas.")});
        QVERIFY(!over.prompter.shown().first().question);

        m.setBody(text(QString(2500, QLatin1Char('x'))));
        Run huge;
        QCOMPARE(huge.build(m), 1);
        QCOMPARE(huge.prompter.texts(),
                 QStringList{
                     QStringLiteral("There is too many character. \nPlease delete any characters.")});
    }

    void colouredTitleCannotReachTheBody()
    {
        CurrentMessage m;
        RichText title;
        for (int i = 0; i < 20; ++i)
            title.append(QStringLiteral("t"),
                         colours(ColourCode(i % 2 ? 1 : 2), ColourCode::Black));
        m.setTitle(title);
        m.setBody(text(QStringLiteral("body")));
        Run r;
        QCOMPARE(r.build(m), 1);
        QCOMPARE(r.prompter.texts(),
                 QStringList{QStringLiteral("Too many characters in the title box.\n( "
                                            "Current:162[byte] / MAX:128[byte])\nPlease "
                                            "delete character datas.")});
        // Fifteen changes still fit: 15 * 8 + 2 = 122 bytes.
        m.setTitle(title.mid(0, 15));
        Run fits;
        QCOMPARE(fits.build(m), 0);
        QCOMPARE(fits.body().left(6).toHex(), esc(0, 7, 1, 0).toHex());
    }

    void unsupportedCharacters()
    {
        const QString body = QStringLiteral("first\rsecond\rthe \u20ac sign");
        CurrentMessage m;
        m.setTitle(text(QStringLiteral("\u20ac title is exempt")));
        m.setBody(text(body));

        // Extended set: no question.
        Run extended(true);
        QCOMPARE(extended.build(m), 0);

        Run cancel(false);
        cancel.prompter.script({PromptAnswer::Cancel});
        QCOMPARE(cancel.build(m), 1);
        QCOMPARE(cancel.prompter.texts(),
                 QStringList{QStringLiteral("Number of characters that so not supported : [ 1 "
                                            "]\nDo you want to execute Auto-delete-function?")});
        QCOMPARE(cancel.prompter.shown().first().buttons, PromptButtons::YesNoCancel);
        QCOMPARE(m.body().plainText(), body);

        Run no(false);
        no.prompter.script({PromptAnswer::No});
        QString report;
        no.context.showUnsupportedReport = [&](const QString &r) {
            report = r;
            return false;
        };
        QCOMPARE(no.build(m), 1);
        QCOMPARE(report, QStringLiteral("Line 3 : [\u20ac]\r\n"));
        QCOMPARE(m.body().plainText(), body);

        // The visible box's own line numbers win when it supplies them.
        Run boxLines(false);
        boxLines.prompter.script({PromptAnswer::No});
        boxLines.context.bodyLineOf = [](qsizetype pos) { return int(pos) + 100; };
        QCOMPARE(boxLines.build(m), 1);
        QCOMPARE(boxLines.prompter.texts().last(), QStringLiteral("Line 117 : [\u20ac]\r\n"));

        Run autoDel(false);
        autoDel.prompter.script({PromptAnswer::No});
        autoDel.context.showUnsupportedReport = [](const QString &) { return true; };
        QCOMPARE(autoDel.build(m), 1);
        QCOMPARE(m.body().plainText(), QStringLiteral("first\rsecond\rthe  sign"));

        // Yes deletes every one, last first, and still stops.
        m.setBody(text(QStringLiteral("\u0100a\u0101b\U0001F600c")));
        Run yes(false);
        yes.prompter.script({PromptAnswer::Yes});
        QList<qsizetype> deleted;
        yes.context.bodyCharacterDeleted = [&](qsizetype p) { deleted << p; };
        QCOMPARE(yes.build(m), 1);
        QCOMPARE(yes.prompter.texts().first(),
                 QStringLiteral("Number of characters that so not supported : [ 3 ]\nDo you want "
                                "to execute Auto-delete-function?"));
        QCOMPARE(m.body().plainText(), QStringLiteral("abc"));
        QCOMPARE(deleted, (QList<qsizetype>{5, 4, 2, 0}));
        QVERIFY(m.bodyModified);
        Run after(false);
        QCOMPARE(after.build(m), 0);
    }

    void longWordIsNotBrokenButSpacesAre()
    {
        CurrentMessage m;
        m.setBody(text(QString(80, QLatin1Char('m'))));
        Run r;
        QCOMPARE(r.build(m), 0);
        QVERIFY(!r.body().contains(hex("000a")));

        // The second word overflows the 614-unit line, so the space before it breaks.
        const QString words = QString(30, QLatin1Char('n')) + QLatin1Char(' ') +
                              QString(30, QLatin1Char('n'));
        m.setBody(text(words));
        QCOMPARE(r.build(m), 0);
        QString expected = words;
        expected[30] = QChar(0x000A);
        QCOMPARE(r.body().toHex(), (esc(0, 7, 1, 0) + utf16be(expected) + hex("0000")).toHex());
    }

    void purposes()
    {
        CurrentMessage m;
        m.options.style = 1;
        m.options.scrollCount = 4;
        m.icon = 2;
        m.setBody(text(QStringLiteral("x")));
        Run r(true, true);
        r.result.bodyLength = -5;
        QCOMPARE(r.build(m, PayloadPurpose::PreviewCheck), 0);
        QCOMPARE(r.result.bodyLength, -5);
        QCOMPARE(r.build(m, PayloadPurpose::ConvertCheck), 0);
        QCOMPARE(r.result.bodyLength, -5);

        QCOMPARE(r.build(m, PayloadPurpose::SaveToFile), 0);
        QCOMPARE(r.result.header[7], quint8(4));
        QCOMPARE(r.result.header[6], quint8(2));
        QCOMPARE(r.result.header[11], quint8(0x20));
        QCOMPARE(r.build(m, PayloadPurpose::Send), 0);
        QCOMPARE(r.result.header[7], quint8(0xFF));
        QCOMPARE(r.result.header.sendBytes().size(), 32);
        quint32 sum = r.result.header.checksum();
        for (char c : r.result.body)
            sum += quint8(c);
        QCOMPARE(sum & 0xFFFF, 0u);
    }
};

QTEST_MAIN(TestPayloadEncoder)
#include "tst_payload_encoder.moc"
