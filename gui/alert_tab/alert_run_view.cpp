// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/alert_tab/alert_run_view.h"

#include "app/projector_store.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace glintcaster {

AlertRunView::AlertRunView(QWidget *parent) : QWidget(parent)
{
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("alertTable"));
    m_table->setHorizontalHeaderLabels({tr("Name"), tr("Address"), tr("State")});
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    // Sized once for the longest address: measuring a thousand rows on every change would
    // stall the window.
    m_table->setColumnWidth(1, m_table->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("alertProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("alertSummary"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_summary);

    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &AlertRunView::refresh);
}

QString AlertRunView::describe(const AlertTargetState &state)
{
    if (state.done() && state.result != AlertResult::Succeeded)
        return state.text;
    switch (state.phase) {
    case AlertPhase::Waiting:
        return tr("Waiting");
    case AlertPhase::Checking:
        return tr("Checking");
    case AlertPhase::Sending:
        return tr("Sending");
    case AlertPhase::Storing:
        return tr("Storing");
    case AlertPhase::Startup:
        return tr("Startup display");
    case AlertPhase::DisplayOn:
        return tr("Display on");
    case AlertPhase::Complete:
        return tr("Complete");
    }
    return {};
}

void AlertRunView::attach(AlertOperation *alert)
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_alert = alert;
    m_changed.clear();
    const QList<AlertTarget> &targets = alert->request().targets;
    m_table->setRowCount(int(targets.size()));
    for (int i = 0; i < targets.size(); ++i) {
        m_table->setItem(i, 0, new QTableWidgetItem(targets.at(i).name));
        m_table->setItem(i, 1, new QTableWidgetItem(ipToText(targets.at(i).endpoint.address)));
        m_table->setItem(i, 2, new QTableWidgetItem(describe(alert->state(i))));
    }
    m_progress->setRange(0, int(targets.size()));
    m_summary->clear();
    m_connections << connect(alert, &AlertOperation::targetChanged, this, &AlertRunView::markChanged);
    m_connections << connect(alert, &AlertOperation::finished, this, &AlertRunView::finished);
    refresh();
}

void AlertRunView::markChanged(int index)
{
    m_changed.insert(index);
    if (!m_timer.isActive())
        m_timer.start();
}

void AlertRunView::refresh()
{
    if (!m_alert)
        return;
    for (int i : std::as_const(m_changed))
        if (QTableWidgetItem *item = m_table->item(i, 2))
            item->setText(describe(m_alert->state(i)));
    m_changed.clear();
    const AlertSummary s = m_alert->summary();
    m_progress->setValue(s.done());
    m_progress->setFormat(tr("%1 of %2").arg(s.done()).arg(s.total));
    if (!m_alert->isRunning())
        m_timer.stop();
}

void AlertRunView::finished()
{
    refresh();
    const AlertSummary s = m_alert->summary();
    QString text = tr("%1 of %2 succeeded").arg(s.succeeded).arg(s.total);
    if (s.refused + s.communication > 0)
        text += tr(", %1 failed").arg(s.refused + s.communication);
    if (s.cancelled > 0)
        text += tr(", %1 cancelled").arg(s.cancelled);
    m_summary->setText(text);
}

QString AlertRunView::stateText(int row) const
{
    const QTableWidgetItem *item = m_table->item(row, 2);
    return item ? item->text() : QString();
}

} // namespace glintcaster
