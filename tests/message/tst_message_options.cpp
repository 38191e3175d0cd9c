// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/current_message.h"
#include "message/message_options.h"
#include "message/target_capabilities.h"

#include <QtTest>

using namespace glintcaster;

namespace {

QByteArray bytes(const OptionBlock &b, int from, int to)
{
    return b.toByteArray().mid(from, to - from + 1);
}

} // namespace

class TestMessageOptions : public QObject {
    Q_OBJECT
private slots:
    void paletteBothWays()
    {
        for (int code = 0; code < PaletteSize; ++code)
            QCOMPARE(codeForRgb(rgbForCode(code)), code);
        QCOMPARE(rgbForCode(8), 0xC0C0C0u);
        QCOMPARE(rgbForCode(9), 0xE0E0E0u);
        QCOMPARE(rgbForCode(10), 0u);
        QCOMPARE(rgbForCode(-1), 0u);
        QCOMPARE(codeForRgb(0x123456), 0);
        QCOMPARE(codeForRgb(0xC0C0C1), 0);
        QCOMPARE(codeForRgb(0xFFFF0000), 1); // alpha is not a colour
    }

    void newMessageForFile()
    {
        const OptionBlock b = OptionBlock::encodeForFile(MessageOptions{}, {});
        QCOMPARE(bytes(b, 0, 10), QByteArray::fromHex("0000000020000000 01ff01"));
        QCOMPARE(b[11], quint8(0xFF));
        QCOMPARE(bytes(b, 12, 31), QByteArray(20, char(0xFF)));

        OptionEncoding alarm;
        alarm.alarmCapable = true;
        const OptionBlock a = OptionBlock::encodeForFile(MessageOptions{}, alarm);
        QCOMPARE(a[11], quint8(0x20));
        QCOMPARE(bytes(a, 16, 20), QByteArray::fromHex("ff00ffffff"));

        MessageOptions o;
        o.alarmSound = 2;
        o.alarmVolume = 2;
        o.alarmLoop = 3;
        o.alarmInterval = 5;
        o.alarmCustomSound = 6; // never carried
        QCOMPARE(bytes(OptionBlock::encodeForFile(o, alarm), 16, 20),
                 QByteArray::fromHex("0202ff0305"));
        QCOMPARE(bytes(OptionBlock::encodeForFile(o, {}), 16, 20), QByteArray(5, char(0xFF)));
    }

    void displayTimeAndAttribute()
    {
        QCOMPARE(encodeDisplayTime(10, 1), quint8(0x8A));
        QCOMPARE(encodeDisplayTime(0xFF, 0xFF), quint8(0xFF));
        QCOMPARE(encodeDisplayTime(0, 0), quint8(0));
        MessageOptions back;
        OptionBlock b;
        b[OptionBlock::DisplayTime] = 0x8A;
        b.decodeInto(back, false);
        QCOMPARE(back.displayMinutes, quint8(10));
        QCOMPARE(back.displayHalfMinute, quint8(1));

        MessageOptions o;
        o.blink = 1;
        o.displayAttribute = displayAttributeForBackground(ColourCode::Green);
        QCOMPARE(OptionBlock::encodeForFile(o, {})[4], quint8(0x83));
        o.displayAttribute = displayAttributeForBackground(ColourCode::HalfTransparent);
        QCOMPARE(OptionBlock::encodeForFile(o, {})[4], quint8(0xA0));
        OptionEncoding cdm;
        cdm.characterDisplayMode = true;
        QCOMPARE(OptionBlock::encodeForFile(o, cdm)[4], quint8(0xC0));
        o.blink = 0;
        QCOMPARE(OptionBlock::encodeForFile(o, cdm)[4], quint8(0x40));

        QCOMPARE(displayAttributeForBackground(ColourCode::Transparent), quint8(0x40));
        QCOMPARE(backgroundForDisplayAttribute(0x20), ColourCode::HalfTransparent);
        QCOMPARE(backgroundForDisplayAttribute(0xC0), ColourCode::Transparent);
        QCOMPARE(backgroundForDisplayAttribute(0x83), ColourCode::Green);
        QCOMPARE(backgroundForDisplayAttribute(0x60), ColourCode::Black);
        QCOMPARE(backgroundForDisplayAttribute(0x1F), ColourCode::Black); // beyond the palette
    }

