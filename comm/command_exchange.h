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
};

enum class ConnectMode { BlockingConnect, TimedConnect };

/// Asked after every sleep of an answer wait; true ends the wait as cancelled.
using CancelHook = std::function<bool()>;

/// Receive buffer sizes, per command.
inline constexpr int kSmallAnswerBuffer = 1024;  // upload, control, status monitor
inline constexpr int kTextAnswerBuffer = 4500;   // get text
inline constexpr int kInfoAnswerBuffer = 3966;   // info, status, cancel, stored-message list

/// `CommandExchange`: one short conversation with a projector on a worker thread: open,
/// greet (digest), send one request, wait for and read the answer, close. Every step returns
/// 0 or a TransportCode and closes the socket itself on failure; the destructor closes too.
/// Blocking; never call it on the user-interface thread.
class CommandExchange {
public:
    enum class Await { Ready, NoAnswer, Cancelled };

    CommandExchange(ProjectorEndpoint endpoint, ExchangeTimings timings,
                    int receiveBufferSize = kSmallAnswerBuffer);

    /// `Open`: 0, SocketFailed or ConnectFailed.
    int open(ConnectMode mode);
    /// `Greet`: waits for a greeting and, if one came, prepares the digest that will lead
    /// every request. 0, GreetingReadFailed or GreetingWaitFailed.
    int greet();
    /// `Send`: digest (if any) + command text + body, in one send call. 0 or SendFailed.
    int send(QByteArrayView commandText, QByteArrayView body = {});
    /// `AwaitAnswer`: Ready, NoAnswer (socket closed) or Cancelled (socket closed).
    Await awaitAnswer(const CancelHook &cancelHook = {});
    /// `ReadAnswer`: reads into the zero-filled receive buffer until the answer is complete
    /// (see answerComplete()), the buffer is full, or the rest of the answer wait has passed
    /// (at least one more readiness period). 0, AnswerReadFailed when nothing came, or
    /// UnexpectedAnswer when the answer stayed incomplete (cut or closed half-way).
    int readAnswer();
    /// Waits (as awaitAnswer) and appends one read at `received()` for answers that come
    /// in pieces; never beyond the buffer. 0, NoAnswer, BodyReadFailed or BodyCut;
    /// `cancelled` is set when the hook ended the wait.
    int readMore(qsizetype wanted, const CancelHook &cancelHook, bool *cancelled);
    /// `Close`.
    void close();

    /// The receive buffer: always its full size, zero beyond `received()` bytes.
    const QByteArray &answer() const { return m_answer; }
    qsizetype received() const { return m_received; }
    /// The 32-digit digest that leads each request, or empty without a greeting.
    const QByteArray &digestPrefix() const { return m_digest; }
    /// The bytes of the last request as sent (for diagnostics and tests).
    const QByteArray &lastRequest() const { return m_lastRequest; }

private:
    void clearAnswer();

    ProjectorEndpoint m_endpoint;
    ExchangeTimings m_timings;
    TcpSocket m_socket;
    QByteArray m_answer;
    qsizetype m_received = 0;
    QByteArray m_digest;
    QByteArray m_lastRequest;
    QByteArray m_lastCommand; // m_lastRequest without the digest and body
    int m_checksUsed = 0;     // readiness checks the last answer wait took
};

} // namespace glintcaster
