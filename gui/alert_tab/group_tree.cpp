// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/alert_tab/group_tree.h"

#include <QHeaderView>
#include <QSet>

namespace glintcaster {

namespace {
constexpr int kAddressRole = Qt::UserRole + 1; // quint32 on projector rows, 0 on groups
constexpr int kGroupRole = Qt::UserRole + 2;   // the group's name on every row
} // namespace

GroupTree::GroupTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("groupTree"));
    setColumnCount(2);
    setHeaderLabels({tr("Name"), tr("Address")});
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemChanged, this, &GroupTree::onItemChanged);
}

void GroupTree::fill(const ProjectorGroups &groups, const ProjectorStore &store)
{
    const QList<quint32> keep = checkedAddresses();
    const QString current = currentGroup();
    m_syncing = true;
    clear();
    m_registered.clear();
    QList<ProjectorEntry> all;
    groups.resolve(ProjectorGroups::allName(), store, &all);
    m_registered = all;
    for (const QString &name : groups.names()) {
        QList<ProjectorEntry> members;
        groups.resolve(name, store, &members);
        auto *group = new QTreeWidgetItem(this);
        group->setText(0, name == ProjectorGroups::allName() ? tr("All") : name);
        group->setData(0, kGroupRole, name);
        group->setData(0, kAddressRole, 0u);
        group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        group->setCheckState(0, Qt::Unchecked);
        for (const ProjectorEntry &p : members) {
            auto *row = new QTreeWidgetItem(group);
            row->setText(0, p.ProjectorName);
            row->setText(1, ipToText(p.IP));
            row->setData(0, kGroupRole, name);
            row->setData(0, kAddressRole, p.IP);
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(0, keep.contains(p.IP) ? Qt::Checked : Qt::Unchecked);
        }
        group->setExpanded(true);
        if (name == current)
            setCurrentItem(group);
    }
    m_syncing = false;
    emit selectionChanged();
}

QList<quint32> GroupTree::checkedAddresses() const
{
    QList<quint32> out;
    for (const ProjectorEntry &p : checkedProjectors())
        out << p.IP;
    return out;
}

QList<ProjectorEntry> GroupTree::checkedProjectors() const
{
    QSet<quint32> checked;
    for (int g = 0; g < topLevelItemCount(); ++g) {
        const QTreeWidgetItem *group = topLevelItem(g);
        for (int c = 0; c < group->childCount(); ++c)
            if (group->child(c)->checkState(0) == Qt::Checked)
                checked.insert(group->child(c)->data(0, kAddressRole).toUInt());
    }
    QList<ProjectorEntry> out;
    for (const ProjectorEntry &p : m_registered)
        if (checked.contains(p.IP))
            out << p;
    return out;
}

void GroupTree::setChecked(quint32 address, bool checked)
{
    const bool outer = !m_syncing;
    m_syncing = true;
    for (int g = 0; g < topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = topLevelItem(g);
        for (int c = 0; c < group->childCount(); ++c)
            if (group->child(c)->data(0, kAddressRole).toUInt() == address)
                group->child(c)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
    if (outer) {
        m_syncing = false;
        emit selectionChanged();
    }
}

void GroupTree::checkGroup(const QString &name, bool checked)
{
    for (int g = 0; g < topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = topLevelItem(g);
        if (group->data(0, kGroupRole).toString().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        m_syncing = true;
        for (int c = 0; c < group->childCount(); ++c)
            setChecked(group->child(c)->data(0, kAddressRole).toUInt(), checked);
        m_syncing = false;
    }
    emit selectionChanged();
}

QString GroupTree::currentGroup() const
{
    const QTreeWidgetItem *item = currentItem();
    return item ? item->data(0, kGroupRole).toString() : QString();
}

quint32 GroupTree::currentAddress() const
{
    const QTreeWidgetItem *item = currentItem();
    return item ? item->data(0, kAddressRole).toUInt() : 0;
}

void GroupTree::onItemChanged(QTreeWidgetItem *item, int column)
{
    if (m_syncing || column != 0)
        return;
    const quint32 address = item->data(0, kAddressRole).toUInt();
    if (address == 0) {
        // A group's own box: its children follow (auto-tristate), then the same
        // projectors under the other groups.
        if (item->checkState(0) == Qt::PartiallyChecked)
            return;
        checkGroup(item->data(0, kGroupRole).toString(), item->checkState(0) == Qt::Checked);
        return;
    }
    setChecked(address, item->checkState(0) == Qt::Checked);
}

} // namespace glintcaster
