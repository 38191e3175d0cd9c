// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_main.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // Alert targets run their jobs on threads of their own; the plain poll() dispatcher
    // costs a fraction of the GLib one's memory per thread.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("KESTORA"));
    QCoreApplication::setApplicationName(QStringLiteral("Glintcaster"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GLINTCASTER_VERSION));
    return glintcaster::server::serverMain(argc, argv);
}
