// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/http_service.h"
#include "server/quoted_text.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <regex>
#include <thread>

namespace glintcaster::server {

HttpAnswer errorAnswer(int status, const QString &code, const QString &text)
{
    return jsonAnswer(status, QJsonObject{{QStringLiteral("error"), code}, {QStringLiteral("text"), text}});
}

HttpAnswer jsonAnswer(int status, const QJsonObject &object)
{
    return {status, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n', "application/json"};
}

namespace {

/// At most `limit` connections are served at once, by as many threads. enqueue() is
/// called by the accepting thread right after accept(); while every slot is taken it
/// waits, so further clients stay in the kernel's listen queue, unread, until one ends.
class BoundedTaskQueue : public httplib::TaskQueue {
public:
    explicit BoundedTaskQueue(int limit) : m_limit(limit)
    {
        // Every thread up front: the accepting thread never waits for one to start, so
        // clients do not pile up in the short listen queue.
        for (int i = 0; i < m_limit; ++i)
            m_threads.emplace_back([this] { work(); });
    }
    ~BoundedTaskQueue() override { shutdown(); }

    void enqueue(std::function<void()> fn) override
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_busy < m_limit || m_stopping; });
        ++m_busy;
        m_tasks.push_back(std::move(fn));
        m_cv.notify_all();
    }

    void shutdown() override
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping && m_threads.empty())
                return;
            m_stopping = true;
        }
        m_cv.notify_all();
        for (std::thread &t : m_threads)
            t.join();
        m_threads.clear();
    }

private:
    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [&] { return !m_tasks.empty() || m_stopping; });
            if (m_tasks.empty())
                return; // stopping, nothing left
            std::function<void()> fn = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            fn();
            lock.lock();
            --m_busy;
            m_cv.notify_all();
        }
    }

    const int m_limit;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::thread> m_threads;
    int m_busy = 0; ///< connections queued or being served
    bool m_stopping = false;
};

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

void setAnswer(httplib::Response &res, const HttpAnswer &a)
{
    res.status = a.status;
    res.set_content(a.body.toStdString(), a.contentType.toStdString());
}

} // namespace

struct HttpService::Private {
    struct Route {
        QString method;
        std::regex pattern;
        HttpHandler handler;
    };
    ServerToken token;
    LogLine log;
    std::vector<Route> routes;
    std::vector<std::unique_ptr<httplib::Server>> servers;
    std::vector<std::thread> threads;
};

/// Finds the handler of the request's method and path and, with `run`, runs it. An unknown
/// path is 404 and a known path with another method 405, answered either way. True when
/// a handler was found.
bool dispatchRoute(const HttpService::Private &p, const httplib::Request &req, httplib::Response &res, bool run)
{
    HttpRequest r;
    r.method = qs(req.method);
    r.path = qs(req.path);
    for (const auto &[k, v] : req.params)
        r.query.insert(qs(k), qs(v));
    r.body = QByteArray::fromStdString(req.body);
    r.contentType = qs(req.get_header_value("Content-Type")).section(u';', 0, 0).trimmed().toLower();
    r.remote = QStringLiteral("%1:%2").arg(qs(req.remote_addr)).arg(req.remote_port);
    bool pathKnown = false;
    for (const HttpService::Private::Route &route : p.routes) {
        std::smatch m;
        if (!std::regex_match(req.path, m, route.pattern))
            continue;
        pathKnown = true;
        if (route.method != r.method)
            continue;
        for (size_t i = 1; i < m.size(); ++i)
            r.pathMatches << qs(m[i].str());
        if (run)
            setAnswer(res, route.handler(r));
        return true;
    }
    if (pathKnown)
        setAnswer(res, errorAnswer(405, QStringLiteral("method_not_allowed"),
                                   QStringLiteral("%1 is not taken at %2").arg(quotedText(r.method), quotedText(r.path))));
    else
        setAnswer(res, errorAnswer(404, QStringLiteral("not_found"), QStringLiteral("no such endpoint: %1").arg(quotedText(r.path))));
    return false;
}

HttpService::HttpService(ServerToken token, HttpLimits limits, LogLine log)
    : d(std::make_unique<Private>()), m_limits(limits)
{
    d->token = std::move(token);
    d->log = std::move(log);
}

HttpService::~HttpService()
{
    stop();
}

void HttpService::route(const QString &method, const QString &pattern, HttpHandler handler)
{
    d->routes.push_back({method, std::regex(pattern.toStdString()), std::move(handler)});
}

