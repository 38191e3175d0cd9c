// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/main_tab/startup_display_dialog.h"

#include "app/projector_rules.h"
#include "base/message_table.h"
#include "gui/widgets/slot_box.h"
#include "gui/widgets/startup_minutes_box.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

namespace {
const QString kDefaultMinutes = QStringLiteral("3");
}

StartupDisplayDialog::StartupDisplayDialog(const StartupSetting &initial, ProjectorOperations &operations,
                                   const ProjectorEndpoint &target, Prompter &prompter,
                                   QWidget *parent)
    : QDialog(parent), m_operations(operations), m_target(target), m_prompter(prompter),
      m_setting(initial)
{
    setWindowTitle(tr("Startup Display Edit"));
    setModal(true);
    m_memory.fill(kDefaultMinutes);

    m_slot = new SlotBox(msg(1085), this);
    m_slot->setObjectName(QStringLiteral("startupSlot"));
    m_slot->setMinimumWidth(140);
    m_minutes = new StartupMinutesBox(this);
    m_minutes->setObjectName(QStringLiteral("startupMinutes"));
    m_minLabel = new QLabel(tr("min"), this);

    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(m_minutes, 1);
    timeRow->addWidget(m_minLabel);
    auto *form = new QFormLayout;
    form->addRow(tr("Saved &number"), m_slot);
    auto *timeLabel = new QLabel(tr("Display &time"), this);
    timeLabel->setBuddy(m_minutes);
    form->addRow(timeLabel, timeRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const bool enabled = initial.enabled && isSavedSlot(initial.slot);
    if (enabled) {
        m_slot->setCurrentIndex(initial.slot);
        const QString text = StartupMinutesBox::textForMinutes(initial.minutes);
        m_minutes->setEditText(text);
        m_memory[initial.slot] = text;
    } else {
        m_slot->setCurrentIndex(0);
        m_minutes->setEditText(QString());
        m_minutes->setEnabled(false);
    }
    updateMinLabel();

    connect(m_slot, &QComboBox::currentIndexChanged, this, &StartupDisplayDialog::slotChosen);
    connect(m_minutes, &QComboBox::editTextChanged, this, &StartupDisplayDialog::minutesEdited);
    connect(buttons, &QDialogButtonBox::accepted, this, &StartupDisplayDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &StartupDisplayDialog::reject);
}

void StartupDisplayDialog::slotChosen(int index)
{
    const QSignalBlocker quiet(m_minutes);
    if (index <= 0) {
        m_minutes->setEditText(QString());
        m_minutes->setEnabled(false);
    } else {
        m_minutes->setEnabled(true);
        m_minutes->setEditText(m_memory[index]);
    }
    updateMinLabel();
}

void StartupDisplayDialog::minutesEdited(const QString &text)
{
    const int index = m_slot->currentIndex();
    if (index > 0)
        m_memory[index] = text.isEmpty() ? kDefaultMinutes : text;
    updateMinLabel();
}

void StartupDisplayDialog::updateMinLabel()
{
    const QString text = m_minutes->currentText();
    m_minLabel->setEnabled(!text.isEmpty() && StartupSetting::parseMinutes(text) != 0);
}

void StartupDisplayDialog::accept()
{
    StartupSetting setting;
    const int index = m_slot->currentIndex();
    setting.enabled = index > 0;
    setting.slot = index > 0 ? index : 1;
    const int minutes = StartupSetting::parseMinutes(m_minutes->currentText(), true);
    if (minutes < 0) {
        m_prompter.inform(msg(1014));
        return;
    }
    setting.minutes = minutes;
    if (!m_operations.statusCheck(m_target))
        return; // shown already; the operator may try again
    // The projector needs a time even when nothing is shown at start-up.
    if (!setting.enabled && setting.minutes == 0)
        setting.minutes = 1;
    m_setting = setting;
    m_stored = m_operations.setStartup(m_target, setting);
    QDialog::accept();
}

} // namespace glintcaster
