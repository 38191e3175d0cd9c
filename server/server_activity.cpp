// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_activity.h"

#include "app/activity_log.h"

namespace glintcaster::server {

void logActivity(const QString &operation, const ProjectorEntry &target, int slot, bool ok, int code,
                 const QString &result, const QString &title, const QString &alertId,
                 const QString &capIdentifier)
{
    ActivityRecord r;
    r.origin = QStringLiteral("server");
    r.operation = operation;
    r.target = target.IP;
    r.targetName = target.ProjectorName;
    r.slot = slot;
    r.ok = ok;
    r.code = code;
    r.result = result;
    r.title = title;
    r.alertId = alertId;
    r.capIdentifier = capIdentifier;
    ActivityLog::inAppHome().append(r);
}

} // namespace glintcaster::server
