// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/activity_reader.h"

#include "base/app_home.h"
#include "base/file_read.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace glintcaster::server {

HttpAnswer activityEndpoint(const HttpRequest &request)
{
    QDateTime since;
    const QString sinceText = request.query.value(QStringLiteral("since"));
    if (!sinceText.isEmpty()) {
        since = QDateTime::fromString(sinceText, Qt::ISODateWithMs);
        if (!since.isValid())
            return errorAnswer(400, QStringLiteral("invalid_request"),
                               QStringLiteral("since is a date and time such as 2026-01-31T08:00:00Z"));
    }
    // TODO(merge): read through the shared activity log of app/ (rotated files too).
    const FileReadResult file = readRegularFile(AppHome::filePath(QStringLiteral("Activity.log")),
                                                16 * 1024 * 1024, true);
    QList<QJsonObject> records;
    if (file.ok()) {
        for (const QByteArray &line : file.data.split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.isEmpty())
                continue;
            const QDateTime t = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
            if (since.isValid() && (!t.isValid() || t < since))
                continue;
            records << o;
        }
    }
    QJsonArray out;
    for (qsizetype i = qMax<qsizetype>(0, records.size() - kActivityAnswerMax); i < records.size(); ++i)
        out.append(records.at(i));
    return jsonAnswer(200, {{QStringLiteral("records"), out}});
}

} // namespace glintcaster::server
