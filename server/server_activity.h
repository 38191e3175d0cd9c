// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_store.h"

#include <QString>

namespace glintcaster::server {

/// Appends one record of the service ("server" origin) to the home's activity log.
void logActivity(const QString &operation, const ProjectorEntry &target, int slot, bool ok, int code,
                 const QString &result, const QString &title = {}, const QString &alertId = {},
                 const QString &capIdentifier = {});

} // namespace glintcaster::server
