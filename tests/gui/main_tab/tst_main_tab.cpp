// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The Main tab driven offscreen against substitute projectors, through the real job window.
#include "app/message_folder.h"
#include "gui/main_window.h"
#include "gui/main_tab/main_tab.h"
#include "gui/main_tab/startup_display_dialog.h"
#include "gui/gui_test_support.h"
#include "base/prompter.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "gui/main_tab/stored_messages_dialog.h"
#include "gui/widgets/job_status_window.h"
#include "message/message_file.h"
#include "render/payload_encoder.h"
#include "sim/projector_sim.h"

#include <QAction>
#include <QCheckBox>
#include <QMenuBar>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const char *const kPlain = "127.0.61.1";  // level 4, alarm, greets without a password
const char *const kSecret = "127.0.61.2"; // the same with the password "secret"
const char *const kOld = "127.0.61.3";    // level 3: no alarm, so no monitor

std::unique_ptr<ProjectorSim> startSim(const char *address, int level, const QString &password = {})
{
    auto sim = std::make_unique<ProjectorSim>(QHostAddress(QString::fromLatin1(address)));
    sim->config().discoveryMulticast = false;
    sim->config().discoveryUnicast = false;
    sim->setGreetingMode(SimGreeting::Always); // the slot list needs a greeting
    sim->setPassword(password);
    sim->setFirmwareLevel(level);
    return sim->start() ? std::move(sim) : nullptr;
}

/// What a projector was asked, without the monitor's and the capability query's traffic.
QList<QByteArray> commands(ProjectorSim &sim)
{
    QList<QByteArray> list;
    for (const SimRequest &r : sim.requests()) {
        if (!r.authenticated)
            list << "unauthenticated";
        else if (!r.command.startsWith("CTRL 3534") && !r.command.startsWith("CTRL 3535")
                 && !r.command.startsWith("CTRL 0F0"))
            list << (r.parsed.command == simwire::Command::Put ? QByteArray("PUT") : r.command);
    }
    return list;
}

QByteArray ctrl(quint16 code, quint8 type, quint16 value = 0)
{
    return controlCommandText(code, type, value);
}

} // namespace

