// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/alert_tab/alert_tab.h"

#include "app/message_templates.h"
#include "app/send_lock.h"
#include "base/app_home.h"
#include "base/message_table.h"
#include "gui/alert_tab/alert_run_view.h"
#include "gui/alert_tab/group_tree.h"
#include "message/path_rules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace glintcaster {

AlertTab::AlertTab(ProjectorStore &store, Prompter &prompter, AlertTabEnvironment env, QWidget *parent)
    : QWidget(parent), m_store(store), m_prompter(prompter), m_env(std::move(env)),
      m_groups(m_env.groupsPath.isEmpty() ? ProjectorGroups::fileBeside(store.filePath()) : m_env.groupsPath)
{
    if (m_env.activityLogPath.isEmpty())
        m_env.activityLogPath = ActivityLog::pathInAppHome();
    if (!m_env.askName)
        m_env.askName = [](QWidget *parent, const QString &title, const QString &current) {
            return QInputDialog::getText(parent, title, AlertTab::tr("Group &name:"), QLineEdit::Normal, current);
        };
    build();
    refresh();
    if (!m_groups.loadProblem().isEmpty())
        m_prompter.inform(m_groups.problemText(), PromptIcon::Stop);
}

AlertTab::~AlertTab() = default; // the alert cancels and waits for its running targets

