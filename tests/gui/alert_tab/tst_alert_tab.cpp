// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The Alert tab offscreen against substitute projectors: the one question, the states in the
// table, other sends refused during a run, the summary and history, the three message
// sources, and group editing.
#include "base/app_home.h"
#include "app/projector_groups.h"
#include "message/message_file.h"
#include "comm/job_runner.h"
#include "comm/worker_harness.h"
#include "gui/alert_tab/alert_run_view.h"
#include "gui/alert_tab/alert_tab.h"
#include "gui/alert_tab/group_tree.h"
#include "gui/edit_tab/edit_tab.h"
#include "gui/edit_tab/message_edit_box.h"
#include "gui/gui_test_support.h"
#include "sim/sim_fleet.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace glintcaster;

namespace {

quint32 address(int n)
{
    return QHostAddress(QStringLiteral("127.104.3.%1").arg(n)).toIPv4Address();
}

// Text as the projector's 16-bit characters, in either byte order.
QByteArray utf16Of(const QString &text, bool little)
{
    QByteArray out;
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out.append(little ? lo : hi);
        out.append(little ? hi : lo);
    }
    return out;
}

} // namespace

class TestAlertTab : public QObject {
    Q_OBJECT
    testing::UiTestEnvironment m_env;
    SimFleet m_fleet{4};
    QHash<int, ProjectorSim *> m_sims;

    AlertTabEnvironment environment(QStringList *names = nullptr)
    {
        AlertTabEnvironment env;
        env.runJob = [](JobRecord &job) {
            job.timings = testing::quickTimings();
            return runJobHere(job);
        };
        env.askName = [names](QWidget *, const QString &, const QString &) {
            return names && !names->isEmpty() ? names->takeFirst() : QString();
        };
        return env;
    }

private slots:
    void initTestCase()
    {
        // 1 and 2 take the message, 3 is busy, 4 is not there at all.
        for (int n = 1; n <= 3; ++n) {
            ProjectorSimConfig c;
            c.address = QHostAddress(address(n));
            c.discoveryMulticast = c.discoveryUnicast = false;
            m_sims.insert(n, m_fleet.add(c));
        }
        m_sims[3]->setFault(SimFault::Busy);
        QString error;
        QVERIFY2(m_fleet.start(&error), qPrintable(error));
        ProjectorStore store(m_env.lastPj());
        ScriptedPrompter p;
        for (int n = 1; n <= 4; ++n)
            QVERIFY(store.addProjector({QStringLiteral("Room %1").arg(n), address(n), false, {}, {}}, p));
    }

    void sendToAll()
    {
        ProjectorStore store(m_env.lastPj());
        ScriptedPrompter prompter;
        prompter.setFallback(PromptAnswer::Yes);
        AlertTab tab(store, prompter, environment());
        tab.tree()->checkGroup(QStringLiteral("All"), true);
        QCOMPARE(tab.sendButton()->text(), QStringLiteral("&Send to 4 projectors"));
        tab.quickTitle()->setText(QStringLiteral("Drill"));
        tab.quickBody()->setPlainText(QStringLiteral("Leave by the east stairs"));
        m_sims[1]->setAnswerDelay(300, "PUT");

        QTest::mouseClick(tab.sendButton(), Qt::LeftButton);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Send this message to 4 projectors?")});
        QVERIFY(tab.isRunning());
        QVERIFY(!tab.sendButton()->isEnabled());
        QCOMPARE(tab.runView()->stateText(0), QStringLiteral("Waiting"));

        // Another send while it runs is refused with a reason, and nothing modal per target.
        prompter.clear();
        EditTab edit(store, prompter);
        edit.titleBox()->setPlainText(QStringLiteral("x"));
        QVERIFY(!edit.send());
        QCOMPARE(prompter.texts(), QStringList{msg(2402)});
        QVERIFY(!tab.send());

        QSignalSpy done(tab.alert(), &AlertOperation::finished);
        QVERIFY(done.wait(20000));
        prompter.clear();
        QCOMPARE(tab.runView()->stateText(0), QStringLiteral("Complete"));
        QCOMPARE(tab.runView()->stateText(1), QStringLiteral("Complete"));
        QCOMPARE(tab.runView()->stateText(2), tab.alert()->state(2).text);
        QVERIFY(!tab.runView()->stateText(3).isEmpty());
        QVERIFY(tab.runView()->stateText(3) != QStringLiteral("Complete"));
        QCOMPARE(tab.runView()->progress()->value(), 4);
        QCOMPARE(tab.runView()->summary()->text(), QStringLiteral("2 of 4 succeeded, 2 failed"));
        QCOMPARE(tab.history()->count(), 1);
        QVERIFY(tab.history()->item(0)->text().contains(QStringLiteral("Drill  2 of 4 succeeded")));
        QCOMPARE(m_sims[1]->slot(0).used, true);
        QVERIFY(prompter.texts().isEmpty()); // no box per target

        // Retry: the busy one is mended; the two that succeeded are not touched again.
        m_sims[3]->setFault(SimFault::None);
        const int before = m_sims[1]->requestCount();
        QVERIFY(tab.retryFailed());
        QVERIFY(done.wait(20000));
        QCOMPARE(m_sims[1]->requestCount(), before);
        QCOMPARE(tab.runView()->stateText(2), QStringLiteral("Complete"));
        QCOMPARE(tab.runView()->summary()->text(), QStringLiteral("3 of 4 succeeded, 1 failed"));
        m_sims[1]->setAnswerDelay(0, "PUT");
    }

