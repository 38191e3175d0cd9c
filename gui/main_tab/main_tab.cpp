// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/main_tab/main_tab.h"

#include "app/message_folder.h"
#include "gui/main_window.h"
#include "gui/main_tab/startup_display_dialog.h"
#include "gui/tab_view.h"
#include "base/app_home.h"
#include "base/message_table.h"
#include "comm/job_messages.h"
#include "gui/main_tab/stored_messages_dialog.h"
#include "gui/widgets/alt_key.h"
#include "gui/widgets/job_status_window.h"
#include "gui/widgets/slot_box.h"
#include "gui/widgets/startup_minutes_box.h"
#include "message/path_rules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace glintcaster {

/// Stops the status monitor for a handler's jobs and starts it again on every way out of
/// the handler, so that an early stop never leaves the state labels frozen.
class MainTab::MonitorPause {
public:
    explicit MonitorPause(MainTab &tab) : m_tab(tab) { m_tab.stopMonitor(); }
    ~MonitorPause()
    {
        if (m_tab.onMainTab())
            m_tab.startMonitor();
    }
    MonitorPause(const MonitorPause &) = delete;
    MonitorPause &operator=(const MonitorPause &) = delete;

private:
    MainTab &m_tab;
};

namespace {

enum ClearChoice { ClearAll = 0, ClearQuick = 1, ClearSaved = 2 };


QLabel *stateLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(QStringLiteral("-"), parent);
    label->setObjectName(name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Sound number:None")) + 8);
    return label;
}

void setLabel(QLabel *label, const QString &text, bool enabled)
{
    label->setText(text);
    label->setEnabled(enabled);
}

} // namespace

MainTab::MainTab(MainWindow &frame, QWidget *parent)
    : MainTabPage(parent), m_frame(frame), m_session(frame.session()),
      m_ops(frame.prompter(), [this](JobRecord &job) { return JobStatusWindow::run(job, window()); }),
      m_slotListTimings(slotListTimings())
{
    if (m_session.namesProjectorsInBoxes())
        m_ops.setTargetDescriber([this](quint32 address) { return m_session.describeProjector(address); });
    buildControls();
    showStartupArea();
    resetStateLabels();
    setSendCaption(msg(1087));
}

MainTab::~MainTab()
{
    m_monitor.stop();
}

