// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/edit_tab/advanced_options_dialog.h"

#include "base/decimal_text.h"
#include "base/message_table.h"
#include "base/prompter.h"
#include "message/current_message.h"
#include "sound/alarm_player.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

constexpr const char *kListNames[AdvancedOptionsDialog::ListCount] = {
    "titlePosition",  "style",      "scrollCount",  "scrollSpeed",     "displayMinutes",
    "displaySeconds", "fontSize",   "verticalPosition", "horizontalPosition", "level",
    "blink",          "lappedOverPicture", "alarmVolume", "alarmSound", "alarmCustomSound",
    "alarmLoop",      "alarmInterval",
};

constexpr int kStyleScroll = 0;
constexpr int kStylePopOn = 2;
constexpr int kStylePictureSide = 3;
constexpr int kMaxScrollCount = 100;
constexpr int kMaxDisplayMinutes = 127;

QStringList messages(std::initializer_list<int> keys)
{
    QStringList texts;
    for (int key : keys)
        texts << msg(key);
    return texts;
}

QStringList numbers(std::initializer_list<int> values)
{
    QStringList texts;
    for (int value : values)
        texts << QString::number(value);
    return texts;
}

// The index as tabled, or `fallback` when the value names no item.
int indexFor(const QComboBox *list, int value, int fallback)
{
    return value >= 0 && value < list->count() ? value : fallback;
}

// An editable list shows `text`; the matching item, if any, is selected so that the
// drop-down opens on it.
void showText(QComboBox *list, const QString &text)
{
    const int index = list->findText(text, Qt::MatchExactly);
    if (index >= 0)
        list->setCurrentIndex(index);
    list->setEditText(text);
}

} // namespace

