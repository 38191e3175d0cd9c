// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/main_window.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "gui/about_dialog.h"
#include "gui/widgets/colour_button.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/send_lock/send_lock_profile.h"
#include "gui/alert_tab/alert_tab.h"
#include "gui/tab_view.h"
#include "app/send_lock.h"
#include "gui/widgets/palette_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace glintcaster {

namespace {

QIcon commandIcon(const char *name)
{
    return QIcon(QStringLiteral(":/glintcaster/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget *parent)
    : QMainWindow(parent), m_setup(std::move(setup)), m_prompter(m_setup.prompter)
{
    Q_ASSERT(m_prompter);
    setWindowTitle(msg(1011));
    // 1000 x 700 where the screen has room; the pages scroll where it has not (large
    // display scaling, small screens), and the window can be resized and maximised.
    const QSize preferred(1000, 700);
    const QSize frame(24, 48); // title bar and borders, which resize() does not count
    const QSize room = screen() ? screen()->availableGeometry().size() - frame : preferred;
    resize(preferred.boundedTo(room));

    createCommands();
    createMenus();
    createToolBar();

    for (ColourButton *button : m_colourButtons) {
        if (!button->imagesComplete() || !button->showIndex(m_session.paletteIndex(button->target()))) {
            m_prompter->inform(msg(1017));
            break;
        }
    }

    m_session.setSendLocked(readSendLockFlag());
    m_session.setNamesProjectorsInBoxes(m_setup.nameProjectorsInBoxes);

    QStringList adaptorNames;
    for (const AdaptorEntry &adaptor : m_session.adaptors())
        adaptorNames << adaptor.name;
    m_session.setSelectedAdaptor(m_session.store().LoadAdaptorSelection(adaptorNames));

    MainTabPage *mainPage = m_setup.createMainPage ? m_setup.createMainPage(*this) : new MainTabPage;
    EditTabPage *editPage = m_setup.createEditPage ? m_setup.createEditPage(*this) : new EditTabPage;
    ProjectorStore &store = m_session.store();
    auto *discoveryPage = new DiscoveryTab(*this, store, m_setup.discovery);
    // An existing list we cannot read is left alone; say so once instead of losing it.
    if (!store.loadProblem().isEmpty())
        m_prompter->inform(store.problemText(), PromptIcon::Stop);
    m_view = new TabView(mainPage, discoveryPage, editPage, *m_prompter, this);
    setCentralWidget(m_view);
    if (m_setup.createAlertPage)
        m_view->addAlertPage(m_setup.createAlertPage(*this));

    connect(m_view, &TabView::tabSwitched, this, &MainWindow::onTabSwitched);
    // Window shortcuts come before any list or text box, which would otherwise take the
    // keys for its own selection: the tabs switch from anywhere.
    const QList<std::pair<QKeySequence, int>> tabKeys{
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1}};
    for (const auto &[key, step] : tabKeys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            constexpr int kTabs = 3;
            m_view->setCurrentTab(TabIndex((int(m_view->currentTab()) + step + kTabs) % kTabs));
        });
    }
    connect(editPage, &EditTabPage::commandStateChanged, this, &MainWindow::updateCommandStates);
    connect(editPage, &EditTabPage::colourShown, this, &MainWindow::setPaletteIndex);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &MainWindow::updateCommandStates);

    if (m_setup.refreshWhenShown)
        m_initialTabPending = true;
    else
        showInitialTab();
}

void MainWindow::showInitialTab()
{
    if (m_setup.initialTab == m_view->currentTab())
        onTabSwitched(m_setup.initialTab);
    else
        m_view->setCurrentTab(m_setup.initialTab);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_initialTabPending)
        return;
    m_initialTabPending = false;
    QTimer::singleShot(0, this, &MainWindow::showInitialTabWhenExposed);
}

