// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// The Edit tab's links to dialogs that live in other files: the Advanced options, the
// unsupported-character report, the preview and the alarm player. Tests replace them.
#include "gui/edit_tab/edit_tab.h"

#include "base/message_table.h"

#include <QFileDialog>

#include "gui/edit_tab/advanced_options_dialog.h"
#include "gui/edit_tab/unsupported_characters_dialog.h"
#include "gui/preview/preview_dialog.h"
#include "sound/alarm_player_factory.h"

#include <memory>

namespace glintcaster {

namespace {

QString fileDialogFilter()
{
    return QStringLiteral("glc(*.glc)");
}

} // namespace

void EditTabEnvironment::complete()
{
    if (!chooseSavePath) {
        chooseSavePath = [](QWidget *parent, const QString &folder, const QString &name) {
            QFileDialog dialog(parent);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilter(fileDialogFilter());
            dialog.setDefaultSuffix(QStringLiteral("glc"));
            dialog.setDirectory(folder);
            if (!name.isEmpty())
                dialog.selectFile(name);
            return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                       ? dialog.selectedFiles().first()
                       : QString();
        };
    }
    if (!chooseOpenPath) {
        chooseOpenPath = [](QWidget *parent, const QString &folder) {
            return QFileDialog::getOpenFileName(parent, QString(), folder, fileDialogFilter());
        };
    }
    if (!runAdvanced) {
        runAdvanced = [](QWidget *parent, CurrentMessage &message, const TargetCapabilities &caps,
                         Prompter &prompter) {
            // A player of its own while the dialog is open; the dialog cannot close while a
            // tune plays, so it is idle when it goes.
            const std::unique_ptr<AlarmPlayer> player = createAlarmPlayer();
            return runAdvancedDialog(parent, message, caps, player.get(), prompter);
        };
    }
    if (!showUnsupported) {
        showUnsupported = [](QWidget *parent, const QString &report) {
            return showUnsupportedCharacters(parent, report);
        };
    }
    if (!showPreview) {
        showPreview = [](QWidget *parent, CurrentMessage &message, const PayloadContext &context) {
            showMessagePreview(parent, message, context);
        };
    }
}

} // namespace glintcaster
