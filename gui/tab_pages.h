// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/colour_target.h"

#include <QString>
#include <QWidget>

namespace glintcaster {

/// What the main frame asks of the "Main" page. The real page overrides these; the defaults
/// keep the frame usable while that page is still an empty placeholder.
class MainTabPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    /// Reload the registered projectors and refill the projector box.
    virtual void refreshProjectorBox() {}
    /// Ask the chosen projector for its capabilities and refresh the startup display area.
    virtual void refreshTarget() {}
    /// Clear the status polling stop flag and start watching the chosen projector.
    virtual void startMonitor() {}
    /// Raise the status polling stop flag; must not wait for the poller.
    virtual void stopMonitor() {}
    virtual void setSendCaption(const QString &caption) { Q_UNUSED(caption); }
    /// The operator agreed to add a dropped file to the message file list.
    virtual void addMessageFile(const QString &path) { Q_UNUSED(path); }
};

/// What the main frame asks of the "Edit" page (placeholder defaults as above).
class EditTabPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    /// Reload the registered projectors before the page is shown.
    virtual void refreshBeforeShow() {}
    /// The refresh step that needs the page visible.
    virtual void refreshAfterShow() {}
    virtual void setSendCaption(const QString &caption) { Q_UNUSED(caption); }
    /// The operator agreed to load a dropped file into the editor.
    virtual void loadDroppedFile(const QString &path) { Q_UNUSED(path); }
    /// The unsaved-message question before exit; false keeps the program running.
    virtual bool confirmDiscard() { return true; }

    /// "New" after the unsaved-data question; false when the operator stopped it.
    virtual bool newMessage() { return false; }
    virtual void openMessage() {}
    virtual void saveMessage() {}
    virtual bool canUndo() const { return false; }
    virtual void undo() {}
    virtual bool hasSelection() const { return false; }
    virtual bool canPaste() const { return false; }
    virtual void cut() {}
    virtual void copy() {}
    virtual void paste() {}
    /// "Character display mode" ticked: the two background colour buttons are disabled.
    virtual bool characterDisplayMode() const { return false; }
    /// Apply a palette index to the selection (or, for the background, to both boxes).
    virtual void applyColour(ColourTarget target, int index)
    {
        Q_UNUSED(target);
        Q_UNUSED(index);
    }

signals:
    /// Undo, selection, clipboard or "Character display mode" changed: menus re-evaluate.
    void commandStateChanged();
    /// The page shows another colour for a colour command (a loaded message's background):
    /// the toolbar button follows.
    void colourShown(glintcaster::ColourTarget target, int index);
};

} // namespace glintcaster