void MainTab::buildControls()
{
    auto *top = new QHBoxLayout;
    top->addWidget(buildProjectorGroup(), 1);
    top->addWidget(buildStateGroup(), 1);
    QGroupBox *fileGroup = buildFileGroup();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(buildDisplayGroup(), 1);
    bottom->addWidget(buildClearGroup(), 1);
    bottom->addWidget(buildStartupGroup(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(fileGroup);
    layout->addLayout(bottom);
    layout->addStretch(1);

    updateClearSlotEnabled();
    updateStartupMinUnit();
}

QGroupBox *MainTab::buildProjectorGroup()
{
    auto *projectorGroup = new QGroupBox(tr("PROJECTOR"), this);
    m_projectorBox = new ProjectorBox(projectorGroup);
    m_projectorBox->setObjectName(QStringLiteral("projectorBox"));
    m_projectorBox->setMinimumWidth(220);
    m_projectorBox->setToolTip(tr("The registered projector to work with"));
    auto *projectorLabel = new QLabel(tr("&IP Address"), projectorGroup);
    projectorLabel->setBuddy(m_projectorBox);
    m_projectorName = new QLabel(projectorGroup);
    m_projectorName->setObjectName(QStringLiteral("projectorName"));
    m_projectorName->setTextFormat(Qt::PlainText);
    auto *projectorRow = new QHBoxLayout(projectorGroup);
    projectorRow->addWidget(projectorLabel);
    projectorRow->addWidget(m_projectorBox);
    projectorRow->addWidget(m_projectorName, 1);

    connect(m_projectorBox, &ProjectorBox::popupOpened, this, &MainTab::stopMonitor);
    connect(m_projectorBox, &ProjectorBox::popupClosed, this, &MainTab::projectorBoxClosed);
    connect(m_projectorBox, &QComboBox::currentIndexChanged, this, &MainTab::projectorChosen);
    return projectorGroup;
}

QGroupBox *MainTab::buildStateGroup()
{
    auto *stateGroup = new QGroupBox(tr("PROJECTOR Status"), this);
    m_messageState = stateLabel(stateGroup, QStringLiteral("messageState"));
    m_messageSlot = stateLabel(stateGroup, QStringLiteral("messageSlot"));
    m_alarmState = stateLabel(stateGroup, QStringLiteral("alarmState"));
    m_alarmSound = stateLabel(stateGroup, QStringLiteral("alarmSound"));
    m_messageState->setMinimumWidth(40);
    m_alarmState->setMinimumWidth(40);
    m_mute = new QPushButton(tr("&Mute"), stateGroup);
    m_mute->setToolTip(tr("Silence the projector's alarm"));
    auto *stateGrid = new QGridLayout(stateGroup);
    stateGrid->addWidget(new QLabel(tr("Message"), stateGroup), 0, 0);
    stateGrid->addWidget(m_messageState, 0, 1);
    stateGrid->addWidget(m_messageSlot, 0, 2);
    stateGrid->addWidget(new QLabel(tr("Alarm"), stateGroup), 1, 0);
    stateGrid->addWidget(m_alarmState, 1, 1);
    stateGrid->addWidget(m_alarmSound, 1, 2);
    stateGrid->addWidget(m_mute, 1, 3);
    stateGrid->setColumnStretch(2, 1);

    connect(m_mute, &QPushButton::clicked, this, &MainTab::mute);
    return stateGroup;
}

QGroupBox *MainTab::buildFileGroup()
{
    auto *fileGroup = new QGroupBox(tr("Message file list"), this);
    m_fileBox = new QComboBox(fileGroup);
    m_fileBox->setObjectName(QStringLiteral("messageFileBox"));
    m_fileBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_fileBox->setMinimumContentsLength(28);
    m_fileBox->setToolTip(tr("Message files in the message folder"));
    m_sendSlot = new SlotBox(msg(1088), fileGroup);
    m_sendSlot->setObjectName(QStringLiteral("sendSlotBox"));
    m_send = new QPushButton(fileGroup);
    m_send->setObjectName(QStringLiteral("sendButton"));
    m_send->setToolTip(tr("Send the message file into the saved number"));
    m_confirm = new QPushButton(tr("Confi&rm..."), fileGroup);
    m_confirm->setToolTip(tr("List what the projector holds in its saved numbers"));
    m_useStartup = new QCheckBox(tr("Start&up Display"), fileGroup);
    m_useStartup->setToolTip(tr("Also show this saved number when the projector starts"));
    m_startupMinutes = new StartupMinutesBox(fileGroup);
    m_startupMinutes->setObjectName(QStringLiteral("sendStartupMinutes"));
    m_startupMinUnit = new QLabel(tr("min"), fileGroup);
    auto *fileLabel = new QLabel(tr("Message fi&le"), fileGroup);
    fileLabel->setBuddy(m_fileBox);
    auto *sendSlotLabel = new QLabel(tr("Saved &number"), fileGroup);
    sendSlotLabel->setBuddy(m_sendSlot);
    auto *fileGrid = new QGridLayout(fileGroup);
    fileGrid->addWidget(fileLabel, 0, 0);
    fileGrid->addWidget(m_fileBox, 0, 1, 1, 4);
    fileGrid->addWidget(sendSlotLabel, 1, 0);
    fileGrid->addWidget(m_sendSlot, 1, 1);
    fileGrid->addWidget(m_useStartup, 1, 2);
    auto *minutesRow = new QHBoxLayout;
    minutesRow->addWidget(m_startupMinutes);
    minutesRow->addWidget(m_startupMinUnit);
    fileGrid->addLayout(minutesRow, 1, 3);
    auto *sendColumn = new QVBoxLayout;
    sendColumn->addWidget(m_send);
    sendColumn->addWidget(m_confirm);
    fileGrid->addLayout(sendColumn, 0, 5, 2, 1);
    fileGrid->setColumnStretch(4, 1);

    connect(m_send, &QPushButton::clicked, this, &MainTab::send);
    connect(m_confirm, &QPushButton::clicked, this, &MainTab::confirm);
    connect(m_useStartup, &QCheckBox::clicked, this, &MainTab::startupDisplayClicked);
    connect(m_startupMinutes, &QComboBox::editTextChanged, this, &MainTab::updateStartupMinUnit);
    connect(m_sendSlot, &QComboBox::currentIndexChanged, this, &MainTab::refreshTarget);
    connect(m_fileBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_session.setMessageFileIndex(qMax(0, index)); });
    return fileGroup;
}

QGroupBox *MainTab::buildDisplayGroup()
{
    auto *displayGroup = new QGroupBox(tr("Display control"), this);
    m_displaySlot = new SlotBox(msg(1088), displayGroup);
    m_displaySlot->setObjectName(QStringLiteral("displaySlotBox"));
    m_displayOn = new QPushButton(tr("&Display on"), displayGroup);
    m_displayOff = new QPushButton(tr("Displa&y off"), displayGroup);
    m_powerOnDisplayOn = new QPushButton(tr("&Power on && Display on"), displayGroup);
    m_displayOn->setToolTip(tr("Show the stored message of the saved number"));
    m_displayOff->setToolTip(tr("Take the stored message of the saved number off the screen"));
    m_powerOnDisplayOn->setToolTip(tr("Switch the projector on and show the stored message"));
    auto *displaySlotLabel = new QLabel(tr("Saved num&ber"), displayGroup);
    displaySlotLabel->setBuddy(m_displaySlot);
    auto *displayGrid = new QGridLayout(displayGroup);
    displayGrid->addWidget(displaySlotLabel, 0, 0);
    displayGrid->addWidget(m_displaySlot, 0, 1);
    displayGrid->addWidget(m_displayOn, 1, 0, 1, 2);
    displayGrid->addWidget(m_displayOff, 2, 0, 1, 2);
    displayGrid->addWidget(m_powerOnDisplayOn, 3, 0, 1, 2);
    displayGrid->setRowStretch(4, 1);

    connect(m_displayOn, &QPushButton::clicked, this, &MainTab::displayOn);
    connect(m_displayOff, &QPushButton::clicked, this, &MainTab::displayOff);
    connect(m_powerOnDisplayOn, &QPushButton::clicked, this, &MainTab::powerOnAndDisplayOn);
    return displayGroup;
}

QGroupBox *MainTab::buildClearGroup()
{
    auto *clearGroup = new QGroupBox(tr("Clear"), this);
    m_clearRange = new QButtonGroup(this);
    const QString radioTexts[3] = {tr("&All"), tr("&Quick"), tr("Sa&ved number")};
    auto *clearGrid = new QGridLayout(clearGroup);
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(radioTexts[i], clearGroup);
        m_clearRange->addButton(radio, i);
        clearGrid->addWidget(radio, i, 0);
    }
    m_clearRange->button(ClearAll)->setChecked(true);
    m_clearSlot = new SlotBox(msg(1089), clearGroup);
    m_clearSlot->setObjectName(QStringLiteral("clearSlotBox"));
    m_clear = new QPushButton(tr("&Clear"), clearGroup);
    m_clear->setToolTip(tr("Delete stored messages from the projector"));
    clearGrid->addWidget(m_clearSlot, 2, 1);
    clearGrid->addWidget(m_clear, 3, 0, 1, 2);
    clearGrid->setRowStretch(4, 1);

    connect(m_clear, &QPushButton::clicked, this, &MainTab::clear);
    connect(m_clearRange, &QButtonGroup::idToggled, this, &MainTab::updateClearSlotEnabled);
    return clearGroup;
}

