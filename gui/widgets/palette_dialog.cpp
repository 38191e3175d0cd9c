// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/palette_dialog.h"

#include "base/message_table.h"
#include "message/message_options.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

QColor colourOf(int code)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgbForCode(code)));
}

QString colourName(int code)
{
    switch (code) {
    case 0: return PaletteDialog::tr("Black");
    case 1: return PaletteDialog::tr("Red");
    case 2: return PaletteDialog::tr("Yellow");
    case 3: return PaletteDialog::tr("Green");
    case 4: return PaletteDialog::tr("Cyan");
    case 5: return PaletteDialog::tr("Blue");
    case 6: return PaletteDialog::tr("Magenta");
    case 7: return PaletteDialog::tr("White");
    case 8: return PaletteDialog::tr("Half transparent");
    default: return PaletteDialog::tr("Transparent");
    }
}

/// The "Selection color" cell: shows the chosen colour, takes no focus.
class SelectionCell : public QFrame {
public:
    explicit SelectionCell(QWidget *parent) : QFrame(parent)
    {
        setFrameShape(QFrame::Box);
        setFixedSize(48, 24);
        setAutoFillBackground(true);
        setFocusPolicy(Qt::NoFocus);
    }
    void showColour(int code)
    {
        QPalette p = palette();
        p.setColor(QPalette::Window, colourOf(code));
        setPalette(p);
        setAccessibleName(code >= 0 && code < PaletteSize ? colourName(code) : QString());
    }
};

} // namespace

ColourSwatch::ColourSwatch(int code, QWidget *parent) : QAbstractButton(parent), m_code(code)
{
    setFocusPolicy(Qt::StrongFocus);
    setCheckable(true);
    setAutoExclusive(false);
    setToolTip(colourName(code));
    setAccessibleName(colourName(code));
    setObjectName(QStringLiteral("swatch%1").arg(code));
}

QSize ColourSwatch::sizeHint() const
{
    return {40, 24};
}

void ColourSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // The chosen colour carries a heavier frame than the others.
    painter.setPen(QPen(palette().color(QPalette::WindowText), isChecked() ? 2 : 1));
    painter.fillRect(outer.adjusted(3, 3, -2, -2), colourOf(m_code));
    painter.drawRect(outer.adjusted(3, 3, -3, -3));
    if (hasFocus()) {
        // Drawn here rather than by the style, which may draw no focus frame at all on a
        // custom widget: keyboard users must see where they are.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        painter.drawRect(outer);
    }
}

void ColourSwatch::keyPressEvent(QKeyEvent *event)
{
    // Space is a button's own key; Enter chooses as well, instead of pressing OK with the
    // colour the operator was looking at left unchosen.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

PaletteDialog::PaletteDialog(ColourTarget target, int currentIndex, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Color"));
    switch (target) {
    case ColourTarget::Character:
        setWindowTitle(msg(1141));
        break;
    case ColourTarget::CharacterBackground:
        setWindowTitle(msg(1142));
        break;
    case ColourTarget::Background:
        setWindowTitle(msg(1143));
        break;
    }

    auto *palette = new QGridLayout;
    palette->setHorizontalSpacing(8);
    // Three rows of three as the palette is laid out, transparent in the third row (never
    // offered) and half transparent on a row of its own with its name.
    const int cells[10][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1},
                              {1, 2}, {2, 0}, {2, 1}, {3, 2}, {2, 2}};
    for (int code = 0; code < PaletteSize; ++code) {
        auto *swatch = new ColourSwatch(code, this);
        m_swatches[code] = swatch;
        palette->addWidget(swatch, cells[code][0], cells[code][1]);
        connect(swatch, &ColourSwatch::clicked, this, [this, code] { choose(code); });
    }
    auto *halfLabel = new QLabel(tr("Half transparent"), this);
    halfLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    halfLabel->setBuddy(m_swatches[8]);
    palette->addWidget(halfLabel, 3, 0, 1, 2);
    auto *transparentLabel = new QLabel(tr("Transparent"), this);
    transparentLabel->setObjectName(QStringLiteral("transparentLabel"));
    palette->addWidget(transparentLabel, 4, 2);
    m_swatches[9]->hide();
    transparentLabel->hide();

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);

    auto *group = new QGroupBox(tr("Selection color"), this);
    auto *cell = new SelectionCell(group);
    m_selection = cell;
    m_selection->setObjectName(QStringLiteral("selection"));
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addStretch();
    groupLayout->addWidget(cell);
    groupLayout->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PaletteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PaletteDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(palette);
    layout->addWidget(line);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab walks the colours in palette order, then the buttons.
    for (int code = 1; code < PaletteSize - 1; ++code)
        setTabOrder(m_swatches[code - 1], m_swatches[code]);
    setTabOrder(m_swatches[8], m_ok);

    if (currentIndex >= 0 && currentIndex < PaletteSize) {
        m_chosen = currentIndex;
        cell->showColour(currentIndex);
        m_swatches[currentIndex]->setChecked(true);
        if (m_swatches[currentIndex]->isVisibleTo(this))
            m_swatches[currentIndex]->setFocus();
        else
            m_ok->setFocus();
    } else {
        // No valid colour to keep: OK waits for a choice.
        m_ok->setEnabled(false);
        m_swatches[0]->setFocus();
    }
}

void PaletteDialog::choose(int code)
{
    for (ColourSwatch *swatch : m_swatches)
        swatch->setChecked(swatch->code() == code);
    m_chosen = code;
    static_cast<SelectionCell *>(m_selection)->showColour(code);
    m_ok->setEnabled(true);
    m_ok->setFocus();
}

int chooseColour(QWidget *parent, ColourTarget target, int currentIndex)
{
    PaletteDialog dialog(target, currentIndex, parent);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return dialog.chosenIndex();
}

} // namespace glintcaster
