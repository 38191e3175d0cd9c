// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_store.h"
#include "gui/main_window.h"
#include "gui/tab_view.h"
#include "gui/gui_test_support.h"
#include "base/prompter.h"
#include "base/safe_file.h"
#include "comm/job_runner.h"
#include "message/message_file.h"
#include "message/rich_text_document.h"
#include "gui/edit_tab/edit_tab.h"
#include "gui/edit_tab/message_edit_box.h"
#include "render/glyph_set.h"
#include "render/preview_model.h"
#include "render/preview_raster.h"
#include "sim/projector_sim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodQueryEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QUrl>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const QString Complete = QStringLiteral("    Complete.");
const QString Unsaved = QStringLiteral("There is an unsaved data.\nDo you want to save this Message?");

CharFormat colours(int colour, int background)
{
    CharFormat f = defaultCharFormat();
    f.colour = rgbForCode(colour);
    f.background = rgbForCode(background);
    return f;
}

QString text(const MessageEditBox *box)
{
    return box->richText().plainText();
}

void focus(MessageEditBox *box)
{
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(box, &in);
}

/// Runs a job at once, with the short waits a local substitute projector allows.
JobOutcome fastJob(JobRecord &job)
{
    job.timings.greetingWait = std::chrono::milliseconds(30);
    job.timings.answerSleep = std::chrono::milliseconds(5);
    job.timings.statusPollInterval = std::chrono::milliseconds(5);
    return runJob(job);
}

/// Types any text, one key event per character (QTest's keys are ASCII only).
void type(QWidget *box, const QString &s)
{
    for (QChar c : s) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

void setText(MessageEditBox *box, const QString &s, const CharFormat &f = defaultCharFormat())
{
    box->selectAll();
    box->insertUserText(RichText(s, f));
}

/// Everything one Edit tab needs, with the dialogs scripted.
struct Tab {
    ScriptedPrompter prompter;
    ProjectorStore store{AppHome::lastProjectorFile()};
    QStringList savePaths; ///< answers of the save dialog, in order ("" cancels)
    QStringList openPaths;
    int saveDialogs = 0;
    int openDialogs = 0;
    QStringList reports;
    bool autoDelete = false;
    std::function<bool(CurrentMessage &)> advanced = [](CurrentMessage &) { return false; };
    int previews = 0; ///< previews whose checks let them open
    std::unique_ptr<EditTab> edit;

    Tab()
    {
        EditTabEnvironment env;
        env.runJob = fastJob;
        env.chooseSavePath = [this](QWidget *, const QString &, const QString &) {
            ++saveDialogs;
            return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
        };
        env.chooseOpenPath = [this](QWidget *, const QString &) {
            ++openDialogs;
            return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
        };
        env.showUnsupported = [this](QWidget *, const QString &report) {
            reports << report;
            return autoDelete;
        };
        env.runAdvanced = [this](QWidget *, CurrentMessage &m, const TargetCapabilities &, Prompter &) {
            return advanced(m);
        };
        env.showPreview = [this](QWidget *, CurrentMessage &m, const PayloadContext &context) {
            PreviewModel model;
            if (PreparePreviewModel(m, context, &model) == 0)
                ++previews;
        };
        edit = std::make_unique<EditTab>(store, prompter, env);
        edit->resize(700, 500);
        edit->refreshBeforeShow();
        edit->refreshAfterShow();
        QCoreApplication::processEvents();
    }
    MessageEditBox *title() const { return edit->titleBox(); }
    MessageEditBox *body() const { return edit->bodyBox(); }
    /// Lets queued typing-time checks run.
    void settle() { QCoreApplication::processEvents(); }
};

/// A substitute projector registered in the home, on its own loopback address.
struct Projector {
    ProjectorSim sim;
    explicit Projector(const char *address, int level = 4, int flags = 5)
        : sim(QHostAddress(QLatin1String(address)))
    {
        sim.config().discoveryMulticast = false;
        sim.setFirmwareLevel(level);
        sim.setCapabilityFlags(flags);
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        ProjectorStore store(AppHome::lastProjectorFile());
        store.LoadRegisteredProjectors();
        ScriptedPrompter p;
        ProjectorEntry d;
        d.ProjectorName = QStringLiteral("sim");
        parseIpv4(QLatin1String(address), &d.IP);
        store.addProjector(d, p);
    }
};

} // namespace

class TestMessageEdit : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UiTestEnvironment> m_env;

