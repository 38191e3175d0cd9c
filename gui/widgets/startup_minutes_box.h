// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QComboBox>

namespace glintcaster {

/// The startup display time: "Repeat" and the usual minutes to choose from, or a number
/// typed in. Starts empty; typing never adds an entry to the list.
class StartupMinutesBox : public QComboBox {
    Q_OBJECT
public:
    explicit StartupMinutesBox(QWidget *parent = nullptr);

    /// The text shown for a time in minutes (0 is "Repeat").
    static QString textForMinutes(int minutes);
};

} // namespace glintcaster
