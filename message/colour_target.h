// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

namespace glintcaster {

/// Which of the three colour commands a colour belongs to.
enum class ColourTarget { Character = 0, CharacterBackground = 1, Background = 2 };

} // namespace glintcaster
