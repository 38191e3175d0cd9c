// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/discovery_tab/discovery_tab.h"

#include "app/projector_password.h"
#include "base/message_table.h"
#include "base/prompter.h"
#include "gui/discovery_tab/add_projector_dialog.h"
#include "gui/discovery_tab/authentication_dialog.h"
#include "gui/main_window.h"
#include "gui/tab_view.h"
#include "gui/widgets/job_status_window.h"
#include "comm/discovery_session.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

void setRow(QTableWidget *table, int row, const QString &name, const QString &mac, quint32 address,
            bool nameEditable = false)
{
    const QString texts[3] = {name, mac, formatDottedAddress(address)};
    for (int column = 0; column < 3; ++column) {
        auto *item = new QTableWidgetItem(texts[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled
                       | (column == 0 && nameEditable ? Qt::ItemIsEditable : Qt::NoItemFlags));
        table->setItem(row, column, item);
    }
    table->item(row, 2)->setData(Qt::UserRole, address);
}

int selectedRow(const QTableWidget *table)
{
    const QList<QTableWidgetItem *> items = table->selectedItems();
    return items.isEmpty() ? -1 : items.first()->row();
}

} // namespace

DiscoveryTab::DiscoveryTab(MainWindow &frame, ProjectorStore &store, const DiscoveryConfig &config,
                 QWidget *parent)
    : QWidget(parent), m_frame(frame), m_store(store)
{
    m_session = new DiscoverySession(config, this);

    m_discoveredView = makeList(QStringLiteral("discoveredList"));
    m_registeredView = makeList(QStringLiteral("registeredList"));
    m_registration = new QPushButton(tr("&Registration"), this);
    m_find = new QPushButton(tr("Fi&nd"), this);
    m_manual = new QPushButton(tr("&Configure Manually..."), this);
    m_delete = new QPushButton(tr("&Delete"), this);
    m_password = new QPushButton(tr("&Password..."), this);
    m_registration->setToolTip(tr("Add the selected projector to the registered list"));
    m_find->setToolTip(tr("Search the network for projectors again"));
    m_manual->setToolTip(tr("Register a projector by its address"));
    m_delete->setToolTip(tr("Remove the selected projector from the registered list"));
    m_password->setToolTip(tr("Set the selected projector's password"));

    // Adaptor choice: kept off screen; it still decides where the search starts.
    m_adaptorBox = new AdaptorBox(this);
    m_adaptorBox->setObjectName(QStringLiteral("adaptorBox"));
    m_searchButton = new QPushButton(tr("Search"), this);
    auto *adaptorLabel = new QLabel(tr("Current Network Adaptor"), this);
    adaptorLabel->hide();
    m_adaptorBox->hide();
    m_searchButton->hide();

    const int buttonWidth = qMax(m_manual->sizeHint().width(), 150);
    for (QPushButton *b : {m_registration, m_find, m_manual, m_delete, m_password})
        b->setFixedWidth(buttonWidth);

    // The search's progress goes below the found list.
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("searchProgress"));
    m_progress->setTextVisible(true);
    QSizePolicy keepRoom = m_progress->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true); // the lists do not jump when a search starts
    m_progress->setSizePolicy(keepRoom);
    m_progress->hide();

    auto makeGroup = [this](const QString &title, QTableWidget *list, QWidget *below,
                            std::initializer_list<QPushButton *> buttons) {
        auto *group = new QGroupBox(title, this);
        auto *row = new QHBoxLayout(group);
        auto *listColumn = new QVBoxLayout;
        listColumn->addWidget(list, 1);
        if (below)
            listColumn->addWidget(below);
        row->addLayout(listColumn, 1);
        auto *column = new QVBoxLayout;
        for (QPushButton *b : buttons)
            column->addWidget(b);
        column->addStretch();
        row->addLayout(column);
        return group;
    };
    QGroupBox *found = makeGroup(tr("PROJECTOR List"), m_discoveredView, m_progress, {m_registration, m_find});
    QGroupBox *kept = makeGroup(tr("Registered PROJECTOR"), m_registeredView, nullptr,
                                {m_manual, m_delete, m_password});

    // Over the found list's empty area: what the search is doing, or that nobody answered.
    m_searchStatus = new QLabel(m_discoveredView->viewport());
    m_searchStatus->setObjectName(QStringLiteral("searchStatus"));
    m_searchStatus->setAlignment(Qt::AlignCenter);
    m_searchStatus->setWordWrap(true);
    m_searchStatus->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_searchStatus->setForegroundRole(QPalette::PlaceholderText);
    m_searchStatus->hide();
    m_progressTick = new QTimer(this);
    m_progressTick->setInterval(200);
    m_searchTimings = config.timings;

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(found, 1);
    layout->addWidget(kept, 1);

    setTabOrder(m_discoveredView, m_registration);
    setTabOrder(m_registration, m_find);
    setTabOrder(m_find, m_registeredView);
    setTabOrder(m_registeredView, m_manual);
    setTabOrder(m_manual, m_delete);
    setTabOrder(m_delete, m_password);

    // The name is renamed in place (F2, or a click on the selected row's name); a double
    // click still opens "Password...".
    m_registeredView->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_registeredView->horizontalHeaderItem(0)->setToolTip(tr("F2 or a click on the selected name renames the projector"));

    m_searchPause = new QTimer(this);
    m_searchPause->setSingleShot(true);

    connect(m_registration, &QPushButton::clicked, this, &DiscoveryTab::registration);
    connect(m_find, &QPushButton::clicked, this, &DiscoveryTab::find);
    connect(m_manual, &QPushButton::clicked, this, &DiscoveryTab::configureManually);
    connect(m_delete, &QPushButton::clicked, this, &DiscoveryTab::deleteEntry);
    connect(m_password, &QPushButton::clicked, this, &DiscoveryTab::password);
    connect(m_searchButton, &QPushButton::clicked, this, &DiscoveryTab::search);
    connect(m_adaptorBox, &AdaptorBox::popupOpened, this, &DiscoveryTab::adaptorBoxOpened);
    connect(m_adaptorBox, &AdaptorBox::popupClosed, this, &DiscoveryTab::adaptorBoxClosed);
    connect(m_registeredView, &QTableWidget::itemSelectionChanged, this,
            [this] { m_store.setCurrentIndex(selectedRow(m_registeredView)); });
    connect(m_registeredView, &QTableWidget::cellDoubleClicked, this, &DiscoveryTab::password);
    connect(m_discoveredView, &QTableWidget::cellDoubleClicked, this, &DiscoveryTab::registration);
    auto *deleteKey = new QShortcut(QKeySequence::Delete, m_registeredView);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &DiscoveryTab::deleteEntry);
    connect(m_session, &DiscoverySession::projectorFound, this, &DiscoveryTab::addDiscovered);
    connect(m_session, &DiscoverySession::searchFinished, this, [this] { m_find->setEnabled(true); });
    connect(m_session, &DiscoverySession::finished, this, &DiscoveryTab::searchEnded);
    connect(m_progressTick, &QTimer::timeout, this, &DiscoveryTab::searchTick);
    connect(m_registeredView, &QTableWidget::itemChanged, this, &DiscoveryTab::registeredItemChanged);
    connect(m_searchPause, &QTimer::timeout, this, [this] {
        m_frame.session().setSelectedAdaptor(0);
        m_frame.session().rebuildAdaptorTable();
        setSearchControlsEnabled(true);
        // The operator may have left the tab during the pause: search only where shown.
        if (m_frame.view() && m_frame.view()->currentTab() == TabIndex::Discovery)
            pageShown();
    });

    // The first load of the registered list after start-up.
    m_store.LoadRegisteredProjectors();
    refillRegisteredList();
    followRegisteredFile();
}

