// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/rich_text.h"

#include <QTextEdit>

namespace glintcaster {

/// One of the Edit tab's two rich text boxes. Whatever enters it (keys, input method,
/// clipboard, drops) arrives in the message's own terms: palette colours, no tabs, no
/// characters the message does not know, and for the title one line of at most
/// `TypedTitleLimit` UTF-16 units. The clipboard carries RTF and plain text, never HTML.
class MessageEditBox : public QTextEdit {
    Q_OBJECT
public:
    enum class Role { Title, Body };

    explicit MessageEditBox(Role role, QWidget *parent = nullptr);

    Role role() const { return m_role; }
    bool isTitle() const { return m_role == Role::Title; }

    /// The format of text the box leaves unset and that an empty box starts with.
    CharFormat defaultFormat() const { return m_default; }
    void setDefaultFormat(const CharFormat &format);
    /// The box's whole content in the message's terms.
    RichText richText() const;
    /// Replaces the whole content (a program change: the caller holds its busy flag).
    void setRichText(const RichText &text);
    /// The background colour of the message, shown behind unset character backgrounds.
    void setBackgroundRgb(quint32 rgb);

    /// Replaces the selection by `text` as typed input, cut to what fits a title. Returns
    /// the number of UTF-16 units inserted.
    int insertUserText(const RichText &text);
    /// Room left for typing in the title (selection counted as free); large for the body.
    int room() const;

    /// An input method is composing: the text shown is not the user's yet.
    bool isComposing() const { return m_composing; }

    /// Gives an emptied box the format of the text it last held (what a word processor does
    /// when everything is deleted), or the default format after a program change, so that new
    /// typing is never black and keeps the colours the operator chose.
    void applyDefaultIfEmpty();

    using QTextEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    /// Clipboard data for a selection: "Rich Text Format" (and text/rtf) plus plain text.
    static QMimeData *mimeDataFor(const RichText &text);

signals:
    /// The focus arrived (true) or left (false).
    void focusChanged(bool in);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    RichText incoming(const QMimeData *source) const;
    RichText fitted(RichText text) const;
    QTextCharFormat typingFormat() const;

    Role m_role;
    CharFormat m_default;
    /// The format of the text at the caret while the box held text.
    QTextCharFormat m_lastTyping;
    bool m_composing = false;
};

/// MIME types under which the boxes exchange rich text, the first one preferred.
QStringList rtfMimeTypes();
/// Whether `source` offers files of the local file system (those go to the window's drop).
bool carriesLocalFiles(const QMimeData *source);

} // namespace glintcaster
