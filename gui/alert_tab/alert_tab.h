// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/alert_operation.h"
#include "app/projector_groups.h"

#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace glintcaster {

class AlertRunView;
class GroupTree;

/// What the Alert tab takes from the window; tests replace the parts.
struct AlertTabEnvironment {
    /// Whether the Send buttons are locked.
    std::function<bool()> sendLocked;
    /// The Edit tab's current message; false when there is none.
    std::function<bool(CurrentMessage *out)> editMessage;
    /// The "Image" preview of a message.
    std::function<void(QWidget *parent, Prompter &prompter, CurrentMessage &message)> showPreview;
    /// A group name typed by the operator (new, rename); empty on Cancel.
    std::function<QString(QWidget *parent, const QString &title, const QString &current)> askName;
    /// How each job runs (tests shorten timings); empty: the alert's default.
    JobRunFn runJob;
    /// The activity log; empty: the home's.
    QString activityLogPath;
    /// The groups file; empty: beside the registered list.
    QString groupsPath;
};

/// `AlertTab`, the "Alert" tab: one message to many projectors at once. A checkable tree of
/// groups and projectors, the message (a file, the Edit tab's message, or a quick title and
/// body poured into a template), the slot and "Display on after storing", then "Send to N
/// projectors" with one question for all. While it runs the table shows every target's
/// state and the window stays usable; afterwards "Retry failed" and a summary. "Display
/// off" and "Clear" act on the same selection. Groups are edited here too, and the
/// "History" lists past alerts from the activity log.
class AlertTab : public QWidget {
    Q_OBJECT
public:
    enum class Source { File, EditTab, Quick };

    AlertTab(ProjectorStore &store, Prompter &prompter, AlertTabEnvironment env = {},
             QWidget *parent = nullptr);
    ~AlertTab() override;

    /// Reloads registered projectors, groups, message files, templates and history.
    void refresh();

    // The operator's actions, callable directly (tests).
    bool send();
    void cancel();
    bool retryFailed();
    bool displayOff();
    bool clear();
    bool newGroup();
    bool renameGroup();
    bool deleteGroup();
    /// Adds the checked projectors to the current group.
    bool addToGroup();
    /// Removes the current projector row from its group.
    bool removeFromGroup();
    void showImage();

    void setSource(Source source);
    bool isRunning() const;
    AlertOperation *alert() const { return m_alert.get(); }
    GroupTree *tree() const { return m_tree; }
    AlertRunView *runView() const { return m_run; }
    QLineEdit *quickTitle() const { return m_quickTitle; }
    QPlainTextEdit *quickBody() const { return m_quickBody; }
    QComboBox *templateBox() const { return m_template; }
    QComboBox *fileBox() const { return m_fileBox; }
    QComboBox *slotBox() const { return m_slot; }
    QCheckBox *displayOnBox() const { return m_displayOn; }
    QPushButton *sendButton() const { return m_send; }
    QListWidget *history() const { return m_history; }

private:
    void build();
    bool messageForAlert(CurrentMessage *out);
    bool start(AlertAction action);
    void updateControls();
    void loadHistory();
    void alertFinished();
    void reportGroupError(bool ok, const QString &error);

    ProjectorStore &m_store;
    Prompter &m_prompter;
    AlertTabEnvironment m_env;
    ProjectorGroups m_groups;
    std::unique_ptr<AlertOperation> m_alert;

    GroupTree *m_tree = nullptr;
    AlertRunView *m_run = nullptr;
    QButtonGroup *m_sourceGroup = nullptr;
    QRadioButton *m_fromFile = nullptr;
    QRadioButton *m_fromEdit = nullptr;
    QRadioButton *m_fromQuick = nullptr;
    QComboBox *m_fileBox = nullptr;
    QLineEdit *m_quickTitle = nullptr;
    QPlainTextEdit *m_quickBody = nullptr;
    QComboBox *m_template = nullptr;
    QPushButton *m_image = nullptr;
    QComboBox *m_slot = nullptr;
    QCheckBox *m_displayOn = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_retry = nullptr;
    QPushButton *m_displayOff = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_newGroup = nullptr;
    QPushButton *m_renameGroup = nullptr;
    QPushButton *m_deleteGroup = nullptr;
    QPushButton *m_addToGroup = nullptr;
    QPushButton *m_removeFromGroup = nullptr;
    QListWidget *m_history = nullptr;
};

} // namespace glintcaster