void DiscoveryTab::followRegisteredFile()
{
    // The command line and the server change the list too. A write replaces the file by a
    // rename, which ends a watch on the file itself, so its folder is watched as well.
    auto *watcher = new QFileSystemWatcher(this);
    const QString file = m_store.filePath();
    watcher->addPath(QFileInfo(file).absolutePath());
    auto changed = [this, watcher, file] {
        if (QFileInfo::exists(file) && !watcher->files().contains(file))
            watcher->addPath(file);
        const QList<ProjectorEntry> shown = m_store.projectors();
        m_store.LoadRegisteredProjectors();
        refillWhenRowsChanged(shown);
    };
    if (QFileInfo::exists(file))
        watcher->addPath(file);
    connect(watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

DiscoveryTab::~DiscoveryTab()
{
    m_session->stop();
}

QTableWidget *DiscoveryTab::makeList(const QString &name)
{
    auto *table = new QTableWidget(0, 3, this);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels({msg(1137), msg(1138), msg(1139)});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(true);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeader()->setHighlightSections(false);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return table;
}

QList<int> DiscoveryTab::columnWidths(int width)
{
    const int unit = width / 16;
    return {unit * 7, unit * 5, unit * 4};
}

void DiscoveryTab::fitColumns()
{
    for (QTableWidget *table : {m_discoveredView, m_registeredView}) {
        const QList<int> widths = columnWidths(table->viewport()->width());
        for (int column = 0; column < 3; ++column)
            table->setColumnWidth(column, widths[column]);
    }
}

void DiscoveryTab::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitColumns();
    m_searchStatus->setGeometry(m_discoveredView->viewport()->rect().adjusted(8, 8, -8, -8));
}

void DiscoveryTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitColumns();
    m_searchStatus->setGeometry(m_discoveredView->viewport()->rect().adjusted(8, 8, -8, -8));
}

