// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/file_drop.h"
#include "comm/discovery.h"
#include "gui/session.h"
#include "gui/tab_pages.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class QAction;

namespace glintcaster {

class MainWindow;
class DiscoveryTab;
class TabView;
class ColourButton;
class Prompter;

/// What the frame is built from. Only the prompter is required; tests replace the rest.
struct MainWindowSetup {
    Prompter *prompter = nullptr;
    /// Pages of the Main and Edit tabs; an empty placeholder page when not given.
    std::function<MainTabPage *(MainWindow &)> createMainPage;
    std::function<EditTabPage *(MainWindow &)> createEditPage;
    /// The colour dialog: returns the chosen palette index, or nothing on Cancel.
    std::function<std::optional<int>(ColourTarget target, int current, QWidget *parent)> chooseColour;
    /// The send-lock dialog: given the current lock state, returns the new one, or nothing
    /// on Cancel.
    std::function<std::optional<bool>(bool locked, QWidget *parent)> runSendLockDialog;
    /// The change-password dialog.
    std::function<void(QWidget *parent)> runChangePasswordDialog;
    /// The "Alert" page, the fourth tab; none when not given.
    std::function<QWidget *(MainWindow &)> createAlertPage;
    /// Where the Discovery tab searches (ports, timings); tests shorten it.
    DiscoveryConfig discovery;
    /// Tab shown first.
    TabIndex initialTab = TabIndex::Main;
    /// The first tab's refresh (which asks the chosen projector for its capabilities) waits
    /// until the window is on screen, so a projector that never answers cannot keep the
    /// program from appearing. Off: the refresh runs in the constructor (tests).
    bool refreshWhenShown = false;
    /// Failure boxes name their projector (Session::namesProjectorsInBoxes).
    bool nameProjectorsInBoxes = false;
};

/// The main window: menus, toolbar and the tabbed view. What the pages share lives in its
/// Session.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// Menu and toolbar commands; the numbers are the action data the actions carry.
    enum class Command {
        New = 57600,
        Open = 57601,
        Save = 57603,
        Exit = 57665,
        Undo = 57643,
        Cut = 57635,
        Copy = 57634,
        Paste = 57637,
        FontColour = 32783,
        FontBackground = 32784,
        Background = 32785,
        FontColourButton = 32771,
        FontBackgroundButton = 32772,
        BackgroundButton = 32773,
        About = 57664,
        SendLock = 32786,
        Unlock = 32787,
        ChangePassword = 32788,
    };

    explicit MainWindow(MainWindowSetup setup, QWidget *parent = nullptr);
    ~MainWindow() override;

    Prompter &prompter() const { return *m_prompter; }
    /// What the pages share: projectors, adaptors, job target, capabilities, lock, colours.
    Session &session() { return m_session; }
    TabView *view() const { return m_view; }
    DiscoveryTab *discoveryPage() const;
    MainTabPage *mainPage() const;
    EditTabPage *editPage() const;

    /// The action of a menu command, or the toolbar button's action of a colour button.
    QAction *command(Command id) const { return m_commands.value(int(id)); }
    ColourButton *colourButton(ColourTarget target) const { return m_colourButtons[int(target)]; }

    /// Keeps a colour command's palette index and shows it on its toolbar button.
    void setPaletteIndex(ColourTarget target, int index);

    /// "Send[Locked]" or "Send" on the Main tab's Send button and on the Edit tab's when shown.
    void updateSendCaptions();
    /// Enables menu and toolbar commands for the selected tab, the Edit tab's state and the lock.
    void updateCommandStates();

    /// The unsaved-message and exit questions, then what must be kept; true when the window
    /// may close.
    bool runExitSequence();
    /// Writes the lock flag to the profile; a failure is shown with its reason.
    void keepSendLockFlag();

    /// The menu commands, callable directly (tests, toolbar).
    void sendLockCommand(bool unlock);
    void changePasswordCommand();
    /// The Discovery tab's "Password..." for the registered projector with this address.
    void editProjectorPassword(quint32 address);
    void colourCommand(ColourTarget target);
    void colourButtonClicked(ColourTarget target);
    void aboutCommand();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void onTabSwitched(TabIndex tab);
    void showInitialTab();
    void showInitialTabWhenExposed();
    QAction *addCommand(Command id, const QString &text, const QKeySequence &shortcut = {});

    MainWindowSetup m_setup;
    Prompter *m_prompter = nullptr;
    Session m_session;
    TabView *m_view = nullptr;
    QHash<int, QAction *> m_commands;
    std::array<ColourButton *, 3> m_colourButtons{};

    bool m_exitConfirmed = false;
    bool m_initialTabPending = false;
    int m_exposeWaits = 0;
};

} // namespace glintcaster
