// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ini_profile.h"
#include "app/pj_list_rules.h"
#include "base/prompter.h"
#include "gui/discovery_tab/add_projector_dialog.h"
#include "gui/discovery_tab/authentication_dialog.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/widgets/ipv4_edit.h"
#include "gui/main_window.h"
#include "gui/tab_view.h"
#include "gui/gui_test_support.h"
#include "comm/discovery_session.h"
#include "comm/discovery_protocol.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

class TestPjList : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<UiTestEnvironment> m_env;
    ScriptedPrompter m_prompter;

    std::unique_ptr<MainWindow> makeFrame(TabIndex tab = TabIndex::Main)
    {
        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.initialTab = tab;
        // Nothing answers here; keep any search short.
        setup.discovery.searchPort = 42363;
        setup.discovery.answerPort = 44001;
        setup.discovery.timings.silentWait = std::chrono::milliseconds(50);
        setup.discovery.timings.pacing = std::chrono::milliseconds(1);
        return std::make_unique<MainWindow>(setup);
    }

    static ProjectorEntry projector(quint32 ip, const QString &mac = QStringLiteral("00-11-22-33-44-55"))
    {
        ProjectorEntry d;
        d.ProjectorName = QStringLiteral("PJ");
        d.IP = ip;
        d.hasPassword = true;
        d.MAC = mac;
        return d;
    }

    void writeStore(const QList<ProjectorEntry> &entries)
    {
        ProjectorStore store(m_env->lastPj());
        for (const ProjectorEntry &d : entries)
            QVERIFY(store.addProjector(d, m_prompter));
        m_prompter.clear();
    }

    IniProfile readFile() const
    {
        IniProfile ini(m_env->lastPj());
        ini.load();
        return ini;
    }

