// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/edit_tab/edit_tab.h"

#include "app/projector_store.h"
#include "base/app_home.h"
#include "base/message_table.h"
#include "gui/widgets/job_status_window.h"
#include "message/message_file.h"
#include "message/rich_text_document.h"
#include "message/text_limits.h"
#include "gui/edit_tab/message_edit_box.h"
#include "gui/widgets/alt_key.h"
#include "gui/widgets/slot_box.h"
#include "gui/widgets/startup_minutes_box.h"
#include "render/glyph_set.h"
#include "render/payload_decoder.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

/// The icon list: "None", then the projector's title icons in the order of their index.
constexpr int IconChoices = GlyphSet::IconCount + 1;

/// The icon bitmaps the preview draws and the projector shows, from the same place
/// (home, installed data, built-in copy), so the list never shows a different picture.
QIcon titleIcon(const GlyphSet &icons, int index)
{
    if (index >= 1 && index <= GlyphSet::IconCount && !icons.icon(index).isNull())
        return QIcon(QPixmap::fromImage(icons.icon(index)));
    QPixmap blank(GlyphSet::IconSize, GlyphSet::IconSize);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace

/// Forwards to the frame's prompter and counts the questions that are open, so that no
/// typing-time check starts a second question meanwhile.
class EditTab::GuardedPrompter : public Prompter {
public:
    GuardedPrompter(Prompter &inner, int &depth) : m_inner(inner), m_depth(depth) {}
    void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                const QString &caption = {}) override
    {
        ++m_depth;
        m_inner.inform(text, icon, caption);
        --m_depth;
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon = PromptIcon::Question,
                     const QString &caption = {}) override
    {
        ++m_depth;
        const PromptAnswer a = m_inner.ask(text, buttons, icon, caption);
        --m_depth;
        return a;
    }

private:
    Prompter &m_inner;
    int &m_depth;
};

/// Marks a stretch in which the program itself changes the boxes.
struct EditTab::Busy {
    explicit Busy(int &counter) : m_counter(counter) { ++m_counter; }
    ~Busy() { --m_counter; }
    int &m_counter;
};

EditTab::EditTab(ProjectorStore &store, Prompter &prompter, EditTabEnvironment env,
                           QWidget *parent)
    : EditTabPage(parent), m_store(store), m_outerPrompter(prompter),
      m_prompter(std::make_unique<GuardedPrompter>(prompter, m_modal)), m_env(std::move(env)),
      m_ops(*m_prompter, [this](JobRecord &job) {
          Busy modal(m_modal);
          return m_env.runJob(job);
      })
{
    m_env.complete();
    if (!m_env.runJob)
        m_env.runJob = [this](JobRecord &job) { return JobStatusWindow::run(job, this); };
    if (m_env.describeTarget)
        m_ops.setTargetDescriber(m_env.describeTarget);
    buildUi();

    // Opening the tab: the sample texts, default options, "Quick", nothing modified.
    CurrentMessage initial;
    initial.setTitle(RichText(QStringLiteral("Title"), defaultCharFormat()));
    initial.setBody(RichText(QStringLiteral("Message"), defaultCharFormat()));
    showMessage(initial, false);
    m_selectOnFocus = {m_title, m_body};
    m_slot->setCurrentIndex(0);
    m_sync->setChecked(true);
    setModified(false);
    showStartupArea(std::nullopt);
    updateForCapabilities();
    m_focused = m_body;
}

EditTab::~EditTab() = default;

void EditTab::buildUi()
{
    // Built left to right, so the focus moves down the message column, then the projector's.
    QLayout *messageColumn = buildMessageColumn();
    QGroupBox *projectorGroup = buildProjectorGroup();

    auto *right = new QVBoxLayout;
    right->addWidget(projectorGroup);
    right->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(messageColumn, 1);
    layout->addLayout(right);
}