void AlertTab::build()
{
    setObjectName(QStringLiteral("alertTab"));
    // Left: who receives it, and the groups.
    auto *targets = new QGroupBox(tr("Projectors"), this);
    m_tree = new GroupTree(targets);
    m_newGroup = new QPushButton(tr("&New group..."), targets);
    m_renameGroup = new QPushButton(tr("Rena&me..."), targets);
    m_deleteGroup = new QPushButton(tr("Delete gro&up"), targets);
    m_addToGroup = new QPushButton(tr("Add chec&ked to group"), targets);
    m_removeFromGroup = new QPushButton(tr("Remo&ve from group"), targets);
    auto *groupButtons = new QGridLayout;
    groupButtons->addWidget(m_newGroup, 0, 0);
    groupButtons->addWidget(m_renameGroup, 0, 1);
    groupButtons->addWidget(m_deleteGroup, 0, 2);
    groupButtons->addWidget(m_addToGroup, 1, 0, 1, 2);
    groupButtons->addWidget(m_removeFromGroup, 1, 2);
    auto *targetsLayout = new QVBoxLayout(targets);
    targetsLayout->addWidget(m_tree, 1);
    targetsLayout->addLayout(groupButtons);

    // Right top: the message and how it is sent.
    auto *messageBox = new QGroupBox(tr("Message"), this);
    m_fromFile = new QRadioButton(tr("Message &file:"), messageBox);
    m_fileBox = new QComboBox(messageBox);
    m_fileBox->setObjectName(QStringLiteral("alertFileBox"));
    m_fromEdit = new QRadioButton(tr("Message of the &Edit tab"), messageBox);
    m_fromQuick = new QRadioButton(tr("&Quick message"), messageBox);
    m_sourceGroup = new QButtonGroup(this);
    m_sourceGroup->addButton(m_fromFile, int(Source::File));
    m_sourceGroup->addButton(m_fromEdit, int(Source::EditTab));
    m_sourceGroup->addButton(m_fromQuick, int(Source::Quick));
    m_fromQuick->setChecked(true);
    auto *titleLabel = new QLabel(tr("&Title:"), messageBox);
    m_quickTitle = new QLineEdit(messageBox);
    m_quickTitle->setObjectName(QStringLiteral("quickTitle"));
    titleLabel->setBuddy(m_quickTitle);
    auto *bodyLabel = new QLabel(tr("&Body:"), messageBox);
    m_quickBody = new QPlainTextEdit(messageBox);
    m_quickBody->setObjectName(QStringLiteral("quickBody"));
    m_quickBody->setTabChangesFocus(true);
    m_quickBody->setMaximumHeight(64);
    bodyLabel->setBuddy(m_quickBody);
    auto *templateLabel = new QLabel(tr("Tem&plate:"), messageBox);
    m_template = new QComboBox(messageBox);
    m_template->setObjectName(QStringLiteral("templateBox"));
    templateLabel->setBuddy(m_template);
    m_image = new QPushButton(tr("&Image"), messageBox);
    auto *slotLabel = new QLabel(tr("S&lot:"), messageBox);
    m_slot = new QComboBox(messageBox);
    m_slot->addItem(tr("Quick"));
    for (int n = 1; n <= kSavedSlotCount; ++n)
        m_slot->addItem(QString::number(n));
    slotLabel->setBuddy(m_slot);
    m_displayOn = new QCheckBox(tr("&Display on after storing"), messageBox);
    m_displayOn->setChecked(true);
    m_send = new QPushButton(messageBox);
    m_send->setObjectName(QStringLiteral("alertSend"));
    m_send->setDefault(true);

    auto *grid = new QGridLayout(messageBox);
    grid->addWidget(m_fromFile, 0, 0);
    grid->addWidget(m_fileBox, 0, 1, 1, 3);
    grid->addWidget(m_fromEdit, 1, 0, 1, 4);
    grid->addWidget(m_fromQuick, 2, 0);
    grid->addWidget(templateLabel, 2, 1, Qt::AlignRight);
    grid->addWidget(m_template, 2, 2);
    grid->addWidget(m_image, 2, 3);
    grid->addWidget(titleLabel, 3, 0);
    grid->addWidget(m_quickTitle, 3, 1, 1, 3);
    grid->addWidget(bodyLabel, 4, 0, Qt::AlignTop);
    grid->addWidget(m_quickBody, 4, 1, 1, 3);
    grid->addWidget(slotLabel, 5, 0);
    grid->addWidget(m_slot, 5, 1);
    grid->addWidget(m_displayOn, 5, 2, 1, 2);
    grid->addWidget(m_send, 6, 0, 1, 4);

    // Right bottom: the run, its controls and the history.
    auto *runBox = new QGroupBox(tr("Progress"), this);
    m_run = new AlertRunView(runBox);
    m_cancel = new QPushButton(tr("&Cancel"), runBox);
    m_retry = new QPushButton(tr("&Retry failed"), runBox);
    m_displayOff = new QPushButton(tr("Displa&y off"), runBox);
    m_clear = new QPushButton(tr("Cle&ar"), runBox);
    auto *runButtons = new QHBoxLayout;
    runButtons->addWidget(m_cancel);
    runButtons->addWidget(m_retry);
    runButtons->addStretch(1);
    runButtons->addWidget(m_displayOff);
    runButtons->addWidget(m_clear);
    auto *historyLabel = new QLabel(tr("&History"), runBox);
    m_history = new QListWidget(runBox);
    m_history->setObjectName(QStringLiteral("alertHistory"));
    m_history->setMaximumHeight(56);
    historyLabel->setBuddy(m_history);
    auto *runLayout = new QVBoxLayout(runBox);
    runLayout->addWidget(m_run, 1);
    runLayout->addLayout(runButtons);
    runLayout->addWidget(historyLabel);
    runLayout->addWidget(m_history);

    auto *right = new QVBoxLayout;
    right->addWidget(messageBox);
    right->addWidget(runBox, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(targets, 2);
    layout->addLayout(right, 3);

    connect(m_tree, &GroupTree::selectionChanged, this, &AlertTab::updateControls);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &AlertTab::updateControls);
    connect(m_sourceGroup, &QButtonGroup::idClicked, this, &AlertTab::updateControls);
    connect(m_send, &QPushButton::clicked, this, &AlertTab::send);
    connect(m_cancel, &QPushButton::clicked, this, &AlertTab::cancel);
    connect(m_retry, &QPushButton::clicked, this, &AlertTab::retryFailed);
    connect(m_displayOff, &QPushButton::clicked, this, &AlertTab::displayOff);
    connect(m_clear, &QPushButton::clicked, this, &AlertTab::clear);
    connect(m_image, &QPushButton::clicked, this, &AlertTab::showImage);
    connect(m_newGroup, &QPushButton::clicked, this, &AlertTab::newGroup);
    connect(m_renameGroup, &QPushButton::clicked, this, &AlertTab::renameGroup);
    connect(m_deleteGroup, &QPushButton::clicked, this, &AlertTab::deleteGroup);
    connect(m_addToGroup, &QPushButton::clicked, this, &AlertTab::addToGroup);
    connect(m_removeFromGroup, &QPushButton::clicked, this, &AlertTab::removeFromGroup);
}

