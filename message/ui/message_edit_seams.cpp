// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// The Edit tab's links to dialogs that live in other files: the Advanced options, the
// unsupported-character report, the preview and the alarm player. Tests replace them.
#include "message/ui/message_edit.h"

#include "base/message_table.h"

#include <QFileDialog>

#include "message/ui/advanced_dialog.h"
#include "message/ui/notsupported_dialog.h"
#include "render/ui/preview_dialog.h"
#include "sound/alarm_player_factory.h"

#include <memory>

namespace glintcaster {

namespace {

QString fileDialogFilter()
{
    return QStringLiteral("glc(*.glc)");
}

} // namespace

void MessageEditEnvironment::complete()
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