QPushButton *EditTab::makeButton(const QString &text, const char *name)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLayout *EditTab::buildMessageColumn()
{
    m_title = new MessageEditBox(MessageEditBox::Role::Title, this);
    m_title->setObjectName(QStringLiteral("titleBox"));
    m_body = new MessageEditBox(MessageEditBox::Role::Body, this);
    m_body->setObjectName(QStringLiteral("bodyBox"));
    connectBox(m_title);
    connectBox(m_body);

    m_titleCount = new QLabel(this);
    m_titleCount->setObjectName(QStringLiteral("titleCount"));
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(buildIconBox());
    titleRow->addWidget(m_title, 1);
    titleRow->addWidget(m_titleCount);
    connect(m_title->document(), &QTextDocument::contentsChanged, this, &EditTab::updateTitleCount);

    m_pageFeed = makeButton(tr("&Page feed"), "pageFeedButton");
    m_tab = makeButton(tr("T&ab"), "tabButton");
    // These two act on the box that had the focus: they must not keep it themselves.
    m_pageFeed->setFocusPolicy(Qt::NoFocus);
    m_tab->setFocusPolicy(Qt::NoFocus);
    m_image = makeButton(tr("I&mage"), "imageButton");
    m_advanced = makeButton(tr("Ad&vanced..."), "advancedButton");
    auto *editRow = new QHBoxLayout;
    editRow->addWidget(m_pageFeed);
    editRow->addWidget(m_tab);
    editRow->addStretch(1);
    editRow->addWidget(m_image);
    editRow->addWidget(m_advanced);

    m_sync = new QCheckBox(
        tr("Synchroni&zation of \nthe background color \nand character background color"), this);
    m_sync->setObjectName(QStringLiteral("syncCheck"));
    m_displayMode = new QCheckBox(tr("&Character display mode"), this);
    m_displayMode->setObjectName(QStringLiteral("displayModeCheck"));
    auto *checkRow = new QHBoxLayout;
    checkRow->addWidget(m_sync);
    checkRow->addSpacing(16);
    checkRow->addWidget(m_displayMode, 0, Qt::AlignTop);
    checkRow->addStretch(1);

    auto *column = new QVBoxLayout;
    column->addLayout(titleRow);
    column->addWidget(m_body, 1);
    column->addLayout(editRow);
    column->addLayout(checkRow);

    connect(m_pageFeed, &QPushButton::clicked, this, &EditTab::pageFeed);
    connect(m_tab, &QPushButton::clicked, this, &EditTab::insertTab);
    connect(m_image, &QPushButton::clicked, this, &EditTab::preview);
    connect(m_advanced, &QPushButton::clicked, this, &EditTab::advanced);
    connect(m_displayMode, &QCheckBox::clicked, this, [this] { markModified(); });
    connect(m_displayMode, &QCheckBox::toggled, this, [this] { emit commandStateChanged(); });
    return column;
}

QComboBox *EditTab::buildIconBox()
{
    m_icon = new QComboBox(this);
    m_icon->setObjectName(QStringLiteral("iconBox"));
    m_icon->setIconSize(QSize(GlyphSet::IconSize, GlyphSet::IconSize));
    m_icon->setToolTip(tr("Icon of the title"));
    const GlyphSet icons = GlyphSet::loadFrom(QString(), GlyphSet::findDataDir(QStringLiteral("micon")));
    for (int i = 0; i < IconChoices; ++i)
        m_icon->addItem(titleIcon(icons, i), i == 0 ? tr("None") : QString());
    connect(m_icon, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index == m_message.icon)
            return;
        m_message.icon = index;
        m_message.options.icon = quint8(index);
        markModified();
    });
    return m_icon;
}