AdvancedOptionsDialog::AdvancedOptionsDialog(const MessageOptions &options, ColourCode background,
                     const TargetCapabilities &caps, AlarmPlayer *player, Prompter &prompter,
                     QWidget *parent)
    : QDialog(parent), m_options(options), m_background(background), m_caps(caps),
      m_player(player), m_prompter(prompter)
{
    setWindowTitle(tr("Advanced"));
    const int level = caps.firmwareLevel();
    m_levelUsable = level > 2 && caps.hasLevel();
    m_alarm = m_levelUsable && caps.AlarmCapable();

    QStringList styles = messages({1055, 1056, 1057});
    if (m_levelUsable && caps.PictureSideCapable())
        styles << msg(1058);

    makeList(TitlePosition, messages({1052, 1053, 1054}));
    makeList(Style, styles);
    makeList(ScrollCount, QStringList{msg(1067)} + numbers({1, 2, 4, 6, 8, 10, 20, 40, 60, 80, 100}),
             true);
    makeList(ScrollSpeed, messages({1068, 1069, 1070}));
    makeList(DisplayMinutes,
             QStringList{msg(1071)} + numbers({0, 1, 2, 4, 6, 8, 10, 20, 40, 60, 80, 100, 127}), true);
    makeList(DisplaySeconds, numbers({0, 30}));
    makeList(FontSize, messages({1059, 1060}));
    makeList(VerticalPosition, messages({1061, 1062, 1063}));
    makeList(HorizontalPosition, messages({1074, 1075}));
    makeList(Level, messages({1064, 1065, 1066}));
    makeList(Blink, messages({1073, 1072}));
    makeList(LappedOverPicture, messages({1076, 1077}));
    makeList(AlarmVolume, messages({1078, 1079, 1080}));
    makeList(AlarmSound, QStringList{msg(1081)} + numbers({1, 2, 3, 4}));
    makeList(AlarmCustomSound, numbers({0, 1, 2, 3, 4, 5, 6, 7}));
    makeList(AlarmLoop, QStringList{msg(1082)} + numbers({1, 3, 5}));
    makeList(AlarmInterval, numbers({0, 1, 2, 3, 4, 5}));

    m_play = new QPushButton(tr("PLAY"), this);
    m_play->setObjectName(QStringLiteral("play"));
    m_stop = new QPushButton(tr("STOP"), this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    // PLAY and STOP must never take Enter from the OK button.
    m_play->setAutoDefault(false);
    m_stop->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    buildLayout();
    fillFrom(options);

    // Opening: everything that depends on the projector starts disabled.
    for (List l : {HorizontalPosition, LappedOverPicture, AlarmVolume, AlarmSound,
                   AlarmCustomSound, AlarmLoop, AlarmInterval})
        list(l)->setEnabled(false);
    m_play->setEnabled(false);
    m_stop->setEnabled(false);
    if (m_levelUsable) {
        list(HorizontalPosition)->setEnabled(true);
        list(LappedOverPicture)->setEnabled(true);
        if (m_alarm) {
            for (List l : {AlarmVolume, AlarmSound, AlarmLoop, AlarmInterval})
                list(l)->setEnabled(true);
            applySoundRule();
        }
    }
    applyStyleRule();
    applyDisplayTimeRule();

    // The rules follow every selection change, from the mouse, the keyboard or the wheel.
    connect(list(Style), &QComboBox::currentIndexChanged, this, [this] {
        applyStyleRule();
        applyDisplayTimeRule();
    });
    connect(list(AlarmSound), &QComboBox::currentIndexChanged, this, [this] {
        if (m_alarm && !m_playing)
            applySoundRule();
    });
    // The editable lists: choosing an item and typing are told apart, so that a number the
    // operator types is never taken for a chosen item and items are never added by typing.
    connect(list(DisplayMinutes), &QComboBox::activated, this, [this] { applyDisplayTimeRule(); });
    connect(list(DisplayMinutes)->lineEdit(), &QLineEdit::textEdited, this,
            &AdvancedOptionsDialog::minutesEdited);
    connect(list(ScrollCount)->lineEdit(), &QLineEdit::textEdited, this,
            &AdvancedOptionsDialog::scrollCountEdited);

    connect(m_play, &QPushButton::clicked, this, &AdvancedOptionsDialog::play);
    connect(m_stop, &QPushButton::clicked, this, &AdvancedOptionsDialog::stop);
    connect(m_ok, &QPushButton::clicked, this, &AdvancedOptionsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &AdvancedOptionsDialog::reject);
    if (m_player)
        connect(m_player, &AlarmPlayer::finished, this, &AdvancedOptionsDialog::playerFinished);
}

AdvancedOptionsDialog::~AdvancedOptionsDialog()
{
    // Only reachable while playing when the owner tears the dialog down itself.
    if (m_playing && m_player)
        m_player->stop();
}

QComboBox *AdvancedOptionsDialog::makeList(List which, const QStringList &items, bool editable)
{
    auto *box = new QComboBox(this);
    box->setObjectName(QLatin1String(kListNames[which]));
    box->addItems(items);
    if (editable) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // No completion: a typed "12" must stay 12, not become the item "127".
        box->setCompleter(nullptr);
    }
    m_lists[which] = box;
    return box;
}