void DiscoveryTab::refillWhenRowsChanged(const QList<ProjectorEntry> &shown)
{
    // Refilling drops the selection: only when a row shows something else.
    const QList<ProjectorEntry> &now = m_store.projectors();
    bool same = now.size() == shown.size();
    for (qsizetype r = 0; same && r < now.size(); ++r)
        same = now[r].IP == shown[r].IP && now[r].ProjectorName == shown[r].ProjectorName && now[r].MAC == shown[r].MAC;
    if (!same)
        refillRegisteredList();
}

void DiscoveryTab::refillRegisteredList()
{
    // Emptying the view drops its selection; that must not move the current projector.
    const QSignalBlocker quiet(m_registeredView);
    m_registeredView->clearContents();
    const QList<ProjectorEntry> &entries = m_store.projectors();
    m_registeredView->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row)
        setRow(m_registeredView, row, entries[row].ProjectorName, entries[row].MAC, entries[row].IP,
               !m_store.isPlaceholder(row));
}

void DiscoveryTab::fillAdaptorBox()
{
    m_adaptorBox->clear();
    for (const AdaptorEntry &adaptor : m_frame.session().adaptors()) {
        if (adaptor.addressText.isEmpty())
            break;
        m_adaptorBox->addItem(adaptor.addressText + QStringLiteral(" : ") + adaptor.name);
    }
    if (m_adaptorBox->count() == 0)
        m_adaptorBox->addItem(QStringLiteral("-"));
    const int saved = m_frame.session().selectedAdaptor();
    m_adaptorBox->setCurrentIndex(saved >= 0 && saved < m_adaptorBox->count() ? saved : 0);
}

void DiscoveryTab::pageShown()
{
    fillAdaptorBox();
    m_find->setEnabled(false);
    startSearch();
}

void DiscoveryTab::stopSearch()
{
    if (m_searchRunning)
        m_searchStopped = true; // its end then says nothing about who would have answered
    m_session->stop();
    RaiseDiscoveryStop();
}

void DiscoveryTab::startSearch()
{
    const int index = m_adaptorBox->currentIndex();
    const QList<AdaptorEntry> &adaptors = m_frame.session().adaptors();
    if (index >= 0 && index < adaptors.size()) {
        m_searchAddress = adaptors[index].address;
        m_searchAddressText = adaptors[index].addressText;
    } else {
        m_searchAddress = 0;
        m_searchAddressText.clear();
    }
    m_session->start(adaptors);
    searchBegan();
    emit searchStarted();
}

