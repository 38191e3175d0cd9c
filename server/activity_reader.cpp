// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/activity_reader.h"

#include "app/activity_log.h"

#include <QDateTime>
#include <QJsonArray>
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
    int skipped = 0;
    const QList<ActivityRecord> records = ActivityLog::inAppHome().read(since, 0, &skipped);
    QJsonArray out;
    for (qsizetype i = qMax<qsizetype>(0, records.size() - kActivityAnswerMax); i < records.size(); ++i)
        out.append(records.at(i).toJson());
    return jsonAnswer(200, {{QStringLiteral("records"), out}, {QStringLiteral("skipped"), skipped}});
}

} // namespace glintcaster::server
