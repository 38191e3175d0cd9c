// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_operations.h"
#include "app/projector_store.h"
#include "server/http_service.h"
#include "server/json_request.h"

#include <QJsonArray>

#include <functional>

namespace glintcaster::server {

/// Runs `action` for every projector at once (a thread each) and answers 200 with one
/// object per target {"target", "name", "ok", "code", "text"} and the counts. `action`
/// returns true on success and fills code and text.
HttpAnswer runOnTargets(const QList<ProjectorEntry> &targets, const QString &operation,
                        const std::function<bool(const ProjectorEntry &, int *code, QString *text)> &action);

/// One target's projector operation through `op`, with a prompter of its own, the jobs
/// on this thread; `text` gets "Complete." or the reason, `code` the failed job's code.
/// The questions in `agreed` are answered Yes (the request asked for exactly that).
bool runOperation(const ProjectorEntry &e, int *code, QString *text,
                  const std::function<bool(ProjectorOperations &, const ProjectorEndpoint &)> &op,
                  const QStringList &agreed = {});
/// The question a clear asks before it clears.
QString clearQuestion();

/// POST /v1/display and POST /v1/clear.
HttpAnswer displayEndpoint(const HttpRequest &request);
HttpAnswer clearEndpoint(const HttpRequest &request);

} // namespace glintcaster::server
