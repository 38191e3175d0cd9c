// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/command_exchange.h"

#include "comm/auth_digest.h"
#include "comm/status_line.h"

#include <thread>

namespace glintcaster {

namespace {
// Bytes of a long greeting taken off the socket so they are not read as the answer.
constexpr qsizetype kGreetingDrainLimit = 64 * 1024;
} // namespace

CommandExchange::CommandExchange(ProjectorEndpoint endpoint, ExchangeTimings timings,
                                 int receiveBufferSize)
    : m_endpoint(std::move(endpoint)), m_timings(timings),
      m_answer(qMax(receiveBufferSize, 16), '\0')
{
}

void CommandExchange::clearAnswer()
{
    m_answer.fill('\0');
    m_received = 0;
}

int CommandExchange::open(ConnectMode mode)
{
    // Address 0 is what an empty selection would give; Linux would connect it to this
    // machine. It is never a projector.
    if (m_endpoint.address == 0)
        return ConnectFailed;
    if (!m_socket.create())
        return SocketFailed;
    const auto limit = mode == ConnectMode::TimedConnect ? m_timings.timedConnectLimit
                                                         : m_timings.blockingConnectLimit;
    if (!m_socket.connectTo(m_endpoint.address, m_endpoint.port, limit)) {
        close();
        return ConnectFailed;
    }
    return 0;
}

int CommandExchange::greet()
{
    m_digest.clear();
    switch (m_socket.waitReadable(m_timings.greetingWait)) {
    case TcpSocket::Wait::TimedOut:
        return 0; // no password protection
    case TcpSocket::Wait::Failed:
        close();
        return GreetingWaitFailed;
    case TcpSocket::Wait::Ready:
        break;
    }
    clearAnswer();
    const qint64 n = m_socket.receive(m_answer.data(), m_answer.size());
    if (n <= 0) {
        close();
        return GreetingReadFailed;
    }
    m_received = n;
    m_digest = authDigest(QByteArrayView(m_answer.constData(), n), m_endpoint.password);
    // Whatever else of the greeting is already here would otherwise be taken for the answer.
    QByteArray scratch(1024, '\0');
    qsizetype drained = 0;
    while (drained < kGreetingDrainLimit &&
           m_socket.waitReadable(std::chrono::microseconds(0)) == TcpSocket::Wait::Ready) {
        const qint64 more = m_socket.receive(scratch.data(), scratch.size());
        if (more <= 0)
            break; // a closed or broken connection shows up at the send or the answer read
        drained += more;
    }
    clearAnswer();
    return 0;
}

int CommandExchange::send(QByteArrayView commandText, QByteArrayView body)
{
    QByteArray request;
    request.reserve(m_digest.size() + commandText.size() + body.size());
    request.append(m_digest);
    request.append(commandText);
    request.append(body);
    m_lastRequest = request;
    m_lastCommand = commandText.toByteArray();
    // One call for the whole request; a short send is not retried.
    if (m_socket.send(request.constData(), request.size(), m_timings.sendLimit) < 0) {
        close();
        return SendFailed;
    }
    return 0;
}

CommandExchange::Await CommandExchange::awaitAnswer(const CancelHook &cancelHook)
{
    for (int check = 1;; ++check) {
        const TcpSocket::Wait w = m_socket.waitReadable(m_timings.answerCheck);
        m_checksUsed = check;
        if (w == TcpSocket::Wait::Ready)
            return Await::Ready;
        if (check >= m_timings.answerChecks || !m_socket.isOpen()) {
            close();
            return Await::NoAnswer;
        }
        std::this_thread::sleep_for(m_timings.answerSleep);
        if (cancelHook && cancelHook()) {
            close();
            return Await::Cancelled;
        }
    }
}

int CommandExchange::readAnswer()
{
    clearAnswer();
    const qint64 n = m_socket.receive(m_answer.data(), m_answer.size());
    if (n <= 0) {
        close();
        return AnswerReadFailed;
    }
    m_received = n;
    // The rest of the answer wait, but at least one readiness period: an answer that
    // started in the last check still gets its second segment.
    const auto period = m_timings.answerCheck + m_timings.answerSleep;
    const int periods = qMax(1, m_timings.answerChecks - m_checksUsed);
    int waited = 0;
    while (!answerComplete(m_lastCommand, QByteArrayView(m_answer.constData(), m_received))) {
        if (m_received >= m_answer.size())
            return 0; // a full buffer is all there is to read; the caller judges it
        if (waited >= periods) {
            close();
            return UnexpectedAnswer;
        }
        ++waited;
        if (m_socket.waitReadable(period) != TcpSocket::Wait::Ready)
            continue;
        const qint64 more = m_socket.receive(m_answer.data() + m_received, m_answer.size() - m_received);
        if (more <= 0) {
            close(); // closed or broken half-way through the answer
            return UnexpectedAnswer;
        }
        m_received += more;
    }
    return 0;
}

int CommandExchange::readMore(qsizetype wanted, const CancelHook &cancelHook, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const qsizetype room = qMin<qsizetype>(wanted, m_answer.size() - m_received);
    if (room <= 0)
        return 0;
    switch (awaitAnswer(cancelHook)) {
    case Await::Ready:
        break;
    case Await::NoAnswer:
        return NoAnswer;
    case Await::Cancelled:
        if (cancelled)
            *cancelled = true;
        return 0;
    }
    const qint64 n = m_socket.receive(m_answer.data() + m_received, room);
    if (n < 0) {
        close();
        return BodyReadFailed;
    }
    if (n == 0) {
        close();
        return BodyCut;
    }
    m_received += n;
    return 0;
}

void CommandExchange::close() { m_socket.close(); }

} // namespace glintcaster
