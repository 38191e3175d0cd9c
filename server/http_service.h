// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "server/server_config.h"
#include "server/server_token.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace glintcaster::server {

/// The limits every connection is held to. They are enforced before a body is read: the
/// size from Content-Length, a request without one refused, the token checked first.
struct HttpLimits {
    qint64 maxBody = 64 * 1024;
    int maxConnections = 64;  ///< more wait, unaccepted, in the listen queue
    int readTimeoutSec = 5;   ///< a request (headers or body) quiet this long is dropped
    int idleTimeoutSec = 5;   ///< a kept-alive connection without a next request is closed
    int writeTimeoutSec = 5;
};

/// What a handler is given: the request line's parts, the token already checked.
struct HttpRequest {
    QString method;
    QString path;
    QMap<QString, QString> query;
    QStringList pathMatches; ///< the route pattern's captures
    QByteArray body;
    QString contentType; ///< without parameters, lower case
    QString remote;      ///< "ADDR:PORT" of the client
};

struct HttpAnswer {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
};

/// {"error": CODE, "text": TEXT} with `status`.
HttpAnswer errorAnswer(int status, const QString &code, const QString &text);
/// A JSON document of `object` or `array` (compact).
HttpAnswer jsonAnswer(int status, const class QJsonObject &object);

using HttpHandler = std::function<HttpAnswer(const HttpRequest &)>;
/// One line for the operator's log (standard error / the journal).
using LogLine = std::function<void(const QString &)>;

/// The HTTP side of the service on cpp-httplib: one listening thread per address, a bounded
/// pool of connection threads shared by all of them, the bearer token checked and the
/// size limit applied before routing, every error a JSON object. Handlers run on the
/// connection threads.
class HttpService {
public:
    HttpService(ServerToken token, HttpLimits limits, LogLine log);
    ~HttpService();

    /// `pattern` is a regular expression over the path ("/v1/alerts/([0-9a-f-]+)").
    void route(const QString &method, const QString &pattern, HttpHandler handler);

    /// Binds `address` (with TLS when `tlsCert` is given) and starts serving it. False with
    /// the reason when the address cannot be bound or the TLS files are refused.
    bool listen(const ListenAddress &address, const QString &tlsCert, const QString &tlsKey,
                QString *error);
    /// Stops accepting, lets running requests end (bounded by the timeouts) and joins.
    void stop();

    const HttpLimits &limits() const { return m_limits; }

    struct Private; ///< the library's servers and the routes

private:
    std::unique_ptr<Private> d;
    HttpLimits m_limits;
};

} // namespace glintcaster::server