QGroupBox *EditTab::buildProjectorGroup()
{
    auto *projectorGroup = new QGroupBox(tr("PROJECTOR"), this);
    m_projector = new QComboBox(this);
    m_projector->setObjectName(QStringLiteral("projectorBox"));
    m_projector->setMinimumContentsLength(15);
    m_slot = new SlotBox(msg(1084), this);
    m_slot->setObjectName(QStringLiteral("slotBox"));
    m_send = makeButton(withAltKey(msg(1087), u'S'), "sendButton");
    m_get = makeButton(tr("&Get"), "getButton");
    m_displayOn = makeButton(tr("&Display on"), "displayOnButton");
    m_displayOff = makeButton(tr("Displa&y off"), "displayOffButton");
    m_startup = new QCheckBox(tr("Start&up Display"), this);
    m_startup->setObjectName(QStringLiteral("startupCheck"));
    m_startupMinutes = new StartupMinutesBox(this);
    m_startupMinutes->setObjectName(QStringLiteral("startupMinutesBox"));
    m_min = new QLabel(tr("min"), this);
    m_min->setObjectName(QStringLiteral("minLabel"));

    auto *grid = new QGridLayout(projectorGroup);
    auto *projectorLabel = new QLabel(tr("&IP Address"), projectorGroup);
    projectorLabel->setBuddy(m_projector);
    grid->addWidget(projectorLabel, 0, 0);
    grid->addWidget(m_projector, 0, 1, 1, 2);
    auto *slotLabel = new QLabel(tr("Saved &number"), projectorGroup);
    slotLabel->setBuddy(m_slot);
    grid->addWidget(slotLabel, 1, 0);
    grid->addWidget(m_slot, 1, 1, 1, 2);
    grid->addWidget(m_send, 2, 0, 1, 3);
    grid->addWidget(m_get, 3, 0, 1, 3);
    grid->addWidget(m_displayOn, 4, 0, 1, 3);
    grid->addWidget(m_displayOff, 5, 0, 1, 3);
    grid->addWidget(m_startup, 6, 0, 1, 3);
    grid->addWidget(m_startupMinutes, 7, 0, 1, 2);
    grid->addWidget(m_min, 7, 2);
    grid->setRowStretch(8, 1);
    grid->setRowMinimumHeight(2, 36);

    connect(m_send, &QPushButton::clicked, this, &EditTab::send);
    connect(m_get, &QPushButton::clicked, this, &EditTab::get);
    connect(m_displayOn, &QPushButton::clicked, this, &EditTab::displayOn);
    connect(m_displayOff, &QPushButton::clicked, this, &EditTab::displayOff);
    connect(m_projector, &QComboBox::activated, this, &EditTab::chooseProjector);
    connect(m_slot, &QComboBox::activated, this, &EditTab::chooseProjector);
    connect(m_startup, &QCheckBox::clicked, this, &EditTab::startupSwitched);
    connect(m_startupMinutes, &QComboBox::activated, this, &EditTab::updateMinLabel);
    connect(m_startupMinutes->lineEdit(), &QLineEdit::textEdited, this, &EditTab::updateMinLabel);
    return projectorGroup;
}

void EditTab::connectBox(MessageEditBox *box)
{
    connect(box->document(), &QTextDocument::contentsChange, this,
            [this, box](int position, int removed, int added) {
                onContentsChange(box, position, removed, added);
            });
    connect(box, &MessageEditBox::focusChanged, this, [this, box](bool in) {
        if (in) {
            m_focused = box;
            // The starting "Title" and "Message" are there to be typed over: selected on
            // the first visit (after the click that gave the focus has placed the cursor).
            if (m_selectOnFocus.remove(box))
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
            // Without the extended character set only what the keyboard types directly
            // can be shown: no input method while the box has the focus.
            box->setAttribute(Qt::WA_InputMethodEnabled, m_caps.ExtendedCharset());
        } else {
            box->setAttribute(Qt::WA_InputMethodEnabled, true);
        }
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
        emit commandStateChanged();
    });
    connect(box, &QTextEdit::undoAvailable, this, [this] { emit commandStateChanged(); });
    connect(box, &QTextEdit::copyAvailable, this, [this] { emit commandStateChanged(); });
}

// ---- change handling -------------------------------------------------------------------

