// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// glintcaster-cli sound: the WAV file of an alarm tune, exit statuses, and --play.
#include "sound/alarm_tunes.h"
#include "sound/alarm_wav.h"
#include "sound/mml_synth.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace glintcaster;

namespace {

struct Run {
    int exit = -1;
    QProcess::ExitStatus status = QProcess::NormalExit;
    QByteArray out;
    QByteArray err;
};

qsizetype firstNonZero(const QByteArray &b)
{
    qsizetype i = 0;
    while (i < b.size() && b[i] == 0)
        ++i;
    return i;
}

} // namespace

class TestCliSound : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QProcessEnvironment env(const QByteArray &driver = "dummy") const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("SDL_AUDIODRIVER"), QString::fromLatin1(driver));
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        return e;
    }

    Run cli(QStringList args, const QProcessEnvironment &environment)
    {
        QProcess p;
        p.setProcessEnvironment(environment);
        args << QStringLiteral("--home") << m_dir.path();
        p.start(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"), args);
        p.closeWriteChannel();
        Run r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitCode();
        r.status = p.exitStatus();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    Run cli(QStringList args) { return cli(std::move(args), env()); }

private slots:
    void writesTheTune_data()
    {
        QTest::addColumn<int>("sound");
        for (int n = 0; n < kAlarmTuneCount; ++n)
            QTest::addRow("%d", n) << n;
    }
    void writesTheTune()
    {
        QFETCH(int, sound);
        const QString path = m_dir.filePath(QStringLiteral("tune%1.wav").arg(sound));
        const Run r = cli({QStringLiteral("sound"), QString::number(sound), QStringLiteral("-o"), path,
                           QStringLiteral("--json")});
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.err, QByteArray());

        const std::vector<std::int16_t> samples = MmlSynth::renderAll(alarmTuneTracks(sound));
        const qint64 frames = qint64(samples.size() / 2);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray wav = f.readAll();
        QCOMPARE(wav.size(), 44 + 4 * frames);
        QCOMPARE(wav, alarmWav(samples));
        // The header field by field: RIFF size, PCM, 2 channels, 44100 Hz, 176400 bytes/s,
        // 4-byte frames, 16 bits, data size; nothing after the samples.
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(36 + 4 * frames));
        QCOMPARE(wav.mid(8, 16).toHex(), QByteArray("57415645666d74201000000001000200"));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), 44100u);
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 28), 176400u);
        QCOMPARE(wav.mid(32, 8), QByteArray("\x04\x00\x10\x00" "data", 8));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(4 * frames));

        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("sound")).toInt(), sound);
        QCOMPARE(o.value(QStringLiteral("file")).toString(), path);
        QCOMPARE(o.value(QStringLiteral("frames")).toInteger(), frames);
        QCOMPARE(o.value(QStringLiteral("seconds")).toDouble(), double(frames) / 44100);
        QCOMPARE(o.value(QStringLiteral("rate")).toInt(), 44100);
        QCOMPARE(o.value(QStringLiteral("channels")).toInt(), 2);
        QCOMPARE(o.value(QStringLiteral("bits")).toInt(), 16);
        QCOMPARE(r.out.count('\n'), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        const QString out = m_dir.filePath(QStringLiteral("refused.wav"));
        QTest::newRow("sound 5") << QStringList{QStringLiteral("5"), QStringLiteral("-o"), out} << 2;
        QTest::newRow("sound -1") << QStringList{QStringLiteral("-1"), QStringLiteral("-o"), out} << 2;
        QTest::newRow("not a number") << QStringList{QStringLiteral("two"), QStringLiteral("-o"), out} << 2;
        QTest::newRow("no output") << QStringList{QStringLiteral("2")} << 2;
        QTest::newRow("no such folder")
            << QStringList{QStringLiteral("2"), QStringLiteral("-o"), m_dir.filePath(QStringLiteral("none/x.wav"))} << 1;
        QTest::newRow("a folder") << QStringList{QStringLiteral("2"), QStringLiteral("-o"), m_dir.path()} << 1;
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        const Run r = cli(QStringList{QStringLiteral("sound")} + args);
        QCOMPARE(r.exit, exit);
        QCOMPARE(r.out, QByteArray());
        QVERIFY(!r.err.isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("refused.wav"))));
        QVERIFY(!QDir(m_dir.filePath(QStringLiteral("none"))).exists());
        // No partial or temporary file left behind.
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.wav*")}, QDir::Files).filter(QStringLiteral("refused")),
                 QStringList());
    }

    void playsAfterWriting()
    {
        const QString raw = m_dir.filePath(QStringLiteral("played.raw"));
        QProcessEnvironment e = env("disk");
        e.insert(QStringLiteral("SDL_DISKAUDIOFILE"), raw);
        e.insert(QStringLiteral("SDL_DISKAUDIODELAY"), QStringLiteral("0"));
        const QString wav = m_dir.filePath(QStringLiteral("played.wav"));
        const Run r = cli({QStringLiteral("sound"), QStringLiteral("3"), QStringLiteral("-o"), wav, QStringLiteral("--play")}, e);
        QCOMPARE(r.exit, 0);
        QVERIFY(r.out.startsWith(QFile::encodeName(wav) + ": tune 3, 130463 frames"));
        QFile played(raw), written(wav);
        QVERIFY(played.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly));
        // After any silent buffers SDL wrote while the output was still paused.
        const QByteArray heard = played.readAll();
        const QByteArray tune = written.readAll().mid(44);
        const qsizetype lead = firstNonZero(heard) - firstNonZero(tune);
        QVERIFY(lead >= 0);
        QCOMPARE(heard.mid(lead, tune.size()), tune);

        // Without a sound output the file is still written; the failure is only reported.
        const Run none = cli({QStringLiteral("sound"), QStringLiteral("2"), QStringLiteral("-o"), wav, QStringLiteral("--play")},
                             env("nonexistent"));
        QCOMPARE(none.exit, 0);
        QVERIFY(none.err.contains("Cannot play tune 2"));
    }

    void interruptibleWhilePlaying()
    {
        // SDL must not swallow Ctrl+C: the default action ends the program at once.
        QProcess p;
        p.setProcessEnvironment(env("dummy"));
        p.start(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"),
                {QStringLiteral("sound"), QStringLiteral("1"), QStringLiteral("-o"),
                 m_dir.filePath(QStringLiteral("int.wav")), QStringLiteral("--play")});
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForReadyRead(5000)); // the file is written, the tune starts
        QTest::qWait(300);
        QCOMPARE(p.state(), QProcess::Running);
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(1500));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    }
};

QTEST_GUILESS_MAIN(TestCliSound)
#include "tst_sound.moc"
