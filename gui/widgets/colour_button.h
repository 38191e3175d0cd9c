// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "gui/tab_pages.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QToolButton>

namespace glintcaster {

/// Display colour of palette index 0..9 (out-of-range gives black).
QColor paletteColour(int index);

/// The ten images of one colour button, one per palette index; an image that cannot be
/// drawn comes back null.
QList<QIcon> colourButtonImages(ColourTarget target);

/// Toolbar drop-down button for one colour command: the face applies the chosen colour,
/// the arrow opens the colour dialog.
class ColourButton : public QToolButton {
    Q_OBJECT
public:
    ColourButton(ColourTarget target, QWidget *parent = nullptr);

    ColourTarget target() const { return m_target; }
    /// Shows palette index `index`; false when that image is missing.
    bool showIndex(int index);
    int shownIndex() const { return m_index; }
    /// False when one of the ten images could not be made.
    bool imagesComplete() const;

signals:
    void arrowClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    ColourTarget m_target;
    QList<QIcon> m_images;
    int m_index = -1;
};

} // namespace glintcaster