void EditTab::onContentsChange(MessageEditBox *box, int position, int removed, int added)
{
    Q_UNUSED(position);
    if (m_busy > 0 || (removed == 0 && added == 0))
        return;
    markModified();
    if (box->document()->characterCount() <= 1) {
        Busy busy(m_busy);
        box->applyDefaultIfEmpty();
    }
    if (box == m_body)
        m_bodyChanged = true;
    // Once per user edit, after the change has settled; never in the middle of it.
    if (!m_checkPending) {
        m_checkPending = true;
        QMetaObject::invokeMethod(this, &EditTab::runTypingCheck, Qt::QueuedConnection);
        emit checkQueued();
    }
}

void EditTab::replaceTabsInBox(MessageEditBox *box)
{
    QTextDocument *doc = box->document();
    QTextCursor found = doc->find(QStringLiteral("\t"));
    if (found.isNull())
        return;
    Busy busy(m_busy);
    QTextCursor edit(doc);
    edit.joinPreviousEditBlock();
    while (!found.isNull()) {
        const QTextCharFormat f = found.charFormat();
        found.insertText(QStringLiteral("    "), f);
        found = doc->find(QStringLiteral("\t"), found);
    }
    edit.endEditBlock();
}

void EditTab::runTypingCheck()
{
    m_checkPending = false;
    // A question of an earlier check, a dialog or a job is open: that one decides.
    if (m_modal > 0 || m_busy > 0)
        return;
    if (m_title->isComposing() || m_body->isComposing())
        return; // the commit of the composition queues its own check
    replaceTabsInBox(m_title);
    replaceTabsInBox(m_body);
    if (!m_bodyChanged)
        return;
    m_bodyChanged = false;
    syncFromBoxes();
    ++m_checksRun;
    BuildPayload(m_message, PayloadPurpose::PreviewCheck, payloadContext());
}

void EditTab::syncFromBoxes()
{
    m_message.setTitle(m_title->richText());
    m_message.setBody(m_body->richText());
}

CurrentMessage &EditTab::message()
{
    syncFromBoxes();
    return m_message;
}

