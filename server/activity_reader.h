// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "server/http_service.h"

namespace glintcaster::server {

/// Most records one GET /v1/activity returns (the newest ones).
inline constexpr int kActivityAnswerMax = 1000;

/// GET /v1/activity?since=TIME: the activity log's records at or after TIME (ISO 8601),
/// oldest first, at most kActivityAnswerMax (the newest).
HttpAnswer activityEndpoint(const HttpRequest &request);

} // namespace glintcaster::server
