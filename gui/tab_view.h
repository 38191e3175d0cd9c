// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/file_drop.h"

#include <QWidget>

class QTabWidget;

namespace glintcaster {

class DiscoveryTab;
class EditTabPage;
class MainTabPage;
class Prompter;

/// The window's content: one tab control holding the three pages. Also where files dropped
/// on the window are taken in.
class TabView : public QWidget {
    Q_OBJECT
public:
    TabView(MainTabPage *mainPage, DiscoveryTab *discoveryPage, EditTabPage *editPage,
                   Prompter &prompter, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    MainTabPage *mainPage() const { return m_mainPage; }
    DiscoveryTab *discoveryPage() const { return m_discoveryPage; }
    EditTabPage *editPage() const { return m_editPage; }
    TabIndex currentTab() const;
    void setCurrentTab(TabIndex tab);

    /// Adds the "Alert" page as the fourth tab, after "Edit".
    void addAlertPage(QWidget *page);
    QWidget *alertPage() const { return m_alertPage; }

    /// Sets the tab titles in the current language.
    void retitle();

    /// The files of a drop, handled as the dropped-files path does.
    void dropFiles(const QStringList &paths);

signals:
    void tabSwitched(glintcaster::TabIndex tab);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QTabWidget *m_tabs = nullptr;
    MainTabPage *m_mainPage = nullptr;
    DiscoveryTab *m_discoveryPage = nullptr;
    EditTabPage *m_editPage = nullptr;
    QWidget *m_alertPage = nullptr;
    Prompter &m_prompter;
};

} // namespace glintcaster
