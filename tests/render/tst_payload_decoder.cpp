// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "base/prompter.h"
#include "render/payload_decoder.h"
#include "render/payload_encoder.h"

#include <QtTest>

using namespace glintcaster;

namespace {

CharFormat colours(int fg, int bg, bool doubleSize = false)
{
    CharFormat f = defaultCharFormat(doubleSize);
    f.colour = rgbForCode(fg);
    f.background = rgbForCode(bg);
    return f;
}

QByteArray units(std::initializer_list<char16_t> list)
{
    QByteArray out;
    for (char16_t c : list) {
        out.append(char(c >> 8));
        out.append(char(c & 0xFF));
    }
    return out;
}

// A body with an empty title and `message` from byte 128.
QByteArray withEmptyTitle(const QByteArray &message)
{
    return units({0}) + QByteArray(126, char(0xFF)) + message;
}

QString describe(const RichText &t)
{
    QStringList parts;
    for (const RichChar &c : t.chars())
        parts << QStringLiteral("%1:%2/%3")
                     .arg(int(c.ch), 0, 16)
                     .arg(codeForRgb(c.format.colour))
                     .arg(codeForRgb(c.format.background));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestPayloadDecoder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void decodesTheSpecimen()
    {
        const QByteArray body = withEmptyTitle(QByteArray::fromHex("001b000100000061006200630000"));
        OptionBlock options = OptionBlock::fromBytes(
            QByteArray::fromHex("0100120183020405ff8a"));
        CurrentMessage m;
        const ReceivedMessageInfo info = decodeReceivedMessage(options, body, false, m);
        QVERIFY(m.title().isEmpty());
        QCOMPARE(m.body(), RichText(QStringLiteral("abc"), colours(1, 0, true)));
        QCOMPARE(m.options.style, quint8(1));
        QCOMPARE(m.options.horizontalPosition, quint8(2));
        QCOMPARE(m.options.lappedOverPicture, quint8(1));
        QCOMPARE(m.options.fontSize, quint8(1));
        QCOMPARE(m.icon, 4);
        QCOMPARE(m.background, ColourCode::Green);
        QCOMPARE(m.options.blink, quint8(1));
        QVERIFY(!info.characterDisplayMode);
        QCOMPARE(info.colourRuns, 1);
        QCOMPARE(m.body().at(0).format.sizeTwips, 352);
    }

    void specialCodes()
    {
        const QByteArray message =
            units({0x1B, 0x0102, 0x0203, 'a', 0x000A, 'b', 0xFFFF, 0x000C, 'c', 0x1B, 0x0200,
                   0x0105, 'd', 0x0000, 'e'});
        CurrentMessage m;
        decodeReceivedMessage(OptionBlock::fromBytes(QByteArray::fromHex("0000000040")),
                              withEmptyTitle(message), false, m);
        // High byte 1 gives half transparent, 2 transparent (shown half transparent as a
        // background); an automatic break is a space; the page feed becomes the mark.
        const CharFormat first = colours(8, 8);
        const CharFormat second = colours(9, 8);
        RichText expected;
        expected.append(QStringLiteral("a b\u25BC\rc"), first);
        expected.append(QStringLiteral("d"), second);
        QCOMPARE(describe(m.body()), describe(expected));
        QCOMPARE(m.body(), expected);
        QCOMPARE(m.background, ColourCode::HalfTransparent);
    }

    void transparentBackgroundTurnsCharacterModeOn()
    {
        CurrentMessage m;
        const QByteArray body = withEmptyTitle(units({'x', 0}));
        ReceivedMessageInfo info =
            decodeReceivedMessage(OptionBlock::fromBytes(QByteArray::fromHex("00000000c0")),
                                  body, false, m);
        QVERIFY(info.characterDisplayMode);
        QCOMPARE(m.background, ColourCode::HalfTransparent);
        QCOMPARE(m.options.blink, quint8(1));
        info = decodeReceivedMessage(OptionBlock::fromBytes(QByteArray::fromHex("0000000003")),
                                     body, false, m);
        QVERIFY(!info.characterDisplayMode);
        QCOMPARE(m.background, ColourCode::Green);
    }

    void alarmFieldsOnlyWithSupport()
    {
        OptionBlock b = OptionBlock::fromBytes(QByteArray::fromHex(
            "00000000200000000001ffffffffffff0203ff0305"));
        CurrentMessage m;
        m.options.alarmSound = 4;
        decodeReceivedMessage(b, withEmptyTitle(units({'x', 0})), false, m);
        QCOMPARE(m.options.alarmSound, quint8(4));
        decodeReceivedMessage(b, withEmptyTitle(units({'x', 0})), true, m);
        QCOMPARE(m.options.alarmSound, quint8(3));
        QCOMPARE(m.options.alarmInterval, quint8(5));
    }

    void malformedBodiesStopAtTheirBounds()
    {
        CurrentMessage m;
        const OptionBlock options;

        // A title region without its zero ends at the region's end.
        QByteArray body;
        for (int i = 0; i < 64; ++i)
            body += units({'t'});
        body += units({'m', 0});
        decodeReceivedMessage(options, body, false, m);
        QCOMPARE(m.title().plainText(), QString(64, QLatin1Char('t')));
        QCOMPARE(m.body().plainText(), QStringLiteral("m"));

        // More colour escapes than a built body can hold: the text survives, the extra
        // colour changes do not.
        QByteArray many;
        for (int i = 0; i < 550; ++i) {
            many += units({0x1B, char16_t(i % 7), 0});
            if (i % 2 == 0)
                many += units({'a'});
        }
        many += units({0});
        const ReceivedMessageInfo info =
            decodeReceivedMessage(options, withEmptyTitle(many), false, m);
        QCOMPARE(info.colourRuns, MaxColourRuns);
        QVERIFY(info.runsDropped);
        QCOMPARE(m.body().size(), 275);
        QCOMPARE(codeForRgb(m.body().at(247).format.colour), 494 % 7);
        QCOMPARE(codeForRgb(m.body().chars().last().format.colour), 495 % 7);

        // Cut-off escape, odd length, missing terminator, empty input.
        decodeReceivedMessage(options, withEmptyTitle(units({'a', 0x1B, 0x0001})), false, m);
        QCOMPARE(m.body().plainText(), QStringLiteral("a"));
        decodeReceivedMessage(options, withEmptyTitle(units({'a', 'b'})) + "\x00", false, m);
        QCOMPARE(m.body().plainText(), QStringLiteral("ab"));
        decodeReceivedMessage(options, QByteArray(), false, m);
        QVERIFY(m.title().isEmpty() && m.body().isEmpty());
        // Anything past the first 4000 bytes is not read.
        QByteArray longBody = withEmptyTitle(QByteArray());
        while (longBody.size() < 4100)
            longBody += units({'z'});
        decodeReceivedMessage(options, longBody, false, m);
        QCOMPARE(m.body().size(), (4000 - 128) / 2);
    }

    void encodeThenDecode_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 60; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void encodeThenDecode()
    {
        QFETCH(int, seed);
        QRandomGenerator rng{quint32(seed)};
        CurrentMessage m;
        m.options.style = quint8(rng.bounded(4));
        m.options.fontSize = quint8(rng.bounded(2));
        m.options.verticalPosition = quint8(rng.bounded(3));
        m.options.horizontalPosition = quint8(rng.bounded(2) * 2);
        m.options.titlePosition = quint8(rng.bounded(3));
        m.options.level = quint8(rng.bounded(3));
        m.options.scrollCount = quint8(rng.bounded(101));
        m.options.scrollSpeed = quint8(rng.bounded(3));
        m.options.displayMinutes = quint8(rng.bounded(128));
        m.options.displayHalfMinute = quint8(rng.bounded(2));
        m.options.blink = quint8(rng.bounded(2));
        m.options.lappedOverPicture = quint8(rng.bounded(2));
        m.options.alarmSound = quint8(1 + rng.bounded(4));
        m.options.alarmVolume = quint8(rng.bounded(3));
        m.options.alarmLoop = quint8(rng.bounded(4));
        m.options.alarmInterval = quint8(rng.bounded(6));
        m.background = ColourCode(rng.bounded(9));
        m.options.displayAttribute = displayAttributeForBackground(m.background);
        m.icon = rng.bounded(6);
        const bool doubleSize = m.options.fontSize == 1;

        // Colour runs of random length; colour 9 is left out, it travels as the message
        // background's transparency and cannot come back as itself.
        auto randomText = [&](int length, bool body) {
            RichText t;
            CharFormat f = colours(rng.bounded(9), rng.bounded(9), doubleSize);
            const QString alphabet =
                QStringLiteral("abcdefghijklmnopqrstuvwxyz ABCXYZ0123456789.,!?\u00e9\u00fc\u00c4 ");
            while (t.size() < length) {
                if (rng.bounded(6) == 0)
                    f = colours(rng.bounded(9), rng.bounded(9), doubleSize);
                const int pick = rng.bounded(40);
                if (body && pick == 0) {
                    t.append(RichChar{ParagraphBreak, f});
                } else if (body && pick == 1) {
                    t.append(RichChar{PageFeedMark, f});
                    t.append(RichChar{ParagraphBreak, f});
                } else {
                    t.append(RichChar{alphabet.at(rng.bounded(int(alphabet.size()))).unicode(), f});
                }
            }
            return t;
        };
        m.setTitle(randomText(rng.bounded(doubleSize ? 8 : 12), false));
        m.setBody(randomText(1 + rng.bounded(300), true));

        ScriptedPrompter prompter;
        PayloadContext context;
        context.prompter = &prompter;
        context.capabilities = TargetCapabilities::fixed(true, true, true);
        PayloadResult payload;
        QCOMPARE(BuildPayload(m, PayloadPurpose::SaveToFile, context, &payload), 0);

        // Stored option bytes carry the lapped-over-picture value beside the position.
        OptionBlock stored = payload.header;
        stored[2] = quint8((stored[10] << 4) | stored[2]);

        CurrentMessage back;
        const ReceivedMessageInfo info = decodeReceivedMessage(stored, payload.body, true, back);
        QVERIFY(!info.runsDropped);
        QCOMPARE(describe(back.title()), describe(m.title()));
        QCOMPARE(describe(back.body()), describe(m.body()));
        QCOMPARE(back.title(), m.title());
        QCOMPARE(back.body(), m.body());
        MessageOptions expected = m.options;
        expected.icon = quint8(m.icon);
        expected.alarmCustomSound = OptionUnset;
        expected.displayAttribute = quint8(expected.displayAttribute | (expected.blink << 7));
        QCOMPARE(toString(back.options), toString(expected));
        QCOMPARE(back.icon, m.icon);
        QCOMPARE(back.background, m.background);
    }
};

QTEST_MAIN(TestPayloadDecoder)
#include "tst_payload_decoder.moc"
