// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include <QCryptographicHash>
#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

namespace {
const QString Program = QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-sim");
}

class TestExecutable : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(Program))
            QSKIP("glintcaster-sim is not built");
    }

    void servesUntilTerminated()
    {
        QProcess sim;
        sim.start(Program, {QStringLiteral("--listen"), QStringLiteral("127.71.1.1"),
                            QStringLiteral("--password"), QStringLiteral("pw"),
                            QStringLiteral("--firmware"), QStringLiteral("3"),
                            QStringLiteral("--verbose")});
        QVERIFY(sim.waitForStarted());
        QVERIFY(sim.waitForReadyRead(5000));
        QVERIFY(sim.readLine().contains("listening on 127.71.1.1:9719"));

        QTcpSocket client;
        client.connectToHost(QHostAddress(QStringLiteral("127.71.1.1")), 9719);
        QVERIFY(client.waitForConnected(2000));
        QVERIFY(client.waitForReadyRead(1000));
        const QByteArray greeting = client.readAll();
        client.write(QCryptographicHash::hash(greeting.left(8) + "pw", QCryptographicHash::Md5)
                         .toHex()
                         .toUpper()
                     + "CTRL 0F01\r\n2\r\n");
        QVERIFY(client.waitForReadyRead(2000));
        QCOMPARE(client.readAll(), QByteArray("CTRL 0\r\nValue:3\r\n"));

        QTRY_VERIFY(sim.canReadLine());
        QVERIFY(sim.readLine().contains("CTRL 0F01 type 2"));

        sim.terminate(); // SIGTERM: an orderly exit
        QVERIFY(sim.waitForFinished(3000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }

    void rejectsBadOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("fault") << QStringList{QStringLiteral("--fault"), QStringLiteral("odd")};
        QTest::newRow("address") << QStringList{QStringLiteral("--listen"), QStringLiteral("x")};
        QTest::newRow("mac") << QStringList{QStringLiteral("--mac"), QStringLiteral("00-11")};
    }
    void rejectsBadOptions()
    {
        QFETCH(QStringList, arguments);
        QProcess sim;
        sim.start(Program, arguments);
        QVERIFY(sim.waitForFinished(3000));
        QCOMPARE(sim.exitCode(), 2);
    }
};

QTEST_MAIN(TestExecutable)
#include "tst_executable.moc"
