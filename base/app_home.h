// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster {

/// The application home: the folder holding "LastPj.txt", "MessageData/", the work files
/// and the preview bitmaps. Chosen, in order, from `--home DIR` (setOverride), the
/// GLINTCASTER_HOME environment variable, the executable's folder when it is writable
/// (portable use; skipped in QStandardPaths test mode so tests never write beside the
/// binary) and QStandardPaths::AppDataLocation. Safe to call from any thread.
namespace AppHome {

/// Forces the home (the `--home` option); an empty text returns to the automatic choice.
void setOverride(const QString &dir);

/// Absolute path of the home without a trailing separator; the folder is created if missing.
QString path();

/// `name` inside the home (work files such as "Titlebuff.rtf", "title.bmp").
QString filePath(const QString &name);

/// The registered-projector file "LastPj.txt".
QString lastProjectorFile();

/// The "MessageData" folder (created if missing), without a trailing separator.
QString messageDataDir();
/// Where the "MessageData" folder of the home `home` is (nothing is created). The one
/// place that names the folder; messageDataDir() and messageFolder() both use it.
QString messageDataDirOf(const QString &home);

/// A read-only data folder such as "mfont" or "micon": the home's copy first, then the
/// installed data folder. Empty when neither exists.
QString dataDir(const QString &name);

/// The installed data folder compiled into the program.
QString installedDataDir();

} // namespace AppHome
} // namespace glintcaster