PayloadContext EditTab::payloadContext()
{
    PayloadContext c;
    c.prompter = m_prompter.get();
    c.capabilities = m_caps;
    c.characterDisplayMode = m_displayMode->isChecked();
    c.bodyLineOf = [this](qsizetype position) {
        QTextDocument *doc = m_body->document();
        const QTextBlock target = doc->findBlock(int(position));
        int line = 0;
        for (QTextBlock b = doc->begin(); b.isValid() && b != target; b = b.next()) {
            doc->documentLayout()->blockBoundingRect(b); // lays the block out
            line += qMax(1, b.layout()->lineCount());
        }
        if (!target.isValid())
            return line + 1;
        doc->documentLayout()->blockBoundingRect(target);
        const QTextLine l = target.layout()->lineForTextPosition(int(position) - target.position());
        return line + (l.isValid() ? l.lineNumber() : 0) + 1;
    };
    if (m_env.showUnsupported) {
        c.showUnsupportedReport = [this](const QString &report) {
            Busy modal(m_modal);
            return m_env.showUnsupported(this, report);
        };
    }
    c.bodyCharacterDeleted = [this](qsizetype position) {
        Busy busy(m_busy);
        QTextCursor cursor(m_body->document());
        cursor.setPosition(int(position));
        cursor.setPosition(int(position) + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        markModified();
    };
    return c;
}

// ---- showing a message -----------------------------------------------------------------

void EditTab::showMessage(const CurrentMessage &m, bool characterDisplayMode)
{
    Busy busy(m_busy);
    m_selectOnFocus.clear();
    m_message = m;
    const CharFormat box = defaultCharFormat(m.isDoubleSize());
    m_title->setDefaultFormat(box);
    m_body->setDefaultFormat(box);
    m_title->setRichText(m.title());
    m_body->setRichText(m.body());
    // A decoded icon outside the list keeps its value for the file and the projector, but
    // the list shows no choice.
    m_icon->setCurrentIndex(m.icon >= 0 && m.icon < IconChoices ? m.icon : -1);
    m_displayMode->setChecked(characterDisplayMode);
    applyBackground();
    emit colourShown(ColourTarget::Background, int(m_message.background));
    syncFromBoxes();
    forgetUndo();
}

void EditTab::applyBackground()
{
    const quint32 rgb = rgbForColour(m_message.background);
    m_title->setBackgroundRgb(rgb);
    m_body->setBackgroundRgb(rgb);
}

void EditTab::applyFontSize()
{
    Busy busy(m_busy);
    const bool doubleSize = m_message.isDoubleSize();
    const int twips = doubleSize ? DoubleSizeTwips : StandardSizeTwips;
    for (MessageEditBox *box : {m_title, m_body}) {
        RichText text = box->richText();
        setSize(text, twips);
        box->setDefaultFormat(defaultCharFormat(doubleSize));
        box->setRichText(text);
        QTextCursor c = box->textCursor();
        c.movePosition(QTextCursor::Start);
        box->setTextCursor(c);
    }
    forgetUndo();
}

void EditTab::forgetUndo()
{
    m_title->document()->clearUndoRedoStacks();
    m_body->document()->clearUndoRedoStacks();
    emit commandStateChanged();
}

void EditTab::setModified(bool modified)
{
    m_modified = modified;
    m_title->document()->setModified(modified);
    m_body->document()->setModified(modified);
}

bool EditTab::isModified() const
{
    return m_modified || m_title->document()->isModified() || m_body->document()->isModified();
}

// ---- projector choice --------------------------------------------------------------------

void EditTab::fillProjectorBox()
{
    m_store.LoadRegisteredProjectors();
    m_projector->clear();
    const QList<ProjectorEntry> &list = m_store.projectors();
    if (list.isEmpty()) {
        m_projector->addItem(msg(1002));
        m_projector->setCurrentIndex(0);
        return;
    }
    for (const ProjectorEntry &d : list)
        m_projector->addItem(ipToText(d.IP));
    // The index shared with the Main tab; the list may have shrunk since.
    const int index = qBound(0, m_store.currentIndex(), int(list.size()) - 1);
    m_store.setCurrentIndex(index);
    m_projector->setCurrentIndex(index);
}

bool EditTab::placeholderChosen() const
{
    return m_projector->currentIndex() < 0 || m_projector->currentText().isEmpty()
           || m_projector->currentText() == msg(1002) || m_store.projectors().isEmpty();
}

bool EditTab::chooseTarget(ProjectorEndpoint *target, bool quiet)
{
    const int index = m_projector->currentIndex();
    if (placeholderChosen() || !m_store.targetAt(index, target)) {
        if (!quiet)
            m_prompter->inform(msg(1002));
        return false;
    }
    m_store.setCurrentIndex(index);
    return true;
}

void EditTab::refreshBeforeShow()
{
    fillProjectorBox();
}

void EditTab::refreshAfterShow()
{
    QTextCursor c = m_title->textCursor();
    c.movePosition(QTextCursor::End);
    m_title->setTextCursor(c);
    chooseProjector();
}

void EditTab::chooseProjector()
{
    ProjectorEndpoint target;
    if (!chooseTarget(&target, true)) {
        showStartupArea(std::nullopt);
        updateForCapabilities();
        return;
    }
    if (m_capsAddress != target.address) {
        // Another projector: what the previous one could do says nothing about this one.
        m_caps.forget();
        m_capsAddress.reset();
    }
    CapabilityReport report;
    if (m_ops.refreshCapabilities(target, &m_caps, &report)) {
        m_capsAddress = target.address;
        showStartupArea(report.startup());
    } else {
        showStartupArea(std::nullopt);
    }
    updateForCapabilities();
}

void EditTab::showStartupArea(std::optional<StartupSetting> setting)
{
    const bool quick = m_slot->currentIndex() <= 0;
    bool checkEnabled = false;
    bool checked = false;
    QString minutes;
    if (setting) {
        checkEnabled = !quick;
        checked = !quick && setting->enabled && setting->slot == m_slot->currentIndex();
        if (checked)
            minutes = StartupMinutesBox::textForMinutes(setting->minutes);
    }
    m_startup->setEnabled(checkEnabled);
    m_startup->setChecked(checked);
    m_startupMinutes->setEnabled(checked);
    m_startupMinutes->setCurrentIndex(-1);
    m_startupMinutes->setEditText(minutes);
    updateMinLabel();
}

void EditTab::startupSwitched(bool on)
{
    if (on) {
        m_startupMinutes->setEnabled(true);
        m_startupMinutes->setEditText(m_rememberedMinutes.isEmpty() ? QStringLiteral("3")
                                                                     : m_rememberedMinutes);
    } else {
        m_rememberedMinutes = m_startupMinutes->currentText();
        m_startupMinutes->setCurrentIndex(-1);
        m_startupMinutes->setEditText(QString());
        m_startupMinutes->setEnabled(false);
    }
    updateMinLabel();
}

void EditTab::updateMinLabel()
{
    bool number = false;
    m_startupMinutes->currentText().trimmed().toInt(&number);
    m_min->setEnabled(m_startupMinutes->isEnabled() && number);
}

void EditTab::updateForCapabilities()
{
    // The preview draws the basic character set only.
    m_image->setEnabled(bool(m_env.showPreview) && !m_caps.ExtendedCharset());
    updateTitleCount();
}

void EditTab::setSendCaption(const QString &caption)
{
    m_send->setText(withAltKey(caption, u'S'));
}

void EditTab::updateTitleCount()
{
    // What the projector shows of the title depends on the character size and set.
    const int length = int(m_title->document()->toPlainText().size());
    const int limit = titleLimit(m_message.options.fontSize, m_caps.ExtendedCharset());
    m_titleCount->setText(QStringLiteral("%1 / %2").arg(length).arg(limit));
    QPalette palette = this->palette();
    if (length > limit)
        palette.setColor(QPalette::WindowText, Qt::red);
    m_titleCount->setPalette(palette);
}

// ---- projector operations ------------------------------------------------------------------

bool EditTab::send()
{
    if (m_env.sendLocked && m_env.sendLocked()) {
        m_prompter->inform(msg(1043));
        return false;
    }
    syncFromBoxes();
    if (m_message.body().isEmpty()) {
        m_prompter->inform(msg(1003));
        return false;
    }
    ProjectorEndpoint target;
    if (!chooseTarget(&target))
        return false;
    if (m_displayMode->isChecked()
        && m_prompter->ask(msg(1010), PromptButtons::OkCancel, PromptIcon::Information)
               != PromptAnswer::Ok)
        return false;
    int minutes = -1;
    if (m_startup->isChecked()) {
        minutes = StartupSetting::parseMinutes(m_startupMinutes->currentText());
        if (minutes < 0) {
            m_prompter->inform(msg(1014));
            return false;
        }
    }
    SendOptions options;
    options.slot = m_slot->slot();
    options.startupMinutes = minutes;
    options.pollStorage = false;
    std::optional<StartupSetting> stored;
    Busy modal(m_modal);
    const bool ok = m_ops.sendMessage(target, m_message, payloadContext(), options, &stored);
    if (stored)
        showStartupArea(stored);
    return ok;
}

bool EditTab::get()
{
    ProjectorEndpoint target;
    if (!chooseTarget(&target))
        return false;
    if (!askUnsaved())
        return false;
    Busy modal(m_modal);
    if (!m_ops.statusCheck(target))
        return false;
    OptionBlock header;
    QByteArray body;
    if (!m_ops.fetch(target, m_slot->slot(), &header, &body))
        return false;
    CurrentMessage next = m_message; // alarm fields stay without alarm support
    const ReceivedMessageInfo info = decodeReceivedMessage(header, body, m_caps.AlarmCapable(), next);
    next.filePath.clear(); // a fetched message is not the file it may have come from
    showMessage(next, info.characterDisplayMode);
    setModified(true);
    m_prompter->inform(msg(1020));
    return true;
}

bool EditTab::display(bool on)
{
    ProjectorEndpoint target;
    if (!chooseTarget(&target))
        return false;
    Busy modal(m_modal);
    return m_ops.display(target, m_slot->slot(), on, false);
}

// ---- files -------------------------------------------------------------------------------

bool EditTab::askUnsaved()
{
    if (!isModified())
        return true;
    switch (m_prompter->ask(msg(1022), PromptButtons::YesNoCancel, PromptIcon::Information)) {
    case PromptAnswer::Yes:
        syncFromBoxes();
        if (BuildPayload(m_message, PayloadPurpose::PreviewCheck, payloadContext()) != 0)
            return false;
        // Only a save that completed lets the operation throw the message away.
        return saveChecked(true);
    case PromptAnswer::No:
        return true;
    case PromptAnswer::Ok:
    case PromptAnswer::Cancel:
        break;
    }
    return false;
}

bool EditTab::confirmDiscard()
{
    return askUnsaved();
}

bool EditTab::newMessage()
{
    if (!askUnsaved())
        return false;
    CurrentMessage fresh;
    // New leaves "Character display mode" as it is; only opening a file switches it off.
    showMessage(fresh, m_displayMode->isChecked());
    setModified(false);
    return true;
}

void EditTab::openMessage()
{
    if (!askUnsaved())
        return;
    const QString path = m_env.chooseOpenPath(this, AppHome::messageDataDir());
    if (!path.isEmpty())
        open(path);
}

void EditTab::loadDroppedFile(const QString &path)
{
    if (!askUnsaved())
        return;
    QGuiApplication::clipboard()->clear();
    open(path);
}

bool EditTab::open(const QString &path)
{
    syncFromBoxes();
    CurrentMessage next = m_message;
    const MessageFileContext context =
        MessageFileContext::forTarget(m_caps, m_prompter.get(), AppHome::path());
    QString error;
    const MessageFileStatus status = readMessageFile(path, next, context, &error);
    if (status != MessageFileStatus::Ok) {
        // A refused format has been reported by the reader; the old message stays.
        if (status != MessageFileStatus::NotSupported)
            m_prompter->inform(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), error),
                               PromptIcon::Stop);
        return false;
    }
    showMessage(next, false);
    setModified(false);
    return true;
}