QGroupBox *MainTab::buildStartupGroup()
{
    auto *startupGroup = new QGroupBox(tr("Startup Display"), this);
    m_startupSlot = new QLabel(QStringLiteral("-"), startupGroup);
    m_startupSlot->setObjectName(QStringLiteral("startupSlot"));
    m_startupTime = new QLabel(QStringLiteral("-"), startupGroup);
    m_startupTime->setObjectName(QStringLiteral("startupTime"));
    m_startupTimeUnit = new QLabel(tr("min"), startupGroup);
    m_editStartup = new QPushButton(tr("Edi&t..."), startupGroup);
    m_editStartup->setToolTip(tr("Change what the projector shows when it starts"));
    auto *startupGrid = new QGridLayout(startupGroup);
    startupGrid->addWidget(new QLabel(tr("Saved number"), startupGroup), 0, 0);
    startupGrid->addWidget(m_startupSlot, 0, 1);
    startupGrid->addWidget(new QLabel(tr("Display time"), startupGroup), 1, 0);
    startupGrid->addWidget(m_startupTime, 1, 1);
    startupGrid->addWidget(m_startupTimeUnit, 1, 2);
    startupGrid->addWidget(m_editStartup, 2, 0, 1, 3, Qt::AlignLeft);
    startupGrid->setColumnStretch(3, 1);
    startupGrid->setRowStretch(3, 1);

    connect(m_editStartup, &QPushButton::clicked, this, &MainTab::editStartup);
    return startupGroup;
}

