// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/app_home.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

class TestAppHome : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup()
    {
        AppHome::setOverride({});
        qunsetenv("GLINTCASTER_HOME");
    }

    void overrideBeatsEnvironmentAndIsCreated()
    {
        QTemporaryDir tmp;
        const QString fromEnv = tmp.filePath(QStringLiteral("env"));
        const QString fromOption = tmp.filePath(QStringLiteral("opt/deeper"));
        qputenv("GLINTCASTER_HOME", fromEnv.toLocal8Bit());
        QCOMPARE(AppHome::path(), fromEnv);
        QVERIFY(QFileInfo(fromEnv).isDir());

        AppHome::setOverride(fromOption);
        QCOMPARE(AppHome::path(), fromOption);
        QVERIFY(QFileInfo(fromOption).isDir());
        QCOMPARE(AppHome::lastProjectorFile(), fromOption + QStringLiteral("/LastPj.txt"));
        QCOMPARE(AppHome::filePath(QStringLiteral("Titlebuff.rtf")), fromOption + QStringLiteral("/Titlebuff.rtf"));
        QCOMPARE(AppHome::messageDataDir(), fromOption + QStringLiteral("/MessageData"));
        QVERIFY(QFileInfo(fromOption + QStringLiteral("/MessageData")).isDir());
    }

    void fallsBackToPerUserDataInTestMode()
    {
        // The test binary's folder is writable, but tests must never write beside it.
        QCOMPARE(AppHome::path(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    }

    void dataDirPrefersHome()
    {
        QTemporaryDir tmp;
        AppHome::setOverride(tmp.path());
        QVERIFY(AppHome::dataDir(QStringLiteral("nosuchdata")).isEmpty());
        QDir(tmp.path()).mkdir(QStringLiteral("mfont"));
        QCOMPARE(AppHome::dataDir(QStringLiteral("mfont")), tmp.filePath(QStringLiteral("mfont")));
        QVERIFY(!AppHome::installedDataDir().isEmpty());
    }
};

QTEST_MAIN(TestAppHome)
#include "tst_app_home.moc"
