// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "base/prompter.h"
#include "common/fake_alarm_player.h"
#include "message/current_message.h"
#include "gui/edit_tab/advanced_options_dialog.h"
#include "gui/edit_tab/unsupported_characters_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace glintcaster;
using glintcaster::testing::FakeAlarmPlayer;
using L = AdvancedOptionsDialog::List;

namespace {

TargetCapabilities noProjector()
{
    return {};
}

TargetCapabilities projector(int level, int flags)
{
    TargetCapabilities caps;
    caps.report(level, flags);
    return caps;
}

/// One operator action on a list of the dialog.
struct Step {
    enum Kind { Choose, Type, Paste };
    L list;
    Kind kind;
    QString value;
};

void perform(AdvancedOptionsDialog &dialog, const Step &step)
{
    QComboBox *box = dialog.list(step.list);
    QVERIFY2(box->isEnabled(), qPrintable(box->objectName() + QLatin1String(" is disabled")));
    switch (step.kind) {
    case Step::Choose: {
        const int index = box->findText(step.value, Qt::MatchExactly);
        QVERIFY2(index >= 0, qPrintable(step.value));
        box->setCurrentIndex(index);
        emit box->activated(index);
        break;
    }
    case Step::Type: // key by key, so that every rule on typing sees each keystroke
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), step.value);
        break;
    case Step::Paste:
        box->lineEdit()->selectAll();
        box->lineEdit()->insert(step.value);
        break;
    }
}

using Edit = std::function<void(MessageOptions &)>;

struct OkRow {
    const char *name;
    Edit start;
    TargetCapabilities caps;
    ColourCode background;
    QList<Step> steps;
    int refusal; ///< message key shown on OK, 0 when OK is accepted
    Edit expect; ///< applied to the starting options to give the stored ones
};

// Untouched defaults: "Repeat" minutes and "0" seconds are stored as no time limit.
void noTimeLimit(MessageOptions &o)
{
    o.displayMinutes = 0;
    o.displayHalfMinute = 0;
}

