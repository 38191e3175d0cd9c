// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/app_home.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifndef GLINTCASTER_DATA_DIR
#define GLINTCASTER_DATA_DIR "/usr/local/share/glintcaster"
#endif

namespace glintcaster::AppHome {
namespace {

QMutex g_mutex;
QString g_override;
int g_exeDirWritable = -1; // -1 unknown, probed once

// QFileInfo::isWritable is unreliable for folders (ACLs, read-only mounts), so try it.
bool folderIsWritable(const QString &dir)
{
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.glintcaster-probe-XXXXXX"));
    return probe.open();
}

QString chooseHome()
{
    {
        QMutexLocker lock(&g_mutex);
        if (!g_override.isEmpty())
            return g_override;
    }
    const QString env = qEnvironmentVariable("GLINTCASTER_HOME");
    if (!env.isEmpty())
        return env;
    if (!QStandardPaths::isTestModeEnabled() && QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        QMutexLocker lock(&g_mutex);
        if (g_exeDirWritable < 0)
            g_exeDirWritable = folderIsWritable(exeDir) ? 1 : 0;
        if (g_exeDirWritable == 1)
            return exeDir;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

void setOverride(const QString &dir)
{
    QMutexLocker lock(&g_mutex);
    g_override = dir;
}

QString path()
{
    QString home = QDir::cleanPath(QDir(chooseHome()).absolutePath());
    QDir().mkpath(home);
    return home;
}

QString filePath(const QString &name)
{
    return path() + u'/' + name;
}

QString lastProjectorFile()
{
    return filePath(QStringLiteral("LastPj.txt"));
}

QString messageDataDirOf(const QString &home)
{
    return QDir(home).filePath(QStringLiteral("MessageData"));
}

QString messageDataDir()
{
    const QString dir = messageDataDirOf(path());
    QDir().mkpath(dir);
    return dir;
}

QString installedDataDir()
{
    return QStringLiteral(GLINTCASTER_DATA_DIR);
}

QString dataDir(const QString &name)
{
    const QString inHome = filePath(name);
    if (QFileInfo(inHome).isDir())
        return inHome;
    const QString installed = installedDataDir() + u'/' + name;
    if (QFileInfo(installed).isDir())
        return installed;
    return {};
}

} // namespace glintcaster::AppHome
