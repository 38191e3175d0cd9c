// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_operations.h"
#include "gui/tab_pages.h"
#include "gui/widgets/slot_box.h"
#include "gui/widgets/startup_minutes_box.h"
#include "base/prompter.h"
#include "message/current_message.h"
#include "message/target_capabilities.h"
#include "render/payload_encoder.h"

#include <QIcon>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLayout;
class QLabel;
class QPushButton;

namespace glintcaster {

class MessageEditBox;
class ProjectorStore;

/// What the Edit tab needs from outside itself. Everything but the store and prompter has a
/// default (the real dialogs, the job window); tests replace the dialogs so nothing blocks.
struct EditTabEnvironment {
    /// Whether the Send buttons are locked.
    std::function<bool()> sendLocked;
    /// "name (address)" at the start of failure boxes; none: the texts alone.
    std::function<QString(quint32 address)> describeTarget;
    /// Runs one projector job; default: the "Communication Status" window.
    JobRunFn runJob;
    /// File dialogs: the chosen path, or empty on Cancel.
    std::function<QString(QWidget *parent, const QString &folder, const QString &name)> chooseSavePath;
    std::function<QString(QWidget *parent, const QString &folder)> chooseOpenPath;
    /// The Advanced dialog; true when it changed something.
    std::function<bool(QWidget *parent, CurrentMessage &message, const TargetCapabilities &caps,
                       Prompter &prompter)>
        runAdvanced;
    /// The "Not Supported Character" report; true for "Auto Del".
    std::function<bool(QWidget *parent, const QString &report)> showUnsupported;
    /// The "Image" preview, checking `message` in the tab's own context (so unsupported
    /// characters get the same report and deletions as when sending); when empty the button
    /// stays disabled.
    std::function<void(QWidget *parent, CurrentMessage &message, const PayloadContext &context)>
        showPreview;

    /// The defaults for the parts not given.
    void complete();
};

/// `EditTab`, the "Edit" tab: composes the current message in a title and a body box
/// and saves, opens, sends, fetches and switches it. The boxes hold the text; the message
/// model holds everything else and is refreshed from the boxes before any check, save or
/// send.
class EditTab : public EditTabPage {
    Q_OBJECT
public:
    EditTab(ProjectorStore &store, Prompter &prompter, EditTabEnvironment env = {},
                 QWidget *parent = nullptr);
    ~EditTab() override;

    // EditTabPage
    void refreshBeforeShow() override;
    void refreshAfterShow() override;
    void setSendCaption(const QString &caption) override;
    void loadDroppedFile(const QString &path) override;
    bool confirmDiscard() override;
    bool newMessage() override;
    void openMessage() override;
    void saveMessage() override;
    bool canUndo() const override;
    void undo() override;
    bool hasSelection() const override;
    bool canPaste() const override;
    void cut() override;
    void copy() override;
    void paste() override;
    bool characterDisplayMode() const override;
    void applyColour(ColourTarget target, int index) override;

    // The handlers of the tab's own controls, public so they can be driven directly.
    bool send();
    bool get();
    bool displayOn() { return display(true); }
    bool displayOff() { return display(false); }
    void advanced();
    void preview();
    void pageFeed();
    void insertTab();
    void chooseProjector();
    /// Open and Save; true when the file was read or written.
    bool open(const QString &path);
    bool save();

    /// The message as the boxes show it (title and body taken from them).
    CurrentMessage &message();
    bool isModified() const;
    const TargetCapabilities &capabilities() const { return m_caps; }
    QString filePath() const { return m_message.filePath; }

