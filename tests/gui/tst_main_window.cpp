// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ini_profile.h"
#include "base/prompter.h"
#include "gui/about_dialog.h"
#include "gui/widgets/colour_button.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/main_window.h"
#include "gui/single_instance.h"
#include "gui/desktop_application.h"
#include "gui/tab_view.h"
#include "gui/gui_test_support.h"
#include "comm/discovery_session.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

// Alt+letter shortcuts of the menu bar and the Discovery tab's buttons that collide; a
// collision makes the key only cycle the focus instead of acting.
QStringList clashingMnemonics(MainWindow &frame)
{
    QMap<QKeySequence, QString> seen;
    QStringList clashes;
    auto note = [&](const QString &text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            return;
        if (seen.contains(key))
            clashes << seen.value(key) + QStringLiteral(" / ") + text;
        else
            seen.insert(key, text);
    };
    for (QAction *action : frame.menuBar()->actions())
        note(action->text());
    for (QAbstractButton *button : frame.discoveryPage()->findChildren<QAbstractButton *>()) {
        if (!button->isHidden())
            note(button->text());
    }
    return clashes;
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UiTestEnvironment> m_env;
    ScriptedPrompter m_prompter;
    RecordingMainPage *m_main = nullptr;
    RecordingEditPage *m_edit = nullptr;
    std::optional<bool> m_lockAnswer;

    std::unique_ptr<MainWindow> makeFrame(TabIndex tab = TabIndex::Main, bool refreshWhenShown = false)
    {
        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.initialTab = tab;
        setup.refreshWhenShown = refreshWhenShown;
        setup.createMainPage = [this](MainWindow &) { return m_main = new RecordingMainPage; };
        setup.createEditPage = [this](MainWindow &) { return m_edit = new RecordingEditPage; };
        setup.runSendLockDialog = [this](bool, QWidget *) { return m_lockAnswer; };
        setup.chooseColour = [](ColourTarget, int current, QWidget *) {
            return std::optional<int>(current == 2 ? 5 : 2);
        };
        setup.discovery.searchPort = 42364;
        setup.discovery.answerPort = 44002;
        setup.discovery.timings.silentWait = std::chrono::milliseconds(50);
        return std::make_unique<MainWindow>(setup);
    }

    static bool enabled(MainWindow &frame, MainWindow::Command id) { return frame.command(id)->isEnabled(); }

private slots:
    void initTestCase() { m_env = std::make_unique<UiTestEnvironment>(); }
    void init()
    {
        m_env->resetHome();
        m_prompter = ScriptedPrompter();
        m_lockAnswer.reset();
        MessageTable::setLanguage(Language::English);
    }

    void windowStartsOnMain()
    {
        auto frame = makeFrame();
        // 1000 x 700 where the screen has room (the test screen is smaller), resizable.
        QVERIFY(frame->width() <= 1000 && frame->height() <= 700);
        QVERIFY(frame->minimumSize() != frame->maximumSize());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Glintcaster"));
        QCOMPARE(frame->view()->currentTab(), TabIndex::Main);
        QCOMPARE(m_main->calls, (QStringList{"refreshProjectorBox", "refreshTarget", "startMonitor"}));
        QCOMPARE(m_main->caption, QStringLiteral("Send"));
        QCOMPARE(frame->session().paletteIndex(ColourTarget::Character), 7);
        QCOMPARE(frame->session().paletteIndex(ColourTarget::CharacterBackground), 8);
        QCOMPARE(frame->session().paletteIndex(ColourTarget::Background), 8);
        QCOMPARE(frame->colourButton(ColourTarget::Background)->shownIndex(), 8);
        QVERIFY(frame->colourButton(ColourTarget::Character)->imagesComplete());
        QCOMPARE(frame->colourButton(ColourTarget::Character)->popupMode(), QToolButton::MenuButtonPopup);
        QVERIFY(m_prompter.texts().isEmpty());
        QCOMPARE(frame->session().jobTarget().address, 0u);
    }

    void projectorIsAskedOnlyOnceTheWindowIsShown()
    {
        // A first projector that never answers kept the window from appearing for the
        // whole answer wait: the program's window asks only once it is on screen.
        auto frame = makeFrame(TabIndex::Main, true);
        QVERIFY(m_main->calls.isEmpty());
        frame->show();
        QVERIFY(m_main->calls.isEmpty());
        QTRY_COMPARE(m_main->calls, (QStringList{"refreshProjectorBox", "refreshTarget", "startMonitor"}));
    }

    void ctrlTabSwitchesTabsFromAnywhere()
    {
        // In a list, Ctrl+Tab moved the list's current cell instead of switching tabs.
        auto frame = makeFrame(TabIndex::Discovery);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        auto *table = frame->discoveryPage()->findChild<QTableWidget *>();
        QVERIFY(table);
        table->setRowCount(2);
        table->setCurrentCell(0, 0);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(frame->view()->currentTab(), TabIndex::Edit);
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(table->currentColumn(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(frame->view()->currentTab(), TabIndex::Discovery);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(frame->view()->currentTab(), TabIndex::Main);
        frame->discoveryPage()->stopSearch();
    }

    void tabSwitchesStopAndRefreshThePages()
    {
        auto frame = makeFrame();
        m_main->calls.clear();
        frame->view()->setCurrentTab(TabIndex::Discovery);
        QCOMPARE(m_main->calls, QStringList{"stopMonitor"});
        QVERIFY(frame->discoveryPage()->session().isSearching());

        m_main->calls.clear();
        frame->view()->setCurrentTab(TabIndex::Edit);
        QCOMPARE(m_main->calls, QStringList{"stopMonitor"});
        QCOMPARE(m_edit->calls, (QStringList{"refreshBeforeShow", "refreshAfterShow"}));
        QCOMPARE(m_edit->caption, QStringLiteral("Send"));
        QTRY_VERIFY(!frame->discoveryPage()->session().isSearching());

        m_main->calls.clear();
        frame->view()->setCurrentTab(TabIndex::Main);
        QCOMPARE(m_main->calls, (QStringList{"refreshProjectorBox", "refreshTarget", "startMonitor"}));
    }

    void menuEnablingFollowsTabAndState()
    {
        auto frame = makeFrame();
        using C = MainWindow::Command;
        for (C id : {C::New, C::Open, C::Save, C::Undo, C::Cut, C::Copy, C::Paste,
                       C::FontColour, C::FontBackground, C::Background, C::FontColourButton,
                       C::FontBackgroundButton, C::BackgroundButton, C::Unlock})
            QVERIFY2(!enabled(*frame, id), qPrintable(QString::number(int(id))));
        for (C id : {C::Exit, C::About, C::SendLock, C::ChangePassword})
            QVERIFY2(enabled(*frame, id), qPrintable(QString::number(int(id))));
        QCOMPARE(frame->command(C::New)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(frame->command(C::Paste)->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));

        m_edit->paste_ = true;
        frame->view()->setCurrentTab(TabIndex::Edit);
        for (C id : {C::New, C::Open, C::Save, C::Paste, C::FontColour, C::FontBackground,
                       C::Background, C::FontColourButton, C::FontBackgroundButton,
                       C::BackgroundButton})
            QVERIFY2(enabled(*frame, id), qPrintable(QString::number(int(id))));
        QVERIFY(!enabled(*frame, C::Undo));
        QVERIFY(!enabled(*frame, C::Cut));

        m_edit->undo_ = true;
        m_edit->selection = true;
        m_edit->displayMode = true;
        m_edit->changed();
        QVERIFY(enabled(*frame, C::Undo));
        QVERIFY(enabled(*frame, C::Cut));
        QVERIFY(enabled(*frame, C::Copy));
        QVERIFY(enabled(*frame, C::FontColourButton));
        QVERIFY(!enabled(*frame, C::FontBackgroundButton));
        QVERIFY(!enabled(*frame, C::BackgroundButton));

        frame->view()->setCurrentTab(TabIndex::Discovery);
        QVERIFY(!enabled(*frame, C::Undo));
        QVERIFY(!enabled(*frame, C::FontColourButton));
    }

    void colourCommandsStoreAndApply()
    {
        auto frame = makeFrame(TabIndex::Edit);
        frame->colourButtonClicked(ColourTarget::Character);
        QCOMPARE(m_edit->calls.last(), QStringLiteral("applyColour 0 7"));
        frame->colourCommand(ColourTarget::CharacterBackground);
        QCOMPARE(frame->session().paletteIndex(ColourTarget::CharacterBackground), 2);
        QCOMPARE(frame->colourButton(ColourTarget::CharacterBackground)->shownIndex(), 2);
        QCOMPARE(m_edit->calls.last(), QStringLiteral("applyColour 1 2"));

        // Not on the Edit tab: nothing is applied.
        frame->view()->setCurrentTab(TabIndex::Main);
        m_edit->calls.clear();
        frame->colourButtonClicked(ColourTarget::Character);
        frame->colourCommand(ColourTarget::Background);
        QVERIFY(m_edit->calls.isEmpty());
    }

    void lockSurvivesARestart()
    {
        {
            auto frame = makeFrame();
            m_lockAnswer = std::nullopt; // Cancel: nothing changes, captions still refreshed
            frame->sendLockCommand(false);
            QVERIFY(!frame->session().sendLocked());
            m_lockAnswer = true;
            frame->sendLockCommand(false);
            QVERIFY(frame->session().sendLocked());
            QCOMPARE(m_main->caption, QStringLiteral("Send[Locked]"));
            QVERIFY(!enabled(*frame, MainWindow::Command::SendLock));
            QVERIFY(enabled(*frame, MainWindow::Command::Unlock));
            m_prompter.script({PromptAnswer::Ok});
            QVERIFY(frame->close());
        }
        QCOMPARE(QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"))
                     .value(QStringLiteral("GlintcasterPass/Lock"))
                     .toString(),
                 QStringLiteral("1"));
        auto frame = makeFrame();
        QVERIFY(frame->session().sendLocked());
        QCOMPARE(m_main->caption, QStringLiteral("Send[Locked]"));
        frame->view()->setCurrentTab(TabIndex::Edit);
        QCOMPARE(m_edit->caption, QStringLiteral("Send[Locked]"));

        m_lockAnswer = false;
        frame->sendLockCommand(true);
        QCOMPARE(m_main->caption, QStringLiteral("Send"));
        QCOMPARE(m_edit->caption, QStringLiteral("Send"));
    }

    void sendLockMenuRunsTheLockDialogs()
    {
        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.createMainPage = [this](MainWindow &) { return m_main = new RecordingMainPage; };
        MainWindow frame(setup);

        // Answers the modal dialog that the command is about to open, from the event loop.
        auto answerDialog = [](const QString &password, bool ok) {
            QTimer::singleShot(0, [password, ok] {
                auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                if (auto *edit = dialog->findChild<QLineEdit *>())
                    edit->setText(password);
                if (ok)
                    dialog->accept();
                if (dialog->isVisible())
                    dialog->reject();
            });
        };
        // No password set yet: a wrong entry is refused (the dialog then gets cancelled).
        answerDialog(QStringLiteral("guess"), true);
        frame.command(MainWindow::Command::SendLock)->trigger();
        QVERIFY(!frame.session().sendLocked());
        QCOMPARE(m_prompter.texts(), QStringList{"Incorrect password."});

        answerDialog(QString(), true);
        frame.command(MainWindow::Command::SendLock)->trigger();
        QVERIFY(frame.session().sendLocked());
        QCOMPARE(m_main->caption, QStringLiteral("Send[Locked]"));

        answerDialog(QString(), false);
        frame.command(MainWindow::Command::Unlock)->trigger();
        QVERIFY(frame.session().sendLocked());

        answerDialog(QString(), true);
        frame.command(MainWindow::Command::Unlock)->trigger();
        QVERIFY(!frame.session().sendLocked());
        QCOMPARE(m_main->caption, QStringLiteral("Send"));
    }

    void tabTitlesFollowTheLanguage()
    {
        MessageTable::setLanguage(MessageTable::languageForLocale(QLocale(QStringLiteral("ja_JP"))));
        {
            auto frame = makeFrame();
            QTabWidget *tabs = frame->view()->tabs();
            QCOMPARE(tabs->tabText(0), MessageTable::text(1134, Language::Japanese));
            QCOMPARE(tabs->tabText(1), MessageTable::text(1135, Language::Japanese));
            QCOMPARE(tabs->tabText(2), MessageTable::text(1136, Language::Japanese));
            QVERIFY(tabs->tabText(1) != QStringLiteral("Discovery"));
            QCOMPARE(frame->discoveryPage()->registeredView()->horizontalHeaderItem(2)->text(),
                     MessageTable::text(1139, Language::Japanese));
        }
        MessageTable::setLanguage(MessageTable::languageForLocale(QLocale(QStringLiteral("de_DE"))));
        auto frame = makeFrame();
        QTabWidget *tabs = frame->view()->tabs();
        QCOMPARE(tabs->tabText(0), QStringLiteral("Main"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Discovery"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Edit"));
    }

    void altKeysOfMenusAndDiscoveryButtonsAreDistinct()
    {
        auto frame = makeFrame(TabIndex::Discovery);
        QCOMPARE(clashingMnemonics(*frame), QStringList());
    }

    void widgetLabelsAreTranslated()
    {
        QCOMPARE(installTranslations(*qApp, Language::English), 0);
        QVERIFY(installTranslations(*qApp, Language::Japanese) >= 1);
        {
            auto frame = makeFrame();
            QCOMPARE(frame->discoveryPage()->findButton()->text(), QStringLiteral("再検索(&N)"));
            QCOMPARE(clashingMnemonics(*frame), QStringList());
        }
        QCOMPARE(QCoreApplication::translate("glintcaster::EditTab", "&Character display mode"),
                 QStringLiteral("文字表示モード(&C)"));
        // Leave the rest of the program in English.
        for (QTranslator *t : qApp->findChildren<QTranslator *>())
            QCoreApplication::removeTranslator(t);
    }

    void startupOptions()
    {
        QString error;
        auto options = parseStartupOptions({"glintcaster", "--lang", "ja", "--home", "/tmp/x"}, &error);
        QVERIFY(options);
        QCOMPARE(options->home, QStringLiteral("/tmp/x"));
        QCOMPARE(startupLanguage(*options, QLocale(QStringLiteral("en_US"))), Language::Japanese);
        options = parseStartupOptions({"glintcaster"}, &error);
        QVERIFY(options);
        QCOMPARE(startupLanguage(*options, QLocale(QStringLiteral("zh_CN"))), Language::Chinese);
        QCOMPARE(startupLanguage(*options, QLocale(QStringLiteral("fr_FR"))), Language::English);
        QVERIFY(!parseStartupOptions({"glintcaster", "--lang", "de"}, &error));
        QVERIFY(error.contains(QStringLiteral("de")));
        QVERIFY(!parseStartupOptions({"glintcaster", "--bogus"}, &error));
    }

    void droppedFiles()
    {
        auto frame = makeFrame();
        TabView *view = frame->view();
        m_prompter.setFallback(PromptAnswer::Yes);

        // Several files at once: nothing at all.
        view->dropFiles({"/tmp/a.glc", "/tmp/b.glc"});
        QVERIFY(m_prompter.texts().isEmpty());

        // Plain text on the Main tab: warned about, then still offered for the list.
        view->dropFiles({"/tmp/notes.txt"});
        QCOMPARE(m_prompter.texts(), (QStringList{".glc extension is only valid.",
                                                   "Do you want to add this file to Message file list?"}));
        QCOMPARE(m_prompter.shown().first().icon, PromptIcon::Stop);
        QCOMPARE(m_main->added, QStringList{"/tmp/notes.txt"});

        // The extension is compared case-sensitively.
        m_prompter.clear();
        m_prompter.script({PromptAnswer::No});
        view->dropFiles({"/tmp/SHOUT.GLC"});
        QCOMPARE(m_prompter.texts().first(), QStringLiteral(".glc extension is only valid."));
        QCOMPARE(m_main->added.size(), 1);

        view->setCurrentTab(TabIndex::Discovery);
        m_prompter.clear();
        view->dropFiles({"/tmp/notes.txt"});
        QCOMPARE(m_prompter.texts(), (QStringList{".glc extension is only valid.",
                                                   "Please Drop [Main Tab] or [Edit Tab]."}));

        view->setCurrentTab(TabIndex::Edit);
        m_prompter.clear();
        view->dropFiles({"/tmp/message.glc"});
        QCOMPARE(m_prompter.texts(), QStringList{"Do you want to extract this file?"});
        QCOMPARE(m_edit->loaded, QStringList{"/tmp/message.glc"});
    }

    void dropEventReachesTheTab()
    {
        auto frame = makeFrame(TabIndex::Discovery);
        m_prompter.setFallback(PromptAnswer::Yes);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile("/tmp/one.txt"), QUrl::fromLocalFile("/tmp/two.txt")});
        QDragEnterEvent enterTwo(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->view(), &enterTwo);
        QDropEvent two(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->view(), &two);
        QCoreApplication::processEvents();
        QVERIFY(m_prompter.texts().isEmpty());

        mime.setUrls({QUrl::fromLocalFile("/tmp/one.txt")});
        // A drop is only delivered to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->view(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent one(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->view(), &one);
        QTRY_COMPARE(m_prompter.texts(), (QStringList{".glc extension is only valid.",
                                                       "Please Drop [Main Tab] or [Edit Tab]."}));
    }

    void exitSequence()
    {
        auto frame = makeFrame();
        // Cancel in the unsaved-message question: no exit question, still running.
        m_edit->discard = false;
        QVERIFY(!frame->close());
        QVERIFY(m_prompter.texts().isEmpty());

        m_edit->discard = true;
        m_prompter.script({PromptAnswer::Cancel});
        QVERIFY(!frame->close());
        QCOMPARE(m_prompter.texts(), QStringList{"Are you sure that you want to exit this tool?"});
        QCOMPARE(m_prompter.shown().first().buttons, PromptButtons::OkCancel);
        QCOMPARE(m_prompter.shown().first().icon, PromptIcon::Question);
        QVERIFY(!QFile::exists(m_env->lastPj()));

        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
        m_prompter.script({PromptAnswer::Ok});
        QVERIFY(frame->close());
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        IniProfile ini(m_env->lastPj());
        QVERIFY(ini.load());
        QCOMPARE(ini.value("SELECT ADAPTOR", "IP", {}), QStringLiteral("127.0.0.1"));
        QVERIFY(ini.hasKey("SELECT ADAPTOR", "ADAPTORNAME"));
        QCOMPARE(QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"))
                     .value(QStringLiteral("GlintcasterPass/Lock"))
                     .toString(),
                 QStringLiteral("0"));
    }

    void aboutBoxShowsTheVersion()
    {
        AboutDialog about;
        auto *label = about.findChild<QLabel *>(QStringLiteral("versionLabel"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Glintcaster Version 1.5.0"));
    }

    void secondInstanceRaisesTheFirst()
    {
        QTemporaryDir dir;
        auto first = std::make_unique<SingleInstance>(dir.path(), QStringLiteral("gc-test"));
        QSignalSpy raised(first.get(), &SingleInstance::activationRequested);
        QVERIFY(first->acquire());
        {
            SingleInstance second(dir.path(), QStringLiteral("gc-test"));
            QVERIFY(!second.acquire());
            QVERIFY(!second.isPrimary());
        }
        QTRY_COMPARE(raised.count(), 1);
        first.reset();
        // Once the first has ended, the next start runs.
        SingleInstance third(dir.path(), QStringLiteral("gc-test"));
        QVERIFY(third.acquire());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_main_window.moc"
