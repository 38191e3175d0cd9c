// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/edit_tab/message_edit_box.h"

#include "message/current_message.h"
#include "message/rich_text_document.h"
#include "message/rtf_reader.h"
#include "message/rtf_writer.h"
#include "message/text_limits.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

namespace glintcaster {

namespace {

// The name under which rich-edit controls on Windows exchange RTF, as Qt spells it there.
const QString WindowsRtf = QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\"");
const QString WindowsRtfNoObjects =
    QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format Without Objects\"");

} // namespace

QStringList rtfMimeTypes()
{
    return {QStringLiteral("text/rtf"), WindowsRtf, WindowsRtfNoObjects,
            QStringLiteral("application/rtf"), QStringLiteral("Rich Text Format")};
}

bool carriesLocalFiles(const QMimeData *source)
{
    if (!source || !source->hasUrls())
        return false;
    const QList<QUrl> urls = source->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &u) { return u.isLocalFile(); });
}

MessageEditBox::MessageEditBox(Role role, QWidget *parent) : QTextEdit(parent), m_role(role)
{
    setAcceptRichText(true); // what arrives is converted by insertFromMimeData
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    document()->setDocumentMargin(2);
    if (isTitle()) {
        setLineWrapMode(QTextEdit::NoWrap);
        setWordWrapMode(QTextOption::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    setDefaultFormat(defaultCharFormat());
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &f) {
        if (document()->characterCount() > 1)
            m_lastTyping = textFormatFor(charFormatFromText(f, m_default));
    });
}

void MessageEditBox::setDefaultFormat(const CharFormat &format)
{
    m_default = format;
    m_lastTyping = textFormatFor(format);
    QFont font(format.face);
    font.setPointSizeF(format.sizeTwips / 20.0);
    document()->setDefaultFont(font);
    QPalette p = palette();
    p.setColor(QPalette::Text, QColor::fromRgb(format.colour));
    setPalette(p);
    if (isTitle()) {
        // One line of the largest size the title can hold, and the frame.
        const QFontMetrics metrics(font);
        setFixedHeight(metrics.height() + 2 * int(document()->documentMargin()) + 2 * frameWidth() + 4);
    }
}

void MessageEditBox::setBackgroundRgb(quint32 rgb)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor::fromRgb(rgb));
    setPalette(p);
}

RichText MessageEditBox::richText() const
{
    return richTextFromDocument(*document(), m_default);
}

void MessageEditBox::setRichText(const RichText &text)
{
    document()->clear();
    m_lastTyping = textFormatFor(m_default);
    QTextCursor cursor(document());
    cursor.setCharFormat(textFormatFor(m_default));
    cursor.setBlockCharFormat(textFormatFor(m_default));
    insertRichText(cursor, isTitle() ? oneLineTitle(text) : text);
    document()->clearUndoRedoStacks();
    applyDefaultIfEmpty();
}

void MessageEditBox::applyDefaultIfEmpty()
{
    if (document()->characterCount() > 1)
        return;
    QTextCursor cursor(document());
    const QTextCharFormat f = m_lastTyping;
    // The empty block's own format decides what typing starts with.
    cursor.setBlockCharFormat(f);
    setCurrentCharFormat(f);
}

QVariant MessageEditBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // A text edit answers "enabled" itself, whatever the widget attribute says; the attribute
    // is how the tab detaches the input method for the basic character set.
    if (query == Qt::ImEnabled && !testAttribute(Qt::WA_InputMethodEnabled))
        return false;
    return QTextEdit::inputMethodQuery(query);
}

int MessageEditBox::room() const
{
    if (!isTitle())
        return std::numeric_limits<int>::max() / 4;
    const QTextCursor c = textCursor();
    const int length = document()->characterCount() - 1;
    return qMax(0, TypedTitleLimit - (length - (c.selectionEnd() - c.selectionStart())));
}

QTextCharFormat MessageEditBox::typingFormat() const
{
    return textCursor().charFormat();
}

RichText MessageEditBox::fitted(RichText text) const
{
    if (!isTitle())
        return normalisedBody(text);
    text = oneLineTitle(text);
    qsizetype keep = qMin<qsizetype>(text.size(), room());
    // Never keep half of a surrogate pair.
    if (keep > 0 && keep < text.size() && QChar::isHighSurrogate(text.at(keep - 1).ch))
        --keep;
    text.chars().resize(keep);
    return text;
}

