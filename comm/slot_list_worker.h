// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/exchange_timings.h"
#include "comm/projector_endpoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace glintcaster {

/// Messages the stored-message list worker posts (as WorkerEvent numbers); the slot
/// messages carry the slot (0 to 12) as their parameter.
namespace SlotListMessage {
inline constexpr int SlotInUse = 32769;
inline constexpr int SlotNotUsed = 32770;
inline constexpr int SlotSaving = 32771;
inline constexpr int SlotBusy = 32772;
inline constexpr int SlotTimeOut = 32773;
inline constexpr int SlotError = 32774;
inline constexpr int ListStarted = 32775;
inline constexpr int SlotUnrecognised = 32776;
/// The projector could not be reached, or a slot got no complete answer
/// (or no slot an answer we understand); the parameter is a transport code.
inline constexpr int ListFailed = 32777;
/// Posted last, however the list ended (but never after close()), so that a caller without
/// an operator, such as the command-line tool, knows when to stop waiting.
inline constexpr int ListEnded = 32768;
} // namespace SlotListMessage

/// "Quick" and the twelve numbered slots.
inline constexpr int kSlotCount = 13;

/// What an "INFO 0" answer says about a slot; kept, never shown.
struct SlotDescription {
    QByteArray header;      ///< the 32 characters of the header field
    char slotCharacter = 0; ///< the slot as the projector names it
    int length = 0;         ///< the stored message's length
};

/// The message for an answer: one of the slot messages, SlotUnrecognised for anything
/// but "INFO d\r\n" with d in 0, 1, 2, 3, 8, 9 (only the first 8 bytes count).
int slotMessageForAnswer(QByteArrayView answer);
/// "in use", "not used", ... for a slot message; empty for the others.
QString slotStatusWord(int message);
/// The description carried by an "INFO 0" answer of `received` bytes.
SlotDescription parseSlotDescription(QByteArrayView answer);
/// "Quick" for slot 0, the number otherwise.
QString slotRowLabel(int slot);
/// What the operator is shown when the list failed, whatever the cause.
QString slotListFailureText();

/// The exchange timings of the list: ordinary connect and greeting, but an answer wait of
/// 601 one-second checks with half a second between them (about 15 minutes), since a
/// projector may be busy storing a message.
ExchangeTimings slotListTimings();
/// The same with the answer wait bounded to about `waitSeconds` per slot (the command
/// line, where nobody can close a window).
ExchangeTimings slotListTimings(double waitSeconds);

/// Asks a projector, slot by slot, what it holds, on a thread of its own. It posts
/// ListStarted, then one slot message per slot (with the slot's text stored before the
/// message is posted), ListFailed when the projector cannot be reached or a slot gets no
/// answer, and finally ListEnded. After close() it neither stores texts nor posts anything; close() never waits,
/// so a projector that hangs cannot hold up the caller.
class SlotListWorker {
public:
    SlotListWorker(QObject *receiver, ProjectorEndpoint endpoint,
                   ExchangeTimings timings = slotListTimings());
    ~SlotListWorker();
    SlotListWorker(const SlotListWorker &) = delete;
    SlotListWorker &operator=(const SlotListWorker &) = delete;

    void start();
    /// Raises the stop flag and detaches the receiver; effective immediately.
    void close();
    /// True once the worker has ended (tests).
    bool isFinished() const;

    QString slotText(int slot) const;
    std::optional<SlotDescription> slotDescription(int slot) const;

    /// State shared with the worker thread (internal).
    struct State;

private:
    std::shared_ptr<State> m_state;
    ProjectorEndpoint m_endpoint;
    ExchangeTimings m_timings;
    bool m_started = false;
};

/// The stored-message list as a window shows it: runs the worker, keeps the 13 rows and
/// turns a failure into the text to show. Lives on the user-interface thread.
class SlotListSession : public QObject {
    Q_OBJECT
public:
    explicit SlotListSession(ProjectorEndpoint endpoint,
                             ExchangeTimings timings = slotListTimings(),
                             QObject *parent = nullptr);
    ~SlotListSession() override;

    void start();
    /// "Return" or "Cancel": stops the list; nothing changes from now on.
    void close();

    QString rowLabel(int row) const { return slotRowLabel(row); }
    QString slotText(int row) const;
    std::optional<SlotDescription> slotDescription(int row) const;
    int failureCode() const { return m_failureCode; }
    QString resultText() const { return m_resultText; }
    bool isClosed() const { return m_closed; }

signals:
    /// A slot's row may have changed.
    void rowsChanged(int slot);
    /// The list failed; resultText() holds what to show. The window then ends.
    void failed();
    /// The worker has ended (all slots asked, or stopped at a slot that did not answer).
    void listEnded();

protected:
    bool event(QEvent *event) override;

private:
    SlotListWorker m_worker;
    int m_failureCode = 0;
    QString m_resultText;
    bool m_closed = false;
};

} // namespace glintcaster
