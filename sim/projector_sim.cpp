// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/projector_sim.h"

#include "sim/sim_server.h"
#include "sim/sim_shared.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>

namespace glintcaster {

ProjectorSim::ProjectorSim(QObject *parent) : ProjectorSim(ProjectorSimConfig{}, parent) {}

ProjectorSim::ProjectorSim(const QHostAddress &address, quint16 port, QObject *parent)
    : QObject(parent), m_shared(std::make_shared<SimShared>())
{
    m_config.address = address;
    m_config.port = port;
}

ProjectorSim::ProjectorSim(const ProjectorSimConfig &config, QObject *parent)
    : QObject(parent), m_config(config), m_shared(std::make_shared<SimShared>())
{
}

ProjectorSim::~ProjectorSim()
{
    stop();
}

bool ProjectorSim::start()
{
    if (m_thread)
        return true;
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("projector-sim %1").arg(m_config.address.toString()));
    thread->start();
    m_ownsThread = true;
    return startOn(thread);
}

bool ProjectorSim::startOn(QThread *thread)
{
    if (m_thread)
        return true;
    m_error.clear();
    m_thread = thread;
    m_server = new SimServer(this, m_config, m_shared);
    m_server->moveToThread(m_thread);

    bool ok = false;
    QString error;
    quint16 port = 0;
    QMetaObject::invokeMethod(
        m_server,
        [&] {
            ok = m_server->open(&error);
            port = m_server->config().port;
        },
        Qt::BlockingQueuedConnection);
    if (!ok) {
        stop();
        m_error = error;
        return false;
    }
    m_config.port = port; // a requested port 0 became a real one
    return true;
}

void ProjectorSim::stop()
{
    if (!m_thread)
        return;
    SimServer *server = m_server;
    m_server = nullptr;
    if (!m_ownsThread) {
        // The thread goes on serving others: the server goes on it, once closed.
        QMetaObject::invokeMethod(server, [server] {
            server->close();
            server->deleteLater();
        }, Qt::BlockingQueuedConnection);
        m_thread = nullptr;
        return;
    }
    QMetaObject::invokeMethod(server, [server] { server->close(); },
                              Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete server;
    delete m_thread;
    m_thread = nullptr;
    m_ownsThread = false;
}

bool ProjectorSim::isRunning() const
{
    return m_thread != nullptr;
}

QString ProjectorSim::errorString() const
{
    return m_error;
}

#define SIM_SET(member, value)                                                                    \
    do {                                                                                          \
        QMutexLocker lock(&m_shared->mutex);                                                      \
        m_shared->member = (value);                                                               \
    } while (0)

void ProjectorSim::setPassword(const QString &password) { SIM_SET(password, password); }
void ProjectorSim::setGreetingMode(SimGreeting mode) { SIM_SET(greetingMode, mode); }
void ProjectorSim::setGreeting(const QByteArray &greeting) { SIM_SET(fixedGreeting, greeting); }
void ProjectorSim::setGreetingDelay(int ms) { SIM_SET(greetingDelayMs, ms); }
void ProjectorSim::setDiscoveryEnabled(bool on) { SIM_SET(discoveryEnabled, on); }
void ProjectorSim::setReportedAddress(const QHostAddress &a) { SIM_SET(reportedAddress, a); }
void ProjectorSim::setDiscoveryShape(SimDiscoveryShape shape) { SIM_SET(shape, shape); }
void ProjectorSim::setFirmwareLevel(int level) { SIM_SET(device.firmwareLevel, level); }
void ProjectorSim::setCapabilityFlags(int flags) { SIM_SET(device.capabilityFlags, flags); }
void ProjectorSim::setStartupSetting(int value) { SIM_SET(device.startupSetting, value); }
void ProjectorSim::setMessageState(int value) { SIM_SET(device.messageState, value); }
void ProjectorSim::setAlarmState(int value) { SIM_SET(device.alarmState, value); }
void ProjectorSim::setStatusCharacter(char c) { SIM_SET(device.statusCharacter, c); }

#undef SIM_SET

void ProjectorSim::setFault(SimFault fault)
{
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->fault = fault;
    }
    if (!m_thread)
        return;
    // Listening changes must be in place when this returns, so a test can connect next.
    if (QThread::currentThread() == m_thread)
        m_server->applyFault();
    else
        QMetaObject::invokeMethod(m_server, [this] { m_server->applyFault(); },
                                  Qt::BlockingQueuedConnection);
}

