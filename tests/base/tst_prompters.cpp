// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/console_prompter.h"
#include "base/message_table.h"
#include "app/ui/message_box_prompter.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace glintcaster;

class TestPrompters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void consoleAssumeYesAndRefuse()
    {
        QString errText;
        QTextStream err(&errText);
        ConsolePrompter yes(ConsolePrompter::Mode::AssumeYes, nullptr, &err);
        QCOMPARE(yes.ask(QStringLiteral("Go?"), PromptButtons::YesNo), PromptAnswer::Yes);
        QCOMPARE(yes.ask(QStringLiteral("Go?"), PromptButtons::OkCancel), PromptAnswer::Ok);
        QCOMPARE(yes.ask(QStringLiteral("Save?"), PromptButtons::YesNoCancel), PromptAnswer::Yes);

        ConsolePrompter no(ConsolePrompter::Mode::Refuse, nullptr, &err);
        QCOMPARE(no.ask(QStringLiteral("Go?"), PromptButtons::YesNo), PromptAnswer::No);
        QCOMPARE(no.ask(QStringLiteral("Go?"), PromptButtons::OkCancel), PromptAnswer::Cancel);
        QCOMPARE(no.ask(QStringLiteral("Save?"), PromptButtons::YesNoCancel), PromptAnswer::Cancel);

        no.inform(QStringLiteral("Incorrect password."), PromptIcon::Stop);
        err.flush();
        QVERIFY(errText.contains(QLatin1String("Go?")));
        QVERIFY(errText.contains(QLatin1String("error: Incorrect password.\n")));
    }

    void consoleInteractive()
    {
        QString input = QStringLiteral("y\nno\nok\nn\n");
        QTextStream in(&input);
        QString errText;
        QTextStream err(&errText);
        ConsolePrompter p(ConsolePrompter::Mode::Interactive, &in, &err);
        QCOMPARE(p.ask(QStringLiteral("a"), PromptButtons::YesNo), PromptAnswer::Yes);
        QCOMPARE(p.ask(QStringLiteral("b"), PromptButtons::YesNo), PromptAnswer::No);
        QCOMPARE(p.ask(QStringLiteral("c"), PromptButtons::OkCancel), PromptAnswer::Ok);
        QCOMPARE(p.ask(QStringLiteral("d"), PromptButtons::YesNoCancel), PromptAnswer::No);
        // End of input refuses rather than blocking or agreeing.
        QCOMPARE(p.ask(QStringLiteral("e"), PromptButtons::YesNo), PromptAnswer::No);
        QCOMPARE(p.ask(QStringLiteral("f"), PromptButtons::OkCancel), PromptAnswer::Cancel);
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
                       QStringLiteral("Tessaline")),
                 PromptAnswer::Cancel);
        QCOMPARE(caption, QStringLiteral("Tessaline"));
    }
};

QTEST_MAIN(TestPrompters)
#include "tst_prompters.moc"
