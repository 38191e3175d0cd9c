// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_device.h"
#include "sim/sim_protocol.h"

#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::simwire;

namespace {

// Reads an INFO answer the way the tool does: the form from bytes 37/38, then total.
struct InfoView {
    QByteArray headerText;
    char slot = 0;
    int length = -1;
    int total = -1;
};

int decimalAfterLabel(const QByteArray &a, int start)
{
    const int cr = int(a.indexOf('\r', start));
    return a.mid(start + 7, cr - start - 7).toInt();
}

InfoView readInfo(const QByteArray &a)
{
    InfoView v;
    const bool wide = a.size() > 38 && a.at(37) == '2' && a.at(38) == '0';
    if (wide) {
        v.headerText = a.mid(15, 64);
        v.slot = a.at(89);
        v.length = decimalAfterLabel(a, 92);
        v.total = int(a.size()) - 32;
    } else {
        v.headerText = a.mid(15, 32);
        v.slot = a.at(57);
        v.length = decimalAfterLabel(a, 60);
        v.total = int(a.size());
    }
    return v;
}

QByteArray header16(quint8 byte11)
{
    QByteArray h;
    for (int i = 0; i < 16; ++i)
        h += char(i * 7 + 1);
    h[11] = char(byte11);
    return h;
}

QByteArray bodyOf(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char(i % 251); // zero bytes included on purpose
    return b;
}

QByteArray putRequest(const QByteArray &header, int slot, const QByteArray &body)
{
    return "PUT " + header.toHex().toUpper() + "\r\nSave-ID:"
           + QByteArray::number(slot, 16).toUpper() + "\r\nLength:"
           + QByteArray::number(body.size()).rightJustified(5, '0') + "\r\n\r\n" + body;
}

} // namespace