    MessageEditBox *titleBox() const { return m_title; }
    MessageEditBox *bodyBox() const { return m_body; }
    MessageEditBox *focusedBox() const;
    QComboBox *iconBox() const { return m_icon; }
    QComboBox *projectorBox() const { return m_projector; }
    QComboBox *slotBox() const { return m_slot; }
    QComboBox *startupMinutesBox() const { return m_startupMinutes; }
    QCheckBox *startupCheck() const { return m_startup; }
    QCheckBox *syncCheck() const { return m_sync; }
    QCheckBox *displayModeCheck() const { return m_displayMode; }
    QLabel *minLabel() const { return m_min; }
    /// "12 / 40": the title's characters and how many the projector shows, red past it.
    QLabel *titleCount() const { return m_titleCount; }
    QPushButton *sendButton() const { return m_send; }
    QPushButton *imageButton() const { return m_image; }
    QPushButton *button(const QString &objectName) const;

    /// Typing-time checks run so far (tests count them).
    int checksRun() const { return m_checksRun; }

signals:
    /// A typing-time check was queued.
    void checkQueued();

private:
    class GuardedPrompter;
    struct Busy;

    void buildUi();
    /// Title with its icon, body, the editing buttons and the two checks.
    QLayout *buildMessageColumn();
    QComboBox *buildIconBox();
    /// The projector, its saved number, Send, Get, Display on/off and the startup display.
    QGroupBox *buildProjectorGroup();
    QPushButton *makeButton(const QString &text, const char *name);
    void connectBox(MessageEditBox *box);
    void onContentsChange(MessageEditBox *box, int position, int removed, int added);
    void runTypingCheck();
    void syncFromBoxes();
    void showMessage(const CurrentMessage &m, bool characterDisplayMode);
    void applyFontSize();
    void applyBackground();
    void setModified(bool modified);
    void markModified() { setModified(true); }
    PayloadContext payloadContext();
    /// The chosen projector, or false with "Please select PROJECTOR" shown.
    bool chooseTarget(ProjectorEndpoint *target, bool quiet = false);
    bool placeholderChosen() const;
    void fillProjectorBox();
    void showStartupArea(std::optional<StartupSetting> setting);
    void startupSwitched(bool on);
    void updateMinLabel();
    /// The Image button and the title counter follow the chosen projector.
    void updateForCapabilities();
    void updateTitleCount();
    bool display(bool on);
    bool askUnsaved();
    bool saveChecked(bool alreadyChecked);
    void forgetUndo();
    void replaceTabsInBox(MessageEditBox *box);

    ProjectorStore &m_store;
    Prompter &m_outerPrompter;
    std::unique_ptr<GuardedPrompter> m_prompter;
    EditTabEnvironment m_env;
    ProjectorOperations m_ops;

    CurrentMessage m_message;
    TargetCapabilities m_caps;
    std::optional<quint32> m_capsAddress; ///< whose capabilities m_caps holds
    bool m_modified = false;
    int m_busy = 0;
    int m_modal = 0; ///< questions, dialogs and jobs open: no typing-time checks meanwhile
    bool m_checkPending = false;
    bool m_bodyChanged = false;
    int m_checksRun = 0;
    QString m_rememberedMinutes;

    MessageEditBox *m_title = nullptr;
    MessageEditBox *m_body = nullptr;
    QPointer<MessageEditBox> m_focused;
    QComboBox *m_icon = nullptr;
    QPushButton *m_pageFeed = nullptr;
    QPushButton *m_tab = nullptr;
    QCheckBox *m_sync = nullptr;
    QCheckBox *m_displayMode = nullptr;
    QPushButton *m_image = nullptr;
    QPushButton *m_advanced = nullptr;
    QComboBox *m_projector = nullptr;
    SlotBox *m_slot = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_get = nullptr;
    QPushButton *m_displayOn = nullptr;
    QPushButton *m_displayOff = nullptr;
    QCheckBox *m_startup = nullptr;
    StartupMinutesBox *m_startupMinutes = nullptr;
    QLabel *m_min = nullptr;
    QLabel *m_titleCount = nullptr;
    /// Boxes still showing a starting text that the first focus selects.
    QSet<MessageEditBox *> m_selectOnFocus;
};

} // namespace glintcaster
