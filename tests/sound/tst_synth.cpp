// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The alarm synthesiser: pitches, note lengths, whole tunes sample for sample, broken MML.
#include "sound/reference_synth.h"

#include "sound/alarm_tunes.h"
#include "sound/alarm_wav.h"
#include "sound/mml_synth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

#include <cmath>
#include <unistd.h>

using namespace glintcaster;

namespace {

using Tracks = std::vector<std::string_view>;

QByteArray sha256(const std::vector<std::int16_t> &samples)
{
    // Hash the WAV's data bytes (little-endian), as they would be written.
    return QCryptographicHash::hash(alarmWav(samples).mid(kWavHeaderSize), QCryptographicHash::Sha256).toHex();
}

std::vector<std::int16_t> renderInChunks(const Tracks &tracks, std::int64_t chunk, std::vector<int> *errors = nullptr)
{
    MmlSynth synth;
    synth.setDiagnosticSink([errors](int track) {
        if (errors)
            errors->push_back(track);
    });
    synth.load(tracks);
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> buf(2 * chunk);
    while (!synth.ended()) {
        const std::int64_t got = synth.render(buf.data(), chunk);
        out.insert(out.end(), buf.begin(), buf.begin() + 2 * got);
        if (got < chunk && !synth.ended())
            return {}; // a short render is allowed only at the end; the comparison shows it
    }
    return out;
}

bool sameAsReference(const Tracks &tracks, std::int64_t chunk, QByteArray *why)
{
    reference::Synth ref(tracks);
    const std::vector<short> expected = ref.run();
    std::vector<int> errors;
    const std::vector<std::int16_t> got = renderInChunks(tracks, chunk, &errors);
    if (errors != ref.errors) {
        *why = "diagnostics differ";
        return false;
    }
    if (got.size() != expected.size()) {
        *why = QByteArray::number(qint64(got.size() / 2)) + " frames, expected " + QByteArray::number(qint64(expected.size() / 2));
        return false;
    }
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != expected[i]) {
            *why = "frame " + QByteArray::number(qint64(i / 2)) + (i % 2 ? " right: " : " left: ")
                 + QByteArray::number(got[i]) + ", expected " + QByteArray::number(expected[i]);
            return false;
        }
    }
    return true;
}

} // namespace

class TestSynth : public QObject {
    Q_OBJECT

private slots:
    void pitches()
    {
        // Every note's frequency is 440 Hz × 2^((n − 69) / 12) in thousandths, to the nearest.
        for (int n = 0; n < 128; ++n) {
            const long double exact = 440000.0L * std::pow(2.0L, (n - 69) / 12.0L);
            QCOMPARE(mmlNoteFrequency(n), std::int64_t(std::llround(exact)));
        }
        QCOMPARE(mmlNoteFrequency(0), 8176);
        QCOMPARE(mmlNoteFrequency(127), 12543854);
        QCOMPARE(mmlNoteFrequency(-1), 0);
        QCOMPARE(mmlNoteFrequency(128), 0);
        QCOMPARE(mmlPhaseStep(69), 654);
        // 12543854 × 65536 does not fit in 32 bits; the step must still be exact.
        QCOMPARE(mmlPhaseStep(127), 18641);
        QCOMPARE(mmlPhaseStep(128), 0);
    }

    void noteLengths_data()
    {
        QTest::addColumn<int>("tempo");
        QTest::addColumn<int>("k");
        QTest::addColumn<bool>("dotted");
        QTest::addColumn<qint64>("samples");
        QTest::newRow("quarter at 120") << 120 << 4 << false << qint64(22050);
        QTest::newRow("dotted quarter at 120") << 120 << 4 << true << qint64(33075);
        QTest::newRow("eighth at 120") << 120 << 8 << false << qint64(11025);
        QTest::newRow("whole at 120") << 120 << 1 << false << qint64(88200);
        QTest::newRow("half at 180") << 180 << 2 << false << qint64(29400);
        QTest::newRow("eighth at 152") << 152 << 8 << false << qint64(8704);
        QTest::newRow("dotted 32nd at 152") << 152 << 32 << true << qint64(3264);
        // Rounded once from the exact value: 3675 + 3675 / 2 would give 5512.
        QTest::newRow("dotted 16th at 180") << 180 << 16 << true << qint64(5513);
        QTest::newRow("tempo 0") << 0 << 4 << false << qint64(0);
        QTest::newRow("length 0") << 120 << 0 << true << qint64(0);
        QTest::newRow("largest numbers") << 999999 << 999999 << true << qint64(0);
        QTest::newRow("slowest whole") << 1 << 1 << false << qint64(10584000);
    }
    void noteLengths()
    {
        QFETCH(int, tempo);
        QFETCH(int, k);
        QFETCH(bool, dotted);
        QFETCH(qint64, samples);
        QCOMPARE(mmlLengthSamples(tempo, k, dotted), samples);
    }

