// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/path_rules.h"

#include "base/app_home.h"
#include "base/message_table.h"
#include "base/prompter.h"

#include <QDir>
#include <QFileInfo>

namespace glintcaster {

QString messageFolder(const QString &home)
{
    return AppHome::messageDataDirOf(home);
}

bool ensureMessageFolder(const QString &home)
{
    return QDir().mkpath(messageFolder(home));
}

QStringList listMessageFiles(const QString &folder)
{
    // Name order is what users of the original platform's file system saw.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.glc")}, QDir::Files,
                                               QDir::Name | QDir::IgnoreCase);
    if (names.size() > MessageFileListLimit)
        names.resize(MessageFileListLimit);
    return names;
}

bool isTextImportPath(const QString &path)
{
    return path.endsWith(QLatin1String(".txt"), Qt::CaseSensitive);
}

bool checkSavePath(const QString &path, Prompter &prompter)
{
    if (path.endsWith(QLatin1String("glc"), Qt::CaseSensitive))
        return true;
    prompter.inform(msg(1027));
    return false;
}

QString messageFolderTarget(const QString &folder, const QString &droppedPath)
{
    return QDir(folder).filePath(QFileInfo(droppedPath).completeBaseName()
                                 + QLatin1String(".glc"));
}

bool checkNoNameClash(const QString &target, Prompter &prompter)
{
    if (!QFileInfo::exists(target))
        return true;
    prompter.inform(msg(1019));
    return false;
}

} // namespace glintcaster
