// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_api.h"

#include "app/projector_store.h"
#include "base/app_home.h"
#include "server/activity_reader.h"
#include "server/fleet_actions.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include <future>

namespace glintcaster::server {

ServerApi::ServerApi(const ServerConfig &config, LogLine log, QObject *parent)
    : QObject(parent), m_config(config), m_log(std::move(log))
{
}

ServerApi::~ServerApi() = default;

void ServerApi::closing()
{
    m_closing = true;
}

HttpAnswer ServerApi::onMainThread(const std::function<HttpAnswer()> &fn)
{
    if (QThread::currentThread() == thread())
        return fn();
    auto promise = std::make_shared<std::promise<HttpAnswer>>();
    std::future<HttpAnswer> future = promise->get_future();
    QMetaObject::invokeMethod(this, [promise, fn] { promise->set_value(fn()); }, Qt::QueuedConnection);
    // The main thread may be stopping and never run it: look again now and then.
    while (future.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
        if (m_closing)
            return errorAnswer(503, QStringLiteral("stopping"), QStringLiteral("the service is stopping"));
    }
    return future.get();
}

void ServerApi::install(HttpService &http)
{
    using namespace std::placeholders;
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/health"), [this](const HttpRequest &r) { return health(r); });
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/projectors"), [this](const HttpRequest &r) { return projectors(r); });
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/openapi.json"), [this](const HttpRequest &r) { return openApi(r); });
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/display"), displayEndpoint);
    http.route(QStringLiteral("POST"), QStringLiteral("/v1/clear"), clearEndpoint);
    http.route(QStringLiteral("GET"), QStringLiteral("/v1/activity"), activityEndpoint);
}

HttpAnswer ServerApi::health(const HttpRequest &)
{
    return jsonAnswer(200, {{QStringLiteral("status"), QStringLiteral("ok")},
                            {QStringLiteral("version"), QStringLiteral(GLINTCASTER_VERSION)}});
}

HttpAnswer ServerApi::projectors(const HttpRequest &)
{
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty())
        return errorAnswer(503, QStringLiteral("store_unreadable"), store.problemText());
    QJsonArray list;
    for (int i = 0; i < store.projectors().size(); ++i) {
        if (store.isPlaceholder(i))
            continue;
        const ProjectorEntry &e = store.projectors().at(i);
        // The password never leaves the home; whether there is one is all a client learns.
        list.append(QJsonObject{{QStringLiteral("name"), e.ProjectorName},
                                {QStringLiteral("address"), ipToText(e.IP)},
                                {QStringLiteral("mac"), e.MAC},
                                {QStringLiteral("authentication"), e.Auth != 0}});
    }
    return jsonAnswer(200, {{QStringLiteral("projectors"), list}});
}

HttpAnswer ServerApi::openApi(const HttpRequest &)
{
    QFile f(QStringLiteral(":/glintcaster/server/openapi.json"));
    if (!f.open(QIODevice::ReadOnly))
        return errorAnswer(500, QStringLiteral("internal"), QStringLiteral("the API description is missing from this build"));
    return {200, f.readAll(), "application/json"};
}

} // namespace glintcaster::server