    void storedTunes_data()
    {
        QTest::addColumn<int>("sound");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QByteArray>("hash");
        // Frames: the longest track, note lengths summed as above. Tune 2: an eighth rest, a
        // whole note, a whole rest; tune 4's echo tracks: 7350 + 5513 + 5 × 29400 + 58800.
        QTest::newRow("0") << 0 << qint64(88200)
                            << QByteArray("19f0212a2c85ff556ebeb0e7ec8d5ac64299145a606f207ac650c4aab24bf73c");
        QTest::newRow("1") << 1 << qint64(8704 * 33 + 3264)
                            << QByteArray("d206a035ec22c9c5cc10729695551a4c7a7418c9f4ca3e30e2e07218f85ecce1");
        QTest::newRow("2") << 2 << qint64(11025 + 88200 + 88200)
                            << QByteArray("f52bb7ab00b9ff33dd9f785403d3aff41dbf2bd6783656001a0f052eea134f68");
        QTest::newRow("3") << 3 << qint64(7350 + 5513 + 58800 * 2)
                            << QByteArray("cc689493512dad01c38a662b88a2b166badf273fe27d4ff5120da973709dcbbd");
        QTest::newRow("4") << 4 << qint64(7350 + 5513 + 29400 * 5 + 58800)
                            << QByteArray("03cdab54c465038517faf37cf1bc39b1040789d57579fac7b42875a086aab8e8");
    }
    void storedTunes()
    {
        QFETCH(int, sound);
        QFETCH(qint64, frames);
        QFETCH(QByteArray, hash);
        const Tracks tracks = alarmTuneTracks(sound);
        const std::vector<std::int16_t> samples = MmlSynth::renderAll(tracks);
        QCOMPARE(qint64(samples.size()), 2 * frames);
        QByteArray why;
        QVERIFY2(sameAsReference(tracks, 4096, &why), why.constData());
        QCOMPARE(sha256(samples), hash);
        // Only the silent tune is silent.
        QCOMPARE(std::all_of(samples.begin(), samples.end(), [](std::int16_t s) { return s == 0; }), sound == 0);
    }

    void tuneTwoShape()
    {
        // Silence for the eighth rest, two seconds of sound, then the closing rest.
        const std::vector<std::int16_t> s = MmlSynth::renderAll(alarmTuneTracks(2));
        auto silent = [&](qint64 from, qint64 to) {
            return std::all_of(s.begin() + 2 * from, s.begin() + 2 * to, [](std::int16_t v) { return v == 0; });
        };
        QVERIFY(silent(0, 11025));
        QVERIFY(s[2 * 11025 + 2] != 0 || s[2 * 11025 + 3] != 0); // the square starts at once
        // Held for 95 % of the note (83790 samples), then a release of 512 samples.
        QVERIFY(!silent(11025 + 83790 + 400, 11025 + 83790 + 512));
        QVERIFY(silent(11025 + 83790 + 512, 187425));
    }

    void unknownTunes()
    {
        MmlSynth synth;
        QVERIFY(!synth.loadTune(-1));
        QVERIFY(!synth.loadTune(5));
        QVERIFY(alarmTuneTracks(5).empty());
        std::int16_t buf[8];
        QCOMPARE(synth.render(buf, 4), 0); // nothing loaded: ended
    }

    // Every feature of the language against the plain synthesiser, and each in chunks of a
    // few awkward sizes, so block boundaries never change a sample.
    void matchesReference_data()
    {
        QTest::addColumn<QStringList>("tracks");
        auto row = [](const char *name, QStringList t) { QTest::newRow(name) << t; };
        row("tie keeps phase and sums gates", {"t180 @10 o4 l2 c&c r4 c^c^c8"});
        row("every instrument", {"t200 l8 @0 a @10 a @11 a @80 a @81 a @5 a @128 a @129 a @999 a"});
        row("accidentals and spacing", {"t150 o5 l16 c# c+ d- e%#  + f - - g8 a 4 b"});
        row("dots, gate, ties", {"t133 l4 q50 c. d.. e,10 f,0 g,200 a.,33& a b,&b"});
        row("octaves out of range", {"l32 o9 c d e f g a b > c o0 c < c < c n0 n127 n128 n"});
        row("tempo from another track", {"t100 l8 cdefgab", "r16 t240 l8 cdefgab", "r8 r64 t60 l4 c"});
        row("zero lengths", {"l0 c d e l4 t0 c d t120 e", "q0 c d"});
        row("volume and pan extremes", {"v0 c v127 p0 d p128 e v999 p999 f", "v999999 p0 c4 c", "v127 p128 @80 c1"});
        row("eight tracks loud", {"@81 v127 c1", "@81 v127 e1", "@81 v127 g1", "@81 v127 >c1",
                                  "@0 v127 c1", "@0 v127 e1", "@0 v127 g1", "@80 v127 >c1"});
        row("long bell decay", {"t30 @11 o3 l1 c&c&c", "t30 @10 q5 o6 l1 c r"});
        row("a broken track beside a good one", {"t120 l8 c d x e", "l8 c d e f g"});
        row("numbers beyond the bound", {"l1000000 c", "t9999999999999999999999 c", "c,1234567", "n12345678", "o4 c8"});
        row("upper case and line breaks", {"T140 O5 L8\nC\tD E R4 A"});
        row("empty and missing", {"", "c"});
        row("case of a tied rest", {"l8 r& c c"});
    }
    void matchesReference()
    {
        QFETCH(QStringList, tracks);
        std::vector<std::string> owned;
        for (const QString &t : tracks)
            owned.push_back(t.toStdString());
        const Tracks view(owned.begin(), owned.end());
        for (const std::int64_t chunk : {1, 7, 1000, 4096, 100000}) {
            QByteArray why;
            QVERIFY2(sameAsReference(view, chunk, &why), (QByteArray::number(qint64(chunk)) + ": " + why).constData());
        }
    }

