// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sound/alarm_player_factory.h"

#include "sound/sdl_alarm_player.h"

namespace glintcaster {

std::unique_ptr<AlarmPlayer> createAlarmPlayer(QObject *parent)
{
    return std::make_unique<SdlAlarmPlayer>(parent);
}

} // namespace glintcaster
