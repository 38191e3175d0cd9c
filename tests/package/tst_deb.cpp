// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The Debian packages of the build under test: made with scripts/make-debs, judged by
// lintian, and the glintcaster package unpacked into a temporary root whose programs then
// send to a substitute projector and draw a preview.
#include "common/process_run.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = glintcaster::testing::ProcessRun;

Run run(const QString &program, const QStringList &args, int timeoutMs = 300000)
{
    return glintcaster::testing::runProcess(program, args, QProcessEnvironment::systemEnvironment(),
                                            timeoutMs);
}

QString packageFile(const QDir &dir, const QString &name)
{
    const QStringList found = dir.entryList({name + QStringLiteral("_*.deb")}, QDir::Files);
    return found.size() == 1 ? dir.filePath(found.first()) : QString();
}

} // namespace

class TestDeb : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QDir m_debs;
    QDir m_root;

private slots:
    void initTestCase()
    {
        if (GLINTCASTER_SANITIZED)
            QSKIP("packages are made from ordinary builds, not sanitizer builds");
        for (const QString &tool : {QStringLiteral("cpack"), QStringLiteral("dpkg-deb"),
                                    QStringLiteral("dpkg-shlibdeps"), QStringLiteral("lintian")}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/setup installs it)")));
        }
        QVERIFY(m_work.isValid());
        m_debs = QDir(m_work.filePath(QStringLiteral("debs")));
        m_root = QDir(m_work.filePath(QStringLiteral("root")));
        const Run made = run(QStringLiteral(GLINTCASTER_SOURCE_DIR "/scripts/make-debs"),
                             {QStringLiteral(GLINTCASTER_BINARY_DIR), m_debs.path()});
        QVERIFY2(made.exit == 0, (made.out + made.err).constData());
    }

    void everyPackageIsCleanUnderLintian()
    {
        QStringList debs;
        for (const QString &name : {QStringLiteral("glintcaster"), QStringLiteral("glintcaster-sim")}) {
            const QString deb = packageFile(m_debs, name);
            QVERIFY2(!deb.isEmpty(), qPrintable(name));
            debs << deb;
        }
        const QString server = packageFile(m_debs, QStringLiteral("glintcaster-server"));
        if (!server.isEmpty())
            debs << server;
        const Run lint = run(QStringLiteral("lintian"),
                             QStringList{QStringLiteral("--fail-on"), QStringLiteral("error,warning")} + debs);
        QVERIFY2(lint.exit == 0, (lint.out + lint.err).constData());
    }

    void dependenciesComeFromTheBinaries()
    {
        const Run info = run(QStringLiteral("dpkg-deb"),
                             {QStringLiteral("-f"), packageFile(m_debs, QStringLiteral("glintcaster")),
                              QStringLiteral("Depends"), QStringLiteral("Version")});
        QVERIFY2(info.exit == 0, info.err.constData());
        // Computed by dpkg-shlibdeps: the Qt and SDL libraries the programs link, versioned.
        QVERIFY2(info.out.contains("libqt6widgets6 (>="), info.out.constData());
        QVERIFY2(info.out.contains("libsdl1.2debian"), info.out.constData());
        QVERIFY2(info.out.contains("Version: " GLINTCASTER_VERSION "-"), info.out.constData());
    }

    void unpackedProgramsWork()
    {
        for (const QString &name : {QStringLiteral("glintcaster"), QStringLiteral("glintcaster-sim")}) {
            const Run x = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), packageFile(m_debs, name), m_root.path()});
            QVERIFY2(x.exit == 0, x.err.constData());
        }
        const QString bin = m_root.filePath(QStringLiteral("usr/bin/"));
        for (const QString &program : {QStringLiteral("glintcaster"), QStringLiteral("glintcaster-cli"),
                                       QStringLiteral("glintcaster-sim")}) {
            const Run v = run(bin + program, {QStringLiteral("--version")});
            QCOMPARE(v.exit, 0);
            QVERIFY2(v.out.contains(GLINTCASTER_VERSION), v.out.constData());
        }

        QProcess sim;
        sim.start(bin + QStringLiteral("glintcaster-sim"),
                  {QStringLiteral("--listen"), QStringLiteral("127.106.0.1"), QStringLiteral("--no-discovery")});
        QVERIFY(sim.waitForReadyRead(10000));
        QVERIFY(sim.readAllStandardOutput().contains("listening"));

        QTemporaryDir home;
        const QString cli = bin + QStringLiteral("glintcaster-cli");
        const QString sample = m_root.filePath(QStringLiteral("usr/share/glintcaster/samples/welcome.txt"));
        Run r = run(cli, {QStringLiteral("send"), sample, QStringLiteral("--to"), QStringLiteral("127.106.0.1"),
                          QStringLiteral("--home"), home.path(), QStringLiteral("--json")});
        QVERIFY2(r.exit == 0, r.err.constData());
        QVERIFY(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("ok")).toBool());

        const QString png = home.filePath(QStringLiteral("preview.png"));
        r = run(cli, {QStringLiteral("preview"), sample, QStringLiteral("-o"), png, QStringLiteral("--home"), home.path()});
        QVERIFY2(r.exit == 0, r.err.constData());
        QVERIFY(!QImage(png).isNull());

        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
    }
};

QTEST_MAIN(TestDeb)
#include "tst_deb.moc"