QRadioButton *MainTab::clearRadio(int index) const
{
    return qobject_cast<QRadioButton *>(m_clearRange->button(index));
}

bool MainTab::onMainTab() const
{
    return !m_frame.view() || m_frame.view()->currentTab() == TabIndex::Main;
}

int MainTab::runDialog(QDialog &dialog)
{
    return m_runDialog ? m_runDialog(dialog) : dialog.exec();
}

void MainTab::setSendCaption(const QString &caption)
{
    m_send->setText(withAltKey(caption, u'S'));
}

// Projector box and target.

void MainTab::refreshProjectorBox()
{
    ProjectorStore &store = m_session.store();
    store.LoadRegisteredProjectors();
    {
        // Filling the box is no choice of the operator's.
        const QSignalBlocker quiet(m_projectorBox);
        m_projectorBox->clear();
        for (const ProjectorEntry &entry : store.projectors())
            m_projectorBox->addItem(ipToText(entry.IP));
        m_projectorCount = m_projectorBox->count();
        if (m_projectorCount == 0)
            m_projectorBox->addItem(msg(1002));
        ProjectorEndpoint ignored;
        store.currentTarget(&ignored); // corrects an index the list no longer has
        m_projectorBox->setCurrentIndex(hasProjector() ? store.currentIndex() : 0);
    }
    showProjectorName();
    refillFileList();
}

void MainTab::refillFileList()
{
    const QStringList names = listMessageFiles(AppHome::messageDataDir());
    const QSignalBlocker quiet(m_fileBox);
    // Emptied first: a folder without files must leave nothing stale to send.
    m_fileBox->clear();
    m_fileBox->addItems(names);
    if (!names.isEmpty())
        m_fileBox->setCurrentIndex(qBound(0, m_session.messageFileIndex(), int(names.size()) - 1));
}

bool MainTab::projectorCheck(ProjectorEndpoint *target)
{
    if (!hasProjector() || !m_session.store().targetAt(m_projectorBox->currentIndex(), target)) {
        m_frame.prompter().inform(msg(1002));
        return false;
    }
    m_session.jobTarget() = *target;
    return true;
}

void MainTab::refreshTarget()
{
    ProjectorEndpoint target;
    if (!hasProjector() || !m_session.store().targetAt(m_projectorBox->currentIndex(), &target)) {
        m_startup.reset();
        showStartupArea();
        return;
    }
    m_session.jobTarget() = target;
    TargetCapabilities &caps = m_session.capabilities();
    if (!m_queried || target.address != m_queriedAddress) {
        // Another projector: nothing known about the previous one may carry over, even
        // when this one cannot be asked.
        caps.forget();
        m_startup.reset();
        m_queried = true;
        m_queriedAddress = target.address;
    }
    CapabilityReport report;
    if (m_ops.refreshCapabilities(target, &caps, &report) && report.reachable) {
        m_capabilitiesUnknown = false;
        m_startup = report.startup();
    } else {
        // Nothing the projector said before still holds: show the unknown state, and let
        // the status monitor tell when it answers again.
        m_capabilitiesUnknown = true;
        caps.forget();
        m_startup.reset();
        resetStateLabels();
    }
    showStartupArea();
}

void MainTab::projectorAnsweredAgain()
{
    if (!m_capabilitiesUnknown || !onMainTab())
        return;
    MonitorPause pause(*this);
    refreshTarget();
}

void MainTab::showProjectorName()
{
    const ProjectorEntry entry = m_session.store().projector(m_projectorBox->currentIndex());
    m_projectorName->setText(hasProjector() ? entry.ProjectorName : QString());
}

void MainTab::projectorChosen(int index)
{
    if (!hasProjector() || index < 0)
        return;
    m_session.store().setCurrentIndex(index);
    showProjectorName();
    refreshTarget();
    if (onMainTab())
        startMonitor();
}

void MainTab::projectorBoxClosed()
{
    // A change has restarted the monitor already; a list closed without one must too.
    QTimer::singleShot(0, this, [this] {
        if (!m_monitor.isRunning() && onMainTab())
            startMonitor();
    });
}

// Status monitor.

void MainTab::startMonitor()
{
    ProjectorEndpoint target;
    // A projector whose capabilities could not be read is watched too, for its return.
    if ((m_session.capabilities().AlarmCapable() || m_capabilitiesUnknown) && hasProjector()
        && m_session.store().targetAt(m_projectorBox->currentIndex(), &target)) {
        m_monitor.start(target, this, m_monitorTimings);
        return;
    }
    m_monitor.stop();
    resetStateLabels();
}

