// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/job_messages.h"

#include <QCoreApplication>

namespace glintcaster {

QEvent::Type WorkerEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void postWorkerMessage(QObject *receiver, int number, qintptr parameter, quint64 tag)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new WorkerEvent(number, parameter, tag));
}

} // namespace glintcaster
