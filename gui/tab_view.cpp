// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/tab_view.h"

#include "base/message_table.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/tab_pages.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

QStringList localFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

/// A page in a scroll area: on a screen smaller than the page's minimum size (a small
/// laptop, large display scaling) the page scrolls instead of losing its lower controls.
QScrollArea *scrolling(QWidget *page)
{
    auto *area = new QScrollArea;
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    area->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    return area;
}

} // namespace

TabView::TabView(MainTabPage *mainPage, DiscoveryTab *discoveryPage,
                               EditTabPage *editPage, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_mainPage(mainPage), m_discoveryPage(discoveryPage),
      m_editPage(editPage), m_prompter(prompter)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->addTab(scrolling(m_mainPage), QString());
    m_tabs->addTab(scrolling(m_discoveryPage), QString());
    m_tabs->addTab(scrolling(m_editPage), QString());
    retitle();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs);

    setAcceptDrops(true);
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int index) { emit tabSwitched(TabIndex(index)); });
}

TabIndex TabView::currentTab() const
{
    return TabIndex(m_tabs->currentIndex());
}

void TabView::setCurrentTab(TabIndex tab)
{
    m_tabs->setCurrentIndex(int(tab));
}

void TabView::retitle()
{
    m_tabs->setTabText(int(TabIndex::Main), msg(1134));
    m_tabs->setTabText(int(TabIndex::Discovery), msg(1135));
    m_tabs->setTabText(int(TabIndex::Edit), msg(1136));
}

void TabView::dropFiles(const QStringList &paths)
{
    DropHandlers handlers;
    handlers.addToMessageList = [this](const QString &path) { m_mainPage->addMessageFile(path); };
    handlers.loadIntoEditor = [this](const QString &path) { m_editPage->loadDroppedFile(path); };
    handleDroppedFiles(paths, currentTab(), m_prompter, handlers);
}

void TabView::dragEnterEvent(QDragEnterEvent *event)
{
    // Offered anywhere on the window as a copy; what happens is decided on the drop.
    if (!localFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void TabView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void TabView::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Message boxes must not open inside the drop itself: the dragging program waits for it.
    QMetaObject::invokeMethod(this, [this, files] { dropFiles(files); }, Qt::QueuedConnection);
}

} // namespace glintcaster
