// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

class QString;
class QWidget;

namespace glintcaster {

/// Shows the unsupported-character report; true when the operator chose "Auto Del".
bool showUnsupportedCharacters(QWidget *parent, const QString &report);

} // namespace glintcaster
