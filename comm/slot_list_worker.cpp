// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/slot_list_worker.h"

#include "base/message_table.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"

#include <QCoreApplication>
#include <QPointer>

#include <array>
#include <atomic>
#include <mutex>
#include <thread>

namespace glintcaster {

namespace {

// Positions in an "INFO 0" answer: a 7-character label and the header from byte 8, an
// 8-character label and the slot digit, then a 7-character label and the length.
constexpr int kHeaderOffset = 15;
constexpr int kHeaderSize = 32;
constexpr int kSlotCharacterOffset = 57;
constexpr int kLengthLineOffset = 60;
constexpr int kLengthLabelSize = 7;

struct SlotWord {
    char digit;
    int message;
    const char *word;
};

constexpr std::array<SlotWord, 6> kSlotWords{{
    {'0', SlotListMessage::SlotInUse, "in use"},
    {'1', SlotListMessage::SlotNotUsed, "not used"},
    {'2', SlotListMessage::SlotSaving, "Saving..."},
    {'3', SlotListMessage::SlotBusy, "PROJECTOR busy"},
    {'8', SlotListMessage::SlotTimeOut, "Time out"},
    {'9', SlotListMessage::SlotError, "error"},
}};

// Leading white space, an optional sign, then digits up to the first non-digit; no digits
// give 0.
int decimalAt(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    qint64 value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 0x7FFFFFFF)
        value = value * 10 + (text[i++] - '0');
    value = qMin<qint64>(value, 0x7FFFFFFF);
    return int(negative ? -value : value);
}

} // namespace

int slotMessageForAnswer(QByteArrayView answer)
{
    if (answer.size() < 8 || !answer.startsWith("INFO ") || answer[6] != '\r' ||
        answer[7] != '\n')
        return SlotListMessage::SlotUnrecognised;
    for (const SlotWord &w : kSlotWords) {
        if (answer[5] == w.digit)
            return w.message;
    }
    return SlotListMessage::SlotUnrecognised;
}

QString slotStatusWord(int message)
{
    for (const SlotWord &w : kSlotWords) {
        if (w.message == message)
            return QString::fromLatin1(w.word);
    }
    return {};
}

SlotDescription parseSlotDescription(QByteArrayView answer)
{
    SlotDescription description;
    if (answer.size() > kHeaderOffset)
        description.header =
            answer.sliced(kHeaderOffset, qMin<qsizetype>(kHeaderSize, answer.size() - kHeaderOffset))
                .toByteArray();
    if (answer.size() > kSlotCharacterOffset)
        description.slotCharacter = answer[kSlotCharacterOffset];
    if (answer.size() > kLengthLineOffset) {
        QByteArrayView line = answer.sliced(kLengthLineOffset);
        const qsizetype cr = line.indexOf('\r');
        if (cr >= 0)
            line = line.first(cr);
        if (line.size() > kLengthLabelSize)
            description.length = decimalAt(line.sliced(kLengthLabelSize));
    }
    return description;
}

QString slotRowLabel(int slot)
{
    return slot == 0 ? QStringLiteral("Quick") : QString::number(slot);
}

QString slotListFailureText()
{
    return msg(1109) + QStringLiteral("\n : ") + msg(1112);
}

ExchangeTimings slotListTimings(double waitSeconds)
{
    ExchangeTimings timings = slotListTimings();
    // Checks of at most 1 s with half a second between them, as in the window.
    const auto total = std::chrono::milliseconds(qMax<qint64>(1, qint64(waitSeconds * 1000)));
    timings.answerCheck = qMin<std::chrono::microseconds>(std::chrono::seconds(1), total);
    const auto perCheck = std::chrono::milliseconds(1500);
    timings.answerChecks = int(qMax<qint64>(1, (total + timings.answerSleep) / perCheck));
    return timings;
}

ExchangeTimings slotListTimings()
{
    ExchangeTimings timings;
    timings.answerCheck = std::chrono::seconds(1);
    timings.answerSleep = std::chrono::milliseconds(500);
    timings.answerChecks = 601;
    return timings;
}

struct SlotListWorker::State {
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    // Guards the texts and the posting, so that after close() nothing is written or posted.
    mutable std::mutex mutex;
    bool closed = false;
    QObject *receiver = nullptr;
    std::array<QString, kSlotCount> texts;
    std::array<std::optional<SlotDescription>, kSlotCount> descriptions;
    std::thread thread;

    void post(int number, qintptr parameter)
    {
        std::lock_guard lock(mutex);
        if (!closed && receiver)
            postWorkerMessage(receiver, number, parameter);
    }

    void postSlot(int slot, int message, const QByteArrayView answer)
    {
        std::lock_guard lock(mutex);
        if (closed || !receiver)
            return;
        if (message != SlotListMessage::SlotUnrecognised)
            texts[slot] = slotStatusWord(message);
        if (message == SlotListMessage::SlotInUse)
            descriptions[slot] = parseSlotDescription(answer);
        postWorkerMessage(receiver, message, slot);
    }
};

