// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// sound: an alarm tune written to a WAV file, and optionally played.
#include "cli/cli_common.h"

#include "base/safe_file.h"

#include "sound/alarm_tunes.h"
#include "sound/alarm_wav.h"
#include "sound/mml_synth.h"
#include "sound/sdl_alarm_player.h"

#include <QEventLoop>
#include <QJsonObject>

#include <memory>

namespace glintcaster::cli {

namespace {

struct SoundOptions {
    CommonOptions common;
    std::string sound; // text, so that "" or "1x" is refused rather than read as a number
    std::string output;
    bool play = false;
};

/// Plays `sound` to its end; a machine without sound output only gets a warning.
void play(int sound)
{
    SdlAlarmPlayer player;
    QEventLoop loop;
    QObject::connect(&player, &AlarmPlayer::finished, &loop, &QEventLoop::quit);
    if (!player.start(sound) && !player.errorString().isEmpty())
        printErr(QStringLiteral("Cannot play tune %1: %2").arg(sound).arg(player.errorString()));
    loop.exec(); // finished() comes in every case
}

int soundCommand(const SoundOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const QString number = QString::fromStdString(o.sound);
    const bool numeric = number.size() == 1 && number.at(0).isDigit() && number.at(0).unicode() < 0x80;
    const int sound = numeric ? number.toInt() : -1;
    if (sound < 0 || sound >= kAlarmTuneCount) {
        printErr(QStringLiteral("The sound number is 0 to %1, not \"%2\".").arg(kAlarmTuneCount - 1).arg(number));
        return ExitUsage;
    }
    QString path;
    if (!argumentPath(o.output, &path))
        return ExitUsage;
    if (const QString problem = outputPathProblem(path); !problem.isEmpty()) {
        printErr(QStringLiteral("%1: %2").arg(path, problem));
        return ExitRefused;
    }
    const std::vector<std::int16_t> samples = MmlSynth::renderAll(alarmTuneTracks(sound));
    QString error;
    if (!writeFileSafely(path, alarmWav(samples), &error)) {
        printErr(QStringLiteral("%1: cannot be written: %2").arg(path, error));
        return ExitRefused;
    }
    const qint64 frames = qint64(samples.size() / kAlarmChannels);
    const double seconds = double(frames) / kAlarmSampleRate;
    if (o.common.json) {
        printJson({{QStringLiteral("sound"), sound},
                   {QStringLiteral("file"), path},
                   {QStringLiteral("frames"), frames},
                   {QStringLiteral("seconds"), seconds},
                   {QStringLiteral("rate"), kAlarmSampleRate},
                   {QStringLiteral("channels"), kAlarmChannels},
                   {QStringLiteral("bits"), kAlarmBits}});
    } else {
        printOut(QStringLiteral("%1: tune %2, %3 frames, %4 s")
                     .arg(path).arg(sound).arg(frames).arg(seconds, 0, 'f', 3));
    }
    if (o.play)
        play(sound);
    return ExitOk;
}

} // namespace

void addSoundCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<SoundOptions>();
    auto *cmd = app.add_subcommand("sound", "Write an alarm tune to a WAV file (44100 Hz, 16-bit stereo)");
    cmd->add_option("N", o->sound, "Sound number, 0 (silent) to 4")->required();
    cmd->add_option("-o,--output", o->output, "The WAV file to write")->required();
    cmd->add_flag("--play", o->play, "Also play the tune on this computer and wait for its end");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, soundCommand);
}

} // namespace glintcaster::cli
