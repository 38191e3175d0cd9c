// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The "Image" window: size, keys, self-closing, what it paints and how it is opened.
#include "render/preview_test_support.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "gui/preview/preview_dialog.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

class TestPreviewDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<PreviewHome> m_home;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        MessageTable::setLanguage(Language::English);
        m_home = std::make_unique<PreviewHome>();
    }
    void cleanupTestCase() { m_home.reset(); }

    void clientSizeAndCaption_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QSize>("client");
        QTest::newRow("scroll") << 0 << QSize(1000, 300);
        QTest::newRow("box") << 1 << QSize(740, 600);
        QTest::newRow("pop on") << 2 << QSize(740, 600);
        QTest::newRow("picture side") << 3 << QSize(1000, 560);
    }
    void clientSizeAndCaption()
    {
        QFETCH(int, style);
        QFETCH(QSize, client);
        PreviewDialog dlg(modelOf(makeMessage(style, QStringLiteral("ab"), QStringLiteral("T"))), m_home->glyphs());
        QCOMPARE(dlg.size(), client);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Image"));
        QVERIFY(dlg.isAnimating());
    }

    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void keysClose()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        PreviewDialog dlg(modelOf(makeMessage(1, QStringLiteral("ab"))), m_home->glyphs());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::keyClick(&dlg, Qt::Key(key));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), result);
        QVERIFY(!dlg.isAnimating());
    }

    void paintsTheFrameAndClosesByItself()
    {
        CurrentMessage m = makeMessage(0, QStringLiteral("abc"), QStringLiteral("T"), colours(Red, BlackRgb));
        m.options.scrollCount = 1;
        m.options.scrollSpeed = 2;
        qint64 now = 0;
        PreviewDialog dlg(modelOf(m), m_home->glyphs(), nullptr, [&now] { return now; });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        for (int k = 1; k <= 100; ++k) {
            now = k * 17;
            dlg.step();
        }
        // What the window shows is the animation's frame, pixel for pixel.
        QCOMPARE(dlg.grab().toImage().convertToFormat(QImage::Format_RGB32), dlg.animation().frame());
        QCOMPARE(dlg.animation().frame().pixel(1000 - 99 * 4, 24 + 12), argb(Red));
        const int closeAt = *dlg.animation().closeTick();
        for (int k = 101; k <= closeAt && dlg.isVisible(); ++k) {
            now = k * 17;
            dlg.step();
        }
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.animation().ticks(), closeAt);
    }

    void openedFromAMessage()
    {
        ScriptedPrompter prompter;
        CurrentMessage empty = makeMessage(1, QString());
        // Refused before anything opens (a modal window would block here).
        showMessagePreview(nullptr, prompter, empty, TargetCapabilities(), false);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Please input Message")});

        QFile::remove(m_home->path() + QStringLiteral("/message.bmp"));
        CurrentMessage m = makeMessage(2, QStringLiteral("hello"), QStringLiteral("T"));
        bool opened = false;
        QTimer::singleShot(0, this, [&opened] {
            auto *dlg = qobject_cast<PreviewDialog *>(QApplication::activeModalWidget());
            opened = dlg && dlg->size() == QSize(740, 600);
            if (dlg)
                QTest::keyClick(dlg, Qt::Key_Escape);
        });
        showMessagePreview(nullptr, prompter, m, TargetCapabilities(), true);
        QVERIFY(opened);
        // The bitmaps are left in the home for whoever wants them.
        QCOMPARE(QImage(m_home->path() + QStringLiteral("/message.bmp")).size(), QSize(640, 12 * 24));
        QCOMPARE(QImage(m_home->path() + QStringLiteral("/title.bmp")).size(), QSize(640, 24));
    }
};

QTEST_MAIN(TestPreviewDialog)
#include "tst_preview_dialog.moc"
