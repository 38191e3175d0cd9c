// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The Discovery tab end to end: a real multicast search on a private loopback finds a
// substitute projector, and Registration writes it to "LastPj.txt".
#include "app/ini_profile.h"
#include "base/prompter.h"
#include "gui/discovery_tab/discovery_tab.h"
#include "gui/main_window.h"
#include "gui/tab_view.h"
#include "gui/gui_test_support.h"
#include "sim/projector_sim.h"

#include <QNetworkInterface>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

class TestDiscoveryTab : public QObject {
    Q_OBJECT

    std::unique_ptr<UiTestEnvironment> m_env;
    ScriptedPrompter m_prompter;

private slots:
    void initTestCase()
    {
        for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
            if (!iface.flags().testFlag(QNetworkInterface::IsLoopBack))
                QSKIP("not inside a private network namespace; multicast tests skipped");
            if (!iface.flags().testFlag(QNetworkInterface::CanMulticast))
                QSKIP("loopback cannot carry multicast here");
        }
        m_env = std::make_unique<UiTestEnvironment>();
    }

    void searchFindsAndRegistersTheProjector()
    {
        ProjectorSim projector(QHostAddress(QStringLiteral("127.0.0.2")));
        projector.setIdentity(QStringLiteral("Room 101"), QByteArray::fromHex("0A1B2C3D4E5F"));
        QVERIFY2(projector.start(), qPrintable(projector.errorString()));

        MainWindowSetup setup;
        setup.prompter = &m_prompter;
        setup.initialTab = TabIndex::Main;
        setup.discovery.timings.silentWait = std::chrono::milliseconds(200);
        MainWindow frame(setup);
        DiscoveryTab *page = frame.discoveryPage();
        frame.view()->setCurrentTab(TabIndex::Discovery);

        QTRY_COMPARE_WITH_TIMEOUT(page->discoveredView()->rowCount(), 1, 10000);
        QCOMPARE(page->discoveredView()->item(0, 0)->text(), QStringLiteral("Room 101"));
        QCOMPARE(page->discoveredView()->item(0, 1)->text(), QStringLiteral("0A-1B-2C-3D-4E-5F"));
        QCOMPARE(page->discoveredView()->item(0, 2)->text(), QStringLiteral("127.0.0.2"));
        QTRY_VERIFY_WITH_TIMEOUT(page->findButton()->isEnabled(), 10000);

        page->discoveredView()->selectRow(0);
        page->registration();
        QVERIFY(m_prompter.texts().isEmpty());
        IniProfile ini(m_env->lastPj());
        ini.load();
        QCOMPARE(ini.value(QStringLiteral("RESIST NUM"), QStringLiteral("NUM"), {}), QStringLiteral("1"));
        QCOMPARE(ini.value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("IP"), {}),
                 QString::number(qint32(0x7F000002)));
        QCOMPARE(ini.value(QStringLiteral("RESIST PROJECTOR1"), QStringLiteral("MAC"), {}),
                 QStringLiteral("0A-1B-2C-3D-4E-5F"));
        QCOMPARE(page->registeredView()->rowCount(), 1);
    }
};

QTEST_MAIN(TestDiscoveryTab)
#include "tst_discovery_tab_netns.moc"
