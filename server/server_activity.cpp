// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_activity.h"

#include "base/app_home.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace glintcaster::server {

// TODO(merge): the shared activity log of app/ replaces this writer.
void logActivity(const QString &operation, const ProjectorEntry &target, int slot, bool ok, int code,
                 const QString &result, const QString &title, const QString &alertId,
                 const QString &capIdentifier)
{
    QJsonObject o{{QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
                  {QStringLiteral("origin"), QStringLiteral("server")},
                  {QStringLiteral("operation"), operation},
                  {QStringLiteral("target"), ipToText(target.IP)},
                  {QStringLiteral("name"), target.ProjectorName},
                  {QStringLiteral("slot"), slot},
                  {QStringLiteral("ok"), ok},
                  {QStringLiteral("code"), code},
                  {QStringLiteral("result"), result}};
    if (!title.isEmpty())
        o.insert(QStringLiteral("title"), title);
    if (!alertId.isEmpty())
        o.insert(QStringLiteral("alert"), alertId);
    if (!capIdentifier.isEmpty())
        o.insert(QStringLiteral("cap"), capIdentifier);
    QFile f(AppHome::filePath(QStringLiteral("Activity.log")));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
}

} // namespace glintcaster::server