void EditTab::saveMessage()
{
    save();
}

bool EditTab::save()
{
    return saveChecked(false);
}

bool EditTab::saveChecked(bool alreadyChecked)
{
    syncFromBoxes();
    if (m_message.body().isEmpty()) {
        m_prompter->inform(msg(1003));
        return false;
    }
    if (!alreadyChecked
        && BuildPayload(m_message, PayloadPurpose::PreviewCheck, payloadContext()) != 0)
        return false;
    QString name = m_message.filePath;
    if (name.endsWith(QLatin1String(".txt")))
        name.chop(4);
    QString path;
    {
        Busy modal(m_modal);
        path = m_env.chooseSavePath(this, AppHome::messageDataDir() + QLatin1Char('/'), name);
    }
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String("glc"))) {
        m_prompter->inform(msg(1027));
        return false;
    }
    PayloadResult encoded;
    if (BuildPayload(m_message, PayloadPurpose::SaveToFile, payloadContext(), &encoded) != 0)
        return false;
    const MessageFileContext context =
        MessageFileContext::forTarget(m_caps, m_prompter.get(), AppHome::path());
    QString error;
    const MessageFileStatus status =
        writeMessageFile(path, m_message, m_displayMode->isChecked(), context, &error);
    if (status == MessageFileStatus::TitleTooLong)
        return false; // reported by the writer
    if (status != MessageFileStatus::Ok) {
        m_prompter->inform(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), error),
                           PromptIcon::Stop);
        return false;
    }
    m_message.filePath = path;
    forgetUndo();
    setModified(false);
    m_prompter->inform(msg(1020));
    return true;
}

