// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_main.h"

#include "app/projector_store.h"
#include "base/app_home.h"
#include "server/http_service.h"
#include "server/server_api.h"
#include "server/server_config.h"
#include "server/server_token.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>

namespace glintcaster::server {

namespace {

void logLine(const QString &text)
{
    static std::mutex mutex;
    const QByteArray line = "glintcaster-server: " + text.toUtf8() + '\n';
    std::lock_guard lock(mutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

int g_signalFds[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[1], &c, 1);
}

/// SIGTERM and SIGINT end the event loop (through a socket, as a handler may do nothing else).
void quitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalFds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_signalFds[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

/// What --check verifies besides the configuration itself: the home and its files.
QString homeProblem()
{
    const QString home = AppHome::path();
    const QFileInfo info(home);
    if (!info.isDir() || !info.isWritable())
        return QStringLiteral("%1: the home is not a writable folder").arg(home);
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty())
        return store.problemText();
    return {};
}

} // namespace

int serverMain(int argc, char *argv[])
{
    CLI::App app{"glintcaster-server: an HTTP API and CAP 1.2 alerts for the projector fleet.\n"
                 "Exit status: 0 success, 1 failure, 2 usage."};
    app.set_version_flag("--version", std::string("glintcaster-server ") + GLINTCASTER_VERSION);
    std::vector<std::string> listen;
    std::string configFile, home, tlsCert, tlsKey;
    bool check = false, insecure = false;
    app.add_option("--listen", listen, "ADDR:PORT to serve (repeatable; default 127.0.0.1:9720)");
    app.add_option("--config", configFile, "INI configuration file");
    app.add_option("--home", home, "application home (LastPj.txt, Groups.ini, MessageData/, Activity.log)");
    app.add_option("--tls-cert", tlsCert, "PEM certificate: serve HTTPS (TLS 1.2 or later)");
    app.add_option("--tls-key", tlsKey, "PEM private key of --tls-cert");
    app.add_flag("--insecure-http", insecure, "allow plain HTTP on an address beyond loopback");
    app.add_flag("--check", check, "check the configuration and the home, then exit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        logLine(QString::fromStdString(e.what()).simplified() + QStringLiteral(" (see --help)"));
        return ExitUsage;
    }

    ServerConfig config;
    if (!configFile.empty()) {
        QString error;
        if (!loadServerConfig(QString::fromStdString(configFile), &config, &error)) {
            logLine(error);
            return ExitFailure;
        }
    }
    if (!listen.empty()) {
        config.listen.clear();
        for (const std::string &l : listen) {
            ListenAddress a;
            if (!parseListenAddress(QString::fromStdString(l), &a)) {
                logLine(QStringLiteral("--listen \"%1\" is not ADDR:PORT").arg(QString::fromStdString(l)));
                return ExitUsage;
            }
            config.listen << a;
        }
    }
    if (!home.empty())
        config.home = QString::fromStdString(home);
    if (!tlsCert.empty())
        config.tlsCert = QString::fromStdString(tlsCert);
    if (!tlsKey.empty())
        config.tlsKey = QString::fromStdString(tlsKey);
    if (insecure)
        config.insecureHttp = true;
    if (!config.home.isEmpty()) {
        const QFileInfo h(config.home);
        if (!h.isDir()) {
            logLine(QStringLiteral("%1: the home is not a folder").arg(config.home));
            return ExitFailure;
        }
        AppHome::setOverride(h.absoluteFilePath());
    }
    if (const QString problem = config.listenProblem(); !problem.isEmpty()) {
        logLine(problem);
        return ExitFailure;
    }
    if (check) {
        if (const QString problem = homeProblem(); !problem.isEmpty()) {
            logLine(problem);
            return ExitFailure;
        }
        std::printf("configuration OK: home %s, listening on %s\n", qPrintable(AppHome::path()),
                    qPrintable([&] {
                        QStringList l;
                        for (const ListenAddress &a : config.effectiveListen())
                            l << a.text();
                        return l.join(QStringLiteral(", "));
                    }()));
        return ExitOk;
    }

    bool created = false;
    ServerToken token;
    QString error;
    if (!token.loadOrCreate(AppHome::path(), &created, &error)) {
        logLine(error);
        return ExitFailure;
    }
    if (created) {
        // Shown this once; afterwards only its owner can read it from the file.
        std::printf("New API token (shown once; kept in %s, readable by its owner only):\n%s\n",
                    qPrintable(QDir(AppHome::path()).filePath(ServerToken::fileName())),
                    token.value().constData());
        std::fflush(stdout);
    }

    // Before the first connection is taken: a stop request from then on ends it cleanly.
    quitOnSignals();
    ServerApi api(config, logLine);
    HttpService http(token, HttpLimits{}, logLine);
    api.install(http);
    for (const ListenAddress &a : config.effectiveListen()) {
        if (!http.listen(a, config.tlsCert, config.tlsKey, &error)) {
            logLine(error);
            return ExitFailure;
        }
        if (!a.isLoopback() && config.tlsCert.isEmpty())
            logLine(QStringLiteral("WARNING: plain HTTP on %1, beyond loopback: the token and every "
                                   "request travel unencrypted (--insecure-http)")
                        .arg(a.text()));
        logLine(QStringLiteral("listening on %1://%2, home %3")
                    .arg(config.tlsCert.isEmpty() ? QStringLiteral("http") : QStringLiteral("https"), a.text(),
                         AppHome::path()));
    }
    const int status = QCoreApplication::exec();
    // Requests still running may wait for this thread: keep serving events while the
    // connections end.
    api.closing();
    QEventLoop loop;
    std::thread stopper([&] {
        http.stop();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    stopper.join();
    logLine(QStringLiteral("stopped"));
    return status;
}

} // namespace glintcaster::server