private slots:
    void initTestCase() { m_env = std::make_unique<UiTestEnvironment>(); }
    void init()
    {
        m_env->resetHome();
        m_prompter = ScriptedPrompter();
    }

    void fillAddressTakesOctetsHighFirst()
    {
        QCOMPARE(fillAddress(QStringLiteral("[ %d.%d.%d.%d ] will be deleted. Are you sure?"),
                             ipv4(192, 168, 0, 100)),
                 QStringLiteral("[ 192.168.0.100 ] will be deleted. Are you sure?"));
    }

    void columnWidthsRoundTheSixteenthFirst()
    {
        QCOMPARE(DiscoveryTab::columnWidths(800), (QList<int>{350, 250, 200}));
        QCOMPARE(DiscoveryTab::columnWidths(815), (QList<int>{350, 250, 200}));
        QCOMPARE(DiscoveryTab::columnWidths(15), (QList<int>{0, 0, 0}));
    }

    void registrationNeedsASelection()
    {
        auto frame = makeFrame();
        frame->discoveryPage()->registration();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Please select a PROJECTOR")});
    }

    void registrationAddsTheSelectedProjector()
    {
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        page->addDiscovered({QStringLiteral("Hall"), ipv4(10, 0, 0, 7), QStringLiteral("AA-BB-CC-DD-EE-FF")});
        // The same projector found again by a later search is listed once.
        page->addDiscovered({QStringLiteral("Hall"), ipv4(10, 0, 0, 7), QStringLiteral("AA-BB-CC-DD-EE-FF")});
        QCOMPARE(page->discoveredView()->rowCount(), 1);
        page->discoveredView()->selectRow(0);
        page->registration();
        QVERIFY(m_prompter.texts().isEmpty());
        QCOMPARE(page->registeredView()->rowCount(), 1);
        QCOMPARE(page->registeredView()->item(0, 0)->text(), QStringLiteral("Hall"));
        QCOMPARE(page->registeredView()->item(0, 1)->text(), QStringLiteral("AA-BB-CC-DD-EE-FF"));
        QCOMPARE(page->registeredView()->item(0, 2)->text(), QStringLiteral("10.0.0.7"));
        const IniProfile ini = readFile();
        QCOMPARE(ini.value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Auth"), {}), QStringLiteral("1"));
        QCOMPARE(ini.value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("IP"), {}), QStringLiteral("167772167"));

        // Registering it a second time is refused by address.
        page->registration();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Same IP-Address already exists.")});
        QCOMPARE(frame->session().store().count(), 1);
    }

    void fullListRefusesBothWaysWithoutOpeningTheDialog()
    {
        QList<ProjectorEntry> entries;
        for (int i = 1; i <= 64; ++i)
            entries << projector(ipv4(10, 1, 0, quint8(i)));
        writeStore(entries);
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        QCOMPARE(page->registeredView()->rowCount(), 64);
        page->addDiscovered({QStringLiteral("New"), ipv4(10, 2, 0, 1), QStringLiteral("01-02-03-04-05-06")});
        page->discoveredView()->selectRow(0);

        const QString full = QStringLiteral(
            "Maximun PROJECTOR registration number is 64.\nPlease delete a PROJECTOR in the list.");
        page->registration();
        bool opened = false;
        page->setManualDialog([&opened] {
            opened = true;
            return std::optional<ProjectorEntry>();
        });
        page->configureManually();
        QCOMPARE(m_prompter.texts(), (QStringList{full, full}));
        QVERIFY(!opened);
        QCOMPARE(frame->session().store().count(), 64);
    }

    void manualEntryRefusesARegisteredAddress()
    {
        writeStore({projector(ipv4(10, 0, 0, 5), QStringLiteral("AA-AA-AA-AA-AA-AA"))});
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        page->setManualDialog([] {
            return std::optional<ProjectorEntry>(projector(ipv4(10, 0, 0, 5), QStringLiteral("BB-BB-BB-BB-BB-BB")));
        });
        page->configureManually();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Same IP-Address already exists.")});
        QCOMPARE(page->registeredView()->rowCount(), 1);

        // A new address is appended and the file rewritten.
        page->setManualDialog([] { return std::optional<ProjectorEntry>(projector(ipv4(10, 0, 0, 6))); });
        page->configureManually();
        QCOMPARE(page->registeredView()->rowCount(), 2);
        QCOMPARE(readFile().value(QStringLiteral("RESIST NUM"), QStringLiteral("NUM"), {}), QStringLiteral("2"));
    }

    void addPjRefusesAnEmptyOrZeroAddress()
    {
        AddProjectorDialog dialog(m_prompter);
        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        for (int i = 0; i < 4; ++i)
            dialog.addressEdit()->field(i)->setText(QStringLiteral("0"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        // Addresses that name no single projector, and MAC fields only partly filled.
        dialog.addressEdit()->setAddress(ipv4(239, 1, 2, 3));
        dialog.accept();
        dialog.addressEdit()->setAddress(ipv4(192, 168, 1, 10));
        dialog.macField(0)->setText(QStringLiteral("0a"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Please input IP Address."),
                                                  QStringLiteral("Please input IP Address."),
                                                  QStringLiteral("239.x.x.x is a multicast address, not a projector"),
                                                  QStringLiteral("\"0a-----\" is not a MAC address (six pairs of "
                                                                 "hexadecimal digits separated by hyphens)")}));
        dialog.macField(0)->clear();

        // Six empty MAC fields give five hyphens; the hidden box keeps authentication on.
        dialog.addressEdit()->setAddress(ipv4(192, 168, 1, 10));
        dialog.passwordEdit()->setText(QStringLiteral("pw"));
        dialog.nameEdit()->setText(QStringLiteral("  Room 12 "));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.address(), ipv4(192, 168, 1, 10));
        QCOMPARE(dialog.mac(), QStringLiteral("-----"));
        QCOMPARE(dialog.auth(), 1);
        QCOMPARE(dialog.password(), QStringLiteral("pw"));
        QCOMPARE(dialog.name(), QStringLiteral("Room 12"));
    }

    void addPjFieldsLimitAndAdvance()
    {
        AddProjectorDialog dialog(m_prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.passwordEdit()->maxLength(), 32);
        dialog.macField(0)->setFocus();
        QTest::keyClicks(dialog.macField(0), QStringLiteral("a1"));
        QTRY_COMPARE(QApplication::focusWidget(), dialog.macField(1));
        QTest::keyClicks(dialog.macField(1), QStringLiteral("x0B")); // hexadecimal digits only
        QTRY_COMPARE(QApplication::focusWidget(), dialog.macField(2));
        for (int i = 2; i < 6; ++i)
            dialog.macField(i)->setText(QStringLiteral("c%1").arg(i));
        // The last field has no next one: the focus stays there.
        QCOMPARE(QApplication::focusWidget(), dialog.macField(5));
        QCOMPARE(dialog.macField(5)->maxLength(), 2);

        Ipv4Edit *ip = dialog.addressEdit();
        ip->field(0)->setFocus();
        QTest::keyClicks(ip->field(0), QStringLiteral("172"));
        QTRY_COMPARE(QApplication::focusWidget(), ip->field(1));
        QTest::keyClicks(ip->field(1), QStringLiteral("16."));
        QTRY_COMPARE(QApplication::focusWidget(), ip->field(2));
        QTest::keyClicks(ip->field(2), QStringLiteral("300")); // beyond an octet: not taken
        QVERIFY(ip->field(2)->text().toInt() <= 255);
        ip->field(2)->setText(QStringLiteral("4"));
        ip->field(3)->setText(QStringLiteral("9"));
        QCOMPARE(ip->address(), ipv4(172, 16, 4, 9));
        dialog.accept();
        QCOMPARE(dialog.mac(), QStringLiteral("a1-0B-c2-c3-c4-c5"));
    }

    void passwordFollowsTheFileAndTheAddress()
    {
        ProjectorEntry entry = projector(ipv4(10, 0, 0, 9));
        entry.Pass = QStringLiteral("kept");
        writeStore({entry, projector(ipv4(10, 0, 0, 10))});
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();

        // Another program changed the password: Cancel writes the entry back as the file
        // has it now, never the older value the list showed.
        IniProfile ini = readFile();
        ini.setValue(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Pass"), QStringLiteral("edited"));
        QVERIFY(ini.save());

        page->password();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Please select a PROJECTOR")});

        QString shownLabel;
        page->setPasswordDialog([&shownLabel](const QString &label, int, const QString &) {
            shownLabel = label;
            return std::optional<Credentials>();
        });
        page->registeredView()->selectRow(0);
        page->password();
        QCOMPARE(shownLabel, QStringLiteral("[ 10.0.0.9 ]"));
        QCOMPARE(readFile().value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Pass"), {}), QStringLiteral("edited"));
        QCOMPARE(frame->session().store().projector(0).Pass, QStringLiteral("edited"));

        page->setPasswordDialog([](const QString &, int auth, const QString &) {
            return std::optional<Credentials>(Credentials{auth, QStringLiteral("new secret")});
        });
        page->password();
        QCOMPARE(frame->session().store().projector(0).Pass, QStringLiteral("new secret"));
        QCOMPARE(readFile().value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Pass"), {}),
                 QStringLiteral("new secret"));

        // The command line removed the row the window shows: refused with a reason, the
        // list refreshed, and nothing written into the entry that moved up.
        ProjectorStore cli(m_env->lastPj());
        cli.LoadRegisteredProjectors();
        QVERIFY(cli.removeAddress(ipv4(10, 0, 0, 9)));
        m_prompter.clear();
        page->registeredView()->selectRow(0);
        page->password();
        QCOMPARE(m_prompter.texts().size(), 1);
        QVERIFY(m_prompter.texts().first().contains(QStringLiteral("10.0.0.9 is no longer registered")));
        QCOMPARE(page->registeredView()->rowCount(), 1);
        QCOMPARE(readFile().value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("IP"), {}),
                 QString::number(int(ipv4(10, 0, 0, 10))));
        QCOMPARE(readFile().value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("Pass"), {}), QString());

        // Another program's addition appears in the list without any action here.
        QVERIFY(cli.addProjector(projector(ipv4(10, 0, 0, 11)), m_prompter));
        QTRY_COMPARE(page->registeredView()->rowCount(), 2);
    }

    void authenticationDialogCarriesFlagAndPassword()
    {
        AuthenticationDialog dialog(QStringLiteral("[ 1.2.3.4 ]"), 0, QStringLiteral("old"));
        QCOMPARE(dialog.labelText(), QStringLiteral("[ 1.2.3.4 ]"));
        QCOMPARE(dialog.passwordEdit()->text(), QStringLiteral("old"));
        QCOMPARE(dialog.passwordEdit()->maxLength(), 32);
        dialog.passwordEdit()->setText(QStringLiteral("new"));
        dialog.accept();
        QCOMPARE(dialog.auth(), 0);
        QCOMPARE(dialog.password(), QStringLiteral("new"));
    }

    void deleteAsksAndResetsTheCurrentProjector()
    {
        writeStore({projector(ipv4(10, 0, 0, 1)), projector(ipv4(10, 0, 0, 2)), projector(ipv4(10, 0, 0, 3))});
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        page->deleteEntry();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Please select a PROJECTOR")});

        page->registeredView()->selectRow(2);
        QCOMPARE(frame->session().store().currentIndex(), 2);
        m_prompter.clear();
        m_prompter.script({PromptAnswer::No});
        page->deleteEntry();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("[ 10.0.0.3 ] will be deleted. Are you sure?")});
        QCOMPARE(frame->session().store().count(), 3);

        page->registeredView()->selectRow(1);
        m_prompter.script({PromptAnswer::Yes});
        page->deleteEntry();
        QCOMPARE(frame->session().store().count(), 2);
        QCOMPARE(frame->session().store().currentIndex(), 0);
        QCOMPARE(page->registeredView()->rowCount(), 2);
        QCOMPARE(page->registeredView()->item(1, 2)->text(), QStringLiteral("10.0.0.3"));
        QCOMPARE(readFile().value(QStringLiteral("RESIST NUM"), QStringLiteral("NUM"), {}), QStringLiteral("2"));
    }

    void renamePersistsByAddress()
    {
        ProjectorEntry first = projector(ipv4(10, 0, 0, 1)), second = projector(ipv4(10, 0, 0, 2));
        second.Pass = QStringLiteral("pw");
        writeStore({first, second});
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        QVERIFY(page->registeredView()->item(1, 0)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(page->registeredView()->item(1, 1)->flags() & Qt::ItemIsEditable));

        // Another program reorders the file; the name still goes to the projector renamed.
        m_env->resetHome();
        writeStore({second, first});
        page->registeredView()->item(1, 0)->setText(QStringLiteral(" Room 12\n"));
        QCOMPARE(page->registeredView()->item(1, 0)->text(), QStringLiteral("Room 12"));
        const IniProfile ini = readFile();
        const QString s1 = QStringLiteral("RESIST PROJECTOR1"), s2 = QStringLiteral("RESIST PROJECTOR2");
        QCOMPARE(ini.value(s1, QStringLiteral("ProjectorName"), {}), QStringLiteral("Room 12"));
        QCOMPARE(ini.value(s1, QStringLiteral("IP"), {}), QStringLiteral("167772162"));
        QCOMPARE(ini.value(s1, QStringLiteral("Pass"), {}), QStringLiteral("pw"));
        QCOMPARE(ini.value(s2, QStringLiteral("ProjectorName"), {}), QStringLiteral("PJ"));
        const ProjectorStore &store = frame->session().store();
        QCOMPARE(projectorChoiceText(store.projector(store.indexOfIp(ipv4(10, 0, 0, 2)))), QStringLiteral("10.0.0.2  Room 12"));
        ProjectorEntry unnamed;
        unnamed.IP = ipv4(10, 0, 0, 3);
        QCOMPARE(projectorChoiceText(unnamed), QStringLiteral("10.0.0.3"));

        // A projector the file no longer has is not renamed, and its name stays as shown.
        m_env->resetHome();
        writeStore({second});
        page->registeredView()->item(0, 0)->setText(QStringLiteral("Lost"));
        QCOMPARE(page->registeredView()->item(0, 0)->text(), QStringLiteral("PJ"));
        QVERIFY(!readFile().hasSection(QStringLiteral("RESIST PROJECTOR2")));
    }

    void showingTheTabSearchesAndFindWaitsForTheEnd()
    {
        auto frame = makeFrame();
        DiscoveryTab *page = frame->discoveryPage();
        QSignalSpy started(page, &DiscoveryTab::searchStarted);
        frame->view()->setCurrentTab(TabIndex::Discovery);
        QCOMPARE(started.count(), 1);
        // The adaptor list holds only the loopback adaptor the tests allow.
        QCOMPARE(page->adaptorBox()->count(), 1);
        QVERIFY(page->adaptorBox()->currentText().startsWith(QStringLiteral("127.0.0.1 : ")));
        QCOMPARE(page->searchAdaptorText(), QStringLiteral("127.0.0.1"));
        QVERIFY(!page->findButton()->isEnabled());
        QCOMPARE(page->searchStatusText(), QStringLiteral("Searching for projectors..."));
        QVERIFY(page->searchProgress()->isVisibleTo(page));
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);
        // Nobody answers here: the list says so once the search is over.
        QTRY_COMPARE(page->searchStatusText(), QStringLiteral("No projector answered."));
        QVERIFY(!page->searchProgress()->isVisibleTo(page));

        page->addDiscovered({QStringLiteral("Old"), ipv4(10, 9, 9, 9), QString()});
        page->find();
        QVERIFY(!page->findButton()->isEnabled());
        QCOMPARE(page->discoveredView()->rowCount(), 0);
        QCOMPARE(started.count(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);

        // Leaving for the Main tab stops a running search, which then claims nothing.
        page->find();
        frame->view()->setCurrentTab(TabIndex::Main);
        QTRY_VERIFY_WITH_TIMEOUT(!page->session().isSearching(), 2000);
        QTRY_VERIFY(!page->searchProgress()->isVisibleTo(page));
        QCOMPARE(page->searchStatusText(), QString());
    }

    void searchRebuildsTheAdaptorsAfterAPause()
    {
        auto frame = makeFrame(TabIndex::Discovery);
        DiscoveryTab *page = frame->discoveryPage();
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);
        QSignalSpy started(page, &DiscoveryTab::searchStarted);
        page->setSearchPause(50);
        frame->session().setSelectedAdaptor(3);
        page->search();
        QVERIFY(!page->registrationButton()->isEnabled());
        QVERIFY(frame->session().adaptors().isEmpty());
        QTRY_VERIFY(page->registrationButton()->isEnabled());
        QCOMPARE(frame->session().selectedAdaptor(), 0);
        QCOMPARE(frame->session().adaptors().size(), 1);
        QCOMPARE(page->adaptorBox()->count(), 1);
        QCOMPARE(started.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);

        // Leaving the tab during the pause: the table is rebuilt, but no search starts.
        page->search();
        frame->view()->setCurrentTab(TabIndex::Main);
        QTRY_VERIFY(page->registrationButton()->isEnabled());
        QCOMPARE(frame->session().adaptors().size(), 1);
        QCOMPARE(started.count(), 1);
    }

    void adaptorBoxStopsTheSearchAndRestartsItOnClose()
    {
        auto frame = makeFrame(TabIndex::Discovery);
        DiscoveryTab *page = frame->discoveryPage();
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);
        page->find();
        QSignalSpy started(page, &DiscoveryTab::searchStarted);
        page->addDiscovered({QStringLiteral("Old"), ipv4(10, 9, 9, 9), QString()});
        frame->session().setSelectedAdaptor(4);

        // Opening the list ends the running search and starts nothing new.
        page->adaptorBox()->showPopup();
        QTRY_VERIFY_WITH_TIMEOUT(!page->session().isSearching(), 2000);
        QCOMPARE(started.count(), 0);
        QCOMPARE(page->discoveredView()->rowCount(), 1);

        // Closing it empties the found list, keeps the choice and searches again.
        page->adaptorBox()->hidePopup();
        QCOMPARE(page->discoveredView()->rowCount(), 0);
        QCOMPARE(frame->session().selectedAdaptor(), 0);
        QCOMPARE(started.count(), 1);
        QVERIFY(page->session().isSearching());
        QTRY_VERIFY_WITH_TIMEOUT(!page->session().isSearching(), 10000);
    }
};

QTEST_MAIN(TestPjList)
#include "tst_discovery_tab.moc"
