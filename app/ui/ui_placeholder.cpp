// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Keeps the widgets library non-empty while it has no other sources.
namespace glintcaster::ui { int placeholder() { return 0; } }
