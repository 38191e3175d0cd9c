// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/activity_log.h"
#include "gui/desktop_application.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before the application object exists, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("Glintcaster Version " GLINTCASTER_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KESTORA"));
    QApplication::setApplicationName(QStringLiteral("Glintcaster"));
    QApplication::setApplicationVersion(QStringLiteral(GLINTCASTER_VERSION));
    glintcaster::ActivityLog::setProcessOrigin(QStringLiteral("window"));
    // Matches the installed desktop entry, so docks and portals pair the window with it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.glintcaster.glintcaster"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/glintcaster/icons/glintcaster.svg")));
    return glintcaster::DesktopApplication().run(app);
}
