// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/prompter.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/edit_tab/edit_tab.h"
#include "gui/gui_test_support.h"
#include "gui/main_tab/main_tab.h"
#include "gui/main_window.h"
#include "gui/tab_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace glintcaster;
using namespace glintcaster::testing;

// Run at 150 % display scaling on a 1280 x 1024 screen (set up in main below), where the
// fixed 1000 x 700 window used to be 1500 x 1050 with Send, Confirm... and Mute off-screen.
class TestScaledWindow : public QObject {
    Q_OBJECT
private slots:
    void everyPageFitsTheScreen()
    {
        UiTestEnvironment env;
        ScriptedPrompter prompter;
        MainWindowSetup setup;
        setup.prompter = &prompter;
        setup.createMainPage = [](MainWindow &frame) { return new MainTab(frame); };
        setup.createEditPage = [](MainWindow &frame) -> EditTabPage * {
            return new EditTab(frame.session().store(), frame.prompter());
        };
        setup.discovery.searchPort = 42371;
        setup.discovery.answerPort = 44011;
        setup.discovery.timings.silentWait = std::chrono::milliseconds(50);
        MainWindow frame(setup);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        const QRect screen = frame.screen()->availableGeometry();
        QCOMPARE(screen.width(), 853); // 1280 / 1.5
        QVERIFY2(screen.contains(frame.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
        QVERIFY(frame.minimumSize() != frame.maximumSize()); // resizable

        const QList<std::pair<TabIndex, QWidget *>> pages{{TabIndex::Main, frame.mainPage()},
                                                          {TabIndex::Discovery, frame.discoveryPage()},
                                                          {TabIndex::Edit, frame.editPage()}};
        for (const auto &[tab, page] : pages) {
            frame.view()->setCurrentTab(tab);
            QCoreApplication::processEvents();
            // Every button is on screen whole, without scrolling.
            for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
                if (!button->isVisibleTo(page))
                    continue;
                const QString name = button->text() + u' ' + button->objectName();
                QVERIFY2(button->visibleRegion().boundingRect() == button->rect(), qPrintable(name));
            }
        }
        frame.discoveryPage()->stopSearch();
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "scaled", "x": 0, "y": 0, "width": 1280, "height": 1024,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    TestScaledWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scaled_window.moc"
