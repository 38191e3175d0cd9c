// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// What a projector entry may hold, and text from the network made safe to print.
#include "app/entry_checks.h"
#include "base/printable_text.h"

#include <QtTest>

using namespace glintcaster;

class TestEntryChecks : public QObject {
    Q_OBJECT
private slots:
    void entries_data()
    {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("address"); // as a.b.c.d
        QTest::addColumn<bool>("fine");
        QTest::newRow("ordinary") << "00-1A-2b-3C-4d-5E" << "10.0.0.1" << true;
        QTest::newRow("colons; none known") << "00:1a:2b:3c:4d:5e" << "127.103.0.1" << true;
        QTest::newRow("not hex") << "zz" << "10.0.0.1" << false;
        QTest::newRow("eight fields") << "00-11-22-33-44-55-66-77" << "10.0.0.1" << false;
        QTest::newRow("mixed separators") << "00-11:22-33-44-55" << "10.0.0.1" << false;
        QTest::newRow("broadcast") << "-----" << "255.255.255.255" << false;
        QTest::newRow("multicast") << "-----" << "224.0.5.128" << false;
        QTest::newRow("unspecified") << "-----" << "0.0.0.0" << false;
    }
    void entries()
    {
        QFETCH(QString, mac);
        QFETCH(QString, address);
        QFETCH(bool, fine);
        quint32 ip = 0;
        const QStringList o = address.split(u'.');
        for (const QString &part : o)
            ip = ip << 8 | part.toUInt();
        QCOMPARE(macProblem(mac).isEmpty() && projectorAddressProblem(ip).isEmpty(), fine);
    }

    void passwordsBeyondLatin1() { QVERIFY(passwordBeyondLatin1(QStringLiteral("pä\u0100")) && !passwordBeyondLatin1(QStringLiteral("päss"))); }

    // A discovery answer's name cannot forge a result line or reach the terminal as escapes.
    void printable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("tab and line") << QStringLiteral("A\t00-00\t10.9.9.9\r\nB") << QStringLiteral("A\uFFFD00-00\uFFFD10.9.9.9\uFFFD\uFFFDB");
        QTest::newRow("escape") << QStringLiteral("\x1B]0;x\x07\x1B[2J") << QStringLiteral("\uFFFD]0;x\uFFFD\uFFFD[2J");
        QTest::newRow("C1 and bidi") << QStringLiteral("a\u009Bb\u202Ec") << QStringLiteral("a\uFFFDb\uFFFDc");
        QTest::newRow("plain") << QStringLiteral("Hall 会議室") << QStringLiteral("Hall 会議室");
    }
    void printable()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(printableText(name), shown);
    }
};

QTEST_GUILESS_MAIN(TestEntryChecks)
#include "tst_entry_checks.moc"
