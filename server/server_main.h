// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

namespace glintcaster::server {

/// Exit status of the service.
enum Exit : int { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

/// Reads the options and the configuration, then either checks them (--check) or serves
/// until SIGTERM or SIGINT. Needs a QCoreApplication.
int serverMain(int argc, char *argv[]);

} // namespace glintcaster::server