void DiscoveryTab::clearDiscovered()
{
    m_discoveredView->clearContents();
    m_discoveredView->setRowCount(0);
    showSearchStatus();
}

void DiscoveryTab::searchBegan()
{
    m_searchRunning = true;
    m_searchStopped = false;
    m_searchStartMs = QDateTime::currentMSecsSinceEpoch();
    // Each adaptor gets two listening periods that end after a few silent waits; answers
    // stretch them, so this is an estimate and the bar never claims to be done before it is.
    const int adaptors = qMax(1, int(m_frame.session().adaptors().size()));
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(m_searchTimings.silentWait);
    m_expectedSearchMs = qMax(1, int(adaptors * 2 * m_searchTimings.silentWaitsPerPeriod * wait.count()));
    m_progress->setRange(0, m_expectedSearchMs);
    m_progress->setValue(0);
    m_progress->show();
    m_progressTick->start();
    searchTick();
}

void DiscoveryTab::searchTick()
{
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_searchStartMs;
    m_progress->setValue(int(qMin<qint64>(elapsed, m_expectedSearchMs * 95 / 100)));
    m_progress->setFormat(tr("Searching... %1 s").arg(elapsed / 1000));
    showSearchStatus();
}

void DiscoveryTab::searchEnded()
{
    m_searchRunning = false;
    m_progressTick->stop();
    m_progress->hide();
    showSearchStatus();
}

QString DiscoveryTab::searchStatusText() const
{
    if (m_discoveredView->rowCount() > 0 || m_searchStartMs == 0)
        return {};
    if (m_searchRunning)
        return tr("Searching for projectors...");
    return m_searchStopped ? QString() : tr("No projector answered.");
}

void DiscoveryTab::showSearchStatus()
{
    const QString text = searchStatusText();
    m_searchStatus->setText(text);
    m_searchStatus->setVisible(!text.isEmpty());
}

void DiscoveryTab::addDiscovered(const DiscoveredProjector &projector)
{
    // The list outlives single searches (a search restarts whenever the tab is shown), so a
    // projector already listed by an earlier search is not listed twice.
    for (int row = 0; row < m_discoveredView->rowCount(); ++row)
        if (m_discoveredView->item(row, 2)
            && m_discoveredView->item(row, 2)->data(Qt::UserRole).toUInt() == projector.address)
            return;
    const int row = m_discoveredView->rowCount();
    m_discoveredView->insertRow(row);
    setRow(m_discoveredView, row, projector.name, projector.mac, projector.address);
    showSearchStatus();
}

void DiscoveryTab::registration()
{
    std::optional<ProjectorEntry> selected;
    const int row = selectedRow(m_discoveredView);
    if (row >= 0) {
        ProjectorEntry record;
        record.ProjectorName = m_discoveredView->item(row, 0)->text();
        record.MAC = m_discoveredView->item(row, 1)->text();
        record.IP = m_discoveredView->item(row, 2)->data(Qt::UserRole).toUInt();
        record.hasPassword = true;
        selected = record;
    }
    const QList<ProjectorEntry> shown = m_store.projectors();
    registerDiscovered(m_store, selected, m_frame.prompter());
    refillWhenRowsChanged(shown); // the store re-read the file, changed or not
}

void DiscoveryTab::password()
{
    editPasswordOfRow(selectedRow(m_registeredView));
}

void DiscoveryTab::editPasswordOf(quint32 address)
{
    editPasswordOfRow(m_store.indexOfIp(address));
}

void DiscoveryTab::editPasswordOfRow(int row)
{
    const QList<ProjectorEntry> shown = m_store.projectors();
    const quint32 address = m_store.projector(row).IP;
    editPassword(m_store, row, m_frame.prompter(),
                 [this, address](const QString &label, int auth, const QString &password) {
                     return runPasswordDialog(address, label, auth, password);
                 });
    refillWhenRowsChanged(shown); // the store re-read the file for the change
}

