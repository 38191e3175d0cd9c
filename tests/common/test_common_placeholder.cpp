// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Keeps the shared test library non-empty while it has no other sources.
namespace glintcaster::testing { int placeholder() { return 0; } }