int MessageEditBox::insertUserText(const RichText &text)
{
    const RichText fit = fitted(text);
    if (fit.isEmpty() && !text.isEmpty()) {
        QApplication::beep(); // nothing of it fits: the selection stays as it was
        return 0;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertRichText(cursor, fit);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    return int(fit.size());
}

void MessageEditBox::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    // No italics from the keyboard, and no tab characters by Ctrl+Tab.
    if ((mods & Qt::ControlModifier)
        && (key == Qt::Key_I || key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        event->accept();
        return;
    }
    if (key == Qt::Key_Tab && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        insertUserText(RichText(QStringLiteral("    "), charFormatFromText(typingFormat(), m_default)));
        event->accept();
        return;
    }
    if (key == Qt::Key_Backtab) {
        focusNextPrevChild(false);
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A title is one line; in the body every Enter (Shift+Enter included) is a
        // paragraph break, never a line separator the message does not know.
        if (!isTitle()) {
            QTextCursor cursor = textCursor();
            cursor.beginEditBlock();
            cursor.removeSelectedText();
            cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
            cursor.endEditBlock();
            setTextCursor(cursor);
            ensureCursorVisible();
        }
        event->accept();
        return;
    }
    const QString text = event->text();
    if (isTitle() && !text.isEmpty() && text.at(0).isPrint()
        && !(mods & (Qt::ControlModifier | Qt::MetaModifier)) && text.size() > room()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void MessageEditBox::inputMethodEvent(QInputMethodEvent *event)
{
    m_composing = !event->preeditString().isEmpty();
    QString commit = event->commitString();
    if (commit.isEmpty()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    RichText fit;
    if (isTitle()) {
        // The range the input method replaces frees room as a selection does.
        RichText line = oneLineTitle(RichText(commit));
        qsizetype keep = qMin<qsizetype>(line.size(), room() + qMax(0, event->replacementLength()));
        if (keep > 0 && keep < line.size() && QChar::isHighSurrogate(line.at(keep - 1).ch))
            --keep;
        line.chars().resize(keep);
        fit = line;
    } else {
        fit = normalisedBody(RichText(commit));
    }
    QString adjusted = fit.plainText();
    adjusted.replace(QChar(ParagraphBreak), QChar::ParagraphSeparator);
    if (adjusted.size() < commit.size())
        QApplication::beep();
    QInputMethodEvent copy(event->preeditString(), event->attributes());
    copy.setCommitString(adjusted, event->replacementStart(), event->replacementLength());
    QTextEdit::inputMethodEvent(&copy);
    event->accept();
}

void MessageEditBox::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    emit focusChanged(true);
}

void MessageEditBox::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    emit focusChanged(false);
}

void MessageEditBox::dragEnterEvent(QDragEnterEvent *event)
{
    // Files go to the window, which asks before it loads one.
    if (carriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextEdit::dragEnterEvent(event);
}

void MessageEditBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (carriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextEdit::dragMoveEvent(event);
}

void MessageEditBox::dropEvent(QDropEvent *event)
{
    if (carriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextEdit::dropEvent(event);
}

bool MessageEditBox::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source || carriesLocalFiles(source))
        return false;
    const QStringList types = rtfMimeTypes();
    if (std::any_of(types.cbegin(), types.cend(), [source](const QString &t) { return source->hasFormat(t); }))
        return true;
    return source->hasText();
}

RichText MessageEditBox::incoming(const QMimeData *source) const
{
    for (const QString &type : rtfMimeTypes()) {
        if (!source->hasFormat(type))
            continue;
        RtfReadResult read = readRtf(source->data(type), m_default);
        if (!read.ok)
            break; // fall back to the plain text
        snapToPalette(read.text);
        for (RichChar &c : read.text.chars()) {
            c.format.sizeTwips = m_default.sizeTwips;
            c.format.face = m_default.face;
        }
        return read.text;
    }
    if (source->hasText()) {
        CharFormat f = charFormatFromText(typingFormat(), m_default);
        f.colour = rgbForCode(nearestPaletteCode(f.colour));
        f.background = rgbForCode(nearestPaletteCode(f.background));
        return RichText(source->text(), f);
    }
    return {};
}

void MessageEditBox::insertFromMimeData(const QMimeData *source)
{
    if (!canInsertFromMimeData(source))
        return;
    insertUserText(incoming(source));
}

QMimeData *MessageEditBox::mimeDataFor(const RichText &text)
{
    auto *mime = new QMimeData;
    const QByteArray rtf = writeRtf(text);
    mime->setData(QStringLiteral("text/rtf"), rtf);
    mime->setData(WindowsRtf, rtf);
    QString plain = text.plainText();
    plain.replace(QChar(ParagraphBreak), QLatin1Char('\n'));
    mime->setText(plain);
    return mime;
}

QMimeData *MessageEditBox::createMimeDataFromSelection() const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return nullptr;
    return mimeDataFor(richTextFromDocument(*document(), m_default, c.selectionStart(), c.selectionEnd()));
}

} // namespace glintcaster
