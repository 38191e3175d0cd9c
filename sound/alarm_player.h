// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QObject>

namespace glintcaster {

/// Plays the projector's alarm tunes on this computer's sound output, one at a time.
///
/// The Advanced dialog holds a reference to one of these: PLAY calls start(), STOP calls
/// stop(), and the dialog returns to idle when finished() arrives. finished() is always
/// delivered on the thread that owns the player (queued, never from inside start() or
/// stop()), exactly once per successful or failed start(): when the tune ends, after
/// stop(), or at once when the tune cannot be played (sound 0, no audio device). A player
/// that is destroyed while playing stops and joins its threads first.
class AlarmPlayer : public QObject {
    Q_OBJECT
public:
    /// The posted "playing has ended" message of the sound preview. It shares its number
    /// with a job runner message, so it is kept apart under its own name.
    static constexpr int FinishedMessageNumber = 32833;

    using QObject::QObject;
    ~AlarmPlayer() override = default;

    /// Starts tune `sound` (0..4 as in the Advanced dialog). Returns false when nothing
    /// plays (sound 0, unknown tune, audio device failure); finished() follows regardless.
    virtual bool start(int sound) = 0;
    /// Raises the stop flag; finished() follows once the audio has stopped.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

signals:
    void finished();
};

} // namespace glintcaster
