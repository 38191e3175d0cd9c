// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"

#include <QtTest>

#include <thread>
#include <vector>

using namespace glintcaster;

class TestMessageTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void everyKeyHasThreeTexts()
    {
        for (int key = 1000; key <= 1147; ++key) {
            if (key == 1145)
                continue;
            for (Language l : {Language::English, Language::Japanese, Language::Chinese}) {
                const QString t = MessageTable::text(key, l);
                QVERIFY2(!t.isEmpty() && t != QLatin1String("ERROR!"), qPrintable(QString::number(key)));
                QVERIFY2(!t.contains(QLatin1String("\\n")), qPrintable(QString::number(key)));
            }
            // Placeholders must survive translation in number and order.
            const auto placeholders = [](const QString &s) { return s.count(QLatin1String("%d")); };
            const int n = placeholders(MessageTable::text(key, Language::English));
            QCOMPARE(placeholders(MessageTable::text(key, Language::Japanese)), n);
            QCOMPARE(placeholders(MessageTable::text(key, Language::Chinese)), n);
        }
    }

    void languageNeutralRowsAreIdentical()
    {
        QList<int> same{1000, 1001, 1016, 1017, 1036, 1040, 1042, 1072, 1073, 1092, 1093, 1097, 1098, 1123};
        for (int k = 1103; k <= 1117; ++k)
            same << k;
        for (int k = 1125; k <= 1133; ++k)
            same << k;
        for (int key : same) {
            const QString en = MessageTable::text(key, Language::English);
            QCOMPARE(MessageTable::text(key, Language::Japanese), en);
            QCOMPARE(MessageTable::text(key, Language::Chinese), en);
        }
        // A translated row really is translated.
        QVERIFY(MessageTable::text(1050, Language::Japanese) != MessageTable::text(1050, Language::English));
        QCOMPARE(MessageTable::text(1050, Language::Japanese), QStringLiteral("パスワードが異なります。"));
        QCOMPARE(MessageTable::text(1086, Language::Chinese), QStringLiteral("发送[锁定]"));
        QCOMPARE(MessageTable::text(1124, Language::Japanese), QStringLiteral("ステータス取得中..."));
    }

    void exactEnglishTexts()
    {
        QCOMPARE(msg(1004), QStringLiteral("Too many characters in the message box.\n( Current:%d[byte] / "
                                           "MAX:3968[byte])\n Do you want to execute [Auto Delete Function]?"));
        QCOMPARE(msg(1020), QStringLiteral("    Complete."));
        QCOMPARE(msg(1033), QStringLiteral("Maximun PROJECTOR registration number is 64.\nPlease delete a "
                                           "PROJECTOR in the list."));
        QCOMPARE(msg(1017), QStringLiteral("AddBitmap Error\n"));
        QCOMPARE(msg(1006), msg(1007));
        QCOMPARE(msg(1011), QStringLiteral("Glintcaster"));
        QCOMPARE(msg(1147), QStringLiteral("There is too many character in the title box.  (Max %d characters.) "
                                           "\nPlease delete any characters."));
    }

    void placeholdersFilledInOrder()
    {
        QCOMPARE(msg(1035, {192, 168, 0, 100}), QStringLiteral("[ 192.168.0.100 ] will be deleted. Are you sure?"));
        QCOMPARE(msg(1039, {-3}), QStringLiteral("Line -3 : "));
        QCOMPARE(MessageTable::format(QStringLiteral("%d of %d"), {1}), QStringLiteral("1 of %d"));
        QCOMPARE(MessageTable::format(QStringLiteral("100%"), {1}), QStringLiteral("100%"));
        QCOMPARE(MessageTable::format(MessageTable::text(1039, Language::Chinese), {7}), QStringLiteral("第7行 : "));
    }

    void unknownKeys()
    {
        for (int key : {999, 1145, 1148, -1, 0})
            QCOMPARE(msg(key), QStringLiteral("ERROR!"));
    }

    void languageFromLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("expected");
        QTest::newRow("ja_JP") << "ja_JP" << int(Language::Japanese);
        QTest::newRow("zh_CN") << "zh_CN" << int(Language::Chinese);
        QTest::newRow("zh_Hans_SG") << "zh_Hans_SG" << int(Language::Chinese);
        QTest::newRow("zh_TW") << "zh_TW" << int(Language::English);
        QTest::newRow("zh_HK") << "zh_HK" << int(Language::English);
        QTest::newRow("de_DE") << "de_DE" << int(Language::English);
        QTest::newRow("en_US") << "en_US" << int(Language::English);
        QTest::newRow("C") << "C" << int(Language::English);
    }
    void languageFromLocale()
    {
        QFETCH(QString, locale);
        QFETCH(int, expected);
        QCOMPARE(int(MessageTable::languageForLocale(QLocale(locale))), expected);
    }

    void overrideAndParse()
    {
        Language l = Language::English;
        QVERIFY(MessageTable::parseLanguage(QStringLiteral("ja"), &l));
        QCOMPARE(l, Language::Japanese);
        QVERIFY(MessageTable::parseLanguage(QStringLiteral("ZH"), &l));
        QCOMPARE(l, Language::Chinese);
        QVERIFY(!MessageTable::parseLanguage(QStringLiteral("de"), &l));
        QVERIFY(!MessageTable::parseLanguage(QString(), &l));
        QCOMPARE(l, Language::Chinese);

        MessageTable::setLanguage(Language::Japanese);
        QCOMPARE(msg(1087), QStringLiteral("送信"));
        MessageTable::setLanguage(Language::English);
        QCOMPARE(msg(1087), QStringLiteral("Send"));
    }

    void concurrentReads()
    {
        std::vector<std::thread> threads;
        std::atomic<int> bad{0};
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&bad] {
                for (int n = 0; n < 2000; ++n)
                    if (msg(1000 + n % 148) .isEmpty())
                        ++bad;
            });
        for (auto &t : threads)
            t.join();
        QCOMPARE(bad.load(), 0);
    }
};

QTEST_MAIN(TestMessageTable)
#include "tst_message_table.moc"