void MainTab::stopMonitor()
{
    m_monitor.stop();
}

void MainTab::resetStateLabels()
{
    for (QLabel *label : {m_messageState, m_messageSlot, m_alarmState, m_alarmSound})
        setLabel(label, QStringLiteral("-"), false);
    m_mute->setEnabled(false);
}

bool MainTab::event(QEvent *event)
{
    if (event->type() == WorkerEvent::eventType()) {
        const auto *message = static_cast<const WorkerEvent *>(event);
        // A loop that was stopped (another projector, a job in between) may have left
        // messages behind; only the running loop's count.
        if (m_monitor.isCurrent(message->tag()))
            monitorMessage(message->number(), message->parameter());
        return true;
    }
    return MainTabPage::event(event);
}

void MainTab::monitorMessage(int number, qintptr value)
{
    using namespace JobMessage;
    if (m_capabilitiesUnknown) {
        // Any answer means the projector is back: read it again (after this message, as
        // the query waits for its own answers).
        if (number != MonitorFailed)
            QTimer::singleShot(0, this, &MainTab::projectorAnsweredAgain);
        return;
    }
    const int high = int((value >> 8) & 0xFF);
    switch (number) {
    case MonitorValueA:
        m_messageSlot->setText(high ? msg(1091, {high}) : msg(1090));
        if (value & 1) {
            setLabel(m_messageState, msg(1092), true);
            m_messageSlot->setEnabled(true);
        } else {
            setLabel(m_messageState, msg(1093), true);
            setLabel(m_messageSlot, msg(1094), false);
        }
        break;
    case MonitorValueB:
        m_alarmSound->setText(high ? msg(1096, {high}) : msg(1095));
        if (value & 0x7F) {
            setLabel(m_alarmState, msg(1097), true);
            m_alarmSound->setEnabled(true);
            m_mute->setEnabled(true);
        } else {
            setLabel(m_alarmState, msg(1098), true);
            setLabel(m_alarmSound, msg(1099), false);
            m_mute->setEnabled(false);
        }
        break;
    case MonitorAnswer8:
        break; // busy: the next round will tell
    case MonitorAnswer1:
    case MonitorAnswer2:
    case MonitorAnswer3:
    case MonitorAnswer9:
    case MonitorFailed:
        resetStateLabels();
        break;
    default:
        break;
    }
    updateStartupMinUnit();
}

// Startup display area.

bool MainTab::startupAreaValid() const
{
    const TargetCapabilities &caps = m_session.capabilities();
    return m_startup && caps.hasLevel() && caps.firmwareLevel() >= 2;
}

void MainTab::showStartupArea()
{
    const bool quick = m_sendSlot->currentIndex() <= 0;
    if (!startupAreaValid()) {
        m_useStartup->setChecked(false);
        m_useStartup->setEnabled(false);
        m_startupMinutes->setEditText(QString());
        m_startupMinutes->setEnabled(false);
        m_startupSlot->setText(QStringLiteral("-"));
        m_startupTime->setText(QStringLiteral("-"));
        m_startupTimeUnit->setEnabled(false);
        m_editStartup->setEnabled(false);
    } else if (m_startup->enabled) {
        const StartupSetting &s = *m_startup;
        const QString minutes = StartupMinutesBox::textForMinutes(s.minutes);
        const bool checked = !quick && s.slot == m_sendSlot->currentIndex();
        m_editStartup->setEnabled(true);
        m_useStartup->setChecked(checked);
        m_useStartup->setEnabled(!quick);
        m_startupSlot->setText(QString::number(s.slot));
        m_startupMinutes->setEditText(checked ? minutes : QString());
        m_startupMinutes->setEnabled(checked);
        m_startupTime->setText(minutes);
        m_startupTimeUnit->setEnabled(s.minutes != 0);
    } else {
        m_useStartup->setChecked(false);
        m_useStartup->setEnabled(!quick);
        m_startupMinutes->setEditText(QString());
        m_startupMinutes->setEnabled(false);
        m_startupSlot->setText(msg(1085));
        m_startupTime->setText(QStringLiteral("-"));
        m_startupTimeUnit->setEnabled(false);
        m_editStartup->setEnabled(true);
    }
    updateStartupMinUnit();
}

void MainTab::updateStartupMinUnit()
{
    const QString text = m_startupMinutes->currentText();
    m_startupMinUnit->setEnabled(!text.isEmpty() && StartupSetting::parseMinutes(text) != 0);
}

