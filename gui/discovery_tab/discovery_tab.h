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

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
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
    /// "Password..." for the registered projector with this address (offered after a job
    /// failed as if its password were wrong).
    void editPasswordOf(quint32 address);
    /// Checks a typed password against the projector as a job shown over `parent`; true
    /// when it may be saved (see confirmProjectorPassword).
    bool checkPassword(quint32 address, const QString &password, QWidget *parent);

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
    /// What the found list says over its empty area: the search's progress, or that nobody
    /// answered; empty when projectors are listed.
    QString searchStatusText() const;
    QProgressBar *searchProgress() const { return m_progress; }
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
    std::optional<Credentials> runPasswordDialog(quint32 address, const QString &label, int auth,
                                                 const QString &password);
    void editPasswordOfRow(int row);
    void registeredItemChanged(QTableWidgetItem *item);
    void searchBegan();
    void searchTick();
    void searchEnded();
    void showSearchStatus();

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
    QLabel *m_searchStatus = nullptr; ///< over the found list's empty area
    QProgressBar *m_progress = nullptr;
    QTimer *m_progressTick = nullptr;
    qint64 m_searchStartMs = 0;
    int m_expectedSearchMs = 0;
    bool m_searchRunning = false;
    bool m_searchStopped = false;
    DiscoveryTimings m_searchTimings;

    quint32 m_searchAddress = 0;
    QString m_searchAddressText;
    int m_searchPauseMs = 2000;
    std::function<std::optional<ProjectorEntry>()> m_runManual;
    PasswordDialogFn m_runPassword;
};

} // namespace glintcaster
