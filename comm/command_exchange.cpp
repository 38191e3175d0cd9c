// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/command_exchange.h"

#include "comm/auth_digest.h"
#include "comm/status_line.h"

namespace glintcaster {

namespace {
// Bytes of a long greeting taken off the socket so they are not read as the answer.
constexpr qsizetype kGreetingDrainLimit = 64 * 1024;
} // namespace

CommandExchange::CommandExchange(ProjectorEndpoint endpoint, ExchangeTimings timings,
                                 int receiveBufferSize)
    : m_endpoint(std::move(endpoint)), m_timings(timings),
      m_bufferSize(qMax(receiveBufferSize, 16))
{
}

void CommandExchange::clearAnswer()
{
    // Made at the first read, not before: thousands of exchanges of a bulk send spend
    // their greeting waits at the same time and need no buffer for them.
    if (m_answer.isEmpty())
        m_answer = QByteArray(m_bufferSize, '\0');
    else
        m_answer.fill('\0');
    m_received = 0;
}

CommandExchange::Waited CommandExchange::waitUntil(bool writable, Clock::time_point deadline,
                                                   const CancelHook &hook)
{
    const auto slice = std::chrono::duration_cast<std::chrono::microseconds>(
        qMax(m_timings.cancelCheck, std::chrono::milliseconds(1)));
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        const auto limit = qMax(std::chrono::microseconds(0), hook ? qMin(left, slice) : left);
        const TcpSocket::Wait w =
            writable ? m_socket.waitWritable(limit) : m_socket.waitReadable(limit);
        if (w == TcpSocket::Wait::Ready)
            return Waited::Ready;
        if (w == TcpSocket::Wait::Failed)
            return Waited::Failed;
        if (hook && hook()) {
            close();
            return Waited::Cancelled;
        }
        if (Clock::now() >= deadline)
            return Waited::TimedOut;
    }
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
    const auto deadline = Clock::now() + limit;
    switch (m_socket.beginConnect(m_endpoint.address, m_endpoint.port)) {
    case TcpSocket::Wait::Ready:
        return 0;
    case TcpSocket::Wait::Failed:
        close();
        return ConnectFailed;
    case TcpSocket::Wait::TimedOut:
        break;
    }
    switch (waitUntil(true, deadline, m_cancelHook)) {
    case Waited::Ready:
        if (m_socket.finishConnect())
            return 0;
        break;
    case Waited::Cancelled:
        return WaitCancelled;
    case Waited::TimedOut:
    case Waited::Failed:
        break;
    }
    close();
    return ConnectFailed;
}

int CommandExchange::greet()
{
    m_digest.clear();
    switch (waitUntil(false, Clock::now() + m_timings.greetingWait, m_cancelHook)) {
    case Waited::TimedOut:
        return 0; // no password protection
    case Waited::Cancelled:
        return WaitCancelled;
    case Waited::Failed:
        close();
        return GreetingWaitFailed;
    case Waited::Ready:
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
    m_answerDeadline = Clock::now() + m_timings.answerWait();
    switch (waitUntil(false, m_answerDeadline, cancelHook ? cancelHook : m_cancelHook)) {
    case Waited::Ready:
        return Await::Ready;
    case Waited::Cancelled:
        return Await::Cancelled;
    case Waited::TimedOut:
    case Waited::Failed:
        break;
    }
    close();
    return Await::NoAnswer;
}

int CommandExchange::request(QByteArrayView commandText, QByteArrayView body)
{
    if (const int code = send(commandText, body))
        return code;
    switch (awaitAnswer()) {
    case Await::Ready:
        return readAnswer();
    case Await::Cancelled:
        return WaitCancelled;
    case Await::NoAnswer:
        break;
    }
    return NoAnswer;
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
    // The rest of the answer wait, but at least one former readiness period: an answer
    // that started at the end of the wait still gets its second segment.
    const auto deadline = qMax(m_answerDeadline, Clock::now() + m_timings.answerPeriod());
    while (!answerComplete(m_lastCommand, QByteArrayView(m_answer.constData(), m_received))) {
        if (m_received >= m_answer.size())
            return 0; // a full buffer is all there is to read; the caller judges it
        switch (waitUntil(false, deadline, m_cancelHook)) {
        case Waited::Ready:
            break;
        case Waited::Cancelled:
            return WaitCancelled;
        case Waited::TimedOut:
        case Waited::Failed:
            close();
            return UnexpectedAnswer;
        }
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
    if (m_answer.isEmpty())
        clearAnswer();
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