    void randomTracksMatchReference()
    {
        // Mostly well-formed commands with odd values, now and then a stray character.
        QRandomGenerator rng(15);
        const char *commands[] = {"c", "d", "e", "f", "g", "a", "b", "r", "n", "o", "<", ">", "l", "q", "v",
                                  "@", "p", "t", "#", "-", "+", ".", ",", "&", "^", " ", "%"};
        for (int round = 0; round < 60; ++round) {
            std::vector<std::string> owned;
            const int trackCount = 1 + rng.bounded(kMmlTrackCount + 1);
            for (int i = 0; i < trackCount; ++i) {
                std::string text = "t" + std::to_string(100 + rng.bounded(400));
                for (int n = rng.bounded(24); n > 0; --n) {
                    text += commands[rng.bounded(int(std::size(commands)))];
                    if (rng.bounded(3) == 0)
                        text += std::to_string(rng.bounded(3) == 0 ? rng.bounded(200) : 4 + rng.bounded(60));
                    if (rng.bounded(60) == 0)
                        text += char(rng.bounded(256));
                }
                owned.push_back(text);
            }
            const Tracks view(owned.begin(), owned.end());
            QByteArray why;
            QVERIFY2(sameAsReference(view, 1 + rng.bounded(5000), &why),
                     (QByteArray(owned[0].c_str()) + ": " + why).constData());
        }
    }

    void brokenTracksReportAndEnd()
    {
        std::vector<int> errors;
        MmlSynth synth;
        synth.setDiagnosticSink([&](int track) { errors.push_back(track); });
        // Track 1 stops at "x" after one note; track 3 has a number that would overflow.
        synth.load({"l8 c c c c", "l8 c x c", "r", "l99999999999999999999 c"});
        std::vector<std::int16_t> buf(2 * 100000);
        const std::int64_t frames = synth.render(buf.data(), 100000);
        QCOMPARE(errors, (std::vector<int>{3, 1}));
        QCOMPARE(frames, 4 * 11025); // track 0 runs to its end
        QVERIFY(synth.ended());
    }

    void diagnosticsGoToStandardError()
    {
        // The command-line program's data goes to standard output; nothing of ours may.
        QTemporaryFile out, err;
        QVERIFY(out.open() && err.open());
        std::fflush(stdout);
        std::fflush(stderr);
        const int savedOut = dup(1), savedErr = dup(2);
        dup2(out.handle(), 1);
        dup2(err.handle(), 2);
        const std::vector<std::int16_t> s = MmlSynth::renderAll({"c8", "c8", "c8 !"});
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(savedOut, 1);
        dup2(savedErr, 2);
        close(savedOut);
        close(savedErr);
        QCOMPARE(qint64(s.size()), 2 * 11025);
        // The descriptors shared the files' offsets: read from the start.
        QVERIFY(out.seek(0) && err.seek(0));
        QCOMPARE(out.readAll(), QByteArray());
        QCOMPARE(err.readAll(), QByteArray("MML Error at Track 2\n"));
    }

    void wavHeader()
    {
        const QByteArray wav = alarmWav({1, -2, 0x1234, -32768});
        QCOMPARE(wav.size(), 44 + 8);
        QCOMPARE(wav.toHex(), QByteArray("52494646" "2c000000" "57415645" "666d7420" "10000000" "0100" "0200"
                                         "44ac0000" "10b10200" "0400" "1000" "64617461" "08000000"
                                         "0100" "feff" "3412" "0080"));
    }
};

QTEST_GUILESS_MAIN(TestSynth)
#include "tst_synth.moc"
