// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/main_window.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "gui/about_dialog.h"
#include "gui/widgets/colour_button.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/send_lock/send_lock_profile.h"
#include "gui/tab_view.h"
#include "app/send_lock.h"
#include "gui/widgets/palette_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>
#include <QNetworkInterface>
#include <QStyle>
#include <QToolBar>

namespace glintcaster {

namespace {

constexpr int kMaxLocalAddresses = 15;

QIcon commandIcon(const char *name)
{
    return QIcon(QStringLiteral(":/glintcaster/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget *parent)
    : QMainWindow(parent), m_setup(std::move(setup)), m_prompter(m_setup.prompter),
      m_store(ProjectorStore::inAppHome())
{
    Q_ASSERT(m_prompter);
    setWindowTitle(msg(1011));
    // A fixed-size window: no sizing border, no maximise box.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setFixedSize(1000, 700);

    createCommands();
    createMenus();
    createToolBar();

    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (m_localAddresses.size() >= kMaxLocalAddresses)
            break;
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            m_localAddresses.append(address.toIPv4Address());
    }
    rebuildAdaptorTable();
    m_jobTarget.address = 0;

    m_palette = {7, 8, 8};
    for (ColourButton *button : m_colourButtons) {
        if (!button->imagesComplete() || !button->showIndex(m_palette[int(button->target())])) {
            m_prompter->inform(msg(1017));
            break;
        }
    }

    m_sendLocked = readSendLockFlag();

    QStringList adaptorNames;
    for (const AdaptorEntry &adaptor : m_adaptors)
        adaptorNames << adaptor.name;
    m_selectedAdaptor = m_store.LoadAdaptorSelection(adaptorNames);

    MainTabPage *mainPage = m_setup.createMainPage ? m_setup.createMainPage(*this) : new MainTabPage;
    EditTabPage *editPage = m_setup.createEditPage ? m_setup.createEditPage(*this) : new EditTabPage;
    auto *discoveryPage = new DiscoveryTab(*this, m_store, m_setup.discovery);
    // An existing list we cannot read is left alone; say so once instead of losing it.
    if (!m_store.loadProblem().isEmpty())
        m_prompter->inform(m_store.problemText(), PromptIcon::Stop);
    m_view = new TabView(mainPage, discoveryPage, editPage, *m_prompter, this);
    setCentralWidget(m_view);

    connect(m_view, &TabView::tabSwitched, this, &MainWindow::onTabSwitched);
    connect(editPage, &EditTabPage::commandStateChanged, this, &MainWindow::updateCommandStates);
    connect(editPage, &EditTabPage::colourShown, this, &MainWindow::setPaletteIndex);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &MainWindow::updateCommandStates);

    if (m_setup.initialTab == m_view->currentTab())
        onTabSwitched(m_setup.initialTab);
    else
        m_view->setCurrentTab(m_setup.initialTab);
}

MainWindow::~MainWindow()
{
    // Workers of the pages post to the pages: stop them before anything is torn down.
    if (m_view) {
        m_view->mainPage()->stopMonitor();
        m_view->discoveryPage()->stopSearch();
    }
}

void MainWindow::editProjectorPassword(quint32 address)
{
    discoveryPage()->editPasswordOf(address);
}

DiscoveryTab *MainWindow::discoveryPage() const
{
    return m_view->discoveryPage();
}

MainTabPage *MainWindow::mainPage() const
{
    return m_view->mainPage();
}

EditTabPage *MainWindow::editPage() const
{
    return m_view->editPage();
}

QAction *MainWindow::addCommand(int id, const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setData(id);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_commands.insert(id, action);
    return action;
}

void MainWindow::createCommands()
{
    QAction *a = addCommand(CmdNew, tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    a->setIcon(commandIcon("new"));
    a->setToolTip(tr("New message (Ctrl+N)"));
    connect(a, &QAction::triggered, this, [this] {
        // The clipboard is emptied only when a new message was actually started.
        if (editPage()->newMessage())
            QGuiApplication::clipboard()->clear();
    });

    a = addCommand(CmdOpen, tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    a->setIcon(commandIcon("open"));
    a->setToolTip(tr("Open a message file (Ctrl+O)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->openMessage(); });

    a = addCommand(CmdSave, tr("&Save..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    a->setIcon(commandIcon("save"));
    a->setToolTip(tr("Save the message (Ctrl+S)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->saveMessage(); });

    a = addCommand(CmdExit, tr("E&xit"));
    connect(a, &QAction::triggered, this, &MainWindow::close);

    a = addCommand(CmdUndo, tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(a, &QAction::triggered, this, [this] { editPage()->undo(); });

    a = addCommand(CmdCut, tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    a->setIcon(commandIcon("cut"));
    a->setToolTip(tr("Cut (Ctrl+X)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->cut(); });

    a = addCommand(CmdCopy, tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    a->setIcon(commandIcon("copy"));
    a->setToolTip(tr("Copy (Ctrl+C)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->copy(); });

    a = addCommand(CmdPaste, tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    a->setIcon(commandIcon("paste"));
    a->setToolTip(tr("Paste (Ctrl+V)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->paste(); });

    a = addCommand(CmdFontColour, tr("Font color..."));
    connect(a, &QAction::triggered, this, [this] { colourCommand(ColourTarget::Character); });
    a = addCommand(CmdFontBackground, tr("Font background color..."));
    connect(a, &QAction::triggered, this,
            [this] { colourCommand(ColourTarget::CharacterBackground); });
    a = addCommand(CmdBackground, tr("Background color..."));
    connect(a, &QAction::triggered, this, [this] { colourCommand(ColourTarget::Background); });

    a = addCommand(CmdAbout, tr("&About"));
    a->setIcon(commandIcon("about"));
    a->setToolTip(tr("About %1").arg(msg(1011)));
    connect(a, &QAction::triggered, this, &MainWindow::aboutCommand);

    a = addCommand(CmdSendLock, msg(1044));
    connect(a, &QAction::triggered, this, [this] { sendLockCommand(false); });
    a = addCommand(CmdUnlock, msg(1045));
    connect(a, &QAction::triggered, this, [this] { sendLockCommand(true); });
    a = addCommand(CmdChangePassword, msg(1046));
    connect(a, &QAction::triggered, this, &MainWindow::changePasswordCommand);
}

void MainWindow::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(command(CmdNew));
    file->addAction(command(CmdOpen));
    file->addAction(command(CmdSave));
    file->addSeparator();
    file->addAction(command(CmdExit));

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(command(CmdUndo));
    edit->addSeparator();
    edit->addAction(command(CmdCut));
    edit->addAction(command(CmdCopy));
    edit->addAction(command(CmdPaste));

    QMenu *colour = menuBar()->addMenu(tr("C&olor"));
    colour->addAction(command(CmdFontColour));
    colour->addAction(command(CmdFontBackground));
    colour->addAction(command(CmdBackground));

    QMenu *lock = menuBar()->addMenu(msg(1044));
    lock->addAction(command(CmdSendLock));
    lock->addAction(command(CmdUnlock));
    lock->addAction(command(CmdChangePassword));

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(command(CmdAbout));

    // Undo and clipboard state can change without a signal from the page (another
    // program's clipboard, a focus change): re-check whenever a menu opens.
    for (QMenu *menu : {file, edit, colour, lock, help})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandStates);
}

void MainWindow::createToolBar()
{
    QToolBar *bar = addToolBar(tr("Toolbar"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(22, 22));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->addAction(command(CmdNew));
    bar->addAction(command(CmdOpen));
    bar->addAction(command(CmdSave));
    bar->addSeparator();
    bar->addAction(command(CmdCut));
    bar->addAction(command(CmdCopy));
    bar->addAction(command(CmdPaste));
    bar->addSeparator();

    const int ids[3] = {CmdFontColourButton, CmdFontBackgroundButton, CmdBackgroundButton};
    for (int i = 0; i < 3; ++i) {
        const auto target = ColourTarget(i);
        auto *button = new ColourButton(target, bar);
        button->setObjectName(QStringLiteral("colourButton%1").arg(i));
        button->setIconSize(bar->iconSize());
        m_colourButtons[i] = button;
        QAction *action = bar->addWidget(button);
        action->setData(ids[i]);
        m_commands.insert(ids[i], action);
        connect(button, &QToolButton::clicked, this, [this, target] { colourButtonClicked(target); });
        connect(button, &ColourButton::arrowClicked, this, [this, target] { colourCommand(target); });
    }
    bar->addSeparator();
    bar->addAction(command(CmdAbout));
}

void MainWindow::rebuildAdaptorTable()
{
    m_adaptors = BuildAdaptorTable();
}

void MainWindow::setPaletteIndex(ColourTarget target, int index)
{
    m_palette[int(target)] = index;
    m_colourButtons[int(target)]->showIndex(index);
}

void MainWindow::onTabSwitched(TabIndex tab)
{
    switch (tab) {
    case TabIndex::Main:
        discoveryPage()->stopSearch();
        mainPage()->refreshProjectorBox();
        mainPage()->refreshTarget();
        mainPage()->startMonitor();
        break;
    case TabIndex::Discovery:
        mainPage()->stopMonitor();
        discoveryPage()->pageShown();
        break;
    case TabIndex::Edit:
        mainPage()->stopMonitor();
        discoveryPage()->stopSearch();
        editPage()->refreshBeforeShow();
        editPage()->refreshAfterShow();
        break;
    }
    if (tab != TabIndex::Discovery)
        updateSendCaptions();
    updateCommandStates();
}

void MainWindow::updateSendCaptions()
{
    const QString caption = sendButtonCaption(m_sendLocked);
    mainPage()->setSendCaption(caption);
    if (m_view->currentTab() == TabIndex::Edit)
        editPage()->setSendCaption(caption);
}

void MainWindow::updateCommandStates()
{
    if (!m_view)
        return;
    const bool editing = m_view->currentTab() == TabIndex::Edit;
    EditTabPage *edit = editPage();
    const bool displayMode = editing && edit->characterDisplayMode();
    const bool selection = editing && edit->hasSelection();

    command(CmdNew)->setEnabled(editing);
    command(CmdOpen)->setEnabled(editing);
    command(CmdSave)->setEnabled(editing);
    command(CmdUndo)->setEnabled(editing && edit->canUndo());
    command(CmdCut)->setEnabled(selection);
    command(CmdCopy)->setEnabled(selection);
    command(CmdPaste)->setEnabled(editing && edit->canPaste());
    command(CmdFontColour)->setEnabled(editing);
    command(CmdFontBackground)->setEnabled(editing);
    command(CmdBackground)->setEnabled(editing);
    command(CmdFontColourButton)->setEnabled(editing);
    command(CmdFontBackgroundButton)->setEnabled(editing && !displayMode);
    command(CmdBackgroundButton)->setEnabled(editing && !displayMode);
    command(CmdSendLock)->setEnabled(!m_sendLocked);
    command(CmdUnlock)->setEnabled(m_sendLocked);
}

void MainWindow::sendLockCommand(bool unlock)
{
    if (unlock != m_sendLocked)
        return; // only reachable while the matching menu item is enabled
    std::optional<bool> result;
    if (m_setup.runSendLockDialog)
        result = m_setup.runSendLockDialog(m_sendLocked, this);
    else
        result = runDefaultSendLockDialog(m_sendLocked, m_prompter, this);
    if (result && *result != m_sendLocked) {
        m_sendLocked = *result;
        // Kept at once as well as at exit, so a killed program cannot drop the lock.
        writeSendLockFlag(m_sendLocked);
    }
    updateSendCaptions();
    updateCommandStates();
}

void MainWindow::changePasswordCommand()
{
    if (m_setup.runChangePasswordDialog)
        m_setup.runChangePasswordDialog(this);
    else
        runDefaultChangePasswordDialog(m_prompter, this);
}

void MainWindow::colourCommand(ColourTarget target)
{
    if (m_view->currentTab() != TabIndex::Edit)
        return;
    // The dialog starts on the command's current colour, the one its toolbar button shows
    // and applies, so that OK without a choice changes nothing.
    const int current = paletteIndex(target);
    std::optional<int> chosen;
    if (m_setup.chooseColour) {
        chosen = m_setup.chooseColour(target, current, this);
    } else if (const int index = chooseColour(this, target, current); index >= 0) {
        chosen = index;
    }
    if (!chosen)
        return;
    setPaletteIndex(target, *chosen);
    editPage()->applyColour(target, *chosen);
}

void MainWindow::colourButtonClicked(ColourTarget target)
{
    if (m_view->currentTab() != TabIndex::Edit)
        return;
    editPage()->applyColour(target, paletteIndex(target));
}

void MainWindow::aboutCommand()
{
    AboutDialog dialog(this);
    dialog.exec();
}

bool MainWindow::runExitSequence()
{
    if (!editPage()->confirmDiscard())
        return false;
    if (m_prompter->ask(msg(1018), PromptButtons::OkCancel, PromptIcon::Question) != PromptAnswer::Ok)
        return false;
    QGuiApplication::clipboard()->clear();
    if (m_selectedAdaptor >= 0 && m_selectedAdaptor < m_adaptors.size())
        m_store.SaveAdaptorSelection(m_adaptors[m_selectedAdaptor].addressText,
                                     m_adaptors[m_selectedAdaptor].name);
    else
        m_store.SaveAdaptorSelection(QString(), QString());
    writeSendLockFlag(m_sendLocked);
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_exitConfirmed && !runExitSequence()) {
        event->ignore();
        return;
    }
    m_exitConfirmed = true;
    mainPage()->stopMonitor();
    discoveryPage()->stopSearch();
    event->accept();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        update();
}

} // namespace glintcaster
