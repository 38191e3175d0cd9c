// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_operations.h"
#include "base/message_table.h"
#include "gui/widgets/message_box_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace glintcaster;

class TestPrompters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void consoleAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("answer");
        using B = PromptButtons;
        using A = PromptAnswer;
        QTest::newRow("y") << int(B::YesNo) << QStringLiteral("y") << int(A::Yes);
        QTest::newRow("Yes") << int(B::YesNo) << QStringLiteral(" Yes ") << int(A::Yes);
        QTest::newRow("no") << int(B::YesNo) << QStringLiteral("no") << int(A::No);
        QTest::newRow("ok") << int(B::OkCancel) << QStringLiteral("ok") << int(A::Ok);
        QTest::newRow("y for ok") << int(B::OkCancel) << QStringLiteral("y") << int(A::Ok);
        QTest::newRow("n of three") << int(B::YesNoCancel) << QStringLiteral("n") << int(A::No);
        QTest::newRow("c of three") << int(B::YesNoCancel) << QStringLiteral("c") << int(A::Cancel);
        QTest::newRow("plain message") << int(B::Ok) << QString() << int(A::Ok);
        // The end of input or anything unknown refuses rather than agreeing.
        QTest::newRow("end, yes/no") << int(B::YesNo) << QString() << int(A::No);
        QTest::newRow("end, ok/cancel") << int(B::OkCancel) << QString() << int(A::Cancel);
        QTest::newRow("junk of three") << int(B::YesNoCancel) << QStringLiteral("x") << int(A::Cancel);
    }
    void consoleAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(QString, reply);
        QFETCH(int, answer);
        QCOMPARE(int(answerFromReply(reply, PromptButtons(buttons))), answer);
    }

    void assumedAnswers()
    {
        QCOMPARE(affirmingAnswer(PromptButtons::YesNo), PromptAnswer::Yes);
        QCOMPARE(affirmingAnswer(PromptButtons::YesNoCancel), PromptAnswer::Yes);
        QCOMPARE(affirmingAnswer(PromptButtons::OkCancel), PromptAnswer::Ok);
        QCOMPARE(refusingAnswer(PromptButtons::YesNo), PromptAnswer::No);
        QCOMPARE(refusingAnswer(PromptButtons::OkCancel), PromptAnswer::Cancel);
        QCOMPARE(refusingAnswer(PromptButtons::YesNoCancel), PromptAnswer::Cancel);
    }

    void messageBoxShowsCaptionAndAnswers()
    {
        MessageBoxPrompter p;
        QString caption;
        QString text;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(p.ask(QStringLiteral("Proceed?"), PromptButtons::YesNo), PromptAnswer::Yes);
        QCOMPARE(caption, QStringLiteral("Glintcaster"));
        QCOMPARE(text, QStringLiteral("Proceed?"));

        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            box->reject();
        });
        QCOMPARE(p.ask(QStringLiteral("Exit?"), PromptButtons::OkCancel, PromptIcon::Question,
                       QStringLiteral("Another caption")),
                 PromptAnswer::Cancel);
        QCOMPARE(caption, QStringLiteral("Another caption"));
    }

    void failedReadsAreCaptionedWithTheProgramsName_data()
    {
        QTest::addColumn<int>("operation");
        QTest::newRow("status read") << 0;
        QTest::newRow("capability query") << 1;
        QTest::newRow("startup setting") << 2;
    }
    void failedReadsAreCaptionedWithTheProgramsName()
    {
        // The operator sees one product name: the boxes of failed reads carry it as well.
        QFETCH(int, operation);
        MessageBoxPrompter p;
        ProjectorOperations ops(p, [](JobRecord &) {
            return JobOutcome{false, 12, QStringLiteral("Communication error")};
        });
        QString caption;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            box->accept();
        });
        ProjectorEndpoint target;
        target.address = 0x7F650101;
        if (operation == 0)
            QVERIFY(!ops.statusCheck(target));
        else if (operation == 1)
            QVERIFY(!ops.capabilityQuery(target, nullptr));
        else
            QVERIFY(!ops.setStartup(target, {true, 2, 0}));
        QCOMPARE(caption, msg(1011));
    }
};

QTEST_MAIN(TestPrompters)
#include "tst_prompters.moc"
