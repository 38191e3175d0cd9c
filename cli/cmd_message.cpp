// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "cli/cli_common.h"

namespace glintcaster::cli {
void addMessageCommands(CLI::App &, std::function<int()> *) {}
void addDiscoverCommand(CLI::App &, std::function<int()> *) {}
} // namespace glintcaster::cli
