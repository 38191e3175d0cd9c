// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "comm/cancel_flags.h"
#include "gui/widgets/job_status_window.h"
#include "common/fake_peer.h"
#include "comm/worker_harness.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const quint32 kPeerAddress = ipv4(127, 61, 6, 1);
const quint32 kSilentPeer = ipv4(127, 101, 1, 1);

// Counts how often a widget was shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

FakeConversation lateAnswer(const QByteArray &answer, int ms)
{
    return FakeConversation{false, {}, false, {FakeRound::answer(answer, ms)}};
}

} // namespace

class TestSendStatus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }
    void init() { CancelRequested = false; }

    // Cancel works during a control job's answer wait; Return and the title bar do not
    // end the window.
    void controlJobIsCancelledButNotClosed()
    {
        FakePeer peer(ipv4(127, 102, 4, 1));
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Control, peer.endpoint());
        record.timings.answerChecks = 1000;
        JobStatusWindow dialog(record);
        QElapsedTimer sinceCancel;
        QTimer::singleShot(300, &dialog, [&] {
            QCOMPARE(dialog.statusText(), QStringLiteral("Now Controlling..."));
            QVERIFY(dialog.cancelEnabled());
            QTest::keyClick(&dialog, Qt::Key_Return);
            dialog.close();
            QVERIFY(dialog.isVisible());
            QVERIFY(!CancelRequested);
            sinceCancel.start();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        const JobOutcome outcome = dialog.runJob();
        QVERIFY2(sinceCancel.elapsed() <= 320, qPrintable(QString::number(sinceCancel.elapsed())));
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.text, QStringLiteral("Cancel complete."));
        QCOMPARE(dialog.result(), int(JobStatusWindow::Failure));
    }

    void cancelDuringUploadOnlyRaisesTheFlag()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({lateAnswer("PUT 2\r\n", 400)});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::Upload, peer.endpoint());
        record.upload.setBody("body");
        JobStatusWindow dialog(record);
        bool checked = false;
        QTimer::singleShot(200, &dialog, [&] {
            QVERIFY(dialog.cancelEnabled());
            QCOMPARE(dialog.statusText(), QStringLiteral("Now Sending..."));
            dialog.findChild<QPushButton *>()->click();
            QVERIFY(CancelRequested);
            QVERIFY(dialog.isVisible()); // still waiting for the projector
            checked = true;
        });
        const JobOutcome outcome = dialog.runJob();
        QVERIFY(checked);
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.text, QStringLiteral("Projector Busy."));
        QCOMPARE(dialog.result(), int(JobStatusWindow::Failure));
        QCOMPARE(dialog.statusText(), QStringLiteral("PUT2"));
    }

    void escapeCancelsGetText()
    {
        FakePeer peer(kPeerAddress);
        FakeConversation silent;
        silent.rounds = {FakeRound{}};
        peer.setConversations({silent, FakeConversation::answering("CANCEL 0\r\n")});
        QVERIFY(peer.start());
        JobRecord record = quickJob(JobKind::GetText, peer.endpoint());
        record.timings.answerChecks = 1000;
        JobStatusWindow dialog(record);
        QTimer::singleShot(200, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        const JobOutcome first = dialog.runJob();
        QCOMPARE(first.text, QStringLiteral("Cancel complete."));
        QCOMPARE(dialog.statusText(), QStringLiteral("CANCEL"));
        // The follow-up runs on the same window.
        const JobOutcome final = cancelFollowUp(record, JobKind::GetText, first,
                                                [&dialog](JobRecord &) { return dialog.runJob(); });
        QVERIFY(!final.success);
        QCOMPARE(peer.requests().value(1), QByteArray("CANCEL\r\n"));
    }

    void quietJobsNeverAppear()
    {
        FakePeer peer(kPeerAddress);
        peer.setConversations({lateAnswer("CTRL 0\r\nVALUE:2\r\n", 100), lateAnswer("CTRL 0\r\n", 100)});
        QVERIFY(peer.start());
        ShowCounter counter;

        JobRecord query = quickJob(JobKind::CapabilityQuery, peer.endpoint());
        query.control.code = 0x0F01;
        query.control.type = 2;
        JobStatusWindow first(query);
        first.installEventFilter(&counter);
        const JobOutcome outcome = first.runJob();
        QVERIFY(outcome.success);
        QCOMPARE(query.control.value, quint16(2));
        QCOMPARE(first.result(), int(JobStatusWindow::Success));

        JobRecord hidden = quickJob(JobKind::Control, peer.endpoint());
        hidden.control.hide = 1;
        JobStatusWindow second(hidden);
        second.installEventFilter(&counter);
        QVERIFY(second.runJob().success);
        QCOMPARE(counter.shows, 0);
    }

    void longHiddenJobShowsTheWindowWithCancel()
    {
        // A projector that accepts and never answers held the window frozen for the whole
        // answer wait: after a second the window says what it waits for, and Cancel works.
        FakePeer peer(kSilentPeer);
        peer.setConversations({FakeConversation{false, {}, false, {FakeRound{}}}});
        QVERIFY(peer.start());
        JobRecord query = quickJob(JobKind::CapabilityQuery, peer.endpoint());
        query.timings = ExchangeTimings{}; // the real waits
        query.control.code = 0x0F01;
        query.control.type = 2;
        JobStatusWindow status(query);
        QElapsedTimer clock;
        qint64 shownAt = -1;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (shownAt >= 0 || !status.isVisible())
                return;
            shownAt = clock.elapsed();
            QVERIFY(status.cancelEnabled());
            QTest::mouseClick(status.findChild<QPushButton *>(), Qt::LeftButton);
        });
        clock.start();
        poll.start(10);
        const JobOutcome outcome = status.runJob();
        const qint64 endedAt = clock.elapsed();
        QVERIFY2(shownAt >= JobStatusWindow::kHiddenJobRevealMs - 50 && shownAt < 1500,
                 qPrintable(QString::number(shownAt)));
        QVERIFY(!outcome.success);
        QVERIFY2(endedAt - shownAt < 500, qPrintable(QString::number(endedAt - shownAt)));
        QVERIFY(!status.isVisible());
    }

    void hiddenJobBlocksTheOperatorsInput()
    {
        // While a silent projector holds a hidden query, clicks and keys reach
        // nothing; painting and timers go on; afterwards input works again.
        FakePeer peer(kPeerAddress);
        peer.setConversations({lateAnswer("CTRL 0\r\nVALUE:2\r\n", 400)});
        QVERIFY(peer.start());
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Send"), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });

        JobRecord query = quickJob(JobKind::ValueQueryA, peer.endpoint());
        query.control.code = 0x3532;
        query.control.type = 1;
        JobStatusWindow status(query);
        bool timerRan = false;
        QTimer::singleShot(150, &window, [&] {
            timerRan = true;
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
        });
        QVERIFY(status.runJob().success);
        QVERIFY(timerRan);
        QCOMPARE(clicks, 0);
        QVERIFY(window.isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0); // nothing was queued for later either

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }
};

QTEST_MAIN(TestSendStatus)
#include "tst_job_status_window.moc"
