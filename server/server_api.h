// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "server/http_service.h"
#include "server/server_config.h"

#include <QObject>

#include <atomic>

#include <memory>

namespace glintcaster::server {

class AlertDesk;

/// The endpoints under /v1. Lives on the main thread: what touches the alert runs there
/// (handlers hand it over and wait); reading files and the one-shot display and clear run
/// on the connection's thread.
class ServerApi : public QObject {
    Q_OBJECT
public:
    ServerApi(const ServerConfig &config, LogLine log, QObject *parent = nullptr);
    ~ServerApi() override;

    void install(HttpService &http);

    /// Runs `fn` on this object's thread and waits for its answer. While the service stops
    /// (the main thread no longer serves), answers 503 instead of waiting.
    HttpAnswer onMainThread(const std::function<HttpAnswer()> &fn);
    /// From now on onMainThread() no longer waits.
    void closing();

    HttpAnswer health(const HttpRequest &r);
    HttpAnswer projectors(const HttpRequest &r);
    HttpAnswer openApi(const HttpRequest &r);
    HttpAnswer groups(const HttpRequest &r);
    HttpAnswer alerts(const HttpRequest &r);
    HttpAnswer cap(const HttpRequest &r);

private:
    ServerConfig m_config;
    LogLine m_log;
    std::unique_ptr<AlertDesk> m_desk;
    std::atomic<bool> m_closing{false};
};

} // namespace glintcaster::server
