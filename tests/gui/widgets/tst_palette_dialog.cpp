// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "message/message_options.h"
#include "gui/widgets/palette_dialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace glintcaster;

namespace {

QRgb shownColour(QWidget *cell)
{
    return cell->palette().color(QPalette::Window).rgb() & 0xFFFFFF;
}

} // namespace

class TestColourSelect : public QObject {
    Q_OBJECT

    /// Runs the real chooser with `act` working on the open dialog.
    int runChooser(ColourTarget target, int current, std::function<void(PaletteDialog *)> act)
    {
        QTimer::singleShot(0, this, [act] {
            auto *dialog = qobject_cast<PaletteDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            act(dialog);
        });
        return chooseColour(nullptr, target, current);
    }

private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void keyboard_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("keys"); // t Tab, b Shift+Tab, s Space, e Enter, x Esc
        QTest::addColumn<int>("chosen");
        // Focus starts on the current colour; walking over colours chooses nothing.
        QTest::newRow("walk then Enter on OK keeps the current") << 7 << "tte" << 7;
        QTest::newRow("Space chooses, Enter confirms") << 7 << "bse" << 6;
        QTest::newRow("Enter chooses, Enter confirms") << 0 << "ttee" << 2;
        QTest::newRow("half transparent reachable") << 0 << "ttttttttse" << 8;
        QTest::newRow("Esc after choosing cancels") << 7 << "bsx" << -1;
        QTest::newRow("arrows walk the swatches") << 3 << "RRse" << 5;
    }
    void keyboard()
    {
        QFETCH(int, current);
        QFETCH(QString, keys);
        QFETCH(int, chosen);
        const int result = runChooser(ColourTarget::Character, current, [keys](PaletteDialog *dialog) {
            for (QChar k : keys) {
                QWidget *focus = QApplication::focusWidget();
                QVERIFY(focus);
                switch (k.unicode()) {
                case 't': QTest::keyClick(focus, Qt::Key_Tab); break;
                case 'b': QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier); break;
                case 'R': QTest::keyClick(focus, Qt::Key_Right); break;
                case 's': QTest::keyClick(focus, Qt::Key_Space); break;
                case 'e': QTest::keyClick(focus, Qt::Key_Return); break;
                case 'x': QTest::keyClick(focus, Qt::Key_Escape); break;
                }
            }
            if (dialog->isVisible()) {
                dialog->reject();
                QFAIL("the keys left the dialog open");
            }
        });
        QCOMPARE(result, chosen);
    }

    void focusAloneChoosesNothing()
    {
        PaletteDialog dialog(ColourTarget::CharacterBackground, 7);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.swatch(1)->setFocus();
        dialog.swatch(3)->setFocus();
        QCOMPARE(dialog.chosenIndex(), 7);
        QCOMPARE(shownColour(dialog.selectionCell()), QRgb(0xFFFFFF));
        QTest::mouseClick(dialog.swatch(1), Qt::LeftButton);
        QCOMPARE(dialog.chosenIndex(), 1);
        QCOMPARE(shownColour(dialog.selectionCell()), QRgb(0xFF0000));
        QVERIFY(dialog.okButton()->hasFocus());
        QVERIFY(dialog.swatch(1)->isChecked() && !dialog.swatch(7)->isChecked());
    }

    void transparentHiddenButKept()
    {
        for (ColourTarget target :
             {ColourTarget::Character, ColourTarget::CharacterBackground, ColourTarget::Background}) {
            PaletteDialog dialog(target, 9);
            dialog.show();
            QVERIFY(!dialog.swatch(9)->isVisible());
            QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("transparentLabel"))->isVisible());
            for (int code = 0; code < 9; ++code)
                QVERIFY(dialog.swatch(code)->isVisible());
            QCOMPARE(shownColour(dialog.selectionCell()), QRgb(rgbForCode(9)));
        }
        // A current transparent colour survives an OK without a choice.
        QCOMPARE(runChooser(ColourTarget::Background, 9, [](PaletteDialog *d) { d->okButton()->click(); }), 9);
    }

    /// A picture of the dialog when GLINTCASTER_SCREENSHOTS names a folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("GLINTCASTER_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("GLINTCASTER_SCREENSHOTS not set");
        PaletteDialog dialog(ColourTarget::Character, 2);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.grab().save(QDir(folder).filePath(QStringLiteral("colour-dialog.png"))));
    }

    void captionAndCurrentColour()
    {
        PaletteDialog dialog(ColourTarget::Background, 8);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Background color"));
        QCOMPARE(shownColour(dialog.selectionCell()), QRgb(0xC0C0C0));
        QCOMPARE(PaletteDialog(ColourTarget::Character, 0).windowTitle(), QStringLiteral("Character color"));
        QCOMPARE(PaletteDialog(ColourTarget::CharacterBackground, 0).windowTitle(),
                 QStringLiteral("Character background color"));
        // Nothing valid to keep: OK waits for a choice.
        PaletteDialog invalid(ColourTarget::Character, 42);
        QVERIFY(!invalid.okButton()->isEnabled());
        QTest::mouseClick(invalid.swatch(5), Qt::LeftButton);
        QVERIFY(invalid.okButton()->isEnabled());
        QCOMPARE(invalid.chosenIndex(), 5);
    }
};

QTEST_MAIN(TestColourSelect)
#include "tst_palette_dialog.moc"
