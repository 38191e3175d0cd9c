// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <string_view>
#include <vector>

namespace glintcaster {

/// Alarm tunes are numbered as the Advanced dialog's "Sound number" list: 0 ("None", a
/// silent tune) to 4.
inline constexpr int kAlarmTuneCount = 5;

/// The MML text of each track of tune `sound`, track 0 first; empty for an unknown number.
std::vector<std::string_view> alarmTuneTracks(int sound);

} // namespace glintcaster
