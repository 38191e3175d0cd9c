// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_operations.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;

namespace glintcaster {

/// `StartupDisplayDialog`, the "Startup Display Edit" dialog: which stored message a projector
/// shows when it starts and for how long. OK checks the display time before any traffic,
/// runs the status check (a failure keeps the dialog open) and sends the setting; the
/// dialog then closes with OK whether or not the projector took it, and settingStored()
/// tells the caller whether to show the new setting.
class StartupDisplayDialog : public QDialog {
    Q_OBJECT
public:
    /// Opens on `initial`; a startup slot outside 1..12 opens on "None".
    StartupDisplayDialog(const StartupSetting &initial, ProjectorOperations &operations,
                     const ProjectorEndpoint &target, Prompter &prompter, QWidget *parent = nullptr);

    /// The setting as sent (valid after OK).
    StartupSetting setting() const { return m_setting; }
    /// True when OK sent the setting and the projector took it.
    bool settingStored() const { return m_stored; }

    QComboBox *slotBox() const { return m_slot; }
    QComboBox *minutesBox() const { return m_minutes; }
    QLabel *minutesLabel() const { return m_minLabel; }
    /// The display-time text remembered for a saved-number list index (0 is "None").
    QString rememberedMinutes(int index) const { return m_memory.at(index); }

public slots:
    void accept() override;

private:
    void slotChosen(int index);
    void minutesEdited(const QString &text);
    void updateMinLabel();

    ProjectorOperations &m_operations;
    ProjectorEndpoint m_target;
    Prompter &m_prompter;
    QComboBox *m_slot = nullptr;
    QComboBox *m_minutes = nullptr;
    QLabel *m_minLabel = nullptr;
    std::array<QString, 16> m_memory;
    StartupSetting m_setting;
    bool m_stored = false;
};

} // namespace glintcaster