const QList<OkRow> &okRows()
{
    const ColourCode half = ColourCode::HalfTransparent;
    auto box = [](MessageOptions &o) { o.style = 1; };
    static const QList<OkRow> rows = {
        {"untouched new message", {}, noProjector(), half, {}, 0, noTimeLimit},
        {"scroll count 100 accepted", {}, noProjector(), half, {{L::ScrollCount, Step::Type, "100"}}, 0,
         [](MessageOptions &o) { noTimeLimit(o); o.scrollCount = 100; }},
        {"scroll count 101 refused", {}, noProjector(), half, {{L::ScrollCount, Step::Type, "101"}}, 1013, {}},
        {"scroll count past int range is too large, not 1", {}, noProjector(), half,
         {{L::ScrollCount, Step::Type, "4294967297"}}, 1013, {}},
        {"scroll count pasted negative refused", {}, noProjector(), half,
         {{L::ScrollCount, Step::Paste, "-3"}}, 1013, {}},
        {"scroll count read up to the first non-digit", {}, noProjector(), half,
         {{L::ScrollCount, Step::Type, "7abc"}}, 0,
         [](MessageOptions &o) { noTimeLimit(o); o.scrollCount = 7; }},
        {"scroll count Repeat stores 0", [](MessageOptions &o) { o.scrollCount = 20; }, noProjector(), half,
         {{L::ScrollCount, Step::Choose, "Repeat"}}, 0,
         [](MessageOptions &o) { noTimeLimit(o); o.scrollCount = 0; }},
        {"typed 0 minutes switch the seconds to 30", box, noProjector(), half,
         {{L::DisplayMinutes, Step::Type, "0"}}, 0,
         [](MessageOptions &o) { o.displayMinutes = 0; o.displayHalfMinute = 1; }},
        {"Repeat minutes: no time limit",
         [](MessageOptions &o) { o.style = 1; o.displayMinutes = 10; o.displayHalfMinute = 1; }, noProjector(),
         half, {{L::DisplayMinutes, Step::Choose, "Repeat"}}, 0, noTimeLimit},
        {"chosen 0 minutes with 0 seconds refused",
         [](MessageOptions &o) { o.style = 1; o.displayMinutes = 5; o.displayHalfMinute = 0; }, noProjector(),
         half, {{L::DisplayMinutes, Step::Choose, "0"}}, 1015, {}},
        {"minutes above 127 refused", box, noProjector(), half, {{L::DisplayMinutes, Step::Type, "128"}}, 1014, {}},
        {"pasted negative minutes refused", box, noProjector(), half,
         {{L::DisplayMinutes, Step::Paste, "-5"}}, 1014, {}},
        {"minutes that read as 0 are emptied and refused", box, noProjector(), half,
         {{L::DisplayMinutes, Step::Type, "x"}}, 1014, {}},
        {"typed minutes between the items", box, noProjector(), half,
         {{L::DisplayMinutes, Step::Type, "33"}, {L::DisplaySeconds, Step::Choose, "30"}}, 0,
         [](MessageOptions &o) { o.displayMinutes = 33; o.displayHalfMinute = 1; }},
        {"decoded DISPTIME 0xFF stays 127 min 30 s",
         [](MessageOptions &o) { o.style = 1; o.displayMinutes = 127; o.displayHalfMinute = 1; }, noProjector(),
         half, {}, 0, {}},
        {"Picture Side forces title Left and standard size",
         [](MessageOptions &o) { o.titlePosition = 2; o.fontSize = 1; }, projector(4, 3), half,
         {{L::Style, Step::Choose, "Picture Side"}, {L::HorizontalPosition, Step::Choose, "Right"}}, 0,
         [](MessageOptions &o) {
             noTimeLimit(o);
             o.style = 3;
             o.titlePosition = 0;
             o.fontSize = 0;
             o.horizontalPosition = 2;
         }},
        {"Picture Side without a usable level becomes Scroll", [](MessageOptions &o) { o.style = 3; },
         projector(2, 1), half, {}, 0, [](MessageOptions &o) { noTimeLimit(o); o.style = 0; }},
        {"Right kept when no projector was asked", [](MessageOptions &o) { o.horizontalPosition = 2; },
         noProjector(), half, {}, 0, noTimeLimit},
        {"alarm fields kept without alarm support",
         [](MessageOptions &o) {
             o.alarmVolume = 2;
             o.alarmSound = 3;
             o.alarmCustomSound = 5;
             o.alarmLoop = 7;
             o.alarmInterval = 4;
         },
         projector(4, 1), half, {}, 0, noTimeLimit},
        {"alarm fields stored with alarm support", [](MessageOptions &o) {
             o.alarmSound = 1;
             o.alarmCustomSound = 0xFF; // what a decoded block carries
         },
         projector(4, 3), half,
         {{L::AlarmSound, Step::Choose, "4"},
          {L::AlarmLoop, Step::Choose, "5"},
          {L::AlarmVolume, Step::Choose, "High"},
          {L::AlarmInterval, Step::Choose, "3"}},
         0,
         [](MessageOptions &o) {
             noTimeLimit(o);
             o.alarmSound = 4;
             o.alarmLoop = 5;
             o.alarmVolume = 2;
             o.alarmInterval = 3;
         }},
        {"transparent background gives attribute 0x40", {}, noProjector(), ColourCode::Transparent, {}, 0,
         [](MessageOptions &o) { noTimeLimit(o); o.displayAttribute = 0x40; }},
        {"red background gives attribute 1", {}, noProjector(), ColourCode::Red, {}, 0,
         [](MessageOptions &o) { noTimeLimit(o); o.displayAttribute = 1; }},
        {"values off the lists are stored as shown",
         [](MessageOptions &o) {
             o.scrollSpeed = 9;
             o.lappedOverPicture = 15;
             o.level = 7;
             o.displayHalfMinute = 2;
         },
         projector(4, 0), half, {}, 0,
         [](MessageOptions &o) {
             noTimeLimit(o);
             o.scrollSpeed = 1;
             o.lappedOverPicture = 1;
             o.level = 0;
         }},
    };
    return rows;
}

QString comboState(const QComboBox *box)
{
    return box->currentText() + (box->isEnabled() ? QString() : QStringLiteral(" (off)"));
}

} // namespace

class TestMessageDialogs : public QObject {
    Q_OBJECT

    ScriptedPrompter m_prompter;
    FakeAlarmPlayer m_player;

