// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "base/prompter.h"
#include "base/safe_file.h"
#include "app/send_lock.h"
#include "gui/send_lock/change_password_dialog.h"
#include "gui/send_lock/send_lock_dialog.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

namespace {
const QString kIncorrect = QStringLiteral("Incorrect password.");
const QString kDifferent = QStringLiteral("Please enter a different password.");
const QString kMismatch = QStringLiteral("The new password and its confirmation differ.");

QSettings profile()
{
    return QSettings(QStringLiteral("KESTORA"), QStringLiteral("Glintcaster"));
}
} // namespace

class TestSendLock : public QObject {
    Q_OBJECT
    QTemporaryDir m_settingsDir;

private slots:
    void initTestCase()
    {
        MessageTable::setLanguage(Language::English);
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void init() { profile().clear(); }

    void digestIsUpperCaseMd5OfLowBytes()
    {
        QCOMPARE(sendLockDigest(QStringLiteral("abc")), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
        QCOMPARE(sendLockDigest(QString()), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
        // Only the low byte of each unit counts: U+0161 and U+0261 both give 0x61.
        QCOMPARE(sendLockDigest(QStringLiteral("x\u0161y")), sendLockDigest(QStringLiteral("x\u0261y")));
        QCOMPARE(sendLockDigest(QStringLiteral("x\u0161y")), sendLockDigest(QStringLiteral("xay")));
        // A unit whose low byte is zero ends the input.
        QCOMPARE(sendLockDigest(QStringLiteral("ab\u0100cd")), sendLockDigest(QStringLiteral("ab")));
    }

    void firstUseAcceptsOnlyEmptyEntry()
    {
        SendLockProfile p;
        ScriptedPrompter prompter;
        bool locked = false;
        QVERIFY(!acceptSendLock(p, false, QStringLiteral("x"), prompter, &locked));
        QCOMPARE(prompter.texts(), QStringList{kIncorrect});
        QVERIFY(!locked);
        QVERIFY(acceptSendLock(p, false, QString(), prompter, &locked));
        QVERIFY(locked);
        QVERIFY(acceptSendLock(p, true, QString(), prompter, &locked));
        QVERIFY(!locked);
        QCOMPARE(prompter.texts().size(), 1);
    }

    void changeThenUnlock()
    {
        SendLockProfile p;
        ScriptedPrompter prompter;
        QVERIFY(acceptChangePassword(p, QString(), QStringLiteral("abc"), QStringLiteral("abc"), prompter));
        QCOMPARE(profile().value(QStringLiteral("GlintcasterPass/Pass")).toString(),
                 QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));

        bool locked = true;
        QVERIFY(!acceptSendLock(p, true, QString(), prompter, &locked));
        QVERIFY(!acceptSendLock(p, true, QStringLiteral("ABC"), prompter, &locked));
        QVERIFY(locked);
        QVERIFY(acceptSendLock(p, true, QStringLiteral("abc"), prompter, &locked));
        QVERIFY(!locked);

        // Same password again, a wrong current password, a confirmation that differs.
        prompter.clear();
        const QString abc = QStringLiteral("abc"), fresh = QStringLiteral("new");
        QVERIFY(!acceptChangePassword(p, abc, abc, abc, prompter));
        QVERIFY(!acceptChangePassword(p, QStringLiteral("abd"), fresh, fresh, prompter));
        QVERIFY(!acceptChangePassword(p, QString(), fresh, fresh, prompter));
        QVERIFY(!acceptChangePassword(p, abc, fresh, QStringLiteral("nwe"), prompter));
        QCOMPARE(prompter.texts(), (QStringList{kDifferent, kIncorrect, kIncorrect, kMismatch}));
        QCOMPARE(p.storedDigest(), sendLockDigest(abc));

        // An empty new password is stored as the empty input's digest; then empty unlocks.
        QVERIFY(acceptChangePassword(p, abc, QString(), QString(), prompter));
        QCOMPARE(p.storedDigest(), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
        QVERIFY(acceptSendLock(p, false, QString(), prompter, &locked));
        QVERIFY(locked);
    }

    void handEditedLowerCaseDigestNeverMatches()
    {
        profile().setValue(QStringLiteral("GlintcasterPass/Pass"), sendLockDigest(QStringLiteral("abc")).toLower());
        SendLockProfile p;
        ScriptedPrompter prompter;
        bool locked = true;
        QVERIFY(!acceptSendLock(p, true, QStringLiteral("abc"), prompter, &locked));
        QVERIFY(!acceptSendLock(p, true, QString(), prompter, &locked));
        QCOMPARE(prompter.texts(), (QStringList{kIncorrect, kIncorrect}));
    }

    void lockFlagPersists()
    {
        SendLockProfile p;
        QVERIFY(!p.lockFlag()); // absent reads as unlocked
        QFile::remove(profile().fileName());
        p.setLockFlag(true);
        QCOMPARE(profile().value(QStringLiteral("GlintcasterPass/Lock")).toString(), QStringLiteral("1"));
        // It holds the digest: its owner's only, like "LastPj.txt".
        QCOMPARE(int(QFile::permissions(profile().fileName()) & 0x0077), 0); // nothing for group, others
        QVERIFY(SendLockProfile().lockFlag());
        p.setLockFlag(false);
        QCOMPARE(profile().value(QStringLiteral("GlintcasterPass/Lock")).toString(), QStringLiteral("0"));
        profile().setValue(QStringLiteral("GlintcasterPass/Lock"), QStringLiteral("yes"));
        QVERIFY(!p.lockFlag());
    }

    void lockedSendIsRefused()
    {
        ScriptedPrompter prompter;
        QVERIFY(!refuseWhenLocked(false, prompter));
        QVERIFY(refuseWhenLocked(true, prompter));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("The Send button is locked.")});
        QCOMPARE(sendButtonCaption(true), QStringLiteral("Send[Locked]"));
        QCOMPARE(sendButtonCaption(false), QStringLiteral("Send"));
    }

    void lockDialogTextsAndOk()
    {
        // First use: no password exists, so locking chooses one, typed twice.
        ScriptedPrompter prompter;
        SendLockDialog first(false);
        first.setPrompter(&prompter);
        QCOMPARE(first.windowTitle(), QStringLiteral("Send Lock"));
        QCOMPARE(first.findChild<QLabel *>(QStringLiteral("instruction"))->text(),
                 QStringLiteral("Lock the Send button."));
        QVERIFY(first.choosesFirstPassword());
        first.show();
        first.passwordEdit()->setText(QStringLiteral("pw"));
        first.confirmationEdit()->setText(QStringLiteral("wp"));
        first.accept();
        QVERIFY(first.isVisible());
        QCOMPARE(prompter.texts(), QStringList{kMismatch});
        QVERIFY(SendLockProfile().storedDigest().isEmpty());
        first.confirmationEdit()->setText(QStringLiteral("pw"));
        first.accept();
        QCOMPARE(first.result(), int(QDialog::Accepted));
        QVERIFY(first.newLockState());
        QCOMPARE(SendLockProfile().storedDigest(), sendLockDigest(QStringLiteral("pw")));

        // With a password, locking (and unlocking) checks it in one box.
        prompter.clear();
        SendLockDialog lock(false);
        lock.setPrompter(&prompter);
        QVERIFY(!lock.choosesFirstPassword());
        QCOMPARE(lock.findChild<QLabel *>(QStringLiteral("prompt"))->text(),
                 QStringLiteral("Please enter the password in the box below."));
        QCOMPARE(lock.passwordEdit()->echoMode(), QLineEdit::Password);
        lock.show();
        lock.passwordEdit()->setText(QStringLiteral("wrong"));
        lock.accept();
        QVERIFY(lock.isVisible()); // stays open for another try
        QCOMPARE(prompter.texts(), QStringList{kIncorrect});
        lock.passwordEdit()->setText(QStringLiteral("pw"));
        lock.accept();
        QCOMPARE(lock.result(), int(QDialog::Accepted));
        QVERIFY(lock.newLockState());

        // Unlocking never chooses a password, even when none was set.
        profile().clear();
        SendLockDialog unlock(true);
        QVERIFY(!unlock.choosesFirstPassword());
        QCOMPARE(unlock.windowTitle(), QStringLiteral("UnLock"));
        QCOMPARE(unlock.findChild<QLabel *>(QStringLiteral("instruction"))->text(),
                 QStringLiteral("UnLock the Send button."));
    }

    void changePasswordDialog()
    {
        ScriptedPrompter prompter;
        ChangePasswordDialog dlg;
        dlg.setPrompter(&prompter);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Change Password"));
        QCOMPARE(dlg.currentEdit()->maxLength(), 32);
        QCOMPARE(dlg.newEdit()->maxLength(), 32);
        dlg.show();
        dlg.newEdit()->setText(QStringLiteral("pw1"));
        dlg.confirmationEdit()->setText(QStringLiteral("pw1"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(prompter.texts().isEmpty());
        QCOMPARE(SendLockProfile().storedDigest(), sendLockDigest(QStringLiteral("pw1")));

        ChangePasswordDialog again;
        again.setPrompter(&prompter);
        again.show();
        again.currentEdit()->setText(QStringLiteral("pw1"));
        again.newEdit()->setText(QStringLiteral("pw1"));
        again.confirmationEdit()->setText(QStringLiteral("pw1"));
        again.accept();
        QVERIFY(again.isVisible());
        QCOMPARE(prompter.texts(), QStringList{kDifferent});
        again.reject();
        QCOMPARE(SendLockProfile().storedDigest(), sendLockDigest(QStringLiteral("pw1")));

        // A full disk: the old digest and flag stay, the reason is shown, the dialog stays.
        QVERIFY(SendLockProfile().setLockFlag(true));
        prompter.clear();
        ChangePasswordDialog full;
        full.setPrompter(&prompter);
        full.show();
        full.currentEdit()->setText(QStringLiteral("pw1"));
        full.newEdit()->setText(QStringLiteral("pw2"));
        full.confirmationEdit()->setText(QStringLiteral("pw2"));
        simulateDiskFullAfter(0);
        full.accept();
        simulateDiskFullAfter(-1);
        QVERIFY(full.isVisible());
        QCOMPARE(prompter.texts().size(), 1);
        QVERIFY(prompter.texts().first().endsWith(QStringLiteral("No space left on device")));
        QCOMPARE(SendLockProfile().storedDigest(), sendLockDigest(QStringLiteral("pw1")));
        QVERIFY(SendLockProfile().lockFlag());
    }
};

QTEST_MAIN(TestSendLock)
#include "tst_send_lock.moc"