namespace {

void runSlotList(const std::shared_ptr<SlotListWorker::State> &state,
                 const ProjectorEndpoint &endpoint, const ExchangeTimings &timings)
{
    state->post(SlotListMessage::ListStarted, 0);
    const CancelHook stopHook = [state] { return state->stop.load(); };
    int recognised = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (state->stop.load())
            return;
        CommandExchange exchange(endpoint, timings, kInfoAnswerBuffer);
        // Closing the list ends whatever wait it is in.
        exchange.setCancelHook(stopHook);
        if (const int code = exchange.open(ConnectMode::BlockingConnect)) {
            if (code != WaitCancelled)
                state->post(SlotListMessage::ListFailed, code);
            return;
        }
        // As every command: a greeting is answered with the digest; a projector without a
        // password stays silent and gets the bare command.
        if (const int code = exchange.greet()) {
            if (code != WaitCancelled)
                state->post(SlotListMessage::ListFailed, code);
            return;
        }
        // A slot that gets no answer at all is a failure of the whole list, not an empty
        // row: reporting it as an empty list would look like success.
        if (const int code = exchange.request(
                QStringLiteral("INFO %1\r\n").arg(slot, 0, 16).toUpper().toLatin1())) {
            if (code != WaitCancelled) // a cancel closed it: nothing more to say
                state->post(SlotListMessage::ListFailed, code);
            return;
        }
        exchange.close();
        const QByteArrayView answer(exchange.answer().constData(), exchange.received());
        const int message = slotMessageForAnswer(answer);
        if (message != SlotListMessage::SlotUnrecognised)
            ++recognised;
        state->postSlot(slot, message, answer);
    }
    // Not one answer understood: the projector speaks something else.
    if (recognised == 0)
        state->post(SlotListMessage::ListFailed, UnexpectedAnswer);
}

} // namespace

SlotListWorker::SlotListWorker(QObject *receiver, ProjectorEndpoint endpoint,
                               ExchangeTimings timings)
    : m_state(std::make_shared<State>()), m_endpoint(std::move(endpoint)), m_timings(timings)
{
    m_state->receiver = receiver;
}

SlotListWorker::~SlotListWorker()
{
    close();
    if (!m_state->thread.joinable())
        return;
    // A worker stuck in a connect or an answer wait must not hold up the window; it owns
    // its share of the state and can no longer post, so it may end on its own.
    if (m_state->finished.load())
        m_state->thread.join();
    else
        m_state->thread.detach();
}

void SlotListWorker::start()
{
    if (m_started)
        return;
    m_started = true;
    auto state = m_state;
    const ProjectorEndpoint endpoint = m_endpoint;
    const ExchangeTimings timings = m_timings;
    m_state->thread = std::thread([state, endpoint, timings] {
        runSlotList(state, endpoint, timings);
        state->post(SlotListMessage::ListEnded, 0);
        state->finished.store(true);
    });
}

void SlotListWorker::close()
{
    std::lock_guard lock(m_state->mutex);
    m_state->closed = true;
    m_state->stop.store(true);
}

bool SlotListWorker::isFinished() const
{
    return m_state->finished.load();
}

QString SlotListWorker::slotText(int slot) const
{
    if (slot < 0 || slot >= kSlotCount)
        return {};
    std::lock_guard lock(m_state->mutex);
    return m_state->texts[slot];
}

std::optional<SlotDescription> SlotListWorker::slotDescription(int slot) const
{
    if (slot < 0 || slot >= kSlotCount)
        return std::nullopt;
    std::lock_guard lock(m_state->mutex);
    return m_state->descriptions[slot];
}

SlotListSession::SlotListSession(ProjectorEndpoint endpoint, ExchangeTimings timings,
                                 QObject *parent)
    : QObject(parent), m_worker(this, std::move(endpoint), timings)
{
}

SlotListSession::~SlotListSession() = default;

void SlotListSession::start()
{
    m_worker.start();
}

void SlotListSession::close()
{
    m_closed = true;
    m_worker.close();
}

QString SlotListSession::slotText(int row) const
{
    return m_worker.slotText(row);
}

std::optional<SlotDescription> SlotListSession::slotDescription(int row) const
{
    return m_worker.slotDescription(row);
}

bool SlotListSession::event(QEvent *event)
{
    if (event->type() != WorkerEvent::eventType())
        return QObject::event(event);
    // Messages already on their way when the window was closed change nothing.
    if (m_closed)
        return true;
    const auto *message = static_cast<const WorkerEvent *>(event);
    const int number = message->number();
    if (number == SlotListMessage::ListFailed) {
        m_failureCode = int(message->parameter());
        m_resultText = slotListFailureText();
        close();
        emit failed();
    } else if (number == SlotListMessage::ListEnded) {
        emit listEnded();
    } else if (number >= SlotListMessage::SlotInUse &&
               number <= SlotListMessage::SlotUnrecognised &&
               number != SlotListMessage::ListStarted) {
        emit rowsChanged(int(message->parameter()));
    }
    return true;
}

} // namespace glintcaster
