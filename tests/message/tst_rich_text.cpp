// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rich_text.h"

#include <QtTest>

using namespace glintcaster;

class TestRichText : public QObject {
    Q_OBJECT
private slots:
    void appendKeepsFormatPerCharacter()
    {
        CharFormat red;
        red.colour = 0xFF0000;
        RichText t(QStringLiteral("ab"));
        t.append(QStringLiteral("c"), red);
        QCOMPARE(t.plainText(), QStringLiteral("abc"));
        QCOMPARE(t.at(1).format.colour, 0xFFFFFFu);
        QCOMPARE(t.at(2).format.colour, 0xFF0000u);
        QCOMPARE(t.mid(2).plainText(), QStringLiteral("c"));
    }
};

QTEST_MAIN(TestRichText)
#include "tst_rich_text.moc"
