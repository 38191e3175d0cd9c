// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "gui/widgets/popup_combo_box.h"

#include "app/pj_list_rules.h"
#include "comm/discovery.h"

#include <QComboBox>
#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;
class QTableWidget;
class QTimer;

namespace glintcaster {

class MainWindow;
class DiscoverySession;
struct DiscoveredProjector;

/// The "Discovery" tab: projectors found on the network and the registered list.
class DiscoveryTab : public QWidget {
    Q_OBJECT
public:
    DiscoveryTab(MainWindow &frame, ProjectorStore &store, const DiscoveryConfig &config,
            QWidget *parent = nullptr);
    ~DiscoveryTab() override;

    /// Every switch to this tab: refill the adaptor box and start a search.
    void pageShown();
    /// Raises the search stop flag without waiting.
    void stopSearch();

    // The buttons' handlers, public so they can be driven directly.
    void registration();
    void password();
    void deleteEntry();
    void configureManually();
    void find();
    void search();
    void adaptorBoxOpened();
    void adaptorBoxClosed();

    void refillRegisteredList();

    /// Dialog runners; tests replace them so that nothing blocks.
    void setManualDialog(std::function<std::optional<ProjectorEntry>()> run) { m_runManual = std::move(run); }
    void setPasswordDialog(PasswordDialogFn run)
    {
        m_runPassword = std::move(run);
    }
    /// The pause of "Search" before the adaptor table is rebuilt.
    void setSearchPause(int milliseconds) { m_searchPauseMs = milliseconds; }

    QTableWidget *discoveredView() const { return m_discoveredView; }
    QTableWidget *registeredView() const { return m_registeredView; }
    QPushButton *findButton() const { return m_find; }
    QPushButton *registrationButton() const { return m_registration; }
    AdaptorBox *adaptorBox() const { return m_adaptorBox; }
    QPushButton *searchButton() const { return m_searchButton; }
    DiscoverySession &session() { return *m_session; }
    /// The address the search was started for (the adaptor box's selection).
    quint32 searchAdaptorAddress() const { return m_searchAddress; }
    QString searchAdaptorText() const { return m_searchAddressText; }

    /// Adds a found projector to the upper list (what the search's answers lead to).
    void addDiscovered(const DiscoveredProjector &projector);
    /// Column widths for a list whose client area is `width` pixels wide.
    static QList<int> columnWidths(int width);

signals:
    void searchStarted();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QTableWidget *makeList(const QString &name);
    void fitColumns();
    void followRegisteredFile();
    void refillWhenRowsChanged(const QList<ProjectorEntry> &shown);
    void fillAdaptorBox();
    void startSearch();
    void clearDiscovered();
    void setSearchControlsEnabled(bool enabled);
    std::optional<ProjectorEntry> runManualDialog();
    std::optional<Credentials> runPasswordDialog(const QString &label, int auth, const QString &password);

    MainWindow &m_frame;
    ProjectorStore &m_store;
    DiscoverySession *m_session = nullptr;

    QTableWidget *m_discoveredView = nullptr;
    QTableWidget *m_registeredView = nullptr;
    QPushButton *m_registration = nullptr;
    QPushButton *m_find = nullptr;
    QPushButton *m_manual = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_password = nullptr;
    AdaptorBox *m_adaptorBox = nullptr;
    QPushButton *m_searchButton = nullptr;
    QTimer *m_searchPause = nullptr;

    quint32 m_searchAddress = 0;
    QString m_searchAddressText;
    int m_searchPauseMs = 2000;
    std::function<std::optional<ProjectorEntry>()> m_runManual;
    PasswordDialogFn m_runPassword;
};

} // namespace glintcaster