void MainWindow::showInitialTabWhenExposed()
{
    // Shown is not yet on screen: wait (a little, bounded) until the window system has
    // mapped and painted the window, then ask the projector.
    constexpr int kExposeWaitMs = 20;
    constexpr int kMaxExposeWaits = 50;
    if (windowHandle() && !windowHandle()->isExposed() && ++m_exposeWaits < kMaxExposeWaits) {
        QTimer::singleShot(kExposeWaitMs, this, &MainWindow::showInitialTabWhenExposed);
        return;
    }
    showInitialTab();
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

QAction *MainWindow::addCommand(Command id, const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setData(int(id));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_commands.insert(int(id), action);
    return action;
}

void MainWindow::createCommands()
{
    QAction *a = addCommand(Command::New, tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    a->setIcon(commandIcon("new"));
    a->setToolTip(tr("New message (Ctrl+N)"));
    connect(a, &QAction::triggered, this, [this] {
        // The clipboard is emptied only when a new message was actually started.
        if (editPage()->newMessage())
            QGuiApplication::clipboard()->clear();
    });

    a = addCommand(Command::Open, tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    a->setIcon(commandIcon("open"));
    a->setToolTip(tr("Open a message file (Ctrl+O)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->openMessage(); });

    a = addCommand(Command::Save, tr("&Save..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    a->setIcon(commandIcon("save"));
    a->setToolTip(tr("Save the message (Ctrl+S)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->saveMessage(); });

    a = addCommand(Command::Exit, tr("E&xit"));
    connect(a, &QAction::triggered, this, &MainWindow::close);

    a = addCommand(Command::Undo, tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(a, &QAction::triggered, this, [this] { editPage()->undo(); });

    a = addCommand(Command::Cut, tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    a->setIcon(commandIcon("cut"));
    a->setToolTip(tr("Cut (Ctrl+X)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->cut(); });

    a = addCommand(Command::Copy, tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    a->setIcon(commandIcon("copy"));
    a->setToolTip(tr("Copy (Ctrl+C)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->copy(); });

    a = addCommand(Command::Paste, tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    a->setIcon(commandIcon("paste"));
    a->setToolTip(tr("Paste (Ctrl+V)"));
    connect(a, &QAction::triggered, this, [this] { editPage()->paste(); });

    a = addCommand(Command::FontColour, tr("Font color..."));
    connect(a, &QAction::triggered, this, [this] { colourCommand(ColourTarget::Character); });
    a = addCommand(Command::FontBackground, tr("Font background color..."));
    connect(a, &QAction::triggered, this,
            [this] { colourCommand(ColourTarget::CharacterBackground); });
    a = addCommand(Command::Background, tr("Background color..."));
    connect(a, &QAction::triggered, this, [this] { colourCommand(ColourTarget::Background); });

    a = addCommand(Command::About, tr("&About"));
    a->setIcon(commandIcon("about"));
    a->setToolTip(tr("About %1").arg(msg(1011)));
    connect(a, &QAction::triggered, this, &MainWindow::aboutCommand);

    a = addCommand(Command::SendLock, msg(1044));
    connect(a, &QAction::triggered, this, [this] { sendLockCommand(false); });
    a = addCommand(Command::Unlock, msg(1045));
    connect(a, &QAction::triggered, this, [this] { sendLockCommand(true); });
    a = addCommand(Command::ChangePassword, msg(1046));
    connect(a, &QAction::triggered, this, &MainWindow::changePasswordCommand);
}

void MainWindow::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(command(Command::New));
    file->addAction(command(Command::Open));
    file->addAction(command(Command::Save));
    file->addSeparator();
    file->addAction(command(Command::Exit));

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(command(Command::Undo));
    edit->addSeparator();
    edit->addAction(command(Command::Cut));
    edit->addAction(command(Command::Copy));
    edit->addAction(command(Command::Paste));

    QMenu *colour = menuBar()->addMenu(tr("C&olor"));
    colour->addAction(command(Command::FontColour));
    colour->addAction(command(Command::FontBackground));
    colour->addAction(command(Command::Background));

    QMenu *lock = menuBar()->addMenu(msg(1044));
    lock->addAction(command(Command::SendLock));
    lock->addAction(command(Command::Unlock));
    lock->addAction(command(Command::ChangePassword));

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(command(Command::About));

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
    bar->addAction(command(Command::New));
    bar->addAction(command(Command::Open));
    bar->addAction(command(Command::Save));
    bar->addSeparator();
    bar->addAction(command(Command::Cut));
    bar->addAction(command(Command::Copy));
    bar->addAction(command(Command::Paste));
    bar->addSeparator();

    const Command ids[3] = {Command::FontColourButton, Command::FontBackgroundButton, Command::BackgroundButton};
    for (int i = 0; i < 3; ++i) {
        const auto target = ColourTarget(i);
        auto *button = new ColourButton(target, bar);
        button->setObjectName(QStringLiteral("colourButton%1").arg(i));
        button->setIconSize(bar->iconSize());
        m_colourButtons[i] = button;
        QAction *action = bar->addWidget(button);
        action->setData(int(ids[i]));
        m_commands.insert(int(ids[i]), action);
        connect(button, &QToolButton::clicked, this, [this, target] { colourButtonClicked(target); });
        connect(button, &ColourButton::arrowClicked, this, [this, target] { colourCommand(target); });
    }
    bar->addSeparator();
    bar->addAction(command(Command::About));
}

void MainWindow::setPaletteIndex(ColourTarget target, int index)
{
    m_session.setPaletteIndex(target, index);
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
    case TabIndex::Alert:
        mainPage()->stopMonitor();
        discoveryPage()->stopSearch();
        if (auto *alert = qobject_cast<AlertTab *>(m_view->alertPage()))
            alert->refresh();
        break;
    }
    if (tab != TabIndex::Discovery)
        updateSendCaptions();
    updateCommandStates();
}

void MainWindow::updateSendCaptions()
{
    const QString caption = sendButtonCaption(m_session.sendLocked());
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

    command(Command::New)->setEnabled(editing);
    command(Command::Open)->setEnabled(editing);
    command(Command::Save)->setEnabled(editing);
    command(Command::Undo)->setEnabled(editing && edit->canUndo());
    command(Command::Cut)->setEnabled(selection);
    command(Command::Copy)->setEnabled(selection);
    command(Command::Paste)->setEnabled(editing && edit->canPaste());
    command(Command::FontColour)->setEnabled(editing);
    command(Command::FontBackground)->setEnabled(editing);
    command(Command::Background)->setEnabled(editing);
    command(Command::FontColourButton)->setEnabled(editing);
    command(Command::FontBackgroundButton)->setEnabled(editing && !displayMode);
    command(Command::BackgroundButton)->setEnabled(editing && !displayMode);
    command(Command::SendLock)->setEnabled(!m_session.sendLocked());
    command(Command::Unlock)->setEnabled(m_session.sendLocked());
}

void MainWindow::sendLockCommand(bool unlock)
{
    const bool locked = m_session.sendLocked();
    if (unlock != locked)
        return; // only reachable while the matching menu item is enabled
    std::optional<bool> result;
    if (m_setup.runSendLockDialog)
        result = m_setup.runSendLockDialog(locked, this);
    else
        result = runDefaultSendLockDialog(locked, m_prompter, this);
    if (result && *result != locked) {
        m_session.setSendLocked(*result);
        // Kept at once as well as at exit, so a killed program cannot drop the lock.
        keepSendLockFlag();
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
    const int current = m_session.paletteIndex(target);
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
    editPage()->applyColour(target, m_session.paletteIndex(target));
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
    const QList<AdaptorEntry> &adaptors = m_session.adaptors();
    const int adaptor = m_session.selectedAdaptor();
    if (adaptor >= 0 && adaptor < adaptors.size())
        m_session.store().SaveAdaptorSelection(adaptors[adaptor].addressText, adaptors[adaptor].name);
    else
        m_session.store().SaveAdaptorSelection(QString(), QString());
    keepSendLockFlag();
    return true;
}

void MainWindow::keepSendLockFlag()
{
    QString error;
    if (!writeSendLockFlag(m_session.sendLocked(), &error))
        m_prompter->inform(error, PromptIcon::Stop);
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
