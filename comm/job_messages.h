// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QEvent>
#include <QtGlobal>

class QObject;

namespace glintcaster {

/// Numbers of the messages that workers post to their receivers (application range 32768+n).
namespace JobMessage {
inline constexpr int Base = 32768;

inline constexpr int PutAnswer0 = Base + 10;
inline constexpr int PutAnswer1 = Base + 11;
inline constexpr int PutAnswer2 = Base + 12;
inline constexpr int PutAnswer3 = Base + 13;
inline constexpr int PutAnswer5 = Base + 14;
inline constexpr int PutAnswer9 = Base + 15;
inline constexpr int PutStarted = Base + 16;
inline constexpr int PutFailed = Base + 17;
inline constexpr int TextAnswer0 = Base + 18;
inline constexpr int TextAnswer1 = Base + 19;
inline constexpr int TextAnswer2 = Base + 20;
inline constexpr int TextAnswer3 = Base + 21;
inline constexpr int TextAnswer8 = Base + 22;
inline constexpr int TextAnswer9 = Base + 23;
inline constexpr int TextStarted = Base + 24;
inline constexpr int TextFailed = Base + 25;
inline constexpr int CtrlAnswer0 = Base + 26;
inline constexpr int CtrlAnswer1 = Base + 27;
inline constexpr int CtrlAnswer2 = Base + 28;
inline constexpr int CtrlAnswer3 = Base + 29;
inline constexpr int CtrlAnswer8 = Base + 30;
inline constexpr int CtrlAnswer9 = Base + 31;
inline constexpr int CtrlStarted = Base + 32;
inline constexpr int CtrlFailed = Base + 33;
inline constexpr int InfoAnswer0 = Base + 34;
inline constexpr int InfoAnswer1 = Base + 35;
inline constexpr int InfoAnswer2 = Base + 36;
inline constexpr int InfoAnswer3 = Base + 37;
inline constexpr int InfoAnswer8 = Base + 38;
inline constexpr int InfoAnswer9 = Base + 39;
inline constexpr int InfoStarted = Base + 40;
inline constexpr int InfoFailed = Base + 41;
inline constexpr int StatStatus = Base + 42;
inline constexpr int StatAnswer1 = Base + 43;
inline constexpr int StatAnswer9 = Base + 47;
inline constexpr int StatStarted = Base + 48;
inline constexpr int StatFailed = Base + 49;
inline constexpr int CancelAnswer0 = Base + 50;
inline constexpr int CancelAnswer3 = Base + 53;
inline constexpr int CancelAnswer4 = Base + 54;
inline constexpr int CancelAnswer8 = Base + 55;
inline constexpr int CancelAnswer9 = Base + 56;
inline constexpr int CancelStarted = Base + 57;
inline constexpr int CancelFailed = Base + 58;
inline constexpr int JobCancelled = Base + 59;
inline constexpr int QueryUnreachable = Base + 65;
inline constexpr int MonitorValueA = Base + 66;
inline constexpr int MonitorValueB = Base + 67;
inline constexpr int MonitorAnswer1 = Base + 68;
inline constexpr int MonitorAnswer2 = Base + 69;
inline constexpr int MonitorAnswer3 = Base + 70;
inline constexpr int MonitorAnswer8 = Base + 71;
inline constexpr int MonitorAnswer9 = Base + 72;
inline constexpr int MonitorFailed = Base + 73;
} // namespace JobMessage

/// The one event type that carries a worker message (number and parameter) across threads.
class WorkerEvent : public QEvent {
public:
    WorkerEvent(int number, qintptr parameter, quint64 tag = 0)
        : QEvent(eventType()), m_number(number), m_parameter(parameter), m_tag(tag)
    {
    }
    static QEvent::Type eventType();

    int number() const { return m_number; }
    qintptr parameter() const { return m_parameter; }
    /// Which run of a repeating worker posted it (0 when the worker does not say), so a
    /// receiver can drop what an earlier run left in the queue.
    quint64 tag() const { return m_tag; }

private:
    int m_number = 0;
    qintptr m_parameter = 0;
    quint64 m_tag = 0;
};

/// Posts a worker message; safe from any thread. The receiver must outlive the worker.
void postWorkerMessage(QObject *receiver, int number, qintptr parameter = 0, quint64 tag = 0);

} // namespace glintcaster
