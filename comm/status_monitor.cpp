// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/status_monitor.h"

#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "comm/status_line.h"

#include <algorithm>

namespace glintcaster {

namespace {

constexpr quint16 kMessageStateCode = 0x3534;
constexpr quint16 kAlarmStateCode = 0x3535;

void runLoop(ProjectorEndpoint endpoint, QObject *receiver, ExchangeTimings timings,
             std::shared_ptr<std::atomic<bool>> stop, std::shared_ptr<std::atomic<bool>> done,
             quint64 tag)
{
    while (!*stop) {
        StatusMonitor::queryOnce(endpoint, kMessageStateCode, receiver, timings, *stop, tag);
        if (*stop)
            break;
        StatusMonitor::queryOnce(endpoint, kAlarmStateCode, receiver, timings, *stop, tag);
        if (*stop)
            break;
        for (int i = 0; i < timings.monitorSleeps && !*stop; ++i)
            std::this_thread::sleep_for(timings.monitorSleep);
    }
    *done = true;
}

} // namespace

void StatusMonitor::queryOnce(const ProjectorEndpoint &endpoint, quint16 code, QObject *receiver,
                              const ExchangeTimings &timings, const std::atomic<bool> &stop,
                              quint64 tag)
{
    using namespace JobMessage;
    CommandExchange exchange(endpoint, timings, kSmallAnswerBuffer);
    // Stopping the monitor ends any of its waits at once.
    exchange.setCancelHook([&stop] { return stop.load(); });
    int failure = exchange.open(ConnectMode::TimedConnect);
    if (failure != 0) {
        postWorkerMessage(receiver, MonitorFailed, 0, tag);
        return;
    }
    failure = exchange.greet();
    if (failure == 0)
        failure = exchange.send(controlCommandText(code, 2, 0));
    if (failure == 0 &&
        exchange.awaitAnswer() != CommandExchange::Await::Ready)
        failure = NoAnswer;
    if (failure == 0)
        failure = exchange.readAnswer();
    if (failure != 0) {
        exchange.close();
        postWorkerMessage(receiver, MonitorFailed, failure, tag);
        return;
    }
    const QByteArray &answer = exchange.answer();
    int message = MonitorFailed;
    qintptr parameter = 0;
    if (startsWithStatusLine(answer, "CTRL 0\r\n")) {
        message = code == kMessageStateCode ? MonitorValueA : MonitorValueB;
        parameter = parseDecimal(answer, 14, 4);
    } else if (startsWithStatusLine(answer, "CTRL 1\r\n")) {
        message = MonitorAnswer1;
    } else if (startsWithStatusLine(answer, "CTRL 2\r\n")) {
        message = MonitorAnswer2;
    } else if (startsWithStatusLine(answer, "CTRL 3\r\n")) {
        message = MonitorAnswer3;
    } else if (startsWithStatusLine(answer, "CTRL 8\r\n")) {
        message = MonitorAnswer8;
    } else if (startsWithStatusLine(answer, "CTRL 9\r\n")) {
        message = MonitorAnswer9;
    }
    exchange.close();
    postWorkerMessage(receiver, message, parameter, tag);
}

StatusMonitor::~StatusMonitor()
{
    for (Loop &loop : m_loops)
        *loop.stop = true;
    for (Loop &loop : m_loops)
        loop.thread.join();
}

quint64 StatusMonitor::start(const ProjectorEndpoint &endpoint, QObject *receiver,
                             ExchangeTimings timings)
{
    stop();
    reapFinished();
    Loop loop;
    loop.stop = std::make_shared<std::atomic<bool>>(false);
    loop.done = std::make_shared<std::atomic<bool>>(false);
    const quint64 tag = ++m_serial;
    loop.thread = std::thread(runLoop, endpoint, receiver, timings, loop.stop, loop.done, tag);
    m_loops.push_back(std::move(loop));
    return tag;
}

void StatusMonitor::stop()
{
    if (!m_loops.empty())
        *m_loops.back().stop = true;
}

bool StatusMonitor::isRunning() const
{
    return !m_loops.empty() && !*m_loops.back().stop;
}

int StatusMonitor::activeLoops() const
{
    return int(std::count_if(m_loops.begin(), m_loops.end(),
                             [](const Loop &l) { return !*l.done; }));
}

void StatusMonitor::reapFinished()
{
    for (auto it = m_loops.begin(); it != m_loops.end();) {
        if (*it->done) {
            it->thread.join();
            it = m_loops.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace glintcaster
