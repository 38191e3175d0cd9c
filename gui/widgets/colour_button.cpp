// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/colour_button.h"

#include "message/message_options.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionToolButton>

namespace glintcaster {

QColor paletteColour(int index)
{
    return QColor::fromRgb(QRgb(rgbForCode(index)));
}

namespace {

QPixmap drawImage(ColourTarget target, const QColor &colour)
{
    constexpr int size = 24;
    QPixmap pixmap(size, size);
    if (pixmap.isNull())
        return pixmap;
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    const QRect letterArea(0, 0, size, 18);
    const QRect bar(2, 18, size - 4, 5);
    switch (target) {
    case ColourTarget::Character:
        // The letter in neutral ink, the chosen colour as the bar underneath.
        p.setPen(QColor(40, 40, 40));
        p.drawText(letterArea, Qt::AlignCenter, QStringLiteral("A"));
        break;
    case ColourTarget::CharacterBackground:
        p.fillRect(QRect(3, 1, size - 6, 16), QColor(90, 90, 90));
        p.setPen(Qt::white);
        p.drawText(letterArea, Qt::AlignCenter, QStringLiteral("A"));
        break;
    case ColourTarget::Background:
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, size - 5, 15));
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.drawLine(QPointF(6, 6), QPointF(size - 6, 6));
        p.drawLine(QPointF(6, 11), QPointF(size - 9, 11));
        break;
    }
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(colour);
    p.drawRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5));
    return pixmap;
}

QString commandTip(ColourTarget target)
{
    switch (target) {
    case ColourTarget::Character:
        return ColourButton::tr("Font color (arrow: choose)");
    case ColourTarget::CharacterBackground:
        return ColourButton::tr("Font background color (arrow: choose)");
    case ColourTarget::Background:
        return ColourButton::tr("Background color (arrow: choose)");
    }
    return {};
}

} // namespace

QList<QIcon> colourButtonImages(ColourTarget target)
{
    QList<QIcon> images;
    for (int i = 0; i < 10; ++i) {
        const QPixmap pixmap = drawImage(target, paletteColour(i));
        images.append(pixmap.isNull() ? QIcon() : QIcon(pixmap));
    }
    return images;
}

ColourButton::ColourButton(ColourTarget target, QWidget *parent)
    : QToolButton(parent), m_target(target), m_images(colourButtonImages(target))
{
    setPopupMode(QToolButton::MenuButtonPopup);
    setAutoRaise(true);
    setToolTip(commandTip(target));
    // The menu is what makes the style draw the arrow; keyboard users open it with F4/Alt+Down.
    auto *menu = new QMenu(this);
    QAction *choose = menu->addAction(tr("Choose..."));
    connect(choose, &QAction::triggered, this, &ColourButton::arrowClicked);
    setMenu(menu);
}

bool ColourButton::imagesComplete() const
{
    for (const QIcon &icon : m_images)
        if (icon.isNull())
            return false;
    return m_images.size() == 10;
}

bool ColourButton::showIndex(int index)
{
    if (index < 0 || index >= m_images.size() || m_images[index].isNull())
        return false;
    m_index = index;
    setIcon(m_images[index]);
    return true;
}

void ColourButton::mousePressEvent(QMouseEvent *event)
{
    // The arrow opens the colour dialog at once instead of a one-entry menu.
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    if (event->button() == Qt::LeftButton && arrow.contains(event->position().toPoint())) {
        event->accept();
        emit arrowClicked();
        return;
    }
    QToolButton::mousePressEvent(event);
}

} // namespace glintcaster
