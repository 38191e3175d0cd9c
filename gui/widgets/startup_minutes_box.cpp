// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/startup_minutes_box.h"

#include "app/projector_rules.h"
#include "base/message_table.h"

#include <QLineEdit>

namespace glintcaster {

namespace {
/// Room for any number the projector takes and a little more, so a typo is seen, not cut.
constexpr int kTypedLength = 8;
} // namespace

StartupMinutesBox::StartupMinutesBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (int minutes : kStartupMinuteChoices)
        addItem(textForMinutes(minutes));
    lineEdit()->setMaxLength(kTypedLength);
    setCurrentIndex(-1);
    setEditText(QString());
}

QString StartupMinutesBox::textForMinutes(int minutes)
{
    return minutes == 0 ? msg(1083) : QString::number(minutes);
}

} // namespace glintcaster
