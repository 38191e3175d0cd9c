// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_groups.h"

#include <QTreeWidget>

namespace glintcaster {

/// The checkable tree of the Alert tab: "All" on top, then every group, each with its
/// registered projectors (name, address). A projector checked anywhere is checked under
/// every group that holds it; the selection is the set of checked projectors.
class GroupTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit GroupTree(QWidget *parent = nullptr);

    /// Refills the tree from `groups` and `store`, keeping the checked addresses.
    void fill(const ProjectorGroups &groups, const ProjectorStore &store);
    /// The checked projectors, each once, in the order of the registered list.
    QList<ProjectorEntry> checkedProjectors() const;
    QList<quint32> checkedAddresses() const;
    void setChecked(quint32 address, bool checked);
    /// Checks every projector of `group` (tests, and a click on a group's box).
    void checkGroup(const QString &group, bool checked);
    /// The group of the current item (a group row or a projector under it), or empty.
    QString currentGroup() const;
    /// The address of the current projector row, or 0.
    quint32 currentAddress() const;

signals:
    void selectionChanged();

private:
    void onItemChanged(QTreeWidgetItem *item, int column);

    QList<ProjectorEntry> m_registered;
    bool m_syncing = false;
};

} // namespace glintcaster
