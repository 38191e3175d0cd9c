// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace glintcaster::server {

/// Which projectors a request acts on: addresses, groups, or every registered one.
struct TargetSelection {
    QStringList addresses; ///< dotted IPv4, as given
    QStringList groups;
    bool all = false;
    bool isEmpty() const { return addresses.isEmpty() && groups.isEmpty() && !all; }
};

/// POST /v1/alerts.
struct AlertPostRequest {
    TargetSelection targets;
    QString messageName; ///< a file of the message folder, by name; empty when inline
    QString title;
    QString text;
    QString templateName;
    int slot = 0;
    bool display = true;
    int startupMinutes = -1; ///< -1 leaves the startup display alone; 0 "Repeat"; 1..127
};

/// POST /v1/display.
struct DisplayRequest {
    TargetSelection targets;
    int slot = 0;
    bool on = true;
    bool powerOn = false;
};

/// POST /v1/clear: `slot` 0..12, or -1 for every slot, -2 for every saved number.
struct ClearRequest {
    TargetSelection targets;
    int slot = 0;
};

/// A refused request body: a code and one line saying what is wrong.
struct RequestError {
    QString error = QStringLiteral("invalid_request");
    QString text;
};

/// Readers of the JSON request bodies. Each refuses malformed JSON ("malformed_json"),
/// a body that is no object, unknown fields, wrong types and values out of range
/// ("invalid_request"), and a message name that reaches outside the message folder
/// ("path_refused"). Pure: nothing is looked up.
std::optional<AlertPostRequest> readAlertPostRequest(const QByteArray &body, RequestError *error);
std::optional<DisplayRequest> readDisplayRequest(const QByteArray &body, RequestError *error);
std::optional<ClearRequest> readClearRequest(const QByteArray &body, RequestError *error);

/// Whether `name` stays inside the message folder: relative, no "..", no backslash, no
/// empty or "." component, no NUL or control character. Symbolic links are the caller's
/// to check on the real path.
bool isMessageName(const QString &name);

} // namespace glintcaster::server
