// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/desktop_application.h"

#include "base/app_home.h"
#include "gui/main_window.h"
#include "gui/main_tab/main_tab.h"
#include "gui/widgets/message_box_prompter.h"
#include "gui/single_instance.h"
#include "gui/widgets/palette_dialog.h"
#include "gui/edit_tab/edit_tab.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace glintcaster {

namespace {

QString localeName(Language language)
{
    switch (language) {
    case Language::Japanese:
        return QStringLiteral("ja");
    case Language::Chinese:
        return QStringLiteral("zh_CN");
    case Language::English:
        break;
    }
    return QStringLiteral("en");
}

} // namespace

std::optional<StartupOptions> parseStartupOptions(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Puts short text messages on network projectors."));
    const QCommandLineOption homeOption(QStringLiteral("home"),
                                        QStringLiteral("Folder for the projector list, messages and work files."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Language of the program: en, ja or zh."),
                                        QStringLiteral("LANG"));
    parser.addOption(homeOption);
    parser.addOption(langOption);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();

    StartupOptions options;
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(helpOption) || parser.isSet(versionOption)) {
        const QString text = parser.isSet(helpOption)
                                 ? parser.helpText()
                                 : QStringLiteral("Glintcaster Version " GLINTCASTER_VERSION "\n");
        std::fputs(qPrintable(text), stdout);
        options.helpShown = true;
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    if (parser.isSet(langOption)) {
        Language language;
        if (!MessageTable::parseLanguage(parser.value(langOption), &language)) {
            *error = QStringLiteral("Unknown language \"%1\" (use en, ja or zh)").arg(parser.value(langOption));
            return std::nullopt;
        }
        options.language = language;
    }
    options.home = parser.value(homeOption);
    return options;
}

Language startupLanguage(const StartupOptions &options, const QLocale &system)
{
    return options.language ? *options.language : MessageTable::languageForLocale(system);
}

int installTranslations(QCoreApplication &app, Language language)
{
    if (language == Language::English)
        return 0;
    const QString name = localeName(language);
    int installed = 0;
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(qt))
        ++installed;
    else
        delete qt;
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/glintcaster/i18n/glintcaster_") + name)
        && QCoreApplication::installTranslator(own))
        ++installed;
    else
        delete own;
    return installed;
}

int DesktopApplication::run(QApplication &app)
{
    QString error;
    const std::optional<StartupOptions> options = parseStartupOptions(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "glintcaster: %s\n", qPrintable(error));
        return 2;
    }
    if (options->helpShown)
        return 0;

    // One instance per user: a second start brings the first window forward and ends.
    SingleInstance instance;
    if (!instance.acquire())
        return 0;

    if (!options->home.isEmpty())
        AppHome::setOverride(options->home);

    const Language language = startupLanguage(*options, QLocale::system());
    MessageTable::setLanguage(language);
    installTranslations(app, language);

    MessageBoxPrompter prompter;
    MainWindowSetup setup;
    setup.prompter = &prompter;
    setup.refreshWhenShown = true;
    setup.nameProjectorsInBoxes = true;
    setup.chooseColour = [](ColourTarget target, int current, QWidget *parent) -> std::optional<int> {
        const int index = chooseColour(parent, target, current);
        return index >= 0 ? std::optional<int>(index) : std::nullopt;
    };
    setup.createMainPage = [](MainWindow &frame) { return new MainTab(frame); };
    setup.createEditPage = [](MainWindow &frame) -> EditTabPage * {
        EditTabEnvironment env;
        env.sendLocked = [&frame] { return frame.session().sendLocked(); };
        env.describeTarget = [&frame](quint32 address) { return frame.session().describeProjector(address); };
        return new EditTab(frame.session().store(), frame.prompter(), env);
    };
    MainWindow frame(setup);
    prompter.setParent(&frame);

    QObject::connect(&instance, &SingleInstance::activationRequested, &frame, [&frame] {
        if (frame.isMinimized())
            frame.showNormal();
        frame.raise();
        frame.activateWindow();
    });

    frame.show();
    frame.setWindowTitle(msg(1011));
    return app.exec();
}

} // namespace glintcaster
