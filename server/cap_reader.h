// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace glintcaster::server {

/// The namespace of a CAP 1.2 document; older versions and other feeds are refused.
inline constexpr char kCap12Namespace[] = "urn:oasis:names:tc:emergency:cap:1.2";

/// One <info> block: what is said, in one language.
struct CapInfo {
    QString language; ///< as written; empty when absent (CAP reads that as en-US)
    QString event;
    QString headline;
    QString description;
    QString instruction;
    QString severity;
    QString urgency;
    QString certainty;
    QDateTime expires; ///< invalid when absent
    QStringList areaDescs;
    QList<QPair<QString, QString>> geocodes; ///< valueName, value
};

/// A CAP 1.2 alert as far as this service uses it.
struct CapAlert {
    QString identifier;
    QString sender;
    QString sent; ///< as written: with identifier and sender it names the alert
    QDateTime sentTime;
    QString status;  ///< Actual, Exercise, System, Test, Draft
    QString msgType; ///< Alert, Update, Cancel, Ack, Error
    QString scope;
    /// Earlier alerts referred to, each "sender,identifier,sent".
    QStringList references;
    QList<CapInfo> infos;

    /// identifier, sender and sent joined: an alert handled once is not handled again.
    QString key() const { return keyOf(sender, identifier, sent); }
    static QString keyOf(const QString &sender, const QString &identifier, const QString &sent);
};

/// Why a document was refused.
struct CapReadResult {
    bool ok = false;
    /// Machine-readable: "malformed_xml", "dtd_refused", "not_cap", "unsupported_cap_version",
    /// "invalid_cap".
    QString error;
    QString text; ///< one line for the sender
    CapAlert alert;
};

/// Reads a CAP 1.2 <alert> with Qt's stream reader. Refused: anything that is not well-formed,
/// any document type declaration (so no entity is ever declared, expanded or fetched), a
/// root that is not a CAP 1.2 alert (CAP 1.0/1.1 and ATOM feeds with their own reason), and
/// an alert without identifier, sender, sent, status or msgType. Never touches the network
/// or the file system.
CapReadResult readCapAlert(const QByteArray &xml);

} // namespace glintcaster::server
