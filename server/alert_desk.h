// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/alert_operation.h"
#include "server/cap_plan.h"
#include "server/http_service.h"
#include "server/json_request.h"
#include "server/server_config.h"

#include <QHash>
#include <QObject>

#include <deque>
#include <memory>

namespace glintcaster::server {

/// What the service remembers of a CAP alert it handled, so that a repeat is acknowledged
/// once and an Update or Cancel reaches the projectors the earlier alert reached.
struct CapRecord {
    QString key;     ///< CapAlert::key()
    QString alertId; ///< empty when nothing was sent
    QList<quint32> targets;
    int slot = 0;
};

/// The alerts of the service, one at a time, on the main thread: starts them, answers
/// their state, cancels them, and turns CAP alerts into alerts, updates and cancels.
/// The CAP records are kept in "cap-history.json" in the home so a restart does not show
/// an alert twice.
class AlertDesk : public QObject {
    Q_OBJECT
public:
    AlertDesk(const ServerConfig &config, LogLine log, QObject *parent = nullptr);
    ~AlertDesk() override;

    /// POST /v1/alerts, the request already read: 202 with the id, 409 while one runs.
    HttpAnswer startAlert(const AlertPostRequest &request);
    HttpAnswer alertState(const QString &id) const;
    HttpAnswer cancelAlert(const QString &id);
    bool isRunning() const;

    /// The CAP decision taken, what the main thread does with it. For a Cancel the
    /// projectors to switch off come back in `cancelTargets` (and `cancelSlot`) for the
    /// caller to act on, off this thread; the answer is then empty (status 0).
    HttpAnswer applyCap(const CapAlert &alert, const CapPlan &plan, QList<quint32> *cancelTargets,
                        int *cancelSlot);

    /// Records kept at most.
    static constexpr int kCapRecordsKept = 1000;
    /// Finished alerts whose state can still be asked for.
    static constexpr int kAlertsKept = 32;

private:
    /// Starts `request` (targets resolved, message ready); fills `id`. An error answer when
    /// it cannot start.
    std::optional<HttpAnswer> launch(glintcaster::AlertRequest request, QString *id);
    void remember(const CapRecord &record);
    void loadHistory();
    QString historyPath() const;

    ServerConfig m_config;
    LogLine m_log;
    std::deque<std::unique_ptr<AlertOperation>> m_alerts; ///< newest last
    QHash<QString, CapRecord> m_capRecords;
    QStringList m_capOrder;
};

/// The message of an inline alert: `title` and `text` poured into template `name` of the
/// home (the default one when empty). False with the reason.
bool messageFromTemplate(const QString &name, const QString &title, const QString &text,
                         CurrentMessage *out, QString *error);

} // namespace glintcaster::server
