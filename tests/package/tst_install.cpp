// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// A fresh install into a temporary prefix: every file in its place, the desktop files
// pass their validators, and the installed programs run against each other.
#include "common/process_run.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = glintcaster::testing::ProcessRun;

Run run(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    return glintcaster::testing::runProcess(program, args, QProcessEnvironment::systemEnvironment(),
                                            timeoutMs);
}

const QString kAppId = QStringLiteral("org.glintcaster.glintcaster");

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_prefix;
    QTemporaryDir m_home;

    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }

    void requireTool(const QString &tool)
    {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/setup installs it)")));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const Run r = run(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(GLINTCASTER_BINARY_DIR),
                                                   QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(r.exit == 0, r.err.constData());
    }

    void everyFileIsInItsPlace()
    {
        const QStringList files{
            QStringLiteral("bin/glintcaster"),
            QStringLiteral("bin/glintcaster-cli"),
            QStringLiteral("bin/glintcaster-sim"),
            QStringLiteral("share/glintcaster/samples/welcome.txt"),
            QStringLiteral("share/glintcaster/translations/glintcaster_ja.qm"),
            QStringLiteral("share/glintcaster/translations/glintcaster_zh_CN.qm"),
            QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"),
            QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
            QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
            QStringLiteral("share/icons/hicolor/48x48/apps/") + kAppId + QStringLiteral(".png"),
            QStringLiteral("share/icons/hicolor/128x128/apps/") + kAppId + QStringLiteral(".png"),
            QStringLiteral("share/man/man1/glintcaster.1.gz"),
            QStringLiteral("share/man/man1/glintcaster-cli.1.gz"),
            QStringLiteral("share/man/man1/glintcaster-sim.1.gz"),
            QStringLiteral("share/bash-completion/completions/glintcaster-cli"),
            QStringLiteral("bin/glintcaster-server"),
            QStringLiteral("share/man/man8/glintcaster-server.8.gz"),
            QStringLiteral("lib/systemd/system/glintcaster-server.service"),
            QStringLiteral("share/doc/glintcaster-server/examples/server.ini"),
        };
        for (const QString &f : files)
            QVERIFY2(QFileInfo(installed(f)).isFile() && QFileInfo(installed(f)).size() > 0, qPrintable(f));
        for (const QString &program : QStringList{"glintcaster", "glintcaster-cli", "glintcaster-sim", "glintcaster-server"})
            QVERIFY(QFileInfo(installed(QStringLiteral("bin/") + program)).isExecutable());
        // Glyph and icon data go along whenever the source tree has them.
        for (const QString &data : QStringList{"mfont", "micon"}) {
            if (QFileInfo(QStringLiteral(GLINTCASTER_SOURCE_DIR "/resources/") + data).isDir())
                QVERIFY2(QFileInfo(installed(QStringLiteral("share/glintcaster/") + data)).isDir(), qPrintable(data));
        }
        QImage small(installed(QStringLiteral("share/icons/hicolor/48x48/apps/") + kAppId + QStringLiteral(".png")));
        QCOMPARE(small.size(), QSize(48, 48));
        QImage large(installed(QStringLiteral("share/icons/hicolor/128x128/apps/") + kAppId + QStringLiteral(".png")));
        QCOMPARE(large.size(), QSize(128, 128));
    }

    void desktopEntryValidatesAndNamesTheProgram()
    {
        const QString entry = installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"));
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("glintcaster"));
        QCOMPARE(desktop.value(QStringLiteral("Icon")).toString(), kAppId);
        requireTool(QStringLiteral("desktop-file-validate"));
        const Run r = run(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY2(r.exit == 0 && r.out.isEmpty(), (r.out + r.err).constData());
    }

    void metainfoValidates()
    {
        requireTool(QStringLiteral("appstreamcli"));
        const Run r = run(QStringLiteral("appstreamcli"),
                          {QStringLiteral("validate"), QStringLiteral("--no-net"),
                           installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"))});
        QVERIFY2(r.exit == 0, (r.out + r.err).constData());
    }

    void manPagesAndCompletionAreWellFormed()
    {
        if (!QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty()) {
            for (const QString &page : QStringList{"man1/glintcaster.1", "man1/glintcaster-cli.1", "man1/glintcaster-sim.1", "man8/glintcaster-server.8"}) {
                const Run r = run(QStringLiteral("sh"),
                                  {QStringLiteral("-c"), QStringLiteral("zcat \"$0\" | groff -man -Tutf8 -ww -z"),
                                   installed(QStringLiteral("share/man/%1.gz").arg(page))});
                QVERIFY2(r.exit == 0 && r.err.isEmpty(), qPrintable(page + QLatin1Char(' ') + QString::fromUtf8(r.err)));
            }
        }
        const Run r = run(QStringLiteral("bash"),
                          {QStringLiteral("-c"), QStringLiteral("source \"$0\" && complete -p glintcaster-cli"),
                           installed(QStringLiteral("share/bash-completion/completions/glintcaster-cli"))});
        QVERIFY2(r.exit == 0 && r.out.contains("_glintcaster_cli"), (r.out + r.err).constData());
    }

    void installedProgramsRunTogether()
    {
        for (const QString &program : QStringList{"glintcaster", "glintcaster-cli", "glintcaster-sim", "glintcaster-server"}) {
            const Run r = run(installed(QStringLiteral("bin/") + program), {QStringLiteral("--version")});
            QCOMPARE(r.exit, 0);
            QVERIFY2(r.out.contains(GLINTCASTER_VERSION), r.out.constData());
        }
        // The shipped service configuration is one the service takes.
        QTemporaryDir home;
        const Run check = run(installed(QStringLiteral("bin/glintcaster-server")),
                              {QStringLiteral("--check"), QStringLiteral("--home"), home.path(), QStringLiteral("--config"),
                               installed(QStringLiteral("share/doc/glintcaster-server/examples/server.ini"))});
        QVERIFY2(check.exit == 0, (check.out + check.err).constData());

        QProcess sim;
        sim.start(installed(QStringLiteral("bin/glintcaster-sim")),
                  {QStringLiteral("--listen"), QStringLiteral("127.0.62.1"), QStringLiteral("--no-discovery"),
                   QStringLiteral("--password"), QStringLiteral("pw")});
        QVERIFY(sim.waitForReadyRead(10000));
        QVERIFY(sim.readAllStandardOutput().contains("listening"));

        const QString cli = installed(QStringLiteral("bin/glintcaster-cli"));
        const QString sample = installed(QStringLiteral("share/glintcaster/samples/welcome.txt"));
        Run r = run(cli, {QStringLiteral("send"), sample, QStringLiteral("--to"), QStringLiteral("127.0.62.1"),
                          QStringLiteral("--password"), QStringLiteral("pw"), QStringLiteral("--slot"),
                          QStringLiteral("2"), QStringLiteral("--home"), m_home.path(), QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        QVERIFY(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("ok")).toBool());

        const QString back = m_home.filePath(QStringLiteral("back.glc"));
        r = run(cli, {QStringLiteral("get"), QStringLiteral("--to"), QStringLiteral("127.0.62.1"), QStringLiteral("--password"),
                      QStringLiteral("pw"), QStringLiteral("--slot"), QStringLiteral("2"), QStringLiteral("-o"), back,
                      QStringLiteral("--home"), m_home.path()});
        QVERIFY2(r.exit == 0, r.err.constData());
        QVERIFY(QFileInfo(back).size() > 0);

        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
