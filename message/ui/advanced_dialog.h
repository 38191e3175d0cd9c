// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

class QWidget;

namespace glintcaster {

class AlarmPlayer;
class CurrentMessage;
class Prompter;
class TargetCapabilities;

/// Opens the Advanced dialog on `message`'s options; on OK writes them back and returns true
/// when anything changed (the caller then marks the message modified and applies a changed
/// font size). `player` may be null: PLAY is then disabled.
bool runAdvancedDialog(QWidget *parent, CurrentMessage &message, const TargetCapabilities &caps,
                       AlarmPlayer *player, Prompter &prompter);

} // namespace glintcaster
