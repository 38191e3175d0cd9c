// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_store.h"
#include "server/http_service.h"
#include "server/json_request.h"

#include <QList>
#include <QString>

#include <optional>

namespace glintcaster::server {

/// The registered projectors a selection names, each once, in the order named: the
/// addresses, then each group's members ("All": every registered projector). False with
/// `error` ("unknown_target", "unknown_group", "store_unreadable") and a one-line `text`.
bool resolveSelection(const TargetSelection &selection, QList<ProjectorEntry> *out, QString *error,
                      QString *text);

/// resolveSelection() for an endpoint: nothing when `out` holds the projectors, else the
/// answer that refuses the request (503 when the list cannot be read, 422 otherwise).
std::optional<HttpAnswer> selectTargets(const TargetSelection &selection, QList<ProjectorEntry> *out);

} // namespace glintcaster::server