void MainTab::startupDisplayClicked(bool checked)
{
    if (checked) {
        m_startupMinutes->setEditText(m_rememberedMinutes.isEmpty() ? QStringLiteral("3")
                                                                    : m_rememberedMinutes);
        m_startupMinutes->setEnabled(true);
    } else {
        m_rememberedMinutes = m_startupMinutes->currentText();
        m_startupMinutes->setEditText(QString());
        m_startupMinutes->setEnabled(false);
    }
    updateStartupMinUnit();
}

void MainTab::updateClearSlotEnabled()
{
    m_clearSlot->setEnabled(m_clearRange->checkedId() == ClearSaved);
}

// Handlers.

void MainTab::send()
{
    Prompter &prompter = m_frame.prompter();
    if (m_session.sendLocked()) {
        prompter.inform(msg(1043));
        return;
    }
    MonitorPause pause(*this);
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    const QString name = m_fileBox->currentText();
    if (name.isEmpty()) {
        prompter.inform(msg(1008));
        return;
    }
    const int slot = m_sendSlot->slot();
    const TargetCapabilities caps = m_session.capabilities();
    CurrentMessage message;
    if (!readMessageForSend(QDir(AppHome::messageDataDir()).filePath(name), caps, prompter, &message))
        return; // a file that cannot be read is never sent half-loaded

    int minutes = -1;
    if (m_useStartup->isChecked() && slot >= 1) {
        minutes = StartupSetting::parseMinutes(m_startupMinutes->currentText());
        if (minutes < 0) {
            prompter.inform(msg(1014));
            return;
        }
    }

    PayloadContext context;
    context.capabilities = caps;
    SendOptions options;
    options.slot = slot;
    options.startupMinutes = minutes;
    options.pollStorage = true;
    if (startupAreaValid())
        options.knownStartup = m_startup;
    std::optional<StartupSetting> stored;
    m_ops.sendMessage(target, message, context, options, &stored);
    if (stored) {
        m_startup = stored;
        showStartupArea();
    }
}

void MainTab::display(bool on, bool powerOn)
{
    MonitorPause pause(*this);
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    m_ops.display(target, m_displaySlot->slot(), on, powerOn);
}

void MainTab::clear()
{
    MonitorPause pause(*this);
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    ClearRange range = ClearRange::all();
    switch (m_clearRange->checkedId()) {
    case ClearQuick:
        range = ClearRange::quick();
        break;
    case ClearSaved:
        // "ALL" of the list is every saved number, not the "All" range.
        range = ClearRange::saved(m_clearSlot->slot()).value_or(ClearRange::allSaved());
        break;
    default:
        break;
    }
    m_ops.clear(target, range);
}

void MainTab::mute()
{
    MonitorPause pause(*this);
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    m_ops.mute(target);
}

void MainTab::editStartup()
{
    MonitorPause pause(*this);
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    StartupSetting initial{false, 1, 0};
    if (startupAreaValid() && m_startup->enabled)
        initial = *m_startup;
    StartupDisplayDialog dialog(initial, m_ops, target, m_frame.prompter(), window());
    if (runDialog(dialog) == QDialog::Accepted && dialog.settingStored()) {
        m_startup = dialog.setting();
        showStartupArea();
    }
}

void MainTab::confirm()
{
    ProjectorEndpoint target;
    if (!projectorCheck(&target))
        return;
    StoredMessagesDialog dialog(target, m_slotListTimings, window());
    if (runDialog(dialog) == StoredMessagesDialog::ListFailed)
        m_frame.prompter().inform(dialog.resultText());
}

void MainTab::addMessageFile(const QString &path)
{
    const MessageColours colours{m_session.paletteIndex(ColourTarget::Character),
                                 m_session.paletteIndex(ColourTarget::CharacterBackground),
                                 m_session.paletteIndex(ColourTarget::Background)};
    const QString folder = AppHome::messageDataDir();
    if (AddMessageFile(path, folder, colours, m_session.capabilities(), m_frame.prompter())
        != AddFileResult::Added)
        return;
    // The new file is the one the operator is about to send: choose it.
    const QStringList names = listMessageFiles(folder);
    const int added = int(names.indexOf(QFileInfo(messageFolderTarget(folder, path)).fileName()));
    if (added >= 0)
        m_session.setMessageFileIndex(added);
    refillFileList();
    m_frame.prompter().inform(msg(1020));
}

} // namespace glintcaster
