// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ui/tessaline_app.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KESTORA"));
    QApplication::setApplicationName(QStringLiteral("Glintcaster"));
    QApplication::setApplicationVersion(QStringLiteral("1.5.0"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/glintcaster/icons/glintcaster.svg")));
    return glintcaster::CTessalineApp().run(app);
}