    void styleMaskingOnlyWhenSending()
    {
        MessageOptions o;
        o.style = 3;
        o.verticalPosition = 2;
        o.fontSize = 1;
        o.scrollCount = 5;
        const OptionBlock file = OptionBlock::encodeForFile(o, {});
        QCOMPARE(file[1], quint8(2));
        QCOMPARE(file[3], quint8(1));
        const OptionBlock sent = OptionBlock::encodeForSending(o, {}, {});
        QCOMPARE(sent[1], quint8(0xFF));
        QCOMPARE(sent[3], quint8(0));
        QCOMPARE(sent[7], quint8(0xFF));
        QCOMPARE(sent[8], quint8(0xFF));
        QCOMPARE(sent[2], quint8(0)); // horizontal position stays for Picture Side

        o = MessageOptions{};
        o.displayMinutes = 5;
        o.displayHalfMinute = 0;
        const OptionBlock scroll = OptionBlock::encodeForSending(o, {}, {});
        QCOMPARE(scroll[2], quint8(0xFF));
        QCOMPARE(scroll[9], quint8(0));
        QCOMPARE(scroll[10], quint8(0xFF));
        QCOMPARE(scroll[7], quint8(0));

        for (quint8 style : {quint8(1), quint8(2)}) {
            o.style = style;
            const OptionBlock box = OptionBlock::encodeForSending(o, {}, {});
            for (int i : {2, 7, 8, 10})
                QCOMPARE(box[i], quint8(0xFF));
            QCOMPARE(box[9], quint8(5));
        }
    }

    void checksumAndSendBytes()
    {
        QCOMPARE(OptionBlock::payloadChecksum(QByteArray()), quint16(0));
        QCOMPARE(OptionBlock::payloadChecksum(QByteArray::fromHex("ff01")), quint16(0xFF00));
        const QByteArray body = QByteArray::fromHex("00ff00fe");
        const OptionBlock b = OptionBlock::encodeForSending(MessageOptions{}, {}, body);
        QCOMPARE(quint16((0xFF + 0xFE + b.checksum()) & 0xFFFF), quint16(0));
        QCOMPARE(b.sendBytes().size(), 16);
        OptionEncoding alarm;
        alarm.alarmCapable = true;
        QCOMPARE(OptionBlock::encodeForSending(MessageOptions{}, alarm, body).sendBytes().size(),
                 32);
    }

    void readsReportedHex()
    {
        QCOMPARE(OptionBlock::fromHex(u"0102aB").toString(),
                 OptionBlock::fromBytes(QByteArray::fromHex("0102ab")).toString());
        // A broken pair ends the reading; the rest stays unset.
        const OptionBlock b = OptionBlock::fromHex(u"01zz03");
        QCOMPARE(b[0], quint8(1));
        QCOMPARE(b[1], quint8(0xFF));
        QCOMPARE(b[2], quint8(0xFF));
        QCOMPARE(OptionBlock::fromHex(QString(80, QLatin1Char('0'))).toByteArray(),
                 QByteArray(32, '\0'));
    }

