// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/message_table.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

class QApplication;
class QCoreApplication;

namespace glintcaster {

/// What the command line asks of the desktop application.
struct StartupOptions {
    QString home;                      ///< `--home DIR`; empty: automatic choice
    std::optional<Language> language;  ///< `--lang en|ja|zh`; nothing: the system's
    bool helpShown = false;            ///< --help or --version was answered
};

/// Parses the application's arguments (argv[0] first). Nothing, with `error` set, when they
/// are unusable.
std::optional<StartupOptions> parseStartupOptions(const QStringList &arguments, QString *error);

/// The language to run in: the option when given, otherwise the one for `system`.
Language startupLanguage(const StartupOptions &options, const QLocale &system);

/// Loads Qt's own widget translations and ours for `language` into `app`; English loads
/// nothing. Returns how many translation catalogues were installed.
int installTranslations(QCoreApplication &app, Language language);

/// The application object: single instance, home, language, then the main window.
class DesktopApplication {
public:
    /// Runs the application to its end and returns the exit status.
    int run(QApplication &app);
};

} // namespace glintcaster
