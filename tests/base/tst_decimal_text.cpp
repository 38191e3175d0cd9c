// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/decimal_text.h"

#include <QtTest>

#include <limits>

using namespace glintcaster;

class TestDecimalText : public QObject {
    Q_OBJECT
private slots:
    void leadingDecimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        constexpr int max = std::numeric_limits<int>::max();
        constexpr int min = std::numeric_limits<int>::min();
        QTest::newRow("plain") << "100" << 100;
        QTest::newRow("prefix") << "7abc" << 7;
        QTest::newRow("no digits") << "Repeat" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("blanks and sign") << " \t+42x" << 42;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("leading zeros") << "0000000000000000000012" << 12;
        QTest::newRow("blank after sign") << "- 3" << 0;
        QTest::newRow("int max") << "2147483647" << max;
        QTest::newRow("one past int max") << "2147483648" << max;
        QTest::newRow("wraps to 1 under atoi") << "4294967297" << max;
        QTest::newRow("very long") << QString(400, u'9') << max;
        QTest::newRow("int min") << "-2147483648" << min;
        QTest::newRow("below int min") << "-2147483649" << min;
        QTest::newRow("fullwidth digit is not a digit") << QStringLiteral("\uFF17") << 0;
    }
    void leadingDecimal()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(glintcaster::leadingDecimal(text), value);
    }
};

QTEST_GUILESS_MAIN(TestDecimalText)
#include "tst_decimal_text.moc"
