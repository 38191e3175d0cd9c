// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/colour_target.h"

class QWidget;

namespace glintcaster {

/// The palette index chosen, or -1 when cancelled.
int chooseColour(QWidget *parent, ColourTarget target, int currentIndex);

} // namespace glintcaster