class TestWire : public QObject {
    Q_OBJECT
private slots:
    void digestMatchesTheToolsInput_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("8+3") << QByteArray("ABCDEFGH") << QStringLiteral("abc")
                             << QByteArray("7ADF8C04760D6E1333528DFCAFD10EB7");
        QTest::newRow("longer greeting ignored")
            << QByteArray("ABCDEFGH\r\nxyz") << QStringLiteral("abc")
            << QByteArray("7ADF8C04760D6E1333528DFCAFD10EB7");
        QTest::newRow("empty password") << QByteArray("ABCDEFGH") << QString()
                                        << QByteArray("4783E784B4FA2FBA9E4D6502DBC64F8F");
        QTest::newRow("short greeting drops password")
            << QByteArray("ABCDE") << QStringLiteral("abc")
            << QByteArray("2ECDDE3959051D913F61B14579EA136D");
        QTest::newRow("zero in challenge") << QByteArray("AB\0DEFGH", 8) << QStringLiteral("abc")
                                           << QByteArray("B86FC6B051F63D73DE262D4C34E3A0A9");
        QTest::newRow("low byte of wide char")
            << QByteArray("ABCDEFGH") << QString::fromUtf8("\xC5\x81x") // U+0141 -> 0x41
            << QByteArray("ACBECCD3607B78982E6D3A71F8200ED2");
        QTest::newRow("latin-1 char") << QByteArray("ABCDEFGH") << QString::fromUtf8("\xC3\xA9")
                                      << QByteArray("EE6BAACC902CDB213646DDA8000232F1");
        QTest::newRow("U+0100 ends the input")
            << QByteArray("ABCDEFGH") << QString::fromUtf8("a\xC4\x80" "bc")
            << QByteArray("9C59646A75D63F0DB52EA8BFFBA0A2C2");
        QTest::newRow("120 password bytes at most")
            << QByteArray("ABCDEFGH") << QString(130, QLatin1Char('p'))
            << QByteArray("BDC0A2D0485F95EA8332EC5675FB0297");
    }
    void digestMatchesTheToolsInput()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QString, password);
        QFETCH(QByteArray, digest);
        QCOMPARE(authDigest(greeting, password), digest);
    }

    void requestsArePiecedTogetherFromAnySplit()
    {
        const QByteArray body = bodyOf(300);
        const QByteArray requests[] = {
            putRequest(header16(0x0B), 10, body),
            QByteArray("CTRL 3510\r\n1\r\n769\r\n"),
            QByteArray("CTRL 6020\r\n2\r\n"),
            QByteArray("CTRL 3513\r\n6\r\n"),
            QByteArray("INFO C\r\n"),
            QByteArray("CANCEL\r\n"),
        };
        for (const QByteArray &whole : requests) {
            // Every strict prefix is incomplete; the whole request is complete and exact.
            for (qsizetype cut = 0; cut < whole.size(); ++cut) {
                Request r;
                qsizetype consumed = -1;
                QVERIFY2(parseRequest(whole.left(cut), r, consumed) == Parse::Incomplete,
                         qPrintable(QStringLiteral("%1 cut at %2").arg(QString::fromLatin1(whole.left(20))).arg(cut)));
            }
            Request r;
            qsizetype consumed = 0;
            QCOMPARE(parseRequest(whole + "TRAILING", r, consumed), Parse::Complete);
            QCOMPARE(consumed, whole.size());
            QVERIFY(!r.malformed);
        }

        Request put;
        qsizetype consumed = 0;
        parseRequest(requests[0], put, consumed);
        QCOMPARE(put.command, Command::Put);
        QCOMPARE(put.slot, 10);
        QCOMPARE(put.header, header16(0x0B));
        QCOMPARE(put.body, body);

        Request ctrl;
        parseRequest(requests[1], ctrl, consumed);
        QCOMPARE(ctrl.code, 0x3510);
        QCOMPARE(ctrl.type, 1);
        QCOMPARE(ctrl.value, 769);
    }

    void oddRequestsAreBoundedAndFlagged()
    {
        Request r;
        qsizetype consumed = 0;
        QCOMPARE(parseRequest("HELLO\r\n", r, consumed), Parse::Complete);
        QCOMPARE(r.command, Command::Unknown);

        // A line that never ends is given up on, not buffered forever.
        QCOMPARE(parseRequest(QByteArray(600, 'x'), r, consumed), Parse::Complete);
        QCOMPARE(consumed, 600);

        // A length that cannot be honoured ends the request at once.
        QCOMPARE(parseRequest("PUT " + QByteArray(32, '0')
                                  + "\r\nSave-ID:0\r\nLength:99999999\r\n\r\n",
                              r, consumed),
                 Parse::Complete);
        QVERIFY(r.malformed);

        QCOMPARE(parseRequest("PUT XYZ\r\nSave-ID:0\r\nLength:00001\r\n\r\nA", r, consumed),
                 Parse::Complete);
        QVERIFY(r.malformed);
        QCOMPARE(parseRequest("CTRL 60\r\n2\r\n", r, consumed), Parse::Complete);
        QVERIFY(r.malformed);
        QCOMPARE(parseRequest("TEXT Q\r\n", r, consumed), Parse::Complete);
        QVERIFY(r.malformed);
    }

    void infoAndTextAnswersLineUpWithTheReader_data()
    {
        QTest::addColumn<bool>("wide");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("length");
        QTest::newRow("16-byte, quick, empty") << false << 0 << 0;
        QTest::newRow("16-byte, slot 3") << false << 3 << 142;
        QTest::newRow("32-byte, slot 12, largest") << true << 12 << 3968;
    }
    void infoAndTextAnswersLineUpWithTheReader()
    {
        QFETCH(bool, wide);
        QFETCH(int, slot);
        QFETCH(int, length);
        QByteArray header = header16(wide ? 0x20 : 0x0B);
        if (wide)
            header += QByteArray(16, '\x5A');
        const QByteArray body = bodyOf(length);

        SimDevice device;
        Request put;
        qsizetype consumed = 0;
        parseRequest(putRequest(header, slot, body), put, consumed);
        QCOMPARE(device.execute(put), QByteArray("PUT 0\r\n"));

        Request info;
        parseRequest("INFO " + QByteArray::number(slot, 16).toUpper() + "\r\n", info, consumed);
        const QByteArray infoAnswer = device.execute(info);
        QVERIFY(infoAnswer.startsWith("INFO 0\r\n"));
        const InfoView v = readInfo(infoAnswer);
        QCOMPARE(v.headerText.left(header.size() * 2), header.toHex().toUpper());
        QCOMPARE(v.slot, QByteArray::number(slot, 16).toUpper().at(0));
        QCOMPARE(v.length, length);

        Request text;
        parseRequest("TEXT " + QByteArray::number(slot, 16).toUpper() + "\r\n", text, consumed);
        const QByteArray textAnswer = device.execute(text);
        // Exactly the size the reader waits for: no fewer (it would hang), no more.
        QCOMPARE(int(textAnswer.size()), v.total + v.length - 39);
        QVERIFY(textAnswer.startsWith("TEXT 0\r\n"));
        const int cr = int(textAnswer.indexOf('\r', 19));
        QCOMPARE(textAnswer.mid(19 + 7, cr - 26).toInt(), length);
        QCOMPARE(textAnswer.mid(cr + 2, length), body);
    }

    void controlValuesSitWhereTheReadersLook()
    {
        // Single-character values: byte 14 holds the character, byte 15 the CR.
        const QByteArray status = ctrlCharAnswer('0');
        QCOMPARE(status.at(14), '0');
        QCOMPARE(status.at(15), '\r');
        // Numbers start at byte 14.
        QCOMPARE(ctrlValueAnswer(33537).mid(14).toInt(), 33537);
        QCOMPARE(statAnswer(5, '3').at(26), '3');
        QVERIFY(statAnswer(5, '3').startsWith("STAT 0\r\n"));
    }

    void deviceControlCodes()
    {
        SimDevice d;
        auto ctrl = [&d](int code, int type, int value = -1) {
            QByteArray text = "CTRL " + QByteArray::number(code, 16).toUpper().rightJustified(4, '0')
                              + "\r\n" + QByteArray::number(type) + "\r\n";
            if (type == 1)
                text += QByteArray::number(value) + "\r\n";
            Request r;
            qsizetype consumed = 0;
            parseRequest(text, r, consumed);
            return d.execute(r);
        };
        d.firmwareLevel = 3;
        d.capabilityFlags = 5;
        QCOMPARE(ctrl(0x0F01, 2).mid(14).toInt(), 3);
        QCOMPARE(ctrl(0x0F02, 2).mid(14).toInt(), 5);

        // Startup setting: set, answered with the value, and read back.
        QCOMPARE(ctrl(0x3532, 1, 0x8305).mid(14).toInt(), 0x8305);
        QCOMPARE(ctrl(0x3532, 2).mid(14).toInt(), 0x8305);

        // Slot check: 3531 reports whether the slot chosen by 3530 holds a message.
        d.memory[4].used = true;
        QCOMPARE(ctrl(0x3530, 1, 4 << 8), QByteArray("CTRL 0\r\n"));
        QCOMPARE(ctrl(0x3531, 2).at(14), '1');
        ctrl(0x3530, 1, 5 << 8);
        QCOMPARE(ctrl(0x3531, 2).at(14), '0');

        // Display on/off drives the message state the monitor reads.
        QCOMPARE(ctrl(0x3510, 1, (4 << 8) | 1), QByteArray("CTRL 0\r\n"));
        QCOMPARE(ctrl(0x3534, 2).mid(14).toInt(), (4 << 8) | 1);
        QCOMPARE(ctrl(0x3510, 1, (5 << 8) | 1), QByteArray("CTRL 1\r\n")); // empty slot
        ctrl(0x3510, 1, 4 << 8);
        QCOMPARE(ctrl(0x3534, 2).mid(14).toInt(), 4 << 8);

        // Mute silences the alarm but keeps the sound number.
        d.alarmState = (2 << 8) | 1;
        QCOMPARE(ctrl(0x2002, 1, 1), QByteArray("CTRL 0\r\n"));
        QCOMPARE(ctrl(0x3535, 2).mid(14).toInt(), 2 << 8);

        // Clear codes: 3511 all, 3512 Quick, 3513 the numbered slots, 3514.. one slot.
        auto fill = [&d] {
            for (auto &s : d.memory)
                s.used = true;
        };
        auto used = [&d] {
            QString s;
            for (const auto &slot : d.memory)
                s += slot.used ? QLatin1Char('x') : QLatin1Char('.');
            return s;
        };
        fill();
        QCOMPARE(ctrl(0x3512, 6), QByteArray("CTRL 0\r\n"));
        QCOMPARE(used(), QStringLiteral(".xxxxxxxxxxxx"));
        fill();
        ctrl(0x3513, 6);
        QCOMPARE(used(), QStringLiteral("x............"));
        fill();
        ctrl(0x3514, 6);
        ctrl(0x351F, 6);
        QCOMPARE(used(), QStringLiteral("x.xxxxxxxxxx."));
        ctrl(0x3511, 6);
        QCOMPARE(used(), QStringLiteral("............."));
        QCOMPARE(ctrl(0x3511, 1, 1), QByteArray("CTRL 1\r\n")); // clearing needs type 6

        d.statusCharacter = '2';
        QCOMPARE(ctrl(0x6020, 2).at(14), '2');
        QCOMPARE(ctrl(0x1234, 2), QByteArray("CTRL 1\r\n"));
    }

    void refusalsForEmptyOrInvalidSlots()
    {
        SimDevice d;
        auto run = [&d](const QByteArray &text) {
            Request r;
            qsizetype consumed = 0;
            parseRequest(text, r, consumed);
            return d.execute(r);
        };
        QCOMPARE(run("INFO 2\r\n"), QByteArray("INFO 1\r\n"));
        QCOMPARE(run("TEXT 2\r\n"), QByteArray("TEXT 1\r\n"));
        QCOMPARE(run("INFO D\r\n"), QByteArray("INFO 9\r\n"));
        QCOMPARE(run(putRequest(header16(0), 13, "x")), QByteArray("PUT 9\r\n"));
        d.maxBodyLength = 10;
        QCOMPARE(run(putRequest(header16(0), 1, bodyOf(11))), QByteArray("PUT 5\r\n"));
        QVERIFY(!d.memory[1].used);
    }

    void statScriptAdvancesPerPollAndRestartsOnUpload()
    {
        SimDevice d;
        d.statScript = "1530";
        QByteArray seen;
        for (int i = 0; i < 6; ++i)
            seen += d.nextStatus();
        QCOMPARE(seen, QByteArray("153000"));

        Request put;
        qsizetype consumed = 0;
        parseRequest(putRequest(header16(0), 0, "ab"), put, consumed);
        d.execute(put);
        QCOMPARE(d.nextStatus(), '1');

        Request cancel;
        parseRequest("CANCEL\r\n", cancel, consumed);
        QCOMPARE(d.execute(cancel), QByteArray("CANCEL 0\r\n"));
        QCOMPARE(d.nextStatus(), '0');
        QCOMPARE(d.cancelCount, 1);
    }

    void discoveryRecordLayout()
    {
        const QByteArray mac("\x00\x1A\x2B\x3C\x4D\x5E", 6);
        const QByteArray r = answerRecord(QStringLiteral("Hall A"), mac, 0x7F000102);
        QCOMPARE(r.size(), RecordSize);
        QCOMPARE(r.at(0), '\x01');
        QCOMPARE(r.mid(2, 12), QByteArray("DeviceAnswer"));
        QCOMPARE(r.mid(14, 4), QByteArray("\x7F\x00\x01\x02", 4));
        QCOMPARE(r.mid(18, 6), mac);
        QCOMPARE(r.mid(24, 6), QByteArray("Hall A"));
        QCOMPARE(r.mid(30), QByteArray(58, '\0'));
        // Names longer than the field are cut, never spill over.
        QCOMPARE(answerRecord(QString(80, QLatin1Char('n')), mac, 1).size(), RecordSize);

        const QByteArray s = searchDatagram(0x7F000001);
        QCOMPARE(s.size(), SearchSize);
        QCOMPARE(s, QByteArray("\x01\x00" "DeviceSearch\x7F\x00\x00\x01", 18));
        QVERIFY(isSearch(s));
        QVERIFY(!isSearch(r));

        QCOMPARE(parseMac(QStringLiteral("00-1a-2B-3c-4D-5e")), mac);
        QCOMPARE(parseMac(QStringLiteral("00:1A:2B:3C:4D:5E")), mac);
        QVERIFY(parseMac(QStringLiteral("00-1A-2B-3C-4D")).isEmpty());
        QCOMPARE(macText(mac), QStringLiteral("00-1A-2B-3C-4D-5E"));
    }
};

QTEST_MAIN(TestWire)
#include "tst_wire.moc"
