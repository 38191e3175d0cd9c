// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/colour_target.h"

#include <QAbstractButton>
#include <QDialog>

class QPushButton;

namespace glintcaster {

/// The palette index chosen, or -1 when cancelled.
int chooseColour(QWidget *parent, ColourTarget target, int currentIndex);

/// One palette colour as a focusable patch. It is chosen by a click, Space or Enter;
/// taking the focus alone chooses nothing, so the keyboard can walk past colours.
class ColourSwatch : public QAbstractButton {
    Q_OBJECT
public:
    ColourSwatch(int code, QWidget *parent = nullptr);
    int code() const { return m_code; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_code;
};

/// The "Color" dialog: one of the palette colours for the character colour, the character
/// background or the message background. Transparent is never offered here (it reaches a
/// message through the character display mode and message files), though a current
/// transparent colour is shown and kept.
class PaletteDialog : public QDialog {
    Q_OBJECT
public:
    PaletteDialog(ColourTarget target, int currentIndex, QWidget *parent = nullptr);

    /// The chosen palette index; the current one until a colour is chosen.
    int chosenIndex() const { return m_chosen; }
    ColourSwatch *swatch(int code) const { return m_swatches[code]; }
    QWidget *selectionCell() const { return m_selection; }
    QPushButton *okButton() const { return m_ok; }

private:
    void choose(int code);

    int m_chosen = -1;
    ColourSwatch *m_swatches[10] = {};
    QWidget *m_selection = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace glintcaster
