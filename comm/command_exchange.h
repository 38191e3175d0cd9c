// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/exchange_timings.h"
#include "comm/projector_endpoint.h"
#include "comm/tcp_socket.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

namespace glintcaster {

/// Transport failure codes; they share the number range of the job result codes.
enum TransportCode : int {
    SocketFailed = 11,
    ConnectFailed = 12,
    GreetingReadFailed = 14,
    GreetingWaitFailed = 15,
    SendFailed = 16,
    NoAnswer = 17,
    AnswerReadFailed = 18,
    UnexpectedAnswer = 19,
    BodyReadFailed = 21,
    BodyCut = 22,
    /// The cancel hook ended a wait; the socket is closed. Never shown: workers end the
    /// job as cancelled instead.
    WaitCancelled = 30,
};

enum class ConnectMode { BlockingConnect, TimedConnect };

/// Asked at least every ExchangeTimings::cancelCheck during every wait; true ends the wait
/// as cancelled and closes the connection.
using CancelHook = std::function<bool()>;

/// Receive buffer sizes, per command.
inline constexpr int kSmallAnswerBuffer = 1024;  // upload, control, status monitor
inline constexpr int kTextAnswerBuffer = 4500;   // get text
inline constexpr int kInfoAnswerBuffer = 3966;   // info, status, cancel, stored-message list

/// `CommandExchange`: one short conversation with a projector on a worker thread: open,
/// greet (digest), send one request, wait for and read the answer, close. Every step returns
/// 0 or a TransportCode and closes the socket itself on failure; the destructor closes too.
/// Every wait ends the moment the socket is ready or closed, within the bound its timing
/// gives, and looks at the cancel hook (setCancelHook) every cancelCheck on the way.
/// Blocking; never call it on the user-interface thread.
class CommandExchange {
public:
    enum class Await { Ready, NoAnswer, Cancelled };

    CommandExchange(ProjectorEndpoint endpoint, ExchangeTimings timings,
                    int receiveBufferSize = kSmallAnswerBuffer);

    /// The hook every following wait looks at; an empty hook waits out every bound.
    void setCancelHook(CancelHook hook) { m_cancelHook = std::move(hook); }

    /// `Open`: 0, SocketFailed, ConnectFailed or WaitCancelled.
    int open(ConnectMode mode);
    /// `Greet`: waits for a greeting and, if one came, prepares the digest that will lead
    /// every request. 0, GreetingReadFailed, GreetingWaitFailed or WaitCancelled.
    int greet();
    /// `Send`: digest (if any) + command text + body, in one send call. 0 or SendFailed.
    int send(QByteArrayView commandText, QByteArrayView body = {});
    /// `AwaitAnswer`: waits up to ExchangeTimings::answerWait() for the first byte of the
    /// answer. Ready, NoAnswer (socket closed) or Cancelled (socket closed). `cancelHook`,
    /// when given, replaces the one set for this wait.
    Await awaitAnswer(const CancelHook &cancelHook = {});
    /// `ReadAnswer`: reads into the zero-filled receive buffer until the answer is complete
    /// (see answerComplete()), the buffer is full, or the rest of the answer wait has passed
    /// (at least one more answerPeriod()). 0, AnswerReadFailed when nothing came,
    /// UnexpectedAnswer when the answer stayed incomplete (cut or closed half-way), or
    /// WaitCancelled.
    int readAnswer();
    /// send(), awaitAnswer() and readAnswer() in turn: 0 when a whole answer was read, else
    /// the first failure's code (NoAnswer and WaitCancelled for the wait's outcomes).
    int request(QByteArrayView commandText, QByteArrayView body = {});
    /// Waits (as awaitAnswer) and appends one read at `received()` for answers that come
    /// in pieces; never beyond the buffer. 0, NoAnswer, BodyReadFailed or BodyCut;
    /// `cancelled` is set when the hook ended the wait.
    int readMore(qsizetype wanted, const CancelHook &cancelHook, bool *cancelled);
    /// `Close`.
    void close();

    /// The receive buffer: its full size from the first read on (empty before), zero
    /// beyond `received()` bytes.
    const QByteArray &answer() const { return m_answer; }
    qsizetype received() const { return m_received; }
    /// The 32-digit digest that leads each request, or empty without a greeting.
    const QByteArray &digestPrefix() const { return m_digest; }

private:
    using Clock = std::chrono::steady_clock;
    enum class Waited { Ready, TimedOut, Failed, Cancelled };

    void clearAnswer();
    /// Waits for the socket (readable, or writable for a connect under way) until
    /// `deadline`, asking the hook every cancelCheck; closes the socket when cancelled.
    Waited waitUntil(bool writable, Clock::time_point deadline, const CancelHook &hook);

    ProjectorEndpoint m_endpoint;
    ExchangeTimings m_timings;
    TcpSocket m_socket;
    int m_bufferSize = 0;
    QByteArray m_answer;
    qsizetype m_received = 0;
    QByteArray m_digest;
    QByteArray m_lastCommand; // the last request without the digest and body
    CancelHook m_cancelHook;
    Clock::time_point m_answerDeadline{}; // when the last answer wait would have ended
};

} // namespace glintcaster