    void decodeIntoCurrentOptions()
    {
        // As a file or projector stores it: lapped-over-picture in byte 2's high nibble.
        const OptionBlock b = OptionBlock::fromBytes(QByteArray::fromHex(
            "01 02 12 01 a3 02 85 07 02 8a ff ff ff ff 12 34 02 03 04 05 01"));
        MessageOptions o;
        o.alarmSound = 4;
        b.decodeInto(o, false);
        QCOMPARE(o.style, quint8(1));
        QCOMPARE(o.verticalPosition, quint8(2));
        QCOMPARE(o.horizontalPosition, quint8(2));
        QCOMPARE(o.lappedOverPicture, quint8(1));
        QCOMPARE(o.fontSize, quint8(1));
        QCOMPARE(o.displayAttribute, quint8(0xA3));
        QCOMPARE(o.blink, quint8(1));
        QCOMPARE(o.level, quint8(2));
        QCOMPARE(o.titlePosition, quint8(2));
        QCOMPARE(o.icon, quint8(5));
        QCOMPARE(o.scrollCount, quint8(7));
        QCOMPARE(o.scrollSpeed, quint8(2));
        QCOMPARE(o.alarmSound, quint8(4)); // untouched without alarm support

        b.decodeInto(o, true);
        QCOMPARE(o.alarmVolume, quint8(2));
        QCOMPARE(o.alarmSound, quint8(3));
        QCOMPARE(o.alarmCustomSound, quint8(4));
        QCOMPARE(o.alarmLoop, quint8(5));
        QCOMPARE(o.alarmInterval, quint8(1));
    }

    void decodeForSendAlarmRules()
    {
        OptionBlock b = OptionBlock::fromBytes(QByteArray::fromHex(
            "00000000200000000001ffffffffffff0203ff0305"));
        MessageOptions without = b.decodeForSend(false);
        QCOMPARE(without.alarmSound, OptionUnset);
        QCOMPARE(without.alarmVolume, OptionUnset);
        QCOMPARE(without.alarmInterval, OptionUnset);
        MessageOptions with = b.decodeForSend(true);
        QCOMPARE(with.alarmVolume, quint8(2));
        QCOMPARE(with.alarmSound, quint8(3));
        QCOMPARE(with.alarmLoop, quint8(3));

        b[OptionBlock::AlarmSound] = 0;
        with = b.decodeForSend(true);
        QCOMPARE(with.alarmSound, quint8(0));
        QCOMPARE(with.alarmVolume, OptionUnset);
        QCOMPARE(with.alarmLoop, OptionUnset);
        QCOMPARE(with.alarmInterval, OptionUnset);
        // Encoding such options again gives the same alarm bytes.
        OptionEncoding alarm;
        alarm.alarmCapable = true;
        QCOMPARE(bytes(OptionBlock::encodeForSending(with, alarm, {}), 16, 20),
                 QByteArray::fromHex("ff00ffffff"));
    }

    void fileBlockRoundTrip_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 40; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void fileBlockRoundTrip()
    {
        QFETCH(int, seed);
        QRandomGenerator rng{quint32(seed)};
        MessageOptions o;
        o.style = quint8(rng.bounded(4));
        o.verticalPosition = quint8(rng.bounded(3));
        o.horizontalPosition = quint8(rng.bounded(2) * 2);
        o.fontSize = quint8(rng.bounded(2));
        o.titlePosition = quint8(rng.bounded(3));
        o.level = quint8(rng.bounded(3));
        o.scrollCount = quint8(rng.bounded(101));
        o.scrollSpeed = quint8(rng.bounded(3));
        o.displayMinutes = quint8(rng.bounded(128));
        o.displayHalfMinute = quint8(rng.bounded(2));
        o.blink = quint8(rng.bounded(2));
        o.displayAttribute = displayAttributeForBackground(ColourCode(rng.bounded(10)));
        o.lappedOverPicture = quint8(rng.bounded(2));
        o.alarmSound = quint8(1 + rng.bounded(4));
        o.alarmVolume = quint8(rng.bounded(3));
        o.alarmLoop = quint8(rng.bounded(4));
        o.alarmInterval = quint8(rng.bounded(6));
        const int icon = rng.bounded(6);
        OptionEncoding enc{icon, true, false};
        OptionBlock stored = OptionBlock::encodeForFile(o, enc);
        // A stored block keeps the lapped-over-picture value beside the position.
        stored[2] = quint8((stored[10] << 4) | stored[2]);

        MessageOptions back;
        stored.decodeInto(back, true);
        MessageOptions expected = o;
        expected.icon = quint8(icon);
        expected.alarmCustomSound = 0xFF;
        // The whole attribute byte comes back, blink bit included.
        expected.displayAttribute = quint8(o.displayAttribute | (o.blink << 7));
        QCOMPARE(toString(back), toString(expected));
        QCOMPARE(backgroundForDisplayAttribute(back.displayAttribute),
                 backgroundForDisplayAttribute(o.displayAttribute));
    }

