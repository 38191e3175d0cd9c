// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Projector passwords in the window against substitute projectors: a wrong one is named as
// such and leads to the Password dialog; typed ones are checked before they are saved.
#include "app/ini_profile.h"
#include "app/projector_password.h"
#include "base/prompter.h"
#include "gui/discovery_tab/add_projector_dialog.h"
#include "gui/discovery_tab/authentication_dialog.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/gui_test_support.h"
#include "gui/main_tab/main_tab.h"
#include "gui/main_window.h"
#include "gui/widgets/ipv4_edit.h"
#include "sim/projector_sim.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const quint32 kSecret = ipv4(127, 107, 1, 1); // greets, password "secret"
const quint32 kNobody = ipv4(127, 107, 1, 2); // nothing listens: refused at once

const QString kUnreachable = QStringLiteral(
    "[ 127.107.1.2 ] could not be reached, so the password was not checked. It has been saved.");

} // namespace

class TestProjectorPassword : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UiTestEnvironment> m_env;
    ScriptedPrompter m_prompter;
    std::unique_ptr<ProjectorSim> m_sim;
    MainTab *m_mainTab = nullptr;

    std::unique_ptr<MainWindow> makeFrame(bool withMainTab = false)
    {
        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.discovery.searchPort = 42364;
        setup.discovery.answerPort = 44002;
        if (withMainTab)
            setup.createMainPage = [this](MainWindow &frame) { return m_mainTab = new MainTab(frame); };
        return std::make_unique<MainWindow>(setup);
    }

    void registerProjector(quint32 ip, const QString &pass)
    {
        ProjectorStore store(m_env->lastPj());
        QVERIFY(store.addProjector(ProjectorEntry{QStringLiteral("Hall"), ip, true, pass, {}}, m_prompter));
    }

    QString storedPass() const
    {
        IniProfile ini(m_env->lastPj());
        ini.load();
        return ini.value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Pass"), {});
    }

    /// Fills the dialog `page` opens with `typed`, presses OK, and cancels it when it stays.
    template <typename Dialog>
    void answerDialog(DiscoveryTab *page, quint32 address, const QString &typed, bool *stayedOpen)
    {
        QTimer::singleShot(0, page, [=] {
            auto *dialog = page->findChild<Dialog *>();
            QVERIFY(dialog);
            if constexpr (std::is_same_v<Dialog, AddProjectorDialog>)
                dialog->addressEdit()->setAddress(address);
            dialog->passwordEdit()->setText(typed);
            dialog->accept();
            *stayedOpen = dialog->isVisible();
            if (*stayedOpen)
                dialog->reject();
        });
    }

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<UiTestEnvironment>();
        m_sim = std::make_unique<ProjectorSim>(QHostAddress(QStringLiteral("127.107.1.1")));
        m_sim->config().discoveryMulticast = m_sim->config().discoveryUnicast = false;
        m_sim->setPassword(QStringLiteral("secret"));
        QVERIFY(m_sim->start());
    }
    void init()
    {
        m_env->resetHome();
        m_prompter = ScriptedPrompter();
    }

    void typedPasswordIsCheckedBeforeSaving_data()
    {
        QTest::addColumn<bool>("manual");
        QTest::addColumn<quint32>("address");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("texts");
        const QStringList none, wrong{wrongPasswordText()}, note{kUnreachable};
        for (bool manual : {true, false}) {
            const char *via = manual ? "manual" : "password";
            QTest::addRow("%s, wrong", via) << manual << kSecret << "guess" << false << wrong;
            QTest::addRow("%s, right", via) << manual << kSecret << "secret" << true << none;
            QTest::addRow("%s, unreachable", via) << manual << kNobody << "any" << true << note;
        }
    }
    void typedPasswordIsCheckedBeforeSaving()
    {
        QFETCH(bool, manual);
        QFETCH(quint32, address);
        QFETCH(QString, typed);
        QFETCH(bool, saved);
        QFETCH(QStringList, texts);
        if (!manual)
            registerProjector(address, QStringLiteral("old"));
        auto frame = makeFrame();
        m_prompter.clear();
        DiscoveryTab *page = frame->discoveryPage();
        bool stayedOpen = false;
        if (manual) {
            answerDialog<AddProjectorDialog>(page, address, typed, &stayedOpen);
            page->configureManually();
        } else {
            answerDialog<AuthenticationDialog>(page, address, typed, &stayedOpen);
            page->editPasswordOf(address);
        }
        QCOMPARE(m_prompter.texts(), texts);
        // A wrong password keeps the dialog open for another try and saves nothing.
        QCOMPARE(stayedOpen, !saved);
        if (manual)
            QCOMPARE(frame->session().store().count(), saved ? 1 : 0);
        QCOMPARE(storedPass(), saved ? typed : manual ? QString() : QStringLiteral("old"));
    }

    void wrongPasswordInAJobNamesItAndOffersThePasswordDialog()
    {
        registerProjector(kSecret, QStringLiteral("guess"));
        auto frame = makeFrame(true);
        QString offeredFor;
        frame->discoveryPage()->setPasswordDialog([&offeredFor](const QString &label, int auth, const QString &) {
            offeredFor = label;
            return std::optional<Credentials>(Credentials{auth, QStringLiteral("secret")});
        });
        m_prompter.clear();
        m_prompter.setFallback(PromptAnswer::No);
        m_prompter.script({PromptAnswer::Yes});
        m_mainTab->displayOff();
        const QString offer = wrongPasswordText() + QStringLiteral("\n\nOpen the Password dialog for [ 127.107.1.1 ]?");
        QVERIFY2(m_prompter.texts().contains(offer), qPrintable(m_prompter.texts().join(u'|')));
        QCOMPARE(offeredFor, QStringLiteral("[ 127.107.1.1 ]"));
        QCOMPARE(storedPass(), QStringLiteral("secret"));

        // With the password mended the same operation goes through.
        m_prompter.clear();
        m_mainTab->displayOff();
        QVERIFY(!m_prompter.texts().contains(offer));
        QVERIFY(m_sim->requests().last().authenticated);
    }
};

QTEST_MAIN(TestProjectorPassword)
#include "tst_projector_password.moc"