void AlertTab::refresh()
{
    m_store.LoadRegisteredProjectors();
    m_groups.load();
    m_tree->fill(m_groups, m_store);

    const QString file = m_fileBox->currentText();
    m_fileBox->clear();
    m_fileBox->addItems(listMessageFiles(AppHome::messageDataDir()));
    m_fileBox->setCurrentIndex(qMax(0, m_fileBox->findText(file)));

    const QString templ = m_template->currentText();
    m_template->clear();
    m_template->addItems(MessageTemplates::names(MessageTemplates::folder()));
    const int at = m_template->findText(templ.isEmpty() ? MessageTemplates::defaultName() : templ);
    m_template->setCurrentIndex(qMax(0, at));
    loadHistory();
    updateControls();
}

void AlertTab::setSource(Source source)
{
    m_sourceGroup->button(int(source))->setChecked(true);
    updateControls();
}

bool AlertTab::isRunning() const
{
    return m_alert && m_alert->isRunning();
}

void AlertTab::updateControls()
{
    const bool running = isRunning();
    const int count = int(m_tree->checkedAddresses().size());
    m_send->setText(count == 1 ? tr("&Send to 1 projector") : tr("&Send to %1 projectors").arg(count));
    m_send->setEnabled(!running);
    m_cancel->setEnabled(running);
    m_retry->setEnabled(!running && m_alert && m_alert->summary().succeeded < m_alert->targetCount());
    m_displayOff->setEnabled(!running);
    m_clear->setEnabled(!running);
    const Source source = Source(m_sourceGroup->checkedId());
    m_fileBox->setEnabled(source == Source::File);
    m_quickTitle->setEnabled(source == Source::Quick);
    m_quickBody->setEnabled(source == Source::Quick);
    m_template->setEnabled(source == Source::Quick);
    m_fromEdit->setEnabled(bool(m_env.editMessage));
    m_image->setEnabled(bool(m_env.showPreview));
    const bool groupRow = !m_tree->currentGroup().isEmpty() && !ProjectorGroups::isAll(m_tree->currentGroup());
    m_renameGroup->setEnabled(groupRow);
    m_deleteGroup->setEnabled(groupRow);
    m_addToGroup->setEnabled(groupRow && count > 0);
    m_removeFromGroup->setEnabled(groupRow && m_tree->currentAddress() != 0);
}

bool AlertTab::messageForAlert(CurrentMessage *out)
{
    switch (Source(m_sourceGroup->checkedId())) {
    case Source::File: {
        if (m_fileBox->currentText().isEmpty()) {
            m_prompter.inform(msg(1008));
            return false;
        }
        // Read with the alarm: each projector is sent what it can take.
        return readMessageForSend(QDir(AppHome::messageDataDir()).filePath(m_fileBox->currentText()),
                                  TargetCapabilities::fixed(true, true, true), m_prompter, out);
    }
    case Source::EditTab:
        if (!m_env.editMessage || !m_env.editMessage(out)) {
            m_prompter.inform(msg(1003));
            return false;
        }
        return true;
    case Source::Quick: {
        const QString body = m_quickBody->toPlainText();
        if (body.trimmed().isEmpty()) {
            m_prompter.inform(msg(1003));
            return false;
        }
        QString error;
        const QString path = MessageTemplates::pathOf(MessageTemplates::folder(), m_template->currentText());
        if (m_template->currentText().isEmpty()) {
            // No template folder at all: the shipped notice, built in.
            CurrentMessage templ;
            MessageTemplates::shipped(MessageTemplates::defaultName(), &templ);
            MessageTemplates::pourInto(templ, m_quickTitle->text(), body, out);
            return true;
        }
        if (!MessageTemplates::pour(path, m_quickTitle->text(), body, out, &error)) {
            m_prompter.inform(error, PromptIcon::Stop);
            return false;
        }
        return true;
    }
    }
    return false;
}