    void capabilities()
    {
        TargetCapabilities c;
        QCOMPARE(c.firmwareLevel(), 0xE000);
        QVERIFY(!c.hasLevel());
        QVERIFY(!c.PictureSideCapable());
        QVERIFY(!c.AlarmCapable());
        QVERIFY(c.ExtendedCharset());

        c.report(4, 0x07);
        QVERIFY(c.PictureSideCapable() && c.AlarmCapable() && c.ExtendedCharset());
        c.report(4, 0x01);
        QVERIFY(c.PictureSideCapable());
        QVERIFY(!c.AlarmCapable());
        QVERIFY(!c.ExtendedCharset());
        // Unusable answers keep the switches.
        c.report(1, 0x06);
        QVERIFY(!c.AlarmCapable() && !c.ExtendedCharset());
        c.report(TargetCapabilities::NotReached, 0x06);
        QVERIFY(!c.AlarmCapable() && !c.ExtendedCharset());
        QCOMPARE(c.firmwareLevel(), 0xF000);
        // Level 3: picture side possible, the alarm and basic set need a later firmware.
        c.report(3, 0x03);
        QVERIFY(c.PictureSideCapable());
        QVERIFY(!c.AlarmCapable());
        QVERIFY(c.ExtendedCharset());
        c.report(2, 0x07);
        QVERIFY(!c.PictureSideCapable());
    }

    void modelDefaultsAndTabs()
    {
        CurrentMessage m;
        m.options.style = 2;
        m.icon = 3;
        m.filePath = QStringLiteral("/tmp/x.glc");
        m.background = ColourCode::Red;
        CharFormat red = defaultCharFormat();
        red.colour = rgbForColour(ColourCode::Red);
        m.setBody(RichText(QStringLiteral("a\tb"), red));
        QCOMPARE(m.body().plainText(), QStringLiteral("a    b"));
        QCOMPARE(m.body().at(3).format, red);
        QVERIFY(m.bodyModified && !m.titleModified);
        m.setTitle(RichText(QStringLiteral("\t")));
        QCOMPARE(m.title().plainText(), QStringLiteral("    "));

        m.reset();
        QCOMPARE(toString(m.options), toString(MessageOptions{}));
        QCOMPARE(m.background, ColourCode::HalfTransparent);
        QCOMPARE(m.icon, 0);
        QVERIFY(m.filePath.isEmpty() && m.title().isEmpty() && m.body().isEmpty());
        QVERIFY(!m.isModified());
        QCOMPARE(defaultCharFormat(true).sizeTwips, 352);
        QCOMPARE(defaultCharFormat().colour, 0xFFFFFFu);
        QCOMPARE(defaultCharFormat().background, 0xC0C0C0u);
        QCOMPARE(replaceTabs(QStringLiteral("\t\t")), QStringLiteral("        "));

        // A stored block brings its icon and background colour with it.
        m.decodeOptions(OptionBlock::fromBytes(QByteArray::fromHex("0000000040000300")), false);
        QCOMPARE(m.icon, 3);
        QCOMPARE(m.background, ColourCode::Transparent);
    }
};

QTEST_MAIN(TestMessageOptions)
#include "tst_message_options.moc"