private slots:
    void initTestCase() { m_env = std::make_unique<UiTestEnvironment>(); }
    void init()
    {
        m_env->resetHome();
        QDir(AppHome::messageDataDir()).removeRecursively();
        QDir().mkpath(AppHome::messageDataDir());
    }

    void iconListShowsThePreviewsIcons()
    {
        // Each icon of the list is the bitmap the preview puts before a title with that
        // index, so what the operator picks is what the projector shows.
        Tab t;
        QCOMPARE(t.edit->iconBox()->count(), GlyphSet::IconCount + 1);
        const GlyphSet glyphs = GlyphSet::load();
        for (int i = 1; i <= GlyphSet::IconCount; ++i) {
            CurrentMessage m;
            m.icon = i;
            m.setTitle(RichText(QStringLiteral("x"), defaultCharFormat()));
            m.options.style = 1; // Box: a title line with its icon
            const PreviewModel model = buildPreviewModel(m, false, false);
            const QImage drawn = RenderPreviewPart(model, glyphs, 0, 0)
                                     .bitmap.copy(0, 0, GlyphSet::IconSize, GlyphSet::IconSize);
            const QImage listed = t.edit->iconBox()
                                      ->itemIcon(i)
                                      .pixmap(GlyphSet::IconSize, GlyphSet::IconSize)
                                      .toImage()
                                      .convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!drawn.isNull() && drawn == listed, qPrintable(GlyphSet::iconFileName(i)));
        }
    }

    void startingTextsAreTypedOverAndTheTitleIsCounted()
    {
        // Typing into a fresh tab appended to "Title"; nothing said how much of a title
        // the projector shows.
        Tab t;
        focus(t.title());
        t.settle();
        QCOMPARE(t.title()->textCursor().selectedText(), QStringLiteral("Title"));
        type(t.title(), QStringLiteral("Fire drill"));
        QCOMPARE(text(t.title()), QStringLiteral("Fire drill"));
        // No projector chosen: the extended character set's wider glyphs are assumed.
        QCOMPARE(t.edit->titleCount()->text(), QStringLiteral("10 / 20"));
        const QColor normal = t.edit->titleCount()->palette().color(QPalette::WindowText);
        focus(t.title()); // only the first visit selects
        t.settle();
        QVERIFY(!t.title()->textCursor().hasSelection());
        setText(t.title(), QString(21, u'x'));
        QCOMPARE(t.edit->titleCount()->text(), QStringLiteral("21 / 20"));
        QCOMPARE(t.edit->titleCount()->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(normal != QColor(Qt::red));
    }

    void opensWithTheSampleMessage()
    {
        Tab t;
        QCOMPARE(text(t.title()), QStringLiteral("Title"));
        QCOMPARE(text(t.body()), QStringLiteral("Message"));
        QCOMPARE(t.body()->richText().at(0).format, defaultCharFormat());
        QVERIFY(!t.edit->isModified());
        QCOMPARE(t.edit->iconBox()->currentIndex(), 0);
        QCOMPARE(t.edit->slotBox()->currentText(), QStringLiteral("Quick"));
        QVERIFY(t.edit->syncCheck()->isChecked());
        QVERIFY(!t.edit->displayModeCheck()->isChecked());
        QVERIFY(!t.edit->imageButton()->isEnabled());
        QVERIFY(!t.edit->startupCheck()->isEnabled());
        QVERIFY(!t.edit->startupMinutesBox()->isEnabled());
        QVERIFY(!t.edit->minLabel()->isEnabled());
        QCOMPARE(t.edit->capabilities().firmwareLevel(), TargetCapabilities::NotAsked);
        QVERIFY(t.edit->capabilities().ExtendedCharset());
        QCOMPARE(t.edit->projectorBox()->currentText(), QStringLiteral("Please select PROJECTOR"));
        QCOMPARE(t.edit->checksRun(), 0);
    }

    void titleStaysOneLineWithinSixtyUnits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("added");
        QTest::newRow("typing") << "type" << 58 << "abcd" << "ab";
        QTest::newRow("paste plain") << "paste" << 57 << "wxyz" << "wxy";
        QTest::newRow("paste breaks") << "paste" << 0 << "one\r\ntwo\nthree\u2029four" << "one two three four";
        QTest::newRow("paste rtf") << "rtf" << 55 << "{\\rtf1 ab\\par cdef}" << "ab cd";
        QTest::newRow("drop") << "drop" << 58 << "xyz" << "xy";
        QTest::newRow("input method") << "ime" << 57 << "日本語です" << "日本語";
        QTest::newRow("input method break") << "ime" << 0 << "a\nb" << "a b";
        QTest::newRow("tab button") << "tab" << 58 << "" << "  ";
        QTest::newRow("tab key") << "tabkey" << 10 << "" << "    ";
        QTest::newRow("full") << "paste" << 60 << "q" << "";
        QTest::newRow("surrogate pair") << "paste" << 59 << "\U0001F600" << "";
    }
    void titleStaysOneLineWithinSixtyUnits()
    {
        QFETCH(QString, path);
        QFETCH(int, before);
        QFETCH(QString, input);
        QFETCH(QString, added);
        Tab t;
        const QString start(before, QLatin1Char('.'));
        setText(t.title(), start);
        focus(t.title());
        QTextCursor end = t.title()->textCursor();
        end.movePosition(QTextCursor::End);
        t.title()->setTextCursor(end);

        if (path == QLatin1String("type")) {
            type(t.title(), input);
        } else if (path == QLatin1String("paste") || path == QLatin1String("rtf")) {
            auto *mime = new QMimeData;
            if (path == QLatin1String("rtf"))
                mime->setData(QStringLiteral("text/rtf"), input.toLatin1());
            else
                mime->setText(input);
            QGuiApplication::clipboard()->setMimeData(mime);
            t.edit->paste();
        } else if (path == QLatin1String("drop")) {
            QMimeData mime;
            mime.setText(input);
            const QPoint at = t.title()->cursorRect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(t.title()->viewport(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(t.title()->viewport(), &drop);
        } else if (path == QLatin1String("ime")) {
            QInputMethodEvent e;
            e.setCommitString(input);
            QApplication::sendEvent(t.title(), &e);
        } else if (path == QLatin1String("tab")) {
            t.edit->insertTab();
        } else if (path == QLatin1String("tabkey")) {
            QTest::keyClick(t.title(), Qt::Key_Tab);
        }
        t.settle();
        QCOMPARE(text(t.title()), start + added);
        QVERIFY(text(t.title()).size() <= 60);
        QCOMPARE(t.title()->document()->blockCount(), 1);
    }

    void keysNeverInsertWhatTheMessageDoesNotKnow()
    {
        Tab t;
        setText(t.body(), QStringLiteral("ab"));
        setText(t.title(), QStringLiteral("T"));
        focus(t.body());
        QTest::keyClick(t.body(), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(t.body(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(t.body(), Qt::Key_I, Qt::ControlModifier);
        QTest::keyClick(t.body(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(t.body(), Qt::Key_Tab);
        focus(t.title());
        QTest::keyClick(t.title(), Qt::Key_Return);
        QTest::keyClick(t.title(), Qt::Key_I, Qt::ControlModifier);
        t.edit->pageFeed(); // only the body takes page feeds
        t.settle();
        QCOMPARE(text(t.body()), QStringLiteral("ab\r\r    "));
        QCOMPARE(text(t.title()), QStringLiteral("T"));
        const RichText typed = t.body()->richText();
        for (const RichChar &c : typed.chars())
            QCOMPARE(c.format, defaultCharFormat());

        // A no-break space and a line separator pasted as they are: the conversion keeps
        // every unit the box holds (the sent bytes depend on them).
        auto *mime = new QMimeData;
        mime->setText(QStringLiteral("x\u00A0y"));
        QGuiApplication::clipboard()->setMimeData(mime);
        focus(t.body());
        t.edit->paste();
        QVERIFY(text(t.body()).endsWith(QStringLiteral("x\u00A0y")));
        QCOMPARE(t.edit->message().body().plainText(), text(t.body()));
    }

    void emptiedBoxKeepsTheColoursOfWhatItHeld()
    {
        Tab t;
        auto clearAndType = [&](const QString &s) {
            t.body()->selectAll();
            QTest::keyClick(t.body(), Qt::Key_Delete);
            QTest::keyClicks(t.body(), s);
        };
        // Deleting everything keeps the colours of what was deleted, as a word processor does.
        setText(t.body(), QStringLiteral("red"), colours(1, 0));
        clearAndType(QStringLiteral("new"));
        QCOMPARE(t.body()->richText(), RichText(QStringLiteral("new"), colours(1, 0)));
        // With the backgrounds synchronised, text typed into a cleared box keeps the message's.
        QVERIFY(t.edit->syncCheck()->isChecked());
        t.edit->applyColour(ColourTarget::Background, 5);
        clearAndType(QStringLiteral("blue"));
        QCOMPARE(t.body()->richText(), RichText(QStringLiteral("blue"), colours(1, 5)));
        // A box the program empties types in the default colours again, never in black.
        t.body()->setRichText({});
        QTest::keyClicks(t.body(), QStringLiteral("x"));
        QCOMPARE(t.body()->richText(), RichText(QStringLiteral("x"), defaultCharFormat()));
    }

    void inputMethodOnlyForTheExtendedSet()
    {
        Tab t; // no projector asked yet: the extended set
        focus(t.body());
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(t.body(), &query);
        QVERIFY(query.value(Qt::ImEnabled).toBool());
    }

    void richTextRoundTripThroughBoxesClipboardAndFile()
    {
        Tab t;
        RichText rich;
        for (int c = 0; c < PaletteSize; ++c)
            rich.append(QStringLiteral("c%1").arg(c), colours(c, 9 - c));
        rich.append(RichChar{PageFeedMark, colours(2, 5)});
        rich.append(RichChar{ParagraphBreak, colours(2, 5)});
        rich.append(QStringLiteral("    after\rlast"), colours(7, 8));
        t.body()->setRichText(rich);
        setText(t.title(), QStringLiteral("Heading"), colours(3, 0));
        QCOMPARE(t.body()->richText(), rich);

        // Clipboard: RTF and plain text, never HTML, and the colours come back.
        t.body()->selectAll();
        t.edit->copy();
        const QMimeData *offered = QGuiApplication::clipboard()->mimeData();
        QVERIFY(offered->hasFormat(QStringLiteral("text/rtf")));
        QVERIFY(!offered->hasHtml());
        QVERIFY(offered->text().contains(QStringLiteral("c9\u25BC\n    after")));
        t.body()->setRichText({});
        focus(t.body());
        t.edit->paste();
        QCOMPARE(t.body()->richText(), rich);

        // Message file: saved and opened again in another tab.
        const QString path = AppHome::messageDataDir() + QStringLiteral("/round.glc");
        t.savePaths << path;
        QVERIFY(t.edit->save());
        QCOMPARE(t.edit->filePath(), path);
        QVERIFY(!t.edit->isModified());
        Tab other;
        QVERIFY(other.edit->open(path));
        QCOMPARE(other.body()->richText(), rich);
        QCOMPARE(other.title()->richText(), RichText(QStringLiteral("Heading"), colours(3, 0)));
        QVERIFY(!other.edit->isModified());
    }

    void pastedColoursSnapToThePalette()
    {
        Tab t;
        t.body()->setRichText({});
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("text/rtf"),
                      "{\\rtf1{\\colortbl;\\red250\\green10\\blue10;\\red20\\green20\\blue200;}"
                      "\\cf1\\highlight2 hot\\cf0\\highlight0 auto}");
        mime->setHtml(QStringLiteral("<b>html</b>"));
        QGuiApplication::clipboard()->setMimeData(mime);
        focus(t.body());
        t.edit->paste();
        RichText expected(QStringLiteral("hot"), colours(1, 5));
        expected.append(QStringLiteral("auto"), defaultCharFormat());
        QCOMPARE(t.body()->richText(), expected);

        // HTML alone is not taken; local files go to the window.
        auto *html = new QMimeData;
        html->setHtml(QStringLiteral("<b>x</b>"));
        QGuiApplication::clipboard()->setMimeData(html);
        QVERIFY(!t.edit->canPaste());
        auto *files = new QMimeData;
        files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.glc"))});
        QGuiApplication::clipboard()->setMimeData(files);
        QVERIFY(!t.edit->canPaste());
    }

    void typingChecksRunOncePerUserEdit()
    {
        Tab t;
        // Program changes queue nothing.
        t.edit->newMessage();
        t.settle();
        QCOMPARE(t.edit->checksRun(), 0);

        // Several keys before the loop runs: one check after them.
        focus(t.body());
        QTest::keyClicks(t.body(), QStringLiteral("abc"));
        t.settle();
        QCOMPARE(t.edit->checksRun(), 1);

        // A composition in progress is not the user's text yet.
        QInputMethodEvent preedit(QStringLiteral("ni"), {});
        QApplication::sendEvent(t.body(), &preedit);
        t.settle();
        QCOMPARE(t.edit->checksRun(), 1);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("你"));
        QApplication::sendEvent(t.body(), &commit);
        t.settle();
        QCOMPARE(t.edit->checksRun(), 2);

        // Title edits are checked with the body, not on their own.
        QTest::keyClicks(t.title(), QStringLiteral("x"));
        t.settle();
        QCOMPARE(t.edit->checksRun(), 2);
    }

    void noSecondQuestionWhileOneIsOpen()
    {
        // A body over the size limit asks on every edit; an edit made while the question is
        // open (its event loop runs) must not stack another one.
        struct NestedPrompter : ScriptedPrompter {
            std::function<void()> whileOpen;
            void inform(const QString &text, PromptIcon icon, const QString &caption) override
            {
                ScriptedPrompter::inform(text, icon, caption);
                if (whileOpen)
                    whileOpen();
            }
        };
        NestedPrompter prompter;
        ProjectorStore store(AppHome::lastProjectorFile());
        EditTabEnvironment env;
        env.runJob = fastJob;
        EditTab edit(store, prompter, env);
        edit.titleBox()->setRichText({});
        edit.bodyBox()->setRichText(RichText(QString(1917, QLatin1Char('a'))));
        QCoreApplication::processEvents();
        prompter.clear();
        int nested = 0;
        prompter.whileOpen = [&] {
            if (nested++ > 0)
                return;
            QTest::keyClicks(edit.bodyBox(), QStringLiteral("b"));
            QCoreApplication::processEvents();
        };
        QTest::keyClicks(edit.bodyBox(), QStringLiteral("a"));
        QCoreApplication::processEvents();
        QCOMPARE(prompter.texts().size(), 1);
        QVERIFY(prompter.texts().first().contains(QStringLiteral("Current:3972[byte]")));
    }

    void unsupportedCharactersWithAutoDelete_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("autoDel");
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<bool>("image"); // asked by the Image button rather than by typing
        for (bool image : {false, true}) {
            const char *route = image ? "image: " : "typing: ";
            QTest::addRow("%syes deletes", route) << PromptAnswer::Yes << false << "ab\rc" << false << image;
            QTest::addRow("%sno, Auto Del", route) << PromptAnswer::No << true << "ab\rc" << true << image;
            QTest::addRow("%sno, OK", route) << PromptAnswer::No << false << "a€b\rc✓" << true << image;
            QTest::addRow("%scancel", route) << PromptAnswer::Cancel << false << "a€b\rc✓" << false << image;
        }
    }
    void unsupportedCharactersWithAutoDelete()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, autoDel);
        QFETCH(QString, left);
        QFETCH(bool, reported);
        QFETCH(bool, image);
        Projector projector("127.0.97.1", 4, 3); // basic character set
        Tab t;
        QVERIFY(!t.edit->capabilities().ExtendedCharset());
        QVERIFY(t.edit->imageButton()->isEnabled()); // the preview draws the basic set
        QVERIFY(t.prompter.shown().isEmpty());
        t.autoDelete = autoDel;
        // On the Image route the question while typing is cancelled, and Image asks again.
        t.prompter.script(image ? QList<PromptAnswer>{PromptAnswer::Cancel, answer} : QList<PromptAnswer>{answer});
        t.body()->setRichText({});
        focus(t.body());
        // Only what the keyboard types directly: no input method for the basic set.
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(t.body(), &query);
        QVERIFY(!query.value(Qt::ImEnabled).toBool());
        type(t.body(), QStringLiteral("a€b"));
        QTest::keyClick(t.body(), Qt::Key_Return);
        type(t.body(), QStringLiteral("c✓"));
        t.settle();
        if (image) {
            t.edit->imageButton()->click();
            t.settle();
            QCOMPARE(t.previews, 0); // the preview opens only for what it can draw
        }
        const QString question = QStringLiteral("Number of characters that so not supported : [ 2 ]\n"
                                                "Do you want to execute Auto-delete-function?");
        QCOMPARE(t.prompter.texts(), QStringList(image ? 2 : 1, question));
        QCOMPARE(text(t.body()), left);

        QCOMPARE(t.reports, reported ? QStringList{QStringLiteral("Line 1 : [€]\r\nLine 2 : [✓]\r\n")}
                                     : QStringList{});
    }

    void unsavedQuestionStopsWhenTheSaveDoesNotComplete_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("savePath"); // "" cancels the dialog
        QTest::addColumn<QString>("shown");    // besides the question
        const QString badExtension = QStringLiteral(".glc extension is only valid.");
        for (const char *op : {"new", "open", "get", "drop", "exit"}) {
            QTest::addRow("%s, dialog cancelled", op) << op << "" << "";
            QTest::addRow("%s, wrong extension", op) << op << "MessageData/x.GLC" << badExtension;
            QTest::addRow("%s, write error", op) << op << "missing/dir/x.glc" << "missing";
        }
        // Never "    Complete." over an empty file.
        QTest::addRow("exit, disk full") << "exit" << "MessageData/x.glc" << "No space left on device";
    }
    void unsavedQuestionStopsWhenTheSaveDoesNotComplete()
    {
        QFETCH(QString, operation);
        QFETCH(QString, savePath);
        QFETCH(QString, shown);
        Projector projector("127.0.97.2");
        const QString other = AppHome::messageDataDir() + QStringLiteral("/other.glc");
        {
            Tab writer;
            setText(writer.body(), QStringLiteral("other"));
            writer.savePaths << other;
            QVERIFY(writer.edit->save());
        }
        Tab t;
        setText(t.body(), QStringLiteral("unsaved work"));
        t.settle();
        QVERIFY(t.edit->isModified());
        t.prompter.clear();
        t.prompter.script({PromptAnswer::Yes});
        if (!savePath.isEmpty())
            t.savePaths << QDir(AppHome::path()).filePath(savePath);
        t.openPaths << other;
        const int requests = projector.sim.requestCount();

        bool went = true;
        const bool diskFull = shown.startsWith(QLatin1String("No space"));
        if (diskFull)
            simulateDiskFullAfter(0);
        auto room = qScopeGuard([] { simulateDiskFullAfter(-1); });
        if (operation == QLatin1String("new"))
            went = t.edit->newMessage();
        else if (operation == QLatin1String("open"))
            t.edit->openMessage(), went = false;
        else if (operation == QLatin1String("get"))
            went = t.edit->get();
        else if (operation == QLatin1String("drop"))
            t.edit->loadDroppedFile(other), went = false;
        else
            went = t.edit->confirmDiscard();

        QVERIFY(!went);
        QCOMPARE(text(t.body()), QStringLiteral("unsaved work"));
        QVERIFY(t.edit->isModified());
        QCOMPARE(t.edit->filePath(), QString());
        QCOMPARE(t.openDialogs, 0);
        QCOMPARE(t.saveDialogs, 1);
        QCOMPARE(projector.sim.requestCount(), requests);
        QCOMPARE(t.prompter.shown().first().text, Unsaved);
        QCOMPARE(t.prompter.shown().first().buttons, PromptButtons::YesNoCancel);
        if (shown.isEmpty()) {
            QCOMPARE(t.prompter.texts().size(), 1);
        } else {
            QCOMPARE(t.prompter.texts().size(), 2);
            QVERIFY(t.prompter.texts().last().contains(shown));
            if (shown == QLatin1String("missing"))
                QCOMPARE(t.prompter.shown().last().icon, PromptIcon::Stop);
        }
        if (!savePath.isEmpty())
            QVERIFY(!QFileInfo::exists(QDir(AppHome::path()).filePath(savePath)));
    }

    void unsavedQuestionAnswers()
    {
        Tab t;
        setText(t.body(), QStringLiteral("work"));
        t.prompter.script({PromptAnswer::Cancel, PromptAnswer::No});
        QVERIFY(!t.edit->newMessage());
        QCOMPARE(text(t.body()), QStringLiteral("work"));
        QVERIFY(t.edit->newMessage());
        QCOMPARE(text(t.body()), QString());
        QCOMPARE(text(t.title()), QString());
        QVERIFY(!t.edit->isModified());

        // Yes with a save that completes goes on.
        setText(t.body(), QStringLiteral("kept"));
        const QString path = AppHome::messageDataDir() + QStringLiteral("/kept.glc");
        t.savePaths << path;
        t.prompter.script({PromptAnswer::Yes});
        QVERIFY(t.edit->newMessage());
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(text(t.body()), QString());
    }

    void failedOpenKeepsTheMessage()
    {
        Tab t;
        setText(t.body(), QStringLiteral("mine"));
        t.edit->applyColour(ColourTarget::Background, 3);
        const QString bad = AppHome::messageDataDir() + QStringLiteral("/bad.glc");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 OPTNUM=12\\par TITLE=11\\par MSG=12\\par}");
        f.close();
        t.prompter.clear();
        QVERIFY(!t.edit->open(bad));
        QCOMPARE(t.prompter.texts(), QStringList{QStringLiteral("This file format is not supported.")});
        QVERIFY(!t.edit->open(bad + QStringLiteral(".missing.glc")));
        QCOMPARE(t.prompter.shown().last().icon, PromptIcon::Stop);
        QCOMPARE(text(t.body()), QStringLiteral("mine"));
        QCOMPARE(t.edit->message().background, ColourCode::Green);
        QVERIFY(t.edit->isModified());

        // A text import: background 8 with its attribute, the body as the file has it.
        const QString txt = AppHome::messageDataDir() + QStringLiteral("/plain.txt");
        QFile tf(txt);
        QVERIFY(tf.open(QIODevice::WriteOnly));
        tf.write("one\ttwo\r\nthree");
        tf.close();
        QVERIFY(t.edit->open(txt));
        QCOMPARE(text(t.body()), QStringLiteral("one    two\rthree"));
        QCOMPARE(t.edit->message().background, ColourCode::HalfTransparent);
        QCOMPARE(t.edit->message().options.displayAttribute, quint8(0x20));
        QVERIFY(!t.edit->isModified());
        t.edit->saveMessage(); // dialog cancelled: the path stays
        QCOMPARE(t.saveDialogs, 1);
        QCOMPARE(t.edit->filePath(), txt);
    }

    void changesASaveWouldWriteMarkTheMessageModified_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("icon") << "icon";
        QTest::newRow("background") << "background";
        QTest::newRow("character display mode") << "mode";
        QTest::newRow("advanced") << "advanced";
    }
    void changesASaveWouldWriteMarkTheMessageModified()
    {
        QFETCH(QString, change);
        Tab t;
        QVERIFY(!t.edit->isModified());
        if (change == QLatin1String("icon")) {
            t.edit->iconBox()->setCurrentIndex(3);
            emit t.edit->iconBox()->activated(3);
            QCOMPARE(t.edit->message().icon, 3);
        } else if (change == QLatin1String("background")) {
            t.edit->applyColour(ColourTarget::Background, 9);
            QCOMPARE(t.edit->message().options.displayAttribute, quint8(0x40));
            // Synchronised: every character takes the background (shown lighter grey).
            const RichText shown = t.body()->richText();
            for (const RichChar &c : shown.chars())
                QCOMPARE(c.format.background, rgbForCode(9));
        } else if (change == QLatin1String("mode")) {
            QSignalSpy spy(t.edit.get(), &EditTabPage::commandStateChanged);
            t.edit->displayModeCheck()->click();
            QVERIFY(t.edit->characterDisplayMode());
            QVERIFY(spy.count() >= 1);
        } else {
            t.advanced = [](CurrentMessage &m) {
                m.options.scrollSpeed = 2;
                return true;
            };
            t.edit->advanced();
        }
        QVERIFY(t.edit->isModified());
        t.prompter.script({PromptAnswer::Cancel});
        QVERIFY(!t.edit->newMessage());
        QCOMPARE(t.prompter.texts(), QStringList{Unsaved});
    }

    void fontSizeChangeKeepsTextAndClipboard()
    {
        Tab t;
        setText(t.body(), QStringLiteral("body text"), colours(2, 0));
        QGuiApplication::clipboard()->setText(QStringLiteral("keep me"));
        t.advanced = [](CurrentMessage &m) {
            m.options.fontSize = 1;
            return true;
        };
        t.edit->advanced();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep me"));
        RichText expected(QStringLiteral("body text"), colours(2, 0));
        setSize(expected, DoubleSizeTwips);
        QCOMPARE(t.body()->richText(), expected);
        QCOMPARE(t.title()->richText().at(0).format.sizeTwips, DoubleSizeTwips);
        QVERIFY(!t.edit->canUndo());
        QVERIFY(t.edit->isModified());
    }

    void withoutProjectorNothingStarts_data()
    {
        QTest::addColumn<int>("operation");
        for (int op = 0; op < 4; ++op)
            QTest::addRow("%d", op) << op;
    }
    void withoutProjectorNothingStarts()
    {
        QFETCH(int, operation);
        Tab t;
        t.prompter.clear();
        const bool ran = operation == 0   ? t.edit->send()
                         : operation == 1 ? t.edit->get()
                         : operation == 2 ? t.edit->displayOn()
                                          : t.edit->displayOff();
        QVERIFY(!ran);
        QCOMPARE(t.prompter.texts(), QStringList{QStringLiteral("Please select PROJECTOR")});
    }

    void sendGetAndDisplayAgainstTheProjector()
    {
        Projector projector("127.0.97.3");
        Tab t;
        QCOMPARE(t.edit->projectorBox()->currentText(), QStringLiteral("127.0.97.3  sim"));
        QCOMPARE(t.edit->capabilities().firmwareLevel(), 4);
        t.edit->slotBox()->setCurrentIndex(3);
        t.edit->chooseProjector();
        QVERIFY(t.edit->startupCheck()->isEnabled());
        QVERIFY(!t.edit->startupCheck()->isChecked());
        t.edit->startupCheck()->click();
        QCOMPARE(t.edit->startupMinutesBox()->currentText(), QStringLiteral("3"));
        QVERIFY(t.edit->minLabel()->isEnabled());
        t.edit->startupMinutesBox()->setEditText(QStringLiteral("Repeat"));

        t.title()->setRichText({});
        t.body()->setRichText(RichText(QStringLiteral("abc"), colours(1, 0)));
        t.settle();
        t.prompter.clear();
        QVERIFY(t.edit->send());
        QCOMPARE(t.prompter.texts(), QStringList{Complete});
        const SimSlot stored = projector.sim.slot(3);
        const QByteArray body = QByteArray::fromHex("0000") + QByteArray(126, char(0xFF))
                                + QByteArray::fromHex("001B000100000061006200630000");
        QCOMPARE(stored.body.toHex(), body.toHex());
        QCOMPARE(stored.header.toHex(), QByteArray("0000ff00200000000100ffffffff813c"));
        QCOMPARE(projector.sim.device().startupSetting, 0x8300);
        QVERIFY(t.edit->startupCheck()->isChecked());
        QCOMPARE(t.edit->startupMinutesBox()->currentText(), QStringLiteral("Repeat"));
        QVERIFY(!t.edit->minLabel()->isEnabled());

        // A refused startup setting is reported, and the send is not "complete".
        projector.sim.setRawAnswer("CTRL 1\r\n", "CTRL 3532\r\n1");
        t.prompter.clear();
        QVERIFY(!t.edit->send());
        QVERIFY(!t.prompter.texts().contains(Complete));
        QCOMPARE(t.prompter.texts().size(), 1);
        projector.sim.clearRawAnswers();

        // Display on and off the stored slot.
        QVERIFY(t.edit->displayOn());
        QCOMPARE(projector.sim.device().messageState, (3 << 8) | 1);
        QVERIFY(t.edit->displayOff());
        QCOMPARE(projector.sim.device().messageState, 3 << 8);

        // Get into another tab: same boxes, no file, counts as modified.
        Tab reader;
        reader.edit->slotBox()->setCurrentIndex(3);
        reader.prompter.clear();
        QVERIFY(reader.edit->get());
        QCOMPARE(reader.prompter.texts(), QStringList{Complete});
        QCOMPARE(reader.body()->richText(), RichText(QStringLiteral("abc"), colours(1, 0)));
        QCOMPARE(text(reader.title()), QString());
        QVERIFY(reader.edit->isModified());
        QCOMPARE(reader.edit->filePath(), QString());
    }

    void getShowsWhatTheProjectorHolds()
    {
        Projector projector("127.0.97.4");
        // Icon 9 (outside the list), transparent background, a title with a line break and
        // a page feed in the body.
        QByteArray header = QByteArray::fromHex("0000ff004000090001ffffffffffff00");
        QByteArray body = QByteArray::fromHex("001B00070001004100" "0D" "00420000");
        body += QByteArray(128 - body.size(), char(0xFF));
        body += QByteArray::fromHex("001B000300000078000C00790000");
        projector.sim.setSlot(0, header, body);
        Tab t;
        QVERIFY(t.edit->get());
        QCOMPARE(text(t.title()), QStringLiteral("A B"));
        QCOMPARE(text(t.body()), QStringLiteral("x\u25BC\ry"));
        QCOMPARE(t.edit->iconBox()->currentIndex(), -1);
        QCOMPARE(t.edit->message().icon, 9);
        QVERIFY(t.edit->characterDisplayMode());
        QCOMPARE(t.edit->message().background, ColourCode::HalfTransparent);

        // The icon travels on unchanged.
        t.prompter.script({PromptAnswer::Ok});
        QVERIFY(t.edit->send());
        QCOMPARE(quint8(projector.sim.slot(0).header.at(6)), quint8(9));
    }

    void frameWiring()
    {
        Projector a("127.0.97.5");
        Projector b("127.0.97.6");
        ScriptedPrompter prompter;
        MainWindowSetup setup;
        setup.prompter = &prompter;
        setup.initialTab = TabIndex::Discovery;
        setup.createEditPage = [](MainWindow &frame) -> EditTabPage * {
            EditTabEnvironment env;
            env.runJob = fastJob;
            env.sendLocked = [&frame] { return frame.session().sendLocked(); };
            return new EditTab(frame.session().store(), frame.prompter(), env);
        };
        setup.runSendLockDialog = [](bool locked, QWidget *) { return std::optional<bool>(!locked); };
        QList<int> offered; // what the colour dialog opened with
        setup.chooseColour = [&offered](ColourTarget, int current, QWidget *) {
            offered << current;
            return std::optional<int>(1);
        };
        setup.discovery.searchPort = 42366;
        setup.discovery.answerPort = 44004;
        MainWindow frame(setup);
        frame.session().store().setCurrentIndex(7); // more than the list holds
        frame.view()->setCurrentTab(TabIndex::Edit);
        auto *edit = static_cast<EditTab *>(frame.editPage());
        QCOMPARE(frame.session().store().currentIndex(), 1);
        QCOMPARE(edit->projectorBox()->currentText(), QStringLiteral("127.0.97.6  sim"));

        // A cancelled New leaves the clipboard alone; one that went ahead empties it.
        setText(edit->bodyBox(), QStringLiteral("work"));
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        prompter.script({PromptAnswer::Cancel});
        frame.command(MainWindow::Command::New)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
        prompter.script({PromptAnswer::No});
        frame.command(MainWindow::Command::New)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());

        // Character display mode disables the two background buttons at once.
        QVERIFY(frame.command(MainWindow::Command::BackgroundButton)->isEnabled());
        edit->displayModeCheck()->click();
        QVERIFY(!frame.command(MainWindow::Command::BackgroundButton)->isEnabled());
        QVERIFY(!frame.command(MainWindow::Command::FontBackgroundButton)->isEnabled());

        // A background from a loaded message shows on the toolbar; New keeps the display mode.
        edit->applyColour(ColourTarget::Background, 4);
        prompter.script({PromptAnswer::No});
        frame.command(MainWindow::Command::New)->trigger();
        QCOMPARE(frame.session().paletteIndex(ColourTarget::Background), 8);
        QVERIFY(edit->displayModeCheck()->isChecked());

        // The colour dialog opens on the command's current colour, not on the caret's.
        setText(edit->bodyBox(), QStringLiteral("white"));
        frame.command(MainWindow::Command::FontColour)->trigger();
        edit->bodyBox()->moveCursor(QTextCursor::Start); // the caret in white text
        frame.command(MainWindow::Command::FontColour)->trigger();
        QCOMPARE(offered, (QList<int>{7, 1}));

        // A dragged file is not the box's: the window takes it.
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.glc"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(edit->bodyBox()->viewport(), &enter);
        QVERIFY(enter.isAccepted());

        // Every Alt key of the tab is its own, and none takes a menu's.
        QMap<QKeySequence, QString> keys;
        QStringList texts;
        for (QAction *menu : frame.menuBar()->actions())
            texts << menu->text();
        for (QAbstractButton *b : edit->findChildren<QAbstractButton *>())
            texts << b->text();
        for (QLabel *l : edit->findChildren<QLabel *>())
            if (l->buddy())
                texts << l->text();
        for (const QString &text : texts) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (key.isEmpty())
                continue;
            QVERIFY2(!keys.contains(key), qPrintable(keys.value(key) + " / " + text));
            keys.insert(key, text);
        }
        QVERIFY(keys.size() >= 14);
    }
};

QTEST_MAIN(TestMessageEdit)
#include "tst_edit_tab.moc"