// ---- edit commands -------------------------------------------------------------------------

MessageEditBox *EditTab::focusedBox() const
{
    return m_focused ? m_focused.data() : m_body;
}

bool EditTab::canUndo() const
{
    return focusedBox()->document()->isUndoAvailable();
}

void EditTab::undo()
{
    if (canUndo())
        focusedBox()->undo();
}

bool EditTab::hasSelection() const
{
    return focusedBox()->textCursor().hasSelection();
}

bool EditTab::canPaste() const
{
    return focusedBox()->canPaste();
}

void EditTab::cut()
{
    if (hasSelection())
        focusedBox()->cut();
}

void EditTab::copy()
{
    if (hasSelection())
        focusedBox()->copy();
}

void EditTab::paste()
{
    focusedBox()->paste();
}

bool EditTab::characterDisplayMode() const
{
    return m_displayMode->isChecked();
}

void EditTab::applyColour(ColourTarget target, int index)
{
    if (index < 0 || index >= PaletteSize)
        return;
    const QColor colour = QColor::fromRgb(rgbForCode(index));
    if (target != ColourTarget::Background) {
        MessageEditBox *box = focusedBox();
        QTextCharFormat f;
        if (target == ColourTarget::Character)
            f.setForeground(colour);
        else
            f.setBackground(colour);
        // With a selection this is an edit of the text (and marks it modified); without one
        // it sets the colour of what is typed next.
        box->mergeCurrentCharFormat(f);
        return;
    }
    m_message.background = ColourCode(index);
    m_message.options.displayAttribute = displayAttributeForBackground(m_message.background);
    applyBackground();
    if (m_sync->isChecked()) {
        Busy busy(m_busy);
        QTextCharFormat f;
        f.setBackground(colour);
        for (MessageEditBox *box : {m_title, m_body}) {
            QTextCursor all(box->document()); // the box's own caret stays where it is
            all.select(QTextCursor::Document);
            all.mergeCharFormat(f);
            QTextCharFormat typing = box->currentCharFormat();
            typing.setBackground(colour);
            box->setCurrentCharFormat(typing);
        }
    }
    markModified();
}