    // The two other sources: with nothing to send the operator is told and nothing starts;
    // otherwise each projector is sent that message, not the quick one.
    void fileAndEditTabSources()
    {
        ProjectorStore store(m_env.lastPj());
        ScriptedPrompter prompter;
        prompter.setFallback(PromptAnswer::Yes);
        AlertTabEnvironment env = environment();
        std::optional<CurrentMessage> edited;
        env.editMessage = [&edited](CurrentMessage *out) {
            if (edited)
                *out = *edited;
            return edited.has_value();
        };
        QDir().mkpath(AppHome::messageDataDir());
        for (const QString &name : QDir(AppHome::messageDataDir()).entryList({QStringLiteral("*.glc")}))
            QFile::remove(QDir(AppHome::messageDataDir()).filePath(name));
        AlertTab tab(store, prompter, env);
        tab.tree()->setChecked(address(1), true);
        tab.quickBody()->setPlainText(QStringLiteral("quick"));
        tab.setSource(AlertTab::Source::File);
        QVERIFY(!tab.send());
        tab.setSource(AlertTab::Source::EditTab);
        QVERIFY(!tab.send());
        QCOMPARE(prompter.texts(), (QStringList{msg(1008), msg(1003)}));
        QVERIFY(!tab.isRunning());

        CurrentMessage message;
        message.setTitle(RichText(QStringLiteral("FromFile")));
        message.setBody(RichText(QStringLiteral("stored body")));
        MessageFileContext context;
        QCOMPARE(writeMessageFile(QDir(AppHome::messageDataDir()).filePath(QStringLiteral("Drill.glc")), message,
                                  false, context),
                 MessageFileStatus::Ok);
        message.setTitle(RichText(QStringLiteral("FromEdit")));
        edited = message;
        tab.refresh();
        for (const auto &[source, title] : {std::pair{AlertTab::Source::File, QStringLiteral("FromFile")},
                                            std::pair{AlertTab::Source::EditTab, QStringLiteral("FromEdit")}}) {
            tab.setSource(source);
            QVERIFY(tab.send());
            QSignalSpy done(tab.alert(), &AlertOperation::finished);
            QVERIFY(done.wait(20000));
            QCOMPARE(tab.runView()->stateText(0), QStringLiteral("Complete"));
            const QByteArray body = m_sims[1]->slot(0).body;
            QVERIFY2(body.contains(utf16Of(title, true)) || body.contains(utf16Of(title, false)), qPrintable(title));
        }
    }

    void editGroups()
    {
        ProjectorStore store(m_env.lastPj());
        ScriptedPrompter prompter;
        QStringList names{QStringLiteral("West"), QStringLiteral("West wing"), QStringLiteral("all")};
        AlertTab tab(store, prompter, environment(&names));
        QVERIFY(tab.newGroup());
        tab.tree()->setChecked(address(2), true);
        tab.tree()->setChecked(address(3), true);
        tab.tree()->setCurrentItem(tab.tree()->topLevelItem(1));
        QVERIFY(tab.addToGroup());
        tab.tree()->setCurrentItem(tab.tree()->topLevelItem(1));
        QVERIFY(tab.renameGroup());
        QVERIFY(!tab.newGroup()); // "all" is taken by the built-in group
        QCOMPARE(prompter.shown().size(), 1);
        ProjectorGroups groups(ProjectorGroups::fileBeside(m_env.lastPj()));
        QVERIFY(groups.load());
        QCOMPARE(groups.groups(), (QList<ProjectorGroup>{{QStringLiteral("West wing"), {address(2), address(3)}}}));
        QCOMPARE(tab.tree()->topLevelItem(1)->childCount(), 2);
        tab.tree()->setCurrentItem(tab.tree()->topLevelItem(1)->child(0));
        QVERIFY(tab.removeFromGroup());
        tab.tree()->setCurrentItem(tab.tree()->topLevelItem(1));
        QVERIFY(tab.deleteGroup());
        QVERIFY(groups.load());
        QVERIFY(groups.groups().isEmpty());
    }
};

QTEST_MAIN(TestAlertTab)
#include "tst_alert_tab.moc"
