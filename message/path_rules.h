// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>
#include <QStringList>

namespace glintcaster {

class Prompter;

/// Most names the message file list shows.
inline constexpr int MessageFileListLimit = 255;

/// "MessageData" below the home `home` (AppHome::messageDataDirOf). The application's own
/// folder is AppHome::messageDataDir().
QString messageFolder(const QString &home);
/// Creates the message folder when it is missing; false when that fails.
bool ensureMessageFolder(const QString &home);

/// Names (with extension) of the "*.glc" files in `folder`, in name order, at most 255.
QStringList listMessageFiles(const QString &folder);

/// True when `path` is read as a plain-text import rather than a message file: its last four
/// characters are ".txt" exactly.
bool isTextImportPath(const QString &path);

/// A message file may only be saved under a name that ends in lower-case "glc". Otherwise
/// shows ".glc extension is only valid." and returns false.
bool checkSavePath(const QString &path, Prompter &prompter);

/// Where a file dropped on the message list goes: the folder plus the file's name without
/// its extension plus ".glc" (a ".glc" file keeps its own name).
QString messageFolderTarget(const QString &folder, const QString &droppedPath);

/// Refuses to add under a name that already exists in the message folder: shows
/// "Same file name already exists." and returns false.
bool checkNoNameClash(const QString &target, Prompter &prompter);

} // namespace glintcaster
