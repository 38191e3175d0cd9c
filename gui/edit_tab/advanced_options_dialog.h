// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/message_options.h"
#include "message/target_capabilities.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QPushButton;

namespace glintcaster {

class AlarmPlayer;
class CurrentMessage;
class Prompter;

/// Opens the Advanced dialog on `message`'s options; on OK writes them back and returns true
/// when anything changed (the caller then marks the message modified and applies a changed
/// font size). `player` may be null: PLAY is then disabled.
bool runAdvancedDialog(QWidget *parent, CurrentMessage &message, const TargetCapabilities &caps,
                       AlarmPlayer *player, Prompter &prompter);

/// The "Advanced" dialog: the display and alarm options of the message being edited. The
/// lists are kept consistent with each other while the operator changes them; OK validates
/// the typed numbers and only then fills options(). While a tune plays the dialog cannot
/// be closed by any route.
class AdvancedOptionsDialog : public QDialog {
    Q_OBJECT
public:
    /// The lists by role; each carries its role's name as its object name.
    enum List {
        TitlePosition,
        Style,
        ScrollCount,
        ScrollSpeed,
        DisplayMinutes,
        DisplaySeconds,
        FontSize,
        VerticalPosition,
        HorizontalPosition,
        Level,
        Blink,
        LappedOverPicture,
        AlarmVolume,
        AlarmSound,
        AlarmCustomSound,
        AlarmLoop,
        AlarmInterval,
        ListCount
    };

    AdvancedOptionsDialog(const MessageOptions &options, ColourCode background, const TargetCapabilities &caps,
              AlarmPlayer *player, Prompter &prompter, QWidget *parent = nullptr);
    ~AdvancedOptionsDialog() override;

    /// The edited options; meaningful once the dialog was accepted.
    const MessageOptions &options() const { return m_options; }

    QComboBox *list(List which) const { return m_lists[which]; }
    QPushButton *playButton() const { return m_play; }
    QPushButton *stopButton() const { return m_stop; }
    /// Beside PLAY and STOP: why the last PLAY played nothing (no sound device).
    QLabel *soundNote() const { return m_soundNote; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    bool isPlaying() const { return m_playing; }
    /// The firmware level allows the horizontal position, the lapped-over-picture choice
    /// and (with the flag) "Picture Side".
    bool levelUsable() const { return m_levelUsable; }

public slots:
    void accept() override;
    void done(int result) override;

private:
    QComboBox *makeList(List which, const QStringList &items, bool editable = false);
    void buildLayout();
    void fillFrom(const MessageOptions &options);

    void applyStyleRule();
    void applyDisplayTimeRule();
    void applySoundRule();
    void minutesEdited(const QString &text);
    void scrollCountEdited(const QString &text);

    void play();
    void stop();
    void playerFinished();
    void setPlaying(bool playing);

    bool isRepeat(List which) const;
    /// Selected index, or `fallback` when the list shows nothing selected.
    int indexOr(List which, quint8 fallback) const;

    MessageOptions m_options;
    ColourCode m_background;
    TargetCapabilities m_caps;
    QPointer<AlarmPlayer> m_player; ///< owned elsewhere; may go before the dialog
    Prompter &m_prompter;
    bool m_levelUsable = false;
    bool m_alarm = false;
    bool m_playing = false;
    int m_pendingFinished = 0; ///< finished() signals owed for start() calls

    QComboBox *m_lists[ListCount] = {};
    QPushButton *m_play = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_soundNote = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace glintcaster
