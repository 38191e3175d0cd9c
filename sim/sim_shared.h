// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sim/projector_sim.h"

#include <QMutex>
#include <QPair>
#include <QWaitCondition>

namespace glintcaster {

/// Everything the caller's thread and the projector's thread both touch, behind one lock.
struct SimShared {
    mutable QMutex mutex;
    mutable QWaitCondition changed;

    SimDevice device;

    QString password;
    SimGreeting greetingMode = SimGreeting::WhenPassword;
    QByteArray fixedGreeting;
    int greetingDelayMs = 0;

    SimFault fault = SimFault::None;
    int answerDelayMs = 0;
    int lateAnswerMs = kSimLateAnswerMs;
    QList<QPair<QByteArray, int>> answerDelays; // command prefix, delay; longest first
    QList<QPair<QByteArray, QByteArray>> rawAnswers; // command prefix, answer
    QList<QByteArray> rawQueue;

    bool discoveryEnabled = true;
    QString name = QStringLiteral("Glintcaster-Sim");
    QByteArray mac = QByteArray("\x00\x16\x3E\x51\x4D\x01", 6);
    QHostAddress reportedAddress;
    SimDiscoveryShape shape = SimDiscoveryShape::Single;
    QString extraName = QStringLiteral("Glintcaster-Sim-2");
    QByteArray extraMac = QByteArray("\x00\x16\x3E\x51\x4D\x02", 6);
    QHostAddress extraAddress;

    QList<SimRequest> log;
    QList<QByteArray> searches;
    int connections = 0;
};

} // namespace glintcaster
