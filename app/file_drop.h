// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace glintcaster {

class Prompter;

/// The three tabs of the main window, in their order.
enum class TabIndex { Main = 0, Discovery = 1, Edit = 2, Alert = 3 };

/// What a dropped file may lead to on the Main and Edit tabs.
struct DropHandlers {
    std::function<void(const QString &)> addToMessageList; ///< Main tab, after a Yes
    std::function<void(const QString &)> loadIntoEditor;   ///< Edit tab, after a Yes
};

/// Whether `path` carries the message file extension (".glc", compared case-sensitively).
bool hasMessageFileExtension(const QString &path);

/// Files dropped on the window while `tab` is shown. Only a single file is taken. A file
/// that is not a message file is warned about, but still offered to the tab, so that plain
/// text can reach the conversion and the import.
void handleDroppedFiles(const QStringList &paths, TabIndex tab, Prompter &prompter,
                        const DropHandlers &handlers);

} // namespace glintcaster