bool AlertTab::start(AlertAction action)
{
    if (isRunning()) {
        m_prompter.inform(msg(2402));
        return false;
    }
    if (action == AlertAction::Send && m_env.sendLocked && m_env.sendLocked()) {
        m_prompter.inform(msg(1043));
        return false;
    }
    AlertRequest request;
    request.action = action;
    for (const ProjectorEntry &p : m_tree->checkedProjectors()) {
        AlertTarget t;
        t.endpoint.address = p.IP;
        t.endpoint.authentication = p.hasPassword ? 1 : 0;
        t.endpoint.password = p.Pass;
        t.name = p.ProjectorName;
        request.targets << t;
    }
    if (request.targets.isEmpty()) {
        m_prompter.inform(msg(2401));
        return false;
    }
    if (action == AlertAction::Send && !messageForAlert(&request.message))
        return false;
    request.slot = qMax(0, m_slot->currentIndex());
    request.displayOn = m_displayOn->isChecked();
    request.origin = QStringLiteral("window");

    auto alert = std::make_unique<AlertOperation>();
    if (m_env.runJob)
        alert->setJobRunner(m_env.runJob);
    alert->setActivityLogPath(m_env.activityLogPath);
    if (!alert->prepare(request, m_prompter))
        return false;
    m_alert = std::move(alert);
    connect(m_alert.get(), &AlertOperation::finished, this, &AlertTab::alertFinished);
    m_run->attach(m_alert.get());
    m_alert->start();
    updateControls();
    return true;
}

bool AlertTab::send()
{
    return start(AlertAction::Send);
}

bool AlertTab::displayOff()
{
    return start(AlertAction::DisplayOff);
}

bool AlertTab::clear()
{
    return start(AlertAction::Clear);
}

void AlertTab::cancel()
{
    if (m_alert)
        m_alert->cancel();
}

bool AlertTab::retryFailed()
{
    if (!m_alert || !m_alert->retryFailed())
        return false;
    m_run->refresh();
    updateControls();
    return true;
}

void AlertTab::alertFinished()
{
    loadHistory();
    updateControls();
}

void AlertTab::loadHistory()
{
    m_history->clear();
    for (const AlertHistoryEntry &e : alertHistory(ActivityLog(m_env.activityLogPath).read(), 50)) {
        m_history->addItem(tr("%1  %2  %3 of %4 succeeded")
                               .arg(e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                    e.title.isEmpty() ? tr("(no title)") : e.title)
                               .arg(e.summary.succeeded)
                               .arg(e.summary.total));
    }
}

void AlertTab::showImage()
{
    if (!m_env.showPreview)
        return;
    CurrentMessage message;
    if (messageForAlert(&message))
        m_env.showPreview(this, m_prompter, message);
}

void AlertTab::reportGroupError(bool ok, const QString &error)
{
    if (!ok && !error.isEmpty())
        m_prompter.inform(error, PromptIcon::Stop);
    m_groups.load();
    m_tree->fill(m_groups, m_store);
    updateControls();
}

bool AlertTab::newGroup()
{
    const QString name = m_env.askName(this, tr("New group"), QString());
    if (name.isEmpty())
        return false;
    QString error;
    const bool ok = m_groups.create(name.trimmed(), &error);
    reportGroupError(ok, error);
    return ok;
}

bool AlertTab::renameGroup()
{
    const QString group = m_tree->currentGroup();
    if (group.isEmpty() || ProjectorGroups::isAll(group))
        return false;
    const QString name = m_env.askName(this, tr("Rename group"), group);
    if (name.isEmpty() || name == group)
        return false;
    QString error;
    const bool ok = m_groups.rename(group, name.trimmed(), &error);
    reportGroupError(ok, error);
    return ok;
}

bool AlertTab::deleteGroup()
{
    const QString group = m_tree->currentGroup();
    if (group.isEmpty() || ProjectorGroups::isAll(group))
        return false;
    QString error;
    const bool ok = m_groups.remove(group, &error);
    reportGroupError(ok, error);
    return ok;
}

bool AlertTab::addToGroup()
{
    const QString group = m_tree->currentGroup();
    if (group.isEmpty() || ProjectorGroups::isAll(group))
        return false;
    QString error;
    const bool ok = m_groups.addMembers(group, m_tree->checkedAddresses(), m_store, &error);
    reportGroupError(ok, error);
    return ok;
}

bool AlertTab::removeFromGroup()
{
    const QString group = m_tree->currentGroup();
    const quint32 address = m_tree->currentAddress();
    if (group.isEmpty() || ProjectorGroups::isAll(group) || address == 0)
        return false;
    QString error;
    const bool ok = m_groups.removeMembers(group, {address}, &error);
    reportGroupError(ok, error);
    return ok;
}

} // namespace glintcaster
