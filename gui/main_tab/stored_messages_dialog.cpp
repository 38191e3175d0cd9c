// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/main_tab/stored_messages_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace glintcaster {

StoredMessagesDialog::StoredMessagesDialog(const ProjectorEndpoint &endpoint, ExchangeTimings timings, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Confirm"));
    setModal(true);
    m_session = new SlotListSession(endpoint, timings, this);

    m_list = new QTableWidget(kSlotCount, 2, this);
    m_list->setObjectName(QStringLiteral("slotList"));
    m_list->setHorizontalHeaderLabels({tr("Stored No."), tr("Status")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setTabKeyNavigation(false);
    // Nothing to pick or scroll: keyboard focus stays on "Return".
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setHighlightSections(false);
    // Two columns of half the width each.
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFixedHeight(heightForRows(kSlotCount));
    m_list->setMinimumWidth(300);

    auto *buttons = new QDialogButtonBox(this);
    m_return = buttons->addButton(tr("Return"), QDialogButtonBox::AcceptRole);
    m_return->setDefault(true);
    m_return->setAutoDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &StoredMessagesDialog::accept);
    connect(m_session, &SlotListSession::rowsChanged, this, &StoredMessagesDialog::refreshRows);
    connect(m_session, &SlotListSession::failed, this, [this] { endWith(ListFailed); });
    refreshRows();
}

StoredMessagesDialog::~StoredMessagesDialog()
{
    // The worker may still be waiting on a projector; it is told and left to end alone.
    m_session->close();
}

int StoredMessagesDialog::heightForRows(int rows) const
{
    return m_list->horizontalHeader()->sizeHint().height()
           + rows * m_list->verticalHeader()->defaultSectionSize() + 2 * m_list->frameWidth();
}

void StoredMessagesDialog::refreshRows()
{
    for (int row = 0; row < kSlotCount; ++row) {
        const QString texts[2] = {m_session->rowLabel(row), m_session->slotText(row)};
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem *item = m_list->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                m_list->setItem(row, column, item);
            }
            if (item->text() != texts[column])
                item->setText(texts[column]);
        }
    }
}

void StoredMessagesDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        m_session->start();
    }
}

int StoredMessagesDialog::exec()
{
    // Started here as well as on showing, so that a window shown by other means still asks.
    if (!m_started) {
        m_started = true;
        m_session->start();
    }
    return QDialog::exec();
}

void StoredMessagesDialog::endWith(int result)
{
    m_session->close();
    done(result);
}

void StoredMessagesDialog::accept()
{
    endWith(Closed);
}

void StoredMessagesDialog::reject()
{
    // Escape and the hidden Cancel end the window just as "Return" does.
    endWith(Closed);
}

} // namespace glintcaster