void AdvancedOptionsDialog::buildLayout()
{
    auto row = [this](QFormLayout *form, const QString &label, List which) {
        form->addRow(label, list(which));
    };

    auto *titleGroup = new QGroupBox(tr("Title option"), this);
    auto *titleForm = new QFormLayout(titleGroup);
    row(titleForm, tr("Position"), TitlePosition);

    auto *messageGroup = new QGroupBox(tr("Message option"), this);
    auto *messageForm = new QFormLayout(messageGroup);
    row(messageForm, tr("Style"), Style);
    row(messageForm, tr("Scroll num"), ScrollCount);
    row(messageForm, tr("Scroll speed"), ScrollSpeed);
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(list(DisplayMinutes), 1);
    timeRow->addWidget(new QLabel(tr("min"), this));
    timeRow->addWidget(list(DisplaySeconds));
    timeRow->addWidget(new QLabel(tr("sec"), this));
    messageForm->addRow(tr("Display time"), timeRow);

    auto *commonGroup = new QGroupBox(tr("Common option"), this);
    auto *commonForm = new QFormLayout(commonGroup);
    row(commonForm, tr("Character font size"), FontSize);
    row(commonForm, tr("Vertical posioton"), VerticalPosition);
    row(commonForm, tr("Horizontal position"), HorizontalPosition);
    row(commonForm, tr("Level"), Level);
    row(commonForm, tr("Blink"), Blink);
    row(commonForm, tr("Lapped over picture"), LappedOverPicture);

    auto *alarmGroup = new QGroupBox(tr("Alarm"), this);
    auto *alarmForm = new QFormLayout;
    alarmForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    row(alarmForm, tr("Volume"), AlarmVolume);
    row(alarmForm, tr("Sound number"), AlarmSound);
    // Kept with the options but never offered.
    list(AlarmCustomSound)->hide();
    row(alarmForm, tr("Loop"), AlarmLoop);
    auto *intervalRow = new QHBoxLayout;
    intervalRow->addWidget(list(AlarmInterval));
    intervalRow->addWidget(new QLabel(tr("sec"), this));
    intervalRow->addStretch();
    alarmForm->addRow(tr("Interval"), intervalRow);
    m_soundNote = new QLabel(this);
    m_soundNote->setObjectName(QStringLiteral("soundNote"));
    m_soundNote->setWordWrap(true);
    m_soundNote->setMaximumWidth(m_play->sizeHint().width() * 3);
    auto *playColumn = new QVBoxLayout;
    playColumn->addStretch();
    playColumn->addWidget(m_play);
    playColumn->addWidget(m_stop);
    playColumn->addWidget(m_soundNote);
    auto *alarmRow = new QHBoxLayout(alarmGroup);
    alarmRow->addLayout(alarmForm, 1);
    alarmRow->addLayout(playColumn);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *grid = new QGridLayout;
    grid->addWidget(titleGroup, 0, 0);
    grid->addWidget(messageGroup, 1, 0);
    grid->addWidget(alarmGroup, 2, 0);
    grid->addWidget(commonGroup, 0, 1, 3, 1, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AdvancedOptionsDialog::fillFrom(const MessageOptions &o)
{
    list(TitlePosition)->setCurrentIndex(indexFor(list(TitlePosition), o.titlePosition, 0));
    list(Style)->setCurrentIndex(indexFor(list(Style), o.style, 0));

    const bool endless = o.scrollCount == 0 || o.scrollCount == OptionUnset;
    showText(list(ScrollCount), endless ? list(ScrollCount)->itemText(0)
                                        : QString::number(o.scrollCount));
    list(ScrollSpeed)->setCurrentIndex(o.scrollSpeed > 2 ? 1 : o.scrollSpeed);

    const bool unlimited = o.displayMinutes == OptionUnset
                           || (o.displayMinutes == 0 && o.displayHalfMinute == 0);
    showText(list(DisplayMinutes), unlimited ? list(DisplayMinutes)->itemText(0)
                                             : QString::number(o.displayMinutes));
    // Only 0 and 1 are half-minute values; anything else shows "0" and is left alone.
    const bool halfMinuteKnown = o.displayHalfMinute <= 1;
    list(DisplaySeconds)->setCurrentIndex(halfMinuteKnown ? o.displayHalfMinute : 0);
    list(DisplaySeconds)->setEnabled(halfMinuteKnown);

    list(FontSize)->setCurrentIndex(indexFor(list(FontSize), o.fontSize, 0));
    list(VerticalPosition)->setCurrentIndex(indexFor(list(VerticalPosition), o.verticalPosition, 0));
    // "Right" is stored as 2 (1 is never produced). Read the same way whatever the level,
    // so that an OK without a projector keeps a stored "Right".
    list(HorizontalPosition)->setCurrentIndex(o.horizontalPosition == 2 ? 1 : 0);
    list(Level)->setCurrentIndex(indexFor(list(Level), o.level, 0));
    list(Blink)->setCurrentIndex(indexFor(list(Blink), o.blink, 0));
    list(LappedOverPicture)->setCurrentIndex(indexFor(list(LappedOverPicture), o.lappedOverPicture, 1));

    list(AlarmVolume)->setCurrentIndex(indexFor(list(AlarmVolume), o.alarmVolume, 0));
    list(AlarmSound)->setCurrentIndex(indexFor(list(AlarmSound), o.alarmSound, 0));
    // The custom sound is never offered: an unknown value shows no selection and is kept.
    list(AlarmCustomSound)->setCurrentIndex(indexFor(list(AlarmCustomSound), o.alarmCustomSound, -1));
    int loopIndex = 0;
    if (o.alarmLoop == 1)
        loopIndex = 1;
    else if (o.alarmLoop == 3)
        loopIndex = 2;
    else if (o.alarmLoop == 5)
        loopIndex = 3;
    list(AlarmLoop)->setCurrentIndex(loopIndex);
    list(AlarmInterval)->setCurrentIndex(indexFor(list(AlarmInterval), o.alarmInterval, 0));
}

bool AdvancedOptionsDialog::isRepeat(List which) const
{
    return list(which)->currentText() == list(which)->itemText(0);
}

int AdvancedOptionsDialog::indexOr(List which, quint8 fallback) const
{
    const int index = list(which)->currentIndex();
    return index >= 0 ? index : fallback;
}

void AdvancedOptionsDialog::applyStyleRule()
{
    const int style = list(Style)->currentIndex();
    const bool scroll = style == kStyleScroll;
    const bool pictureSide = style == kStylePictureSide;

    list(ScrollCount)->setEnabled(scroll);
    list(ScrollSpeed)->setEnabled(scroll);
    list(DisplayMinutes)->setEnabled(!scroll);
    list(DisplaySeconds)->setEnabled(!scroll);
    list(Blink)->setEnabled(style == kStylePopOn);
    if (pictureSide) {
        list(TitlePosition)->setCurrentIndex(0);
        list(FontSize)->setCurrentIndex(0);
    }
    list(TitlePosition)->setEnabled(!pictureSide);
    list(FontSize)->setEnabled(!pictureSide);
    list(VerticalPosition)->setEnabled(!pictureSide);
    list(HorizontalPosition)->setEnabled(pictureSide);
    list(LappedOverPicture)->setEnabled(pictureSide);
}

void AdvancedOptionsDialog::applyDisplayTimeRule()
{
    QComboBox *seconds = list(DisplaySeconds);
    if (isRepeat(DisplayMinutes)) {
        seconds->setCurrentIndex(0);
        seconds->setEnabled(false);
        return;
    }
    const bool scroll = list(Style)->currentIndex() == kStyleScroll;
    if (!scroll && seconds->currentIndex() < 0)
        seconds->setCurrentIndex(0);
    seconds->setEnabled(!scroll);
}

void AdvancedOptionsDialog::minutesEdited(const QString &text)
{
    QComboBox *seconds = list(DisplaySeconds);
    if (text == QLatin1String("0")) {
        // 0 minutes and 0 seconds is no valid time.
        seconds->setCurrentIndex(1);
        seconds->setEnabled(true);
        return;
    }
    if (text.isEmpty())
        return;
    if (leadingDecimal(text) == 0)
        list(DisplayMinutes)->lineEdit()->clear();
    seconds->setEnabled(true);
}

void AdvancedOptionsDialog::scrollCountEdited(const QString &text)
{
    if (leadingDecimal(text) == 0) {
        showText(list(ScrollCount), list(ScrollCount)->itemText(0));
        // The next keystroke replaces "Repeat" instead of being appended to it.
        list(ScrollCount)->lineEdit()->selectAll();
    }
}

void AdvancedOptionsDialog::applySoundRule()
{
    const bool sound = list(AlarmSound)->currentIndex() > 0;
    list(AlarmVolume)->setEnabled(sound);
    list(AlarmLoop)->setEnabled(sound);
    list(AlarmInterval)->setEnabled(sound);
    m_play->setEnabled(sound && m_player);
    list(AlarmSound)->setEnabled(true);
    list(AlarmCustomSound)->setEnabled(false);
    m_stop->setEnabled(false);
}

void AdvancedOptionsDialog::setPlaying(bool playing)
{
    m_playing = playing;
    m_ok->setEnabled(!playing);
    m_cancel->setEnabled(!playing);
    list(AlarmSound)->setEnabled(!playing);
    m_stop->setEnabled(playing);
    m_play->setEnabled(!playing && m_player && list(AlarmSound)->currentIndex() > 0);
    if (!playing && !m_ok->hasFocus() && !m_play->isEnabled())
        m_ok->setFocus();
}

void AdvancedOptionsDialog::play()
{
    if (!m_player || m_playing)
        return;
    const int sound = list(AlarmSound)->currentIndex();
    setPlaying(true);
    if (sound <= 0) {
        setPlaying(false);
        return;
    }
    // Every start owes one finished(), also a failed one; counting them keeps a late
    // finished() of an earlier failed start from ending a tune that plays now.
    ++m_pendingFinished;
    m_soundNote->clear();
    if (!m_player->start(sound)) {
        // Silence without a word looked like a broken button.
        m_soundNote->setText(msg(1174));
        setPlaying(false);
    }
}

void AdvancedOptionsDialog::stop()
{
    if (m_player && m_playing)
        m_player->stop();
}

void AdvancedOptionsDialog::playerFinished()
{
    if (m_pendingFinished > 0)
        --m_pendingFinished;
    if (m_playing && m_pendingFinished == 0)
        setPlaying(false);
}

void AdvancedOptionsDialog::done(int result)
{
    // Esc, the window's close button, Cancel and OK all end here: none may close the
    // dialog while a tune plays.
    if (m_playing)
        return;
    QDialog::done(result);
}

void AdvancedOptionsDialog::accept()
{
    if (m_playing)
        return;
    const int scrollCount = leadingDecimal(list(ScrollCount)->currentText());
    if (scrollCount > kMaxScrollCount || scrollCount < 0) {
        m_prompter.inform(msg(1013));
        return;
    }
    const QString minutesText = list(DisplayMinutes)->currentText();
    const int minutes = leadingDecimal(minutesText);
    if (minutes > kMaxDisplayMinutes || minutes < 0) {
        m_prompter.inform(msg(1014));
        return;
    }
    if (minutesText == QLatin1String("0") && list(DisplaySeconds)->currentIndex() == 0) {
        m_prompter.inform(msg(1015));
        return;
    }
    if (minutesText.isEmpty()) {
        m_prompter.inform(msg(1014));
        return;
    }

    MessageOptions &o = m_options;
    o.style = quint8(indexOr(Style, o.style));
    o.verticalPosition = quint8(indexOr(VerticalPosition, o.verticalPosition));
    o.fontSize = quint8(indexOr(FontSize, o.fontSize));
    o.titlePosition = quint8(indexOr(TitlePosition, o.titlePosition));
    o.level = quint8(indexOr(Level, o.level));
    o.scrollSpeed = quint8(indexOr(ScrollSpeed, o.scrollSpeed));
    o.blink = quint8(indexOr(Blink, o.blink));
    o.lappedOverPicture = quint8(indexOr(LappedOverPicture, o.lappedOverPicture));
    o.horizontalPosition = list(HorizontalPosition)->currentIndex() == 0 ? 0 : 2;
    o.displayAttribute = displayAttributeForBackground(m_background);
    o.scrollCount = quint8(scrollCount);
    o.displayMinutes = quint8(minutes);
    o.displayHalfMinute = list(DisplaySeconds)->currentIndex() == 1 ? 1 : 0;
    if (m_caps.AlarmCapable()) {
        o.alarmVolume = quint8(indexOr(AlarmVolume, o.alarmVolume));
        o.alarmSound = quint8(indexOr(AlarmSound, o.alarmSound));
        o.alarmCustomSound = quint8(indexOr(AlarmCustomSound, o.alarmCustomSound));
        o.alarmInterval = quint8(indexOr(AlarmInterval, o.alarmInterval));
        o.alarmLoop = quint8(leadingDecimal(list(AlarmLoop)->currentText()));
    }
    QDialog::accept();
}

bool runAdvancedDialog(QWidget *parent, CurrentMessage &message, const TargetCapabilities &caps,
                       AlarmPlayer *player, Prompter &prompter)
{
    AdvancedOptionsDialog dialog(message.options, message.background, caps, player, prompter, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.options() == message.options)
        return false;
    message.options = dialog.options();
    return true;
}

} // namespace glintcaster
