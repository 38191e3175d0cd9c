// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace glintcaster::server {

/// One address the service listens on.
struct ListenAddress {
    QHostAddress address;
    quint16 port = 0;
    QString text() const;
    bool isLoopback() const { return address.isLoopback(); }
};

/// "ADDR:PORT" (IPv4, or "[v6]:PORT"); false for anything else.
bool parseListenAddress(const QString &text, ListenAddress *out);

inline constexpr quint16 kDefaultPort = 9720;

/// The service's configuration: the INI file's values over the built-in defaults, then the
/// command line's over both. A home with registered projectors and no file works with the
/// defaults alone: English, group "All", slot Quick, tests refused.
struct ServerConfig {
    QString home; ///< empty: the application home chosen as for the other programs
    QList<ListenAddress> listen;
    QString tlsCert;
    QString tlsKey;
    bool insecureHttp = false;

    QString capLanguage = QStringLiteral("en");
    bool allowTests = false;
    QString defaultGroup = QStringLiteral("All");
    int defaultSlot = 0; ///< Quick
    /// CAP severity (as written, case-insensitive) to template name.
    QMap<QString, QString> severityTemplates;
    /// An areaDesc text or "valueName:value" of a geocode, to the groups it reaches.
    QMap<QString, QStringList> areaGroups;

    ServerConfig();
    /// The template of a severity; the defaults' for one the table does not name.
    QString templateFor(const QString &severity) const;
    /// The listen addresses, 127.0.0.1:9720 when none was given.
    QList<ListenAddress> effectiveListen() const;
    /// Why the listen addresses cannot be used as configured (an address beyond loopback
    /// without TLS files or --insecure-http, half a TLS pair, unreadable TLS files); empty
    /// when they can.
    QString listenProblem() const;
};

/// Reads the INI text into `config` (over what it holds). Sections: [server] home, listen
/// (comma separated), tls-cert, tls-key, insecure-http; [cap] language, allow-tests,
/// default-group, default-slot; [severity] NAME=TEMPLATE; [areas] AREA=GROUP, GROUP.
/// False with the first problem ("line 4: ...") in `error`.
bool parseServerConfig(const QByteArray &text, ServerConfig *config, QString *error);
/// Reads the file; false with the reason, naming the file.
bool loadServerConfig(const QString &path, ServerConfig *config, QString *error);

/// "quick" (any case) or 0 gives 0, 1..12 themselves, anything else -1.
int parseSlotName(const QString &text);

} // namespace glintcaster::server