bool DiscoveryTab::checkPassword(quint32 address, const QString &password, QWidget *parent)
{
    ProjectorEndpoint target;
    target.address = address;
    target.authentication = 1;
    target.password = password;
    return confirmProjectorPassword(target, m_frame.prompter(),
                                    [parent](JobRecord &job) { return JobStatusWindow::run(job, parent); });
}

void DiscoveryTab::registeredItemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != 0 || !m_registeredView->item(item->row(), 2))
        return;
    const quint32 address = m_registeredView->item(item->row(), 2)->data(Qt::UserRole).toUInt();
    const QString before = m_store.projector(m_store.indexOfIp(address)).ProjectorName;
    const bool renamed = m_store.renameProjector(address, item->text());
    if (!renamed && !m_store.problemText().isEmpty())
        m_frame.prompter().inform(m_store.problemText());
    // Shows the name as stored (trimmed), or the old one when it could not be kept.
    {
        const QSignalBlocker quiet(m_registeredView);
        item->setText(renamed ? m_store.projector(m_store.indexOfIp(address)).ProjectorName : before);
    }
    // Not kept: the file, which is the authority, no longer matches the list; show what it
    // holds. Deferred, since the edited item must outlive this signal.
    if (!renamed)
        QTimer::singleShot(0, this, [this] {
            m_store.LoadRegisteredProjectors();
            refillRegisteredList();
        });
}

void DiscoveryTab::deleteEntry()
{
    const QList<ProjectorEntry> shown = m_store.projectors();
    deleteRegistered(m_store, selectedRow(m_registeredView), m_frame.prompter());
    refillWhenRowsChanged(shown); // also when refused: the store re-read the file
}

void DiscoveryTab::configureManually()
{
    const QList<ProjectorEntry> shown = m_store.projectors();
    glintcaster::configureManually(m_store, m_frame.prompter(), [this] { return runManualDialog(); });
    refillWhenRowsChanged(shown);
}

void DiscoveryTab::find()
{
    m_find->setEnabled(false);
    m_frame.session().rebuildAdaptorTable();
    clearDiscovered();
    startSearch();
}

void DiscoveryTab::adaptorBoxOpened()
{
    stopSearch();
}

void DiscoveryTab::adaptorBoxClosed()
{
    clearDiscovered();
    m_frame.session().setSelectedAdaptor(qMax(0, m_adaptorBox->currentIndex()));
    startSearch();
}

void DiscoveryTab::search()
{
    setSearchControlsEnabled(false);
    stopSearch();
    clearDiscovered();
    m_frame.session().setAdaptors({});
    // Give the stopped search time to release its sockets before the table is rebuilt.
    m_searchPause->start(m_searchPauseMs);
}

void DiscoveryTab::setSearchControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_adaptorBox, m_discoveredView, m_registeredView,
                                                       m_registration, m_manual, m_delete, m_password})
        w->setEnabled(enabled);
}

std::optional<ProjectorEntry> DiscoveryTab::runManualDialog()
{
    if (m_runManual)
        return m_runManual();
    AddProjectorDialog dialog(m_frame.prompter(), this);
    dialog.setPasswordCheck([this, &dialog](quint32 address, const QString &password) {
        return checkPassword(address, password, &dialog);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    ProjectorEntry record;
    record.ProjectorName = dialog.name();
    record.IP = dialog.address();
    record.hasPassword = dialog.auth() != 0;
    record.Pass = dialog.password();
    record.MAC = dialog.mac();
    return record;
}

std::optional<Credentials> DiscoveryTab::runPasswordDialog(quint32 address, const QString &label, int auth,
                                                           const QString &password)
{
    if (m_runPassword)
        return m_runPassword(label, auth, password);
    AuthenticationDialog dialog(label, auth, password, this);
    dialog.setPasswordCheck([this, &dialog, address](const QString &typed) {
        return checkPassword(address, typed, &dialog);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{dialog.auth(), dialog.password()};
}

} // namespace glintcaster