bool HttpService::listen(const ListenAddress &address, const QString &tlsCert, const QString &tlsKey,
                         QString *error)
{
    std::unique_ptr<httplib::Server> server;
    if (!tlsCert.isEmpty()) {
        auto ssl = std::make_unique<httplib::SSLServer>(tlsCert.toLocal8Bit().constData(),
                                                         tlsKey.toLocal8Bit().constData());
        if (!ssl->is_valid()) {
            *error = QStringLiteral("%1, %2: not a usable certificate and private key (PEM)").arg(tlsCert, tlsKey);
            return false;
        }
        SSL_CTX_set_min_proto_version(ssl->ssl_context(), TLS1_2_VERSION);
        server = std::move(ssl);
    } else {
        server = std::make_unique<httplib::Server>();
    }
    httplib::Server &s = *server;
    const int maxConnections = m_limits.maxConnections;
    s.new_task_queue = [maxConnections] { return new BoundedTaskQueue(maxConnections); };
    s.set_read_timeout(m_limits.readTimeoutSec, 0);
    s.set_write_timeout(m_limits.writeTimeoutSec, 0);
    s.set_keep_alive_timeout(m_limits.idleTimeoutSec);
    s.set_keep_alive_max_count(100);
    // An answer goes out as headers and body in two writes: without this, the body waits
    // for the client's delayed acknowledgement of the headers (some 40 ms).
    s.set_tcp_nodelay(true);
    // The library's default also sets SO_REUSEPORT, which lets a second process bind the
    // same address and take part of the requests: a second instance must fail instead.
    s.set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char *>(&yes), sizeof(yes));
    });
    // The library's own check reads (and drops) an over-long body before answering; the
    // pre-routing check below answers first. This one stays as a backstop.
    s.set_payload_max_length(size_t(m_limits.maxBody));

    Private *p = d.get();
    const qint64 maxBody = m_limits.maxBody;
    s.set_pre_routing_handler([p, maxBody](const httplib::Request &req, httplib::Response &res) {
        auto refuse = [&](const HttpAnswer &a) {
            setAnswer(res, a);
            // The unread body must not be taken for the next request.
            res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        };
        const QString who = QStringLiteral("%1:%2").arg(qs(req.remote_addr)).arg(req.remote_port);
        const QString line = QStringLiteral("%1 %2").arg(quotedText(qs(req.method)), quotedText(qs(req.path)));
        const QByteArray authorization = QByteArray::fromStdString(req.get_header_value("Authorization"));
        if (!p->token.accepts(authorization)) {
            p->log(QStringLiteral("401 %1 %2: %3").arg(who, line,
                   authorization.isEmpty() ? QStringLiteral("no token") : QStringLiteral("wrong token")));
            setAnswer(res, errorAnswer(401, QStringLiteral("unauthorized"),
                                       QStringLiteral("a valid \"Authorization: Bearer TOKEN\" header is required")));
            res.set_header("WWW-Authenticate", "Bearer");
            if (req.has_header("Content-Length") || req.has_header("Transfer-Encoding"))
                res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.has_header("Transfer-Encoding"))
            return refuse(errorAnswer(411, QStringLiteral("length_required"),
                                      QStringLiteral("send the body with a Content-Length, not in chunks")));
        if (req.has_header("Content-Length")) {
            bool ok = false;
            const qint64 length = qs(req.get_header_value("Content-Length")).toLongLong(&ok);
            if (!ok || length < 0)
                return refuse(errorAnswer(400, QStringLiteral("bad_request"), QStringLiteral("Content-Length is no number")));
            if (length > maxBody)
                return refuse(errorAnswer(413, QStringLiteral("body_too_large"),
                                          QStringLiteral("the body is %1 bytes; at most %2 are taken").arg(length).arg(maxBody)));
            if (length > 0) {
                // A body is read only for an endpoint that exists.
                if (!dispatchRoute(*p, req, res, false)) {
                    res.set_header("Connection", "close");
                    return httplib::Server::HandlerResponse::Handled;
                }
                return httplib::Server::HandlerResponse::Unhandled;
            }
        }
        // Without a body the request is answered here: the library would refuse a POST
        // that has none.
        dispatchRoute(*p, req, res, true);
        return httplib::Server::HandlerResponse::Handled;
    });

    auto dispatch = [p](const httplib::Request &req, httplib::Response &res) { dispatchRoute(*p, req, res, true); };
    // Every path reaches the one dispatcher, so a wrong method is told apart from a wrong path.
    for (const char *method : {"GET", "POST", "PUT", "DELETE", "PATCH"}) {
        const std::string m = method;
        if (m == "GET")
            s.Get(".*", dispatch);
        else if (m == "POST")
            s.Post(".*", dispatch);
        else if (m == "PUT")
            s.Put(".*", dispatch);
        else if (m == "DELETE")
            s.Delete(".*", dispatch);
        else
            s.Patch(".*", dispatch);
    }
    s.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (!res.body.empty())
            return;
        const QString code = res.status == 413 ? QStringLiteral("body_too_large")
                           : res.status == 400 ? QStringLiteral("bad_request")
                                               : QStringLiteral("http_%1").arg(res.status);
        const QString text = res.status == 413 ? QStringLiteral("the body is too large")
                           : res.status == 400 ? QStringLiteral("the request could not be read (malformed, or a POST without Content-Length: send an empty body)")
                                               : QStringLiteral("HTTP status %1").arg(res.status);
        setAnswer(res, errorAnswer(res.status, code, text));
    });
    s.set_exception_handler([p](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
        p->log(QStringLiteral("a request failed inside the service"));
        setAnswer(res, errorAnswer(500, QStringLiteral("internal"), QStringLiteral("the request failed inside the service")));
    });

    const std::string host = address.address.toString().toStdString();
    if (!s.bind_to_port(host, address.port)) {
        *error = QStringLiteral("%1: cannot listen there (in use, or not an address of this machine)").arg(address.text());
        return false;
    }
    httplib::Server *raw = server.get();
    d->servers.push_back(std::move(server));
    d->threads.emplace_back([raw] { raw->listen_after_bind(); });
    return true;
}

void HttpService::stop()
{
    for (auto &s : d->servers)
        s->stop();
    for (std::thread &t : d->threads)
        t.join();
    d->threads.clear();
    d->servers.clear();
}

} // namespace glintcaster::server
