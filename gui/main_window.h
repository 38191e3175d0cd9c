// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/file_drop.h"
#include "app/projector_store.h"
#include "gui/tab_pages.h"
#include "comm/adaptor_table.h"
#include "comm/discovery.h"
#include "comm/projector_endpoint.h"
#include "message/target_capabilities.h"

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
    /// Where the Discovery tab searches (ports, timings); tests shorten it.
    DiscoveryConfig discovery;
    /// Tab shown first.
    TabIndex initialTab = TabIndex::Main;
};

/// The main window. Besides menus, toolbar and the tabbed view it holds what the pages
/// share: the registered projectors, the adaptor table, the job target, the send-lock flag,
/// the three chosen colours and the chosen projector's capabilities.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// Menu and toolbar command ids.
    enum Command {
        CmdNew = 57600,
        CmdOpen = 57601,
        CmdSave = 57603,
        CmdExit = 57665,
        CmdUndo = 57643,
        CmdCut = 57635,
        CmdCopy = 57634,
        CmdPaste = 57637,
        CmdFontColour = 32783,
        CmdFontBackground = 32784,
        CmdBackground = 32785,
        CmdFontColourButton = 32771,
        CmdFontBackgroundButton = 32772,
        CmdBackgroundButton = 32773,
        CmdAbout = 57664,
        CmdSendLock = 32786,
        CmdUnlock = 32787,
        CmdChangePassword = 32788,
    };

    explicit MainWindow(MainWindowSetup setup, QWidget *parent = nullptr);
    ~MainWindow() override;

    Prompter &prompter() const { return *m_prompter; }
    /// The registered projectors and the current projector index.
    ProjectorStore &store() { return m_store; }
    TabView *view() const { return m_view; }
    DiscoveryTab *discoveryPage() const;
    MainTabPage *mainPage() const;
    EditTabPage *editPage() const;

    /// The action of a menu command, or the toolbar button's action for 32771..32773.
    QAction *command(int id) const { return m_commands.value(id); }
    ColourButton *colourButton(ColourTarget target) const { return m_colourButtons[int(target)]; }

    // Adaptor table and selection.
    const QList<AdaptorEntry> &adaptors() const { return m_adaptors; }
    void setAdaptors(const QList<AdaptorEntry> &adaptors) { m_adaptors = adaptors; }
    void rebuildAdaptorTable();
    int selectedAdaptor() const { return m_selectedAdaptor; }
    void setSelectedAdaptor(int index) { m_selectedAdaptor = index; }

    /// The projector a page hands to its next job.
    ProjectorEndpoint &jobTarget() { return m_jobTarget; }
    const QList<quint32> &localAddresses() const { return m_localAddresses; }
    TargetCapabilities &capabilities() { return m_capabilities; }
    /// The Main tab's chosen message file (its position in the file list).
    int messageFileIndex() const { return m_messageFileIndex; }
    void setMessageFileIndex(int index) { m_messageFileIndex = index; }

    bool sendLocked() const { return m_sendLocked; }
    int paletteIndex(ColourTarget target) const { return m_palette[int(target)]; }
    void setPaletteIndex(ColourTarget target, int index);

    /// "Send[Locked]" or "Send" on the Main tab's Send button and on the Edit tab's when shown.
    void updateSendCaptions();
    /// Enables menu and toolbar commands for the selected tab, the Edit tab's state and the lock.
    void updateCommandStates();

    /// The unsaved-message and exit questions, then what must be kept; true when the window
    /// may close.
    bool runExitSequence();

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
    void changeEvent(QEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void onTabSwitched(TabIndex tab);
    QAction *addCommand(int id, const QString &text, const QKeySequence &shortcut = {});

    MainWindowSetup m_setup;
    Prompter *m_prompter = nullptr;
    ProjectorStore m_store;
    TabView *m_view = nullptr;
    QHash<int, QAction *> m_commands;
    std::array<ColourButton *, 3> m_colourButtons{};

    QList<AdaptorEntry> m_adaptors;
    int m_selectedAdaptor = 0;
    ProjectorEndpoint m_jobTarget;
    QList<quint32> m_localAddresses;
    TargetCapabilities m_capabilities;
    int m_messageFileIndex = 0;
    bool m_sendLocked = false;
    std::array<int, 3> m_palette{7, 8, 8};
    bool m_exitConfirmed = false;
};

} // namespace glintcaster
