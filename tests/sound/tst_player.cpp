// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The SDL alarm player on SDL's dummy and disk outputs (no sound card needed), and the
// fake player the dialog tests use, against the same contract.
#include "common/fake_alarm_player.h"

#include "sound/alarm_player_factory.h"
#include "sound/alarm_tunes.h"
#include "sound/alarm_wav.h"
#include "sound/mml_synth.h"
#include "sound/sdl_alarm_player.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace std::chrono_literals;

namespace {

SdlAlarmPlayer::Timings quick()
{
    SdlAlarmPlayer::Timings t;
    t.settle = 50ms;
    return t;
}

// The tune's samples as a WAV's data bytes.
QByteArray tuneBytes(int sound)
{
    return alarmWav(MmlSynth::renderAll(alarmTuneTracks(sound))).mid(kWavHeaderSize);
}

qsizetype firstNonZero(const QByteArray &b)
{
    qsizetype i = 0;
    while (i < b.size() && b[i] == 0)
        ++i;
    return i;
}

} // namespace

class TestPlayer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static void useDriver(const char *driver) { qputenv("SDL_AUDIODRIVER", driver); }

private slots:
    void init()
    {
        useDriver("dummy");
        qunsetenv("SDL_DISKAUDIOFILE");
        qunsetenv("SDL_DISKAUDIODELAY");
    }

    // What the dialog relies on, for the real player and for the fake: nothing to play
    // finishes at once, but never from inside start(), and exactly once.
    void nothingToPlayFinishesOnce_data()
    {
        QTest::addColumn<bool>("fake");
        QTest::addColumn<int>("sound");
        QTest::addColumn<QByteArray>("driver");
        QTest::newRow("sdl, sound 0") << false << 0 << QByteArray("dummy");
        QTest::newRow("sdl, sound 5") << false << 5 << QByteArray("dummy");
        QTest::newRow("sdl, sound -1") << false << -1 << QByteArray("dummy");
        QTest::newRow("sdl, no such driver") << false << 2 << QByteArray("nonexistent");
        QTest::newRow("sdl, unwritable disk file") << false << 2 << QByteArray("disk");
        QTest::newRow("fake, sound 0") << true << 0 << QByteArray();
    }
    void nothingToPlayFinishesOnce()
    {
        QFETCH(bool, fake);
        QFETCH(int, sound);
        QFETCH(QByteArray, driver);
        useDriver(driver.constData());
        // SDL opens the disk output by creating this file: it cannot.
        qputenv("SDL_DISKAUDIOFILE", "/nonexistent-folder/out.raw");
        std::unique_ptr<AlarmPlayer> player;
        if (fake)
            player = std::make_unique<testing::FakeAlarmPlayer>();
        else
            player = std::make_unique<SdlAlarmPlayer>(quick());
        QSignalSpy spy(player.get(), &AlarmPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!player->start(sound));
        QVERIFY(!player->isPlaying());
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(1000));
        QVERIFY2(clock.elapsed() < 500, "a failed start returns to idle at once");
        QTest::qWait(100);
        QCOMPARE(spy.count(), 1);
        if (!fake && sound > 0 && sound < kAlarmTuneCount)
            QVERIFY(!static_cast<SdlAlarmPlayer *>(player.get())->errorString().isEmpty());
    }

    void stopEndsPlaying()
    {
        auto player = createAlarmPlayer();
        QSignalSpy spy(player.get(), &AlarmPlayer::finished);
        QVERIFY(player->start(1));
        QVERIFY(player->isPlaying());
        QVERIFY(qgetenv("SDL_NO_SIGNAL_HANDLERS") == "1");
        QTest::qWait(300);
        QCOMPARE(spy.count(), 0);
        QElapsedTimer clock;
        clock.start();
        player->stop();
        QVERIFY(player->isPlaying()); // until the audio has really stopped
        QVERIFY(spy.wait(5000));
        // Closing the audio and the one-second pause the projector software always made.
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 2500, QByteArray::number(clock.elapsed()));
        QVERIFY(!player->isPlaying());
        player->stop(); // idle: nothing happens
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1);
    }

    void playsTheTuneToItsEnd()
    {
        // The disk output writes what would be heard, as fast as it can.
        const QString raw = m_dir.filePath(QStringLiteral("tune3.raw"));
        useDriver("disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(raw));
        qputenv("SDL_DISKAUDIODELAY", "0");
        SdlAlarmPlayer player(quick());
        QSignalSpy spy(&player, &AlarmPlayer::finished);
        QVERIFY(player.start(3));
        QVERIFY(spy.wait(10000)); // the end of the tune, without stop()
        QCOMPARE(spy.count(), 1);
        QVERIFY(!player.isPlaying());
        QFile f(raw);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray played = f.readAll();
        const QByteArray tune = tuneBytes(3);
        QCOMPARE(played.size() % (1024 * 4), 0); // whole buffers
        // SDL writes silent buffers of its own while the output is still paused: the tune
        // follows them, then silence until the output is closed.
        const qsizetype lead = firstNonZero(played) - firstNonZero(tune);
        QVERIFY(lead >= 0);
        QCOMPARE(lead % (1024 * 4), 0);
        QCOMPARE(played.mid(lead, tune.size()), tune);
        QCOMPARE(played.mid(lead + tune.size()).count('\0'), played.size() - lead - tune.size());
    }

    void stopSilencesWithinATenthOfASecond()
    {
        // STOP let the buffered tune play on for up to two 93 ms buffers.
        const QString raw = m_dir.filePath(QStringLiteral("stopped.raw"));
        useDriver("disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(raw));
        qputenv("SDL_DISKAUDIODELAY", "23"); // one 1024-frame buffer: about real time
        SdlAlarmPlayer player(quick());
        QSignalSpy spy(&player, &AlarmPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(player.start(3));
        QTest::qWait(300);
        player.stop();
        const qint64 stoppedAt = clock.elapsed();
        QVERIFY(spy.wait(5000));
        QFile f(raw);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray played = f.readAll();
        const qsizetype lead = firstNonZero(played) - firstNonZero(tuneBytes(3));
        qsizetype end = played.size();
        while (end > 0 && played[end - 1] == 0)
            --end;
        // Paced writes can only lag behind the clock, so this bound holds on a slow machine.
        const qint64 heardMs = (end - lead) * 1000 / (kAlarmSampleRate * 4);
        QVERIFY2(heardMs > 0 && heardMs <= stoppedAt + 100,
                 qPrintable(QStringLiteral("%1 ms heard, stopped at %2 ms").arg(heardMs).arg(stoppedAt)));
    }

    void oneDeviceAtATime()
    {
        SdlAlarmPlayer first(quick()), second(quick());
        QSignalSpy firstDone(&first, &AlarmPlayer::finished);
        QSignalSpy secondDone(&second, &AlarmPlayer::finished);
        QVERIFY(first.start(2));
        QVERIFY(!second.start(2));
        QVERIFY(!first.start(3)); // one tune per player too
        QVERIFY(secondDone.wait(1000));
        QVERIFY(first.isPlaying());
        first.stop();
        QTRY_COMPARE_WITH_TIMEOUT(firstDone.count(), 2, 3000); // the refused start's and the tune's
        QVERIFY(second.start(2)); // free again
        second.stop();
        QVERIFY(secondDone.wait(3000));
    }

    void destroyedWhilePlaying()
    {
        // The dialog may go away while a tune plays: the threads end with it, promptly.
        auto player = std::make_unique<SdlAlarmPlayer>(); // the full one-second pause
        QSignalSpy spy(player.get(), &AlarmPlayer::finished);
        QVERIFY(player->start(4));
        QTest::qWait(200);
        QElapsedTimer clock;
        clock.start();
        player.reset();
        QVERIFY2(clock.elapsed() < 800, QByteArray::number(clock.elapsed()));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        SdlAlarmPlayer next(quick());
        QVERIFY(next.start(1));
        next.stop();
        QSignalSpy nextDone(&next, &AlarmPlayer::finished);
        QVERIFY(nextDone.wait(3000));
    }

    void callbackWritesWholeFramesOnly()
    {
        // SDL's buffer always holds whole frames here, but a partial frame must not make the
        // callback write past it: three trailing bytes stay inside and silent.
        MmlSynth synth;
        synth.loadTune(2);
        QByteArray buffer(64, char(0x55));
        const int len = 11 * 4 + 3;
        // Skip the opening rest so that the frames are not silent.
        std::vector<std::int16_t> skip(2 * 11025);
        QCOMPARE(synth.render(skip.data(), 11025), 11025);
        SdlAlarmPlayer::fillBuffer(synth, reinterpret_cast<unsigned char *>(buffer.data()), len);
        const QByteArray tune = tuneBytes(2);
        QCOMPARE(buffer.left(44), tune.mid(11025 * 4, 44));
        QCOMPARE(buffer.mid(44, 3), QByteArray(3, '\0'));
        QCOMPARE(buffer.mid(len), QByteArray(64 - len, char(0x55)));
        QCOMPARE(synth.position(), 11025 + 11);

        // After the tune's end: silence, and the synthesiser reports it ended.
        MmlSynth end;
        end.load({"l64 c"}); // 1378 frames
        QByteArray big(4096 * 4, char(0x55));
        SdlAlarmPlayer::fillBuffer(end, reinterpret_cast<unsigned char *>(big.data()), int(big.size()));
        QVERIFY(end.ended());
        QCOMPARE(end.position(), 1378);
        QCOMPARE(big.mid(1378 * 4), QByteArray(big.size() - 1378 * 4, '\0'));
    }

    void fakeRecordsAndFinishesWhenTold()
    {
        testing::FakeAlarmPlayer fake;
        QSignalSpy spy(&fake, &AlarmPlayer::finished);
        QVERIFY(fake.start(3));
        fake.stop();
        QTest::qWait(50);
        QCOMPARE(spy.count(), 0); // stop() alone does not end it
        QVERIFY(fake.isPlaying());
        fake.finish();
        fake.finish();
        QVERIFY(spy.wait(1000));
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
        fake.failNextStart = true;
        QVERIFY(!fake.start(1));
        QVERIFY(spy.wait(1000));
        QCOMPARE(fake.starts, (QList<int>{3, 1}));
        QCOMPARE(fake.stops, 1);
        QCOMPARE(fake.finishes, 2);
    }
};

QTEST_GUILESS_MAIN(TestPlayer)
#include "tst_player.moc"
