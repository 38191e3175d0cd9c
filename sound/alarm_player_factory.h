// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sound/alarm_player.h"

#include <memory>

namespace glintcaster {

/// The player the application uses: the computer's sound output through SDL. With a parent,
/// keep the pointer in a member of that parent (members die before a QObject deletes its
/// children), or release it to the parent.
std::unique_ptr<AlarmPlayer> createAlarmPlayer(QObject *parent = nullptr);

} // namespace glintcaster