class TestMainTab : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UiTestEnvironment> m_env;
    ScriptedPrompter m_prompter;
    std::unique_ptr<ProjectorSim> m_plain, m_secret, m_old;
    MainTab *m_tab = nullptr;
    MainTab::DialogRunner m_runDialog;
    bool m_nameProjectors = false;

    std::unique_ptr<MainWindow> makeFrame(bool register_ = true)
    {
        if (register_) {
            ProjectorStore store(m_env->lastPj());
            for (auto [address, password] : {std::pair{kPlain, ""}, {kSecret, "secret"}, {kOld, ""}}) {
                ProjectorEntry d;
                d.ProjectorName = QStringLiteral("PJ");
                parseIpv4(QString::fromLatin1(address), &d.IP);
                d.hasPassword = *password != '\0';
                d.Pass = QString::fromLatin1(password);
                if (!store.addProjector(d, m_prompter))
                    qFatal("cannot register %s", address);
            }
        }
        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.nameProjectorsInBoxes = m_nameProjectors;
        setup.runSendLockDialog = [](bool locked, QWidget *) { return std::optional<bool>(!locked); };
        setup.createMainPage = [this](MainWindow &frame) {
            m_tab = new MainTab(frame);
            ExchangeTimings quick;
            quick.monitorSleep = std::chrono::milliseconds(20);
            quick.monitorSleeps = 1;
            m_tab->setMonitorTimings(quick);
            ExchangeTimings list = slotListTimings();
            list.greetingWait = std::chrono::milliseconds(200);
            m_tab->setSlotListTimings(list);
            m_tab->setDialogRunner([this](QDialog &d) { return m_runDialog ? m_runDialog(d) : 0; });
            return m_tab;
        };
        auto frame = std::make_unique<MainWindow>(setup);
        m_prompter.clear();
        for (ProjectorSim *s : {m_plain.get(), m_secret.get(), m_old.get()})
            s->clearRequests();
        return frame;
    }

    void choose(int projector)
    {
        m_tab->projectorBox()->setCurrentIndex(projector);
        m_prompter.clear();
        for (ProjectorSim *s : {m_plain.get(), m_secret.get(), m_old.get()})
            s->clearRequests();
    }

    QString writeMessage(const QString &name, const QString &body)
    {
        CurrentMessage message;
        message.setTitle(RichText(QStringLiteral("Notice")));
        message.setBody(RichText(body));
        const QString path = AppHome::messageDataDir() + u'/' + name;
        writeMessageFile(path, message, false, MessageFileContext::forTarget({}, nullptr, {}));
        return path;
    }

    QStringList areaState() const
    {
        auto onOff = [](QWidget *w) { return QString::fromLatin1(w->isEnabled() ? "on" : "off"); };
        return {m_tab->startupCheck()->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked"),
                onOff(m_tab->startupCheck()), m_tab->startupMinutesBox()->currentText(),
                onOff(m_tab->startupMinutesBox()), m_tab->startupSlotLabel()->text(),
                m_tab->startupTimeLabel()->text(), onOff(m_tab->startupTimeUnit()),
                onOff(m_tab->editStartupButton())};
    }

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<UiTestEnvironment>();
        m_plain = startSim(kPlain, 4);
        m_secret = startSim(kSecret, 4, QStringLiteral("secret"));
        m_old = startSim(kOld, 3);
        QVERIFY(m_plain && m_secret && m_old);
    }

    void init()
    {
        m_env->resetHome();
        QDir(AppHome::messageDataDir()).removeRecursively();
        m_prompter = ScriptedPrompter();
        m_runDialog = nullptr;
        m_nameProjectors = false;
        for (ProjectorSim *s : {m_plain.get(), m_secret.get(), m_old.get()}) {
            s->updateDevice([](SimDevice &d) { d = SimDevice{}; });
            s->clearRawAnswers();
        }
        m_old->setFirmwareLevel(3);
    }

    void controlsSendTheirCommands_data()
    {
        QTest::addColumn<int>("projector");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("choice"); // the slot list's index, or the clear range
        QTest::addColumn<int>("clearSlot");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<QStringList>("shown");
        const QByteArray status = ctrl(0x6020, 2);
        const QList<QByteArray> check2{status, ctrl(0x3530, 1, 0x0200), ctrl(0x3531, 2)};
        const QString done = QStringLiteral("    Complete.");
        const QString sure = QStringLiteral("You clicked [Clear]. Are you sure?");
        QTest::newRow("display on") << 0 << "on" << 2 << 0 << (check2 + QList<QByteArray>{ctrl(0x3510, 1, 0x0201)}) << QStringList{};
        QTest::newRow("display off, password") << 1 << "off" << 2 << 0 << (check2 + QList<QByteArray>{ctrl(0x3510, 1, 0x0200)}) << QStringList{};
        QTest::newRow("power on and display on") << 0 << "power" << 2 << 0 << (check2 + QList<QByteArray>{ctrl(0x3510, 1, 0x8201)}) << QStringList{};
        QTest::newRow("display on, empty slot") << 0 << "on" << 4 << 0
                                                << QList<QByteArray>{status, ctrl(0x3530, 1, 0x0400), ctrl(0x3531, 2)}
                                                << QStringList{"No Message Data."};
        QTest::newRow("clear all") << 0 << "clear" << 0 << 0 << QList<QByteArray>{status, ctrl(0x3511, 6, 1)} << QStringList{sure, done};
        QTest::newRow("clear quick, password") << 1 << "clear" << 1 << 0 << QList<QByteArray>{status, ctrl(0x3512, 6, 1)} << QStringList{sure, done};
        QTest::newRow("clear saved number ALL") << 0 << "clear" << 2 << 0 << QList<QByteArray>{status, ctrl(0x3513, 6, 1)} << QStringList{sure, done};
        QTest::newRow("clear saved number 12") << 0 << "clear" << 2 << 12 << QList<QByteArray>{status, ctrl(0x351F, 6, 1)} << QStringList{sure, done};
        QTest::newRow("clear answered No") << 0 << "clear-no" << 0 << 0 << QList<QByteArray>{} << QStringList{sure};
        QTest::newRow("mute, password") << 1 << "mute" << 0 << 0 << QList<QByteArray>{status, ctrl(0x2002, 1, 1)} << QStringList{done};
    }

    void controlsSendTheirCommands()
    {
        QFETCH(int, projector);
        QFETCH(QString, operation);
        QFETCH(int, choice);
        QFETCH(int, clearSlot);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(QStringList, shown);
        ProjectorSim *sim = projector == 0 ? m_plain.get() : m_secret.get();
        sim->setSlot(2, QByteArray(16, '\xFF'), "x");
        auto frame = makeFrame();
        choose(projector);
        m_tab->displaySlotBox()->setCurrentIndex(choice);
        m_tab->clearRadio(qMin(choice, 2))->setChecked(true);
        QCOMPARE(m_tab->clearSlotBox()->isEnabled(), choice >= 2);
        m_tab->clearSlotBox()->setCurrentIndex(clearSlot);
        m_prompter.script({operation == "clear" ? PromptAnswer::Yes : PromptAnswer::No});
        if (operation == "on")
            m_tab->displayOn();
        else if (operation == "off")
            m_tab->displayOff();
        else if (operation == "power")
            m_tab->powerOnAndDisplayOn();
        else if (operation.startsWith("clear"))
            m_tab->clear();
        else
            m_tab->mute();
        QCOMPARE(commands(*sim), expected);
        QCOMPARE(m_prompter.texts(), shown);
        // However the handler ended, the alarm-capable projector is watched again.
        QVERIFY(m_tab->monitor().isRunning());
    }

    void sendUploadsAndKeepsTheStartupDisplay_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("projectorStartup");
        QTest::addColumn<QString>("minutes"); // empty: "Startup Display" unchecked
        QTest::addColumn<QList<QByteArray>>("startupCommands");
        QTest::addColumn<QString>("startupLabel");
        QTest::newRow("no startup") << 3 << 0 << "" << QList<QByteArray>{} << "None";
        QTest::newRow("startup repeat") << 3 << 0 << "Repeat" << QList<QByteArray>{ctrl(0x3532, 1, 0x8300)} << "3";
        QTest::newRow("startup 10 min") << 5 << 0x8203 << "10" << QList<QByteArray>{ctrl(0x3532, 1, 0x850A)} << "5";
        QTest::newRow("overwriting the startup slot") << 4 << 0x8405 << "" << QList<QByteArray>{ctrl(0x3532, 1, 0x0400)} << "None";
        QTest::newRow("another slot than the startup's") << 6 << 0x8405 << "" << QList<QByteArray>{} << "4";
    }

    void sendUploadsAndKeepsTheStartupDisplay()
    {
        QFETCH(int, slot);
        QFETCH(int, projectorStartup);
        QFETCH(QString, minutes);
        QFETCH(QList<QByteArray>, startupCommands);
        QFETCH(QString, startupLabel);
        writeMessage(QStringLiteral("a.glc"), QStringLiteral("unused"));
        const QString path = writeMessage(QStringLiteral("b.glc"), QStringLiteral("Doors open at 9"));
        m_secret->setStartupSetting(projectorStartup);
        m_secret->setStatScript("150");
        auto frame = makeFrame();
        choose(1);
        m_tab->fileBox()->setCurrentIndex(1);
        m_tab->sendSlotBox()->setCurrentIndex(slot);
        if (m_tab->startupCheck()->isChecked())
            QTest::mouseClick(m_tab->startupCheck(), Qt::LeftButton); // unchecked by the operator
        if (!minutes.isEmpty()) {
            QTest::mouseClick(m_tab->startupCheck(), Qt::LeftButton);
            QCOMPARE(m_tab->startupMinutesBox()->currentText(), QStringLiteral("3"));
            m_tab->startupMinutesBox()->setEditText(minutes);
        }
        m_secret->clearRequests();
        m_tab->send();

        QList<QByteArray> expected{ctrl(0x6020, 2), "PUT"};
        for (int i = 0; i < 3; ++i) // storage progress: '1', '5', then '0'
            expected << "STAT " + QByteArray::number(slot, 16).toUpper() + "\r\n";
        QCOMPARE(commands(*m_secret), expected + startupCommands);
        QCOMPARE(m_prompter.texts(), QStringList{"    Complete."});
        QCOMPARE(m_tab->startupSlotLabel()->text(), startupLabel);

        // The upload carries the chosen file exactly as the encoder makes it.
        CurrentMessage message;
        QVERIFY(readMessageForSend(path, frame->session().capabilities(), m_prompter, &message));
        PayloadContext context;
        context.prompter = &m_prompter;
        context.capabilities = frame->session().capabilities();
        PayloadResult payload;
        QCOMPARE(BuildPayload(message, PayloadPurpose::Send, context, &payload), 0);
        const SimSlot stored = m_secret->slot(slot);
        QCOMPARE(stored.header.size(), 32); // the alarm-capable projector gets the long header
        QCOMPARE(stored.header, payload.header.toByteArray());
        QCOMPARE(stored.body, payload.body.left(payload.bodyLength));
        QTRY_VERIFY(m_tab->monitor().isRunning());
    }

    void sendStopsBeforeAnyTraffic_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("locked") << "lock" << QStringList{"The Send button is locked."};
        QTest::newRow("no projector") << "unregistered" << QStringList{"Please select PROJECTOR"};
        QTest::newRow("empty folder") << "nofile" << QStringList{"No Saved data"};
        QTest::newRow("not a message file") << "garbage" << QStringList{"This file format is not supported."};
        QTest::newRow("empty body") << "empty" << QStringList{"Please input Message"};
        QTest::newRow("startup 0") << "0" << QStringList{"Display time : Invalid value"};
        QTest::newRow("startup 128") << "128" << QStringList{"Display time : Invalid value"};
    }

    void sendStopsBeforeAnyTraffic()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, shown);
        if (setup == "garbage") {
            QFile file(AppHome::messageDataDir() + QStringLiteral("/bad.glc"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\\rtf1 not a message}");
        } else if (setup != "nofile") {
            writeMessage(QStringLiteral("m.glc"), setup == "empty" ? QString() : QStringLiteral("Hi"));
        }
        auto frame = makeFrame(setup != "unregistered");
        if (setup == "lock")
            frame->sendLockCommand(false);
        if (setup != "unregistered")
            choose(0);
        m_tab->sendSlotBox()->setCurrentIndex(2);
        if (setup == "0" || setup == "128") {
            QTest::mouseClick(m_tab->startupCheck(), Qt::LeftButton);
            m_tab->startupMinutesBox()->setEditText(setup);
        }
        m_prompter.clear();
        m_plain->clearRequests();
        m_tab->send();
        QCOMPARE(m_prompter.texts(), shown);
        QCOMPARE(commands(*m_plain), QList<QByteArray>{});
        QCOMPARE(m_plain->device().uploadCount, 0);
        if (setup != "unregistered")
            QVERIFY(m_tab->monitor().isRunning());
    }

    void fileListIsRefilledFromScratch()
    {
        writeMessage(QStringLiteral("one.glc"), QStringLiteral("1"));
        auto frame = makeFrame();
        QCOMPARE(m_tab->fileBox()->count(), 1);
        QFile::remove(AppHome::messageDataDir() + QStringLiteral("/one.glc"));
        m_tab->refreshProjectorBox();
        QCOMPARE(m_tab->fileBox()->count(), 0);
        m_tab->send();
        QCOMPARE(m_prompter.texts(), QStringList{"No Saved data"});
    }

    void startupAreaFollowsTheProjector_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("startup");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("enabled, same slot") << 4 << 0x8305 << 3 << QStringList{"checked", "on", "5", "on", "3", "5", "on", "on"};
        QTest::newRow("enabled, other slot") << 4 << 0x8305 << 2 << QStringList{"unchecked", "on", "", "off", "3", "5", "on", "on"};
        QTest::newRow("enabled, repeat") << 4 << 0x8300 << 3 << QStringList{"checked", "on", "Repeat", "on", "3", "Repeat", "off", "on"};
        QTest::newRow("enabled, quick") << 4 << 0x8305 << 0 << QStringList{"unchecked", "off", "", "off", "3", "5", "on", "on"};
        QTest::newRow("not enabled") << 4 << 0x0000 << 2 << QStringList{"unchecked", "on", "", "off", "None", "-", "off", "on"};
        QTest::newRow("not enabled, quick") << 4 << 0x0000 << 0 << QStringList{"unchecked", "off", "", "off", "None", "-", "off", "on"};
        QTest::newRow("level 1") << 1 << 0x8305 << 3 << QStringList{"unchecked", "off", "", "off", "-", "-", "off", "off"};
        QTest::newRow("unreachable") << -1 << 0x8305 << 3 << QStringList{"unchecked", "off", "", "off", "-", "-", "off", "off"};
    }

    void startupAreaFollowsTheProjector()
    {
        QFETCH(int, level);
        QFETCH(int, startup);
        QFETCH(int, slot);
        QFETCH(QStringList, expected);
        m_plain->setFirmwareLevel(qMax(level, 0));
        m_plain->setStartupSetting(startup);
        if (level < 0)
            m_plain->setFault(SimFault::Refuse);
        auto frame = makeFrame();
        m_tab->sendSlotBox()->setCurrentIndex(slot);
        m_plain->setFault(SimFault::None);
        QCOMPARE(areaState(), expected);
        QVERIFY(m_prompter.texts().isEmpty()); // an unreachable projector is no error here
        // An unreachable projector is watched only to notice its return.
        QCOMPARE(m_tab->monitor().isRunning(), level == 4 || level < 0);
    }

    void startupCheckBoxRemembersItsMinutes()
    {
        auto frame = makeFrame();
        m_tab->sendSlotBox()->setCurrentIndex(2);
        QCheckBox *check = m_tab->startupCheck();
        QVERIFY(check->isEnabled());
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(m_tab->startupMinutesBox()->currentText(), QStringLiteral("3"));
        QVERIFY(m_tab->startupMinutesUnit()->isEnabled());
        m_tab->startupMinutesBox()->setEditText(QStringLiteral("Repeat"));
        QVERIFY(!m_tab->startupMinutesUnit()->isEnabled());
        m_tab->startupMinutesBox()->setEditText(QStringLiteral("20"));
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(m_tab->startupMinutesBox()->currentText(), QString());
        QVERIFY(!m_tab->startupMinutesBox()->isEnabled());
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(m_tab->startupMinutesBox()->currentText(), QStringLiteral("20"));
    }

    void monitorLabelsFollowItsValues()
    {
        auto frame = makeFrame();
        using namespace JobMessage;
        struct Row {
            int number;
            int value;
            QStringList labels; // message state, slot, alarm state, sound; "!" marks disabled
            bool mute;
        };
        const Row rows[] = {
            {MonitorValueA, 0x0301, {"ON", "Saved number:3", "!-", "!-"}, false},
            {MonitorValueA, 0x0001, {"ON", "Saved number:Quick", "!-", "!-"}, false},
            {MonitorValueB, 0x0201, {"ON", "Saved number:Quick", "ON", "Sound number:2"}, true},
            {MonitorAnswer8, 0, {"ON", "Saved number:Quick", "ON", "Sound number:2"}, true},
            {MonitorValueB, 0x0000, {"ON", "Saved number:Quick", "OFF", "!Sound number:-"}, false},
            {MonitorValueB, 0x0005, {"ON", "Saved number:Quick", "ON", "Sound number:None"}, true},
            {MonitorValueA, 0x0500, {"OFF", "!Saved number:-", "ON", "Sound number:None"}, true},
            {MonitorFailed, 12, {"!-", "!-", "!-", "!-"}, false},
            {MonitorValueA, 0x0C01, {"ON", "Saved number:12", "!-", "!-"}, false},
            {MonitorAnswer9, 0, {"!-", "!-", "!-", "!-"}, false},
        };
        for (const Row &row : rows) {
            m_tab->monitorMessage(row.number, row.value);
            QStringList labels;
            for (QLabel *l : {m_tab->messageStateLabel(), m_tab->messageSlotLabel(), m_tab->alarmStateLabel(),
                              m_tab->alarmSoundLabel()})
                labels << (l->isEnabled() ? QString() : QStringLiteral("!")) + l->text();
            QCOMPARE(labels, row.labels);
            QCOMPARE(m_tab->muteButton()->isEnabled(), row.mute);
        }
    }

    void monitorWatchesOnlyTheChosenAlarmProjector()
    {
        m_plain->setMessageState(0x0201);
        m_plain->setAlarmState(0x0301);
        auto frame = makeFrame();
        QTRY_COMPARE(m_tab->alarmSoundLabel()->text(), QStringLiteral("Sound number:3"));
        QCOMPARE(m_tab->messageSlotLabel()->text(), QStringLiteral("Saved number:2"));
        QVERIFY(m_tab->muteButton()->isEnabled());

        // A message the previous loop left queued changes nothing.
        const quint64 stale = m_tab->monitor().start(frame->session().jobTarget(), m_tab) ;
        m_tab->monitor().start(frame->session().jobTarget(), m_tab);
        QCoreApplication::postEvent(m_tab, new WorkerEvent(JobMessage::MonitorFailed, 12, stale));
        QCoreApplication::sendPostedEvents(m_tab);
        QCOMPARE(m_tab->alarmStateLabel()->text(), QStringLiteral("ON"));

        // The level 3 projector is not watched: the labels go back to "-".
        choose(2);
        QVERIFY(!m_tab->monitor().isRunning());
        QCOMPARE(m_tab->alarmStateLabel()->text(), QStringLiteral("-"));
        QVERIFY(!m_tab->muteButton()->isEnabled());
        QVERIFY(!frame->session().capabilities().AlarmCapable());

        // Opening the projector list stops the monitor; closing it without a change restarts it.
        choose(0);
        QVERIFY(m_tab->monitor().isRunning());
        m_tab->projectorBox()->showPopup();
        QVERIFY(!m_tab->monitor().isRunning());
        m_tab->projectorBox()->hidePopup();
        QTRY_VERIFY(m_tab->monitor().isRunning());

        // A projector that cannot be asked keeps nothing of the previous one.
        m_secret->setFault(SimFault::Refuse);
        choose(1);
        m_secret->setFault(SimFault::None);
        QVERIFY(!frame->session().capabilities().AlarmCapable());
        QVERIFY(m_tab->monitor().isRunning()); // only to notice its return
        QVERIFY(!m_tab->startupAreaValid());
    }

    void failedQueryShowsTheUnknownStateUntilTheProjectorAnswers()
    {
        // A failed query left the previous answers on screen, the Startup Display box
        // ticked; and only choosing the projector again brought it back.
        m_plain->setStartupSetting(StartupSetting{true, 2, 5}.value());
        m_plain->setAlarmState(0x0301);
        auto frame = makeFrame();
        m_tab->sendSlotBox()->setCurrentIndex(2);
        QVERIFY(m_tab->startupCheck()->isChecked());
        QTRY_COMPARE(m_tab->alarmStateLabel()->text(), QStringLiteral("ON"));

        m_plain->setFault(SimFault::Refuse);
        m_tab->refreshTarget(); // as at every return to the tab
        const QStringList unknown{"unchecked", "off", "", "off", "-", "-", "off", "off"};
        QCOMPARE(areaState(), unknown);
        QCOMPARE(m_tab->alarmStateLabel()->text(), QStringLiteral("-"));

        m_plain->setFault(SimFault::None);
        m_tab->startMonitor();
        QTRY_VERIFY(m_tab->startupCheck()->isChecked());
        QTRY_COMPARE(m_tab->alarmStateLabel()->text(), QStringLiteral("ON"));
    }

    void boxesNameTheProjector()
    {
        // With several rooms, a bare "Communication error" did not say which one failed,
        // nor the Clear question what it would clear where.
        m_nameProjectors = true;
        auto frame = makeFrame();
        m_plain->setFault(SimFault::Refuse);
        m_prompter.script({PromptAnswer::Yes});
        m_tab->clearRadio(2)->setChecked(true);
        m_tab->clearSlotBox()->setCurrentIndex(12);
        m_tab->clear();
        m_plain->setFault(SimFault::None);
        const QString room = QStringLiteral("PJ (127.0.61.1)\n");
        QCOMPARE(m_prompter.texts().size(), 2);
        QCOMPARE(m_prompter.texts().at(0),
                 QStringLiteral("You clicked [Clear]. Are you sure?\n\n") + room + QStringLiteral("Clear: saved number 12"));
        QVERIFY2(m_prompter.texts().at(1).startsWith(room + QStringLiteral("Communication error")),
                 qPrintable(m_prompter.texts().at(1)));
    }

    void failedReadsCarryTheProgramsName()
    {
        auto frame = makeFrame();
        m_plain->setFault(SimFault::Refuse);
        m_tab->displayOn(); // the status check cannot connect
        m_tab->sendSlotBox()->setCurrentIndex(3); // an unreachable projector's capabilities: no box
        m_plain->setFault(SimFault::None);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown().first().caption, QString()); // the program's name, as on every box
        QVERIFY(m_prompter.texts().first().startsWith(QStringLiteral("Communication error")));
        QVERIFY(!m_tab->startupAreaValid());
    }

    void altKeysDoNotCollide()
    {
        auto frame = makeFrame();
        QMap<QKeySequence, QString> seen;
        QStringList texts;
        for (QAction *action : frame->menuBar()->actions())
            texts << action->text();
        for (QAbstractButton *b : m_tab->findChildren<QAbstractButton *>())
            texts << b->text();
        for (QLabel *l : m_tab->findChildren<QLabel *>())
            texts << l->text();
        for (const QString &text : texts) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (key.isEmpty())
                continue;
            QVERIFY2(!seen.contains(key), qPrintable(seen.value(key) + QStringLiteral(" / ") + text));
            seen.insert(key, text);
        }
        QVERIFY(seen.size() >= 14);
    }

    void savedNumberChangeAsksTheProjectorAgain()
    {
        auto frame = makeFrame();
        m_tab->sendSlotBox()->setCurrentIndex(7);
        int queries = 0;
        for (const SimRequest &r : m_plain->requests())
            queries += r.command.startsWith("CTRL 0F01");
        QCOMPARE(queries, 1);
    }

    void confirmListsTheSlotsOrReportsTheFailure()
    {
        m_plain->setSlot(3, QByteArray(16, '\xFF'), "x");
        auto frame = makeFrame();
        QStringList rows;
        QString header;
        bool thirteenRows = false;
        int result = -1;
        m_runDialog = [&](QDialog &dialog) {
            auto &window = static_cast<StoredMessagesDialog &>(dialog);
            dialog.show(); // starts the worker
            (void)QTest::qWaitFor([&] { return window.list()->item(12, 1)->text() == QLatin1String("not used"); }, 10000);
            for (int row = 0; row < 13; ++row)
                rows << window.list()->item(row, 0)->text() + u'=' + window.list()->item(row, 1)->text();
            header = window.list()->horizontalHeaderItem(0)->text() + u'|'
                     + window.list()->horizontalHeaderItem(1)->text();
            thirteenRows = window.list()->height() == window.heightForRows(13);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return result = dialog.result();
        };
        m_tab->confirm();
        QCOMPARE(result, 1);
        QCOMPARE(header, QStringLiteral("Stored No.|Status"));
        QVERIFY(thirteenRows);
        QCOMPARE(rows.at(0), QStringLiteral("Quick=not used"));
        QCOMPARE(rows.at(3), QStringLiteral("3=in use"));
        QCOMPARE(rows.at(12), QStringLiteral("12=not used"));
        QVERIFY(m_prompter.texts().isEmpty());

        // Closed while slot 5 is asked: the window ends at once and nothing changes any more.
        m_plain->setAnswerDelay(1500, "INFO 5");
        bool closedAtOnce = false;
        QString row5;
        m_runDialog = [&](QDialog &dialog) {
            auto &window = static_cast<StoredMessagesDialog &>(dialog);
            dialog.show();
            (void)QTest::qWaitFor([&] { return !window.list()->item(4, 1)->text().isEmpty(); }, 10000);
            QTest::keyClick(&dialog, Qt::Key_Return);
            closedAtOnce = !dialog.isVisible() && dialog.result() == 1;
            QTest::qWait(1800); // the late answer arrives after the close
            row5 = window.list()->item(5, 1)->text();
            return dialog.result();
        };
        m_tab->confirm();
        QVERIFY(closedAtOnce);
        QCOMPARE(row5, QString());
        QVERIFY(m_prompter.texts().isEmpty());
        m_plain->setAnswerDelay(0, "INFO 5");

        // No greeting: the window ends by itself with 2 and the tab shows why.
        m_plain->setGreetingMode(SimGreeting::Never);
        m_runDialog = [](QDialog &dialog) { return dialog.exec(); };
        m_tab->confirm();
        m_plain->setGreetingMode(SimGreeting::Always);
        QCOMPARE(m_prompter.texts(), QStringList{"Communication error\n : [Connection error]"});
    }

    void startupEditorRemembersEachSlotsTime()
    {
        ProjectorOperations ops(m_prompter, [](JobRecord &job) { return JobStatusWindow::run(job); });
        ProjectorEndpoint target;
        parseIpv4(QString::fromLatin1(kPlain), &target.address);
        // A startup slot outside 1..12 opens on "None".
        StartupDisplayDialog outside(StartupSetting{true, 13, 5}, ops, target, m_prompter);
        QCOMPARE(outside.slotBox()->currentIndex(), 0);
        QVERIFY(!outside.minutesBox()->isEnabled());

        StartupDisplayDialog dialog(StartupSetting{true, 5, 10}, ops, target, m_prompter);
        QCOMPARE(dialog.minutesBox()->currentText(), QStringLiteral("10"));
        dialog.slotBox()->setCurrentIndex(2);
        QCOMPARE(dialog.minutesBox()->currentText(), QStringLiteral("3"));
        dialog.minutesBox()->setEditText(QStringLiteral("Repeat"));
        QVERIFY(!dialog.minutesLabel()->isEnabled());
        dialog.slotBox()->setCurrentIndex(5);
        QCOMPARE(dialog.minutesBox()->currentText(), QStringLiteral("10"));
        dialog.slotBox()->setCurrentIndex(0);
        QVERIFY(!dialog.minutesBox()->isEnabled());
        QCOMPARE(dialog.minutesBox()->currentText(), QString());
        dialog.slotBox()->setCurrentIndex(2);
        QCOMPARE(dialog.minutesBox()->currentText(), QStringLiteral("Repeat"));
        QCOMPARE(dialog.rememberedMinutes(5), QStringLiteral("10"));
    }

    void startupEditorSendsOnlyWhatIsValid_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QByteArray>("fault"); // "status" fatal, "refuse" the setting refused
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("label"); // the tab's startup slot afterwards
        const QByteArray status = ctrl(0x6020, 2);
        QTest::newRow("slot 5, 10 min") << 5 << "10" << QByteArray() << QList<QByteArray>{status, ctrl(0x3532, 1, 0x850A)} << QStringList{} << "5";
        QTest::newRow("slot 3, repeat") << 3 << "Repeat" << QByteArray() << QList<QByteArray>{status, ctrl(0x3532, 1, 0x8300)} << QStringList{} << "3";
        QTest::newRow("none with repeat") << 0 << "" << QByteArray() << QList<QByteArray>{status, ctrl(0x3532, 1, 0x0101)} << QStringList{} << "None";
        QTest::newRow("128 refused") << 4 << "128" << QByteArray() << QList<QByteArray>{} << QStringList{"Display time : Invalid value"} << "2";
        QTest::newRow("fatal status") << 4 << "6" << QByteArray("status") << QList<QByteArray>{status} << QStringList{"Projector has the fatal error."} << "2";
        QTest::newRow("setting refused") << 4 << "6" << QByteArray("refuse") << QList<QByteArray>{status, ctrl(0x3532, 1, 0x8406)} << QStringList{"Illegal Request."} << "2";
    }

    void startupEditorSendsOnlyWhatIsValid()
    {
        QFETCH(int, slot);
        QFETCH(QString, minutes);
        QFETCH(QByteArray, fault);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(QStringList, shown);
        QFETCH(QString, label);
        m_secret->setStartupSetting(0x8203);
        auto frame = makeFrame();
        choose(1);
        if (fault == "status")
            m_secret->setStatusCharacter('2');
        if (fault == "refuse")
            m_secret->setRawAnswer("CTRL 1\r\n", "CTRL 3532");
        bool stayedOpen = false;
        m_runDialog = [&](QDialog &d) {
            auto &dialog = static_cast<StartupDisplayDialog &>(d);
            dialog.slotBox()->setCurrentIndex(slot);
            dialog.minutesBox()->setEditText(minutes);
            m_secret->clearRequests();
            dialog.accept();
            stayedOpen = dialog.result() != QDialog::Accepted;
            return dialog.result();
        };
        m_tab->editStartup();
        QCOMPARE(commands(*m_secret), expected);
        QCOMPARE(m_prompter.texts(), shown);
        QCOMPARE(stayedOpen, fault == "status" || minutes == "128");
        QCOMPARE(m_tab->startupSlotLabel()->text(), label);
        if (fault == "refuse") // a failed startup setting is reported under the program's name
            QCOMPARE(m_prompter.shown().first().caption, QString());
    }

    void droppedFilesJoinTheList_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("text converted") << "notes.txt" << QByteArray("Fire drill\r\nat noon") << QStringList{"    Complete."} << QStringList{"notes.glc"};
        QTest::newRow("message file copied") << "copy.glc" << QByteArray() << QStringList{"    Complete."} << QStringList{"copy.glc"};
        QTest::newRow("picture refused") << "photo.png" << QByteArray("\x89PNG\r\n") << QStringList{"This file format is not supported."} << QStringList{};
        QTest::newRow("empty text refused") << "empty.txt" << QByteArray() << QStringList{"Please input Message"} << QStringList{};
        QTest::newRow("name clash") << "clash.txt" << QByteArray("x") << QStringList{"Same file name already exists."} << QStringList{"clash.glc"};
    }

    void droppedFilesJoinTheList()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, listed);
        QTemporaryDir outside;
        const QString path = outside.filePath(name);
        if (name == "copy.glc") {
            QDir().rename(writeMessage(name, QStringLiteral("copied")), path);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QDir(AppHome::messageDataDir()).removeRecursively(); // created again when needed
        if (name == "clash.txt")
            writeMessage(QStringLiteral("clash.glc"), QStringLiteral("kept"));
        auto frame = makeFrame();
        m_tab->addMessageFile(path);
        QCOMPARE(m_prompter.texts(), shown);
        QStringList items;
        for (int i = 0; i < m_tab->fileBox()->count(); ++i)
            items << m_tab->fileBox()->itemText(i);
        QCOMPARE(items, listed);
        if (!listed.isEmpty() && name != "clash.txt") {
            // What was added can be sent as it is.
            CurrentMessage message;
            QVERIFY(readMessageForSend(AppHome::messageDataDir() + u'/' + listed.first(),
                                       frame->session().capabilities(), m_prompter, &message));
            QVERIFY(!message.body().isEmpty());
        }
    }
};

QTEST_MAIN(TestMainTab)
#include "tst_main_tab.moc"
