// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/app_home.h"
#include "base/message_table.h"
#include "gui/tab_pages.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace glintcaster::testing {

/// Main page stand-in that records what the frame asked of it.
class RecordingMainPage : public MainTabPage {
public:
    QStringList calls;
    QString caption;
    QStringList added;
    void refreshProjectorBox() override { calls << QStringLiteral("refreshProjectorBox"); }
    void refreshTarget() override { calls << QStringLiteral("refreshTarget"); }
    void startMonitor() override { calls << QStringLiteral("startMonitor"); }
    void stopMonitor() override { calls << QStringLiteral("stopMonitor"); }
    void setSendCaption(const QString &text) override { caption = text; }
    void addMessageFile(const QString &path) override { added << path; }
};

/// Edit page stand-in with switchable command state.
class RecordingEditPage : public EditTabPage {
public:
    QStringList calls;
    QString caption;
    QStringList loaded;
    bool undo_ = false, selection = false, paste_ = false, displayMode = false, discard = true;
    void refreshBeforeShow() override { calls << QStringLiteral("refreshBeforeShow"); }
    void refreshAfterShow() override { calls << QStringLiteral("refreshAfterShow"); }
    void setSendCaption(const QString &text) override { caption = text; }
    void loadDroppedFile(const QString &path) override { loaded << path; }
    bool confirmDiscard() override
    {
        calls << QStringLiteral("confirmDiscard");
        return discard;
    }
    bool canUndo() const override { return undo_; }
    bool hasSelection() const override { return selection; }
    bool canPaste() const override { return paste_; }
    bool characterDisplayMode() const override { return displayMode; }
    void applyColour(ColourTarget target, int index) override
    {
        calls << QStringLiteral("applyColour %1 %2").arg(int(target)).arg(index);
    }
    void changed() { emit commandStateChanged(); }
};

/// A private home and profile for one test program, in English.
class UiTestEnvironment {
public:
    UiTestEnvironment()
    {
        // Searches started by the Discovery tab stay on loopback even outside ctest.
        qputenv("GLINTCASTER_ADAPTORS", "127.0.0.1");
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
        AppHome::setOverride(m_home.path());
        MessageTable::setLanguage(Language::English);
    }
    QString home() const { return m_home.path(); }
    QString lastPj() const { return QDir(m_home.path()).filePath(QStringLiteral("LastPj.txt")); }
    void resetHome()
    {
        QFile::remove(lastPj());
        QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster")).clear();
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_profile;
};

} // namespace glintcaster::testing