void EditTab::advanced()
{
    syncFromBoxes();
    const quint8 fontSize = m_message.options.fontSize;
    bool changed = false;
    {
        Busy modal(m_modal);
        changed = m_env.runAdvanced(this, m_message, m_caps, *m_prompter);
    }
    if (!changed)
        return;
    m_message.options.displayAttribute = displayAttributeForBackground(m_message.background);
    markModified();
    if (m_message.options.fontSize != fontSize)
        applyFontSize();
}

void EditTab::preview()
{
    if (!m_env.showPreview)
        return;
    syncFromBoxes();
    // Characters deleted on the operator's request leave the box as edits (undoable).
    Busy modal(m_modal);
    m_env.showPreview(this, m_message, payloadContext());
}

void EditTab::pageFeed()
{
    if (focusedBox() != m_body)
        return;
    const CharFormat f = charFormatFromText(m_body->textCursor().charFormat(), m_body->defaultFormat());
    RichText mark;
    mark.append(RichChar{PageFeedMark, f});
    mark.append(RichChar{ParagraphBreak, f});
    m_body->insertUserText(mark);
    m_body->setFocus();
}

void EditTab::insertTab()
{
    MessageEditBox *box = focusedBox();
    const CharFormat f = charFormatFromText(box->textCursor().charFormat(), box->defaultFormat());
    box->insertUserText(RichText(QStringLiteral("    "), f));
    box->setFocus();
}

QPushButton *EditTab::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

} // namespace glintcaster