    std::unique_ptr<AdvancedOptionsDialog> open(const MessageOptions &options, const TargetCapabilities &caps,
                                    AlarmPlayer *player, ColourCode background = ColourCode::HalfTransparent)
    {
        auto dialog = std::make_unique<AdvancedOptionsDialog>(options, background, caps, player, m_prompter);
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("dialog not active");
        return dialog;
    }

private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }
    void init()
    {
        m_prompter = ScriptedPrompter();
        m_player.failNextStart = false;
        m_player.finishOnStop = true; // as a real player: STOP ends the tune shortly after
        m_player.finish(true);
        QCoreApplication::processEvents();
        m_player.starts.clear();
        m_player.stops = 0;
    }

    void advancedOpening_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("expected");
        // Each case lists the lists that matter: shown text, "(off)" when disabled.
        QTest::newRow("no projector, Scroll")
            << 0 << int(TargetCapabilities::NotAsked) << 0
            << "style=Scroll scrollCount=Repeat displayMinutes=Repeat (off) displaySeconds=0 (off) "
               "horizontalPosition=Right (off) lappedOverPicture=Enable (off) alarmSound=2 (off) "
               "blink=Off (off) styles=3";
        QTest::newRow("Picture Side not offered below level 3")
            << 3 << 2 << 1
            << "style=Scroll scrollCount=Repeat displayMinutes=127 (off) displaySeconds=30 (off) "
               "horizontalPosition=Right (off) lappedOverPicture=Enable (off) alarmSound=2 (off) "
               "blink=Off (off) styles=3";
        QTest::newRow("Picture Side with the alarm")
            << 3 << 4 << 3
            << "style=Picture Side scrollCount=Repeat (off) displayMinutes=127 displaySeconds=30 "
               "horizontalPosition=Right lappedOverPicture=Enable alarmSound=2 blink=Off (off) styles=4";
        QTest::newRow("Pop on")
            << 2 << 4 << 1
            << "style=Pop on scrollCount=Repeat (off) displayMinutes=127 displaySeconds=30 "
               "horizontalPosition=Right (off) lappedOverPicture=Enable (off) alarmSound=2 (off) "
               "blink=Off styles=4";
    }
    void advancedOpening()
    {
        QFETCH(int, style);
        QFETCH(int, level);
        QFETCH(int, flags);
        QFETCH(QString, expected);
        MessageOptions o;
        o.style = quint8(style);
        o.horizontalPosition = 2;
        o.alarmSound = 2;
        if (style != 0) { // a decoded DISPTIME of 0xFF
            o.displayMinutes = 127;
            o.displayHalfMinute = 1;
        }
        auto d = open(o, projector(level, flags), &m_player);
        QStringList shown;
        for (L l : {L::Style, L::ScrollCount, L::DisplayMinutes, L::DisplaySeconds, L::HorizontalPosition,
                    L::LappedOverPicture, L::AlarmSound, L::Blink})
            shown << d->list(l)->objectName() + u'=' + comboState(d->list(l));
        shown << QStringLiteral("styles=%1").arg(d->list(L::Style)->count());
        QCOMPARE(shown.join(u' '), expected);
        QVERIFY(d->list(L::AlarmCustomSound)->isHidden());
        QVERIFY(!d->list(L::AlarmCustomSound)->isEnabled());
        QVERIFY(!d->stopButton()->isEnabled());
        QCOMPARE(d->playButton()->isEnabled(), level == 4 && (flags & 2));
    }

    void advancedOk_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < okRows().size(); ++i)
            QTest::newRow(okRows()[i].name) << i;
    }
    void advancedOk()
    {
        QFETCH(int, row);
        const OkRow &r = okRows()[row];
        MessageOptions start;
        if (r.start)
            r.start(start);
        auto d = open(start, r.caps, &m_player, r.background);
        for (const Step &step : r.steps) {
            perform(*d, step);
            if (QTest::currentTestFailed())
                return;
        }
        d->okButton()->click();
        if (r.refusal) {
            QCOMPARE(m_prompter.texts(), QStringList{msg(r.refusal)});
            QCOMPARE(m_prompter.shown().first().icon, PromptIcon::Information);
            QVERIFY(d->isVisible());
            return;
        }
        QCOMPARE(m_prompter.texts(), QStringList{});
        QCOMPARE(d->result(), int(QDialog::Accepted));
        MessageOptions expected = start;
        if (r.expect)
            r.expect(expected);
        QCOMPARE(toString(d->options()), toString(expected));
    }

    void advancedRulesFollowEveryChange()
    {
        MessageOptions o;
        o.alarmSound = 2;
        auto d = open(o, projector(4, 3), &m_player);
        QComboBox *style = d->list(L::Style);
        auto on = [&](L l) { return d->list(l)->isEnabled(); };

        // Keyboard changes run the style rule without the list being opened.
        QTest::keyClick(style, Qt::Key_Down); // Box
        QVERIFY(!on(L::ScrollCount) && !on(L::ScrollSpeed) && on(L::DisplayMinutes));
        QVERIFY2(!on(L::DisplaySeconds), "Repeat minutes keep the seconds off");
        QVERIFY(!on(L::Blink));
        QTest::keyClick(style, Qt::Key_Down); // Pop on
        QVERIFY(on(L::Blink));
        QTest::keyClick(style, Qt::Key_Down); // Picture Side
        QVERIFY(!on(L::TitlePosition) && !on(L::FontSize) && !on(L::VerticalPosition));
        QVERIFY(on(L::HorizontalPosition) && on(L::LappedOverPicture) && !on(L::Blink));
        QTest::keyClick(style, Qt::Key_Up); // Pop on
        QVERIFY(on(L::TitlePosition) && !on(L::HorizontalPosition));

        // Typed minutes: the seconds follow; a typed "12" is not completed to "127".
        QLineEdit *minutes = d->list(L::DisplayMinutes)->lineEdit();
        minutes->selectAll();
        QTest::keyClicks(minutes, QStringLiteral("12"));
        QCOMPARE(minutes->text(), QStringLiteral("12"));
        QVERIFY(on(L::DisplaySeconds));
        minutes->selectAll();
        QTest::keyClicks(minutes, QStringLiteral("0"));
        QCOMPARE(d->list(L::DisplaySeconds)->currentText(), QStringLiteral("30"));

        // The sound rule follows keyboard selection too.
        QComboBox *sound = d->list(L::AlarmSound);
        QTest::keyClick(sound, Qt::Key_Home);
        QCOMPARE(sound->currentText(), QStringLiteral("None"));
        QVERIFY(!on(L::AlarmVolume) && !on(L::AlarmLoop) && !on(L::AlarmInterval));
        QVERIFY(!d->playButton()->isEnabled() && on(L::AlarmSound));
        QTest::keyClick(sound, Qt::Key_Down);
        QVERIFY(on(L::AlarmVolume) && on(L::AlarmLoop) && on(L::AlarmInterval));
        QVERIFY(d->playButton()->isEnabled());

        // Scroll count: what does not read as a number falls back to "Repeat"; typing and
        // Enter never add an item.
        QTest::keyClick(style, Qt::Key_Home); // Scroll
        QComboBox *scroll = d->list(L::ScrollCount);
        const int items = scroll->count();
        scroll->lineEdit()->selectAll();
        QTest::keyClicks(scroll->lineEdit(), QStringLiteral("0"));
        QCOMPARE(scroll->currentText(), QStringLiteral("Repeat"));
        QTest::keyClicks(scroll->lineEdit(), QStringLiteral("55"));
        QCOMPARE(scroll->currentText(), QStringLiteral("55"));
        QTest::keyClick(scroll->lineEdit(), Qt::Key_Return);
        QCOMPARE(scroll->count(), items);
    }

    void advancedCannotCloseWhileATunePlays()
    {
        MessageOptions o;
        o.alarmSound = 3;
        auto d = open(o, projector(4, 3), &m_player);
        auto idle = [&] {
            return !d->isPlaying() && d->okButton()->isEnabled() && d->cancelButton()->isEnabled()
                   && d->list(L::AlarmSound)->isEnabled() && d->playButton()->isEnabled()
                   && !d->stopButton()->isEnabled();
        };
        QVERIFY(idle());

        d->playButton()->click();
        QCOMPARE(m_player.starts, QList<int>{3});
        QVERIFY(d->isPlaying() && d->stopButton()->isEnabled());
        QVERIFY(!d->okButton()->isEnabled() && !d->cancelButton()->isEnabled());
        QVERIFY(!d->list(L::AlarmSound)->isEnabled() && !d->playButton()->isEnabled());
        QTest::keyClick(d.get(), Qt::Key_Escape);
        QVERIFY(!d->close());
        d->reject();
        d->accept();
        QVERIFY(d->isVisible());

        // The tune ends by itself.
        m_player.finish();
        QTRY_VERIFY(idle());

        // STOP.
        d->playButton()->click();
        d->stopButton()->click();
        QCOMPARE(m_player.stops, 1);
        QTRY_VERIFY(idle());

        QTest::keyClick(d.get(), Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Rejected));
    }

    void advancedFailedStartReturnsToIdleAtOnce()
    {
        MessageOptions o;
        o.alarmSound = 1;
        auto d = open(o, projector(4, 3), &m_player);
        m_player.failNextStart = true;
        d->playButton()->click();
        QVERIFY(!d->isPlaying() && d->okButton()->isEnabled() && d->playButton()->isEnabled());
        QCOMPARE(d->soundNote()->text(), QStringLiteral("No sound device: the tune cannot be played here."));

        // The failed start's finished() arrives late: it must not end a tune that plays now.
        d->playButton()->click();
        QVERIFY(d->isPlaying());
        QVERIFY(d->soundNote()->text().isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(d->isPlaying());
        QVERIFY(!d->okButton()->isEnabled());
        m_player.finish();
        QTRY_VERIFY(!d->isPlaying());
    }

    void advancedPlayNeedsPlayerAndAlarm()
    {
        MessageOptions o;
        o.alarmSound = 2;
        auto withoutPlayer = open(o, projector(4, 3), nullptr);
        QVERIFY(withoutPlayer->list(L::AlarmSound)->isEnabled());
        QVERIFY(!withoutPlayer->playButton()->isEnabled());
        auto withoutAlarm = open(o, projector(4, 1), &m_player);
        for (L l : {L::AlarmVolume, L::AlarmSound, L::AlarmCustomSound, L::AlarmLoop, L::AlarmInterval})
            QVERIFY(!withoutAlarm->list(l)->isEnabled());
        QVERIFY(!withoutAlarm->playButton()->isEnabled());
    }

    void runAdvancedDialogWritesBackOnlyChanges()
    {
        CurrentMessage message;
        message.options.displayMinutes = 0;
        message.options.displayHalfMinute = 0;
        auto answer = [this](std::function<void(AdvancedOptionsDialog *)> act) {
            QTimer::singleShot(0, this, [act] {
                auto *d = qobject_cast<AdvancedOptionsDialog *>(QApplication::activeModalWidget());
                QVERIFY(d);
                act(d);
            });
        };
        // Cancel after a change: nothing written.
        answer([](AdvancedOptionsDialog *d) {
            d->list(L::FontSize)->setCurrentIndex(1);
            d->cancelButton()->click();
        });
        QVERIFY(!runAdvancedDialog(nullptr, message, noProjector(), &m_player, m_prompter));
        QCOMPARE(message.options.fontSize, quint8(0));
        // OK without a change: nothing to mark.
        answer([](AdvancedOptionsDialog *d) { d->okButton()->click(); });
        QVERIFY(!runAdvancedDialog(nullptr, message, noProjector(), &m_player, m_prompter));
        // OK with a change.
        answer([](AdvancedOptionsDialog *d) {
            d->list(L::FontSize)->setCurrentIndex(1);
            d->okButton()->click();
        });
        QVERIFY(runAdvancedDialog(nullptr, message, noProjector(), &m_player, m_prompter));
        QCOMPARE(message.options.fontSize, quint8(1));
    }

    /// Writes the README's picture of the dialog when GLINTCASTER_SCREENSHOTS names a folder.
    void advancedScreenshot()
    {
        const QString folder = qEnvironmentVariable("GLINTCASTER_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("GLINTCASTER_SCREENSHOTS not set");
        MessageOptions o;
        o.style = 2;
        o.displayMinutes = 10;
        o.displayHalfMinute = 1;
        o.alarmSound = 2;
        o.alarmLoop = 3;
        auto d = open(o, projector(4, 7), &m_player);
        QVERIFY(d->grab().save(QDir(folder).filePath(QStringLiteral("advanced-dialog.png"))));
    }

    void notSupportedReport_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("autoDelete");
        QTest::newRow("Auto Del") << "autoDelete" << true;
        QTest::newRow("OK") << "ok" << false;
        QTest::newRow("Enter") << "enter" << false;
        QTest::newRow("Esc") << "escape" << false;
    }
    void notSupportedReport()
    {
        QFETCH(QString, action);
        QFETCH(bool, autoDelete);
        QString shownReport;
        QTimer::singleShot(0, this, [&] {
            auto *d = qobject_cast<UnsupportedCharactersDialog *>(QApplication::activeModalWidget());
            QVERIFY(d);
            shownReport = d->reportView()->toPlainText();
            QVERIFY(d->reportView()->isReadOnly());
            if (action == QLatin1String("autoDelete"))
                d->autoDeleteButton()->click();
            else if (action == QLatin1String("ok"))
                d->okButton()->click();
            else
                QTest::keyClick(d, action == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
        });
        const QString report = QStringLiteral("Line 3 : [\u20AC]\r\nLine 5 : [\u2126]\r\n");
        QCOMPARE(showUnsupportedCharacters(nullptr, report), autoDelete);
        QCOMPARE(shownReport, QStringLiteral("Line 3 : [\u20AC]\nLine 5 : [\u2126]\n"));
    }
};

QTEST_MAIN(TestMessageDialogs)
#include "tst_dialogs.moc"
