// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "gui/widgets/popup_combo_box.h"

#include "app/projector_operations.h"
#include "gui/tab_pages.h"
#include "gui/widgets/slot_box.h"
#include "gui/widgets/startup_minutes_box.h"
#include "comm/exchange_timings.h"
#include "comm/status_monitor.h"

#include <QComboBox>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QDialog;
class QLabel;
class QPushButton;
class QRadioButton;

namespace glintcaster {

class MainWindow;
class Session;

/// The "Main" tab: for the chosen registered projector, send a message file into a slot,
/// switch stored messages on and off, clear slots, keep the startup display, watch the
/// message and alarm state and silence the alarm. Every projector operation is a
/// ProjectorOperations call run through the "Communication Status" window.
class MainTab : public MainTabPage {
    Q_OBJECT
public:
    /// Runs a modal dialog and returns its result; tests replace it so nothing blocks.
    using DialogRunner = std::function<int(QDialog &dialog)>;

    explicit MainTab(MainWindow &frame, QWidget *parent = nullptr);
    ~MainTab() override;

    // What the frame asks of the page.
    void refreshProjectorBox() override;
    void refreshTarget() override;
    void startMonitor() override;
    void stopMonitor() override;
    void setSendCaption(const QString &caption) override;
    void addMessageFile(const QString &path) override;

    // The controls' handlers, public so they can be driven directly.
    void send();
    void displayOn() { display(true, false); }
    void displayOff() { display(false, false); }
    void powerOnAndDisplayOn() { display(true, true); }
    void clear();
    void mute();
    void editStartup();
    void confirm();
    void startupDisplayClicked(bool checked);
    /// A status monitor message (number and value), as the monitor posts it.
    void monitorMessage(int number, qintptr value);

    // Test hooks.
    void setDialogRunner(DialogRunner run) { m_runDialog = std::move(run); }
    void setMonitorTimings(const ExchangeTimings &timings) { m_monitorTimings = timings; }
    void setSlotListTimings(const ExchangeTimings &timings) { m_slotListTimings = timings; }
    StatusMonitor &monitor() { return m_monitor; }
    /// The projector's startup display as last read or stored; nothing when not known.
    std::optional<StartupSetting> startupSetting() const { return m_startup; }
    bool startupAreaValid() const;

    ProjectorBox *projectorBox() const { return m_projectorBox; }
    QComboBox *sendSlotBox() const { return m_sendSlot; }
    QComboBox *fileBox() const { return m_fileBox; }
    QPushButton *sendButton() const { return m_send; }
    QPushButton *confirmButton() const { return m_confirm; }
    QCheckBox *startupCheck() const { return m_useStartup; }
    QComboBox *startupMinutesBox() const { return m_startupMinutes; }
    QLabel *startupMinutesUnit() const { return m_startupMinUnit; }
    QComboBox *displaySlotBox() const { return m_displaySlot; }
    QRadioButton *clearRadio(int index) const;
    QComboBox *clearSlotBox() const { return m_clearSlot; }
    QLabel *startupSlotLabel() const { return m_startupSlot; }
    QLabel *startupTimeLabel() const { return m_startupTime; }
    QLabel *startupTimeUnit() const { return m_startupTimeUnit; }
    QPushButton *editStartupButton() const { return m_editStartup; }
    QLabel *messageStateLabel() const { return m_messageState; }
    QLabel *messageSlotLabel() const { return m_messageSlot; }
    QLabel *alarmStateLabel() const { return m_alarmState; }
    QLabel *alarmSoundLabel() const { return m_alarmSound; }
    QPushButton *muteButton() const { return m_mute; }

protected:
    bool event(QEvent *event) override;

private:
    class MonitorPause;

    void buildControls();
    /// Projector: the registered projector to work with and its name.
    QGroupBox *buildProjectorGroup();
    /// The projector's message and alarm state and Mute.
    QGroupBox *buildStateGroup();
    /// The message file, the saved number to send it into, Send and Confirm.
    QGroupBox *buildFileGroup();
    /// Display control: a saved number on and off.
    QGroupBox *buildDisplayGroup();
    /// Clear: what to delete from the projector.
    QGroupBox *buildClearGroup();
    /// The projector's startup display and its editor.
    QGroupBox *buildStartupGroup();
    void display(bool on, bool powerOn);
    void refillFileList();
    bool hasProjector() const { return m_projectorCount > 0; }
    /// The chosen projector as the next job's target; shows "Please select PROJECTOR"
    /// and returns false when there is none.
    bool projectorCheck(ProjectorEndpoint *target);
    void projectorChosen(int index);
    void projectorBoxClosed();
    /// The status monitor heard from a projector whose capabilities were unknown.
    void projectorAnsweredAgain();
    void showProjectorName();
    void showStartupArea();
    void resetStateLabels();
    void updateStartupMinUnit();
    void updateClearSlotEnabled();
    bool onMainTab() const;
    int runDialog(QDialog &dialog);

    MainWindow &m_frame;
    Session &m_session;
    ProjectorOperations m_ops;
    StatusMonitor m_monitor;
    ExchangeTimings m_monitorTimings;
    ExchangeTimings m_slotListTimings;
    DialogRunner m_runDialog;

    int m_projectorCount = 0;
    quint32 m_queriedAddress = 0;
    bool m_queried = false;
    /// The last capability query failed or found the projector unreachable.
    bool m_capabilitiesUnknown = false;
    std::optional<StartupSetting> m_startup;
    QString m_rememberedMinutes;

    ProjectorBox *m_projectorBox = nullptr;
    QLabel *m_projectorName = nullptr;
    SlotBox *m_sendSlot = nullptr;
    QComboBox *m_fileBox = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_confirm = nullptr;
    QCheckBox *m_useStartup = nullptr;
    StartupMinutesBox *m_startupMinutes = nullptr;
    QLabel *m_startupMinUnit = nullptr;
    SlotBox *m_displaySlot = nullptr;
    QPushButton *m_displayOn = nullptr;
    QPushButton *m_displayOff = nullptr;
    QPushButton *m_powerOnDisplayOn = nullptr;
    QButtonGroup *m_clearRange = nullptr;
    SlotBox *m_clearSlot = nullptr;
    QPushButton *m_clear = nullptr;
    QLabel *m_startupSlot = nullptr;
    QLabel *m_startupTime = nullptr;
    QLabel *m_startupTimeUnit = nullptr;
    QPushButton *m_editStartup = nullptr;
    QLabel *m_messageState = nullptr;
    QLabel *m_messageSlot = nullptr;
    QLabel *m_alarmState = nullptr;
    QLabel *m_alarmSound = nullptr;
    QPushButton *m_mute = nullptr;
};

} // namespace glintcaster
