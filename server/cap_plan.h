// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "server/cap_reader.h"
#include "server/server_config.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace glintcaster::server {

/// What the service does with a CAP alert.
enum class CapAction {
    Show,        ///< put the message on the groups' projectors
    Cancel,      ///< switch the referenced alerts' messages off and clear their slot
    Acknowledge, ///< taken, nothing shown (already expired, Draft, System, Ack, Error)
    Refuse,      ///< not taken (a test or exercise the configuration does not allow)
};

/// The decision about one alert, before any projector is touched.
struct CapPlan {
    CapAction action = CapAction::Refuse;
    QString error;  ///< for Refuse: machine-readable code
    QString reason; ///< for Acknowledge and Refuse: one line
    bool update = false; ///< msgType Update: replaces what the referenced alerts showed
    QString title;
    QString text;
    QString templateName;
    int displayMinutes = 0; ///< 0: no display time (no expiry given), else 1..127
    QStringList groups;
    int slot = 0;
    QString language; ///< of the info block chosen
    QString severity;
    /// Earlier alerts named by <references>, as CapAlert::key() texts.
    QStringList references;
};

/// Longest title and body taken from an alert before the template's own limits apply.
inline constexpr int kCapTitleMax = 120;
inline constexpr int kCapBodyMax = 1800;

/// Decides what to do with `alert` at time `now` under `config`. Pure: no file, no clock.
CapPlan planCapAlert(const CapAlert &alert, const ServerConfig &config, const QDateTime &now);

/// The <info> block for `language`: the exact language, else one of its family ("en"
/// takes "en-GB"; an info without language counts as en-US), else the first. -1 when the
/// alert has none.
int chooseInfo(const QList<CapInfo> &infos, const QString &language);

/// Whole minutes from `now` until `expires`, rounded up, bounded to 1..127; 0 when
/// `expires` is not after `now`.
int minutesUntil(const QDateTime &now, const QDateTime &expires);

} // namespace glintcaster::server