void ProjectorSim::setLateAnswerDelay(int ms)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->lateAnswerMs = ms;
}

SimFault ProjectorSim::fault() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->fault;
}

void ProjectorSim::setRawAnswer(const QByteArray &answer, const QByteArray &commandPrefix)
{
    QMutexLocker lock(&m_shared->mutex);
    for (auto &entry : m_shared->rawAnswers) {
        if (entry.first == commandPrefix) {
            entry.second = answer;
            return;
        }
    }
    // Longer prefixes first, so a specific override wins over a catch-all.
    qsizetype at = 0;
    while (at < m_shared->rawAnswers.size()
           && m_shared->rawAnswers.at(at).first.size() >= commandPrefix.size())
        ++at;
    m_shared->rawAnswers.insert(at, {commandPrefix, answer});
}

void ProjectorSim::setAnswerDelay(int ms, const QByteArray &commandPrefix)
{
    QMutexLocker lock(&m_shared->mutex);
    if (commandPrefix.isEmpty()) {
        m_shared->answerDelayMs = ms;
        return;
    }
    auto &delays = m_shared->answerDelays;
    delays.removeIf([&](const auto &entry) { return entry.first == commandPrefix; });
    qsizetype at = 0;
    while (at < delays.size() && delays.at(at).first.size() >= commandPrefix.size())
        ++at;
    delays.insert(at, {commandPrefix, ms});
}

void ProjectorSim::queueRawAnswer(const QByteArray &answer)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->rawQueue.append(answer);
}

void ProjectorSim::clearRawAnswers()
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->rawAnswers.clear();
    m_shared->rawQueue.clear();
}

void ProjectorSim::setStatScript(const QByteArray &script)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->device.statScript = script;
    m_shared->device.statCursor = 0;
}

void ProjectorSim::setSlot(int slot, const QByteArray &header, const QByteArray &body)
{
    if (slot < 0 || slot >= SimDevice::SlotCount)
        return;
    QMutexLocker lock(&m_shared->mutex);
    SimSlot &s = m_shared->device.memory[slot];
    s.used = true;
    s.header = header;
    s.body = body;
}

void ProjectorSim::updateDevice(const std::function<void(SimDevice &)> &change)
{
    QMutexLocker lock(&m_shared->mutex);
    change(m_shared->device);
}

SimDevice ProjectorSim::device() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->device;
}

SimSlot ProjectorSim::slot(int slot) const
{
    if (slot < 0 || slot >= SimDevice::SlotCount)
        return {};
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->device.memory[slot];
}

void ProjectorSim::setIdentity(const QString &name, const QByteArray &mac)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->name = name;
    m_shared->mac = mac;
}

void ProjectorSim::setExtraRecord(const QString &name, const QByteArray &mac,
                                  const QHostAddress &address)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->extraName = name;
    m_shared->extraMac = mac;
    m_shared->extraAddress = address;
}

QList<QByteArray> ProjectorSim::searchesReceived() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->searches;
}

bool ProjectorSim::waitForSearches(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_shared->mutex);
    while (m_shared->searches.size() < count) {
        if (!m_shared->changed.wait(&m_shared->mutex, deadline))
            return m_shared->searches.size() >= count;
    }
    return true;
}

QList<SimRequest> ProjectorSim::requests() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->log;
}

int ProjectorSim::requestCount() const
{
    QMutexLocker lock(&m_shared->mutex);
    return int(m_shared->log.size());
}

void ProjectorSim::clearRequests()
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->log.clear();
    m_shared->searches.clear();
}

bool ProjectorSim::waitForRequests(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_shared->mutex);
    while (m_shared->log.size() < count) {
        if (!m_shared->changed.wait(&m_shared->mutex, deadline))
            return m_shared->log.size() >= count;
    }
    return true;
}

int ProjectorSim::connectionCount() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->connections;
}

} // namespace glintcaster
