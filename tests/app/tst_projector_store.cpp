// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ini_profile.h"
#include "base/message_table.h"
#include "app/projector_store.h"
#include "base/prompter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

ProjectorEntry projector(const char *ip, const QString &name = QStringLiteral("PJ"), const QString &mac = {},
                     const QString &pass = {})
{
    ProjectorEntry d;
    parseIpv4(QString::fromLatin1(ip), &d.IP);
    d.ProjectorName = name;
    d.MAC = mac;
    d.hasPassword = true;
    d.Pass = pass;
    return d;
}

} // namespace

class TestProjectorStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_file;

private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }
    void init()
    {
        m_file = m_dir.filePath(QStringLiteral("LastPj.txt"));
        QFile::remove(m_file);
    }

    void iniProfileSemantics()
    {
        IniProfile ini;
        ini.parse("; comment\n[Sec]\nKey = \"quoted\" \nkey=second\njunk line without equals\n"
                  "[other]\nN=-12abc\nBig=99999999999\nPlus=+7\nNone=x1\n[sec]\nLate=1\n");
        QCOMPARE(ini.value(QStringLiteral("SEC"), QStringLiteral("KEY"), QStringLiteral("d")),
                 QStringLiteral("quoted")); // first occurrence, trimmed, quotes dropped
        QCOMPARE(ini.value(QStringLiteral("Sec"), QStringLiteral("missing"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.intValue(QStringLiteral("other"), QStringLiteral("N"), 0), -12);
        QCOMPARE(ini.intValue(QStringLiteral("other"), QStringLiteral("Big"), 0), INT_MAX);
        QCOMPARE(ini.intValue(QStringLiteral("other"), QStringLiteral("Plus"), 0), 7);
        QCOMPARE(ini.intValue(QStringLiteral("other"), QStringLiteral("None"), 5), 0);
        QCOMPARE(ini.intValue(QStringLiteral("other"), QStringLiteral("Absent"), 5), 5);
        QCOMPARE(IniProfile::toInt(QStringLiteral("-2147483648")), INT_MIN);

        // Writes keep the existing spelling and order, append new keys and sections.
        ini.setValue(QStringLiteral("OTHER"), QStringLiteral("n"), 3);
        ini.setValue(QStringLiteral("New"), QStringLiteral("A"), QStringLiteral("line1\r\n[Injected]\nX=1"));
        const QByteArray bytes = ini.toBytes();
        QVERIFY(bytes.contains("[other]\r\nN=3\r\nBig=99999999999\r\n"));
        QVERIFY(bytes.endsWith("[New]\r\nA=line1  [Injected] X=1\r\n"));
        IniProfile again;
        again.parse(bytes);
        QVERIFY(!again.hasSection(QStringLiteral("Injected")));
    }

    void awkwardValuesRoundTrip()
    {
        IniProfile ini;
        const QStringList values{QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("\"q\""),
                                 QStringLiteral("'"), QStringLiteral("a=b;c"), QString()};
        for (int i = 0; i < values.size(); ++i)
            ini.setValue(QStringLiteral("S"), QStringLiteral("K%1").arg(i), values[i]);
        QVERIFY(ini.toBytes().contains("K0=\" lead\"\r\nK1=\"trail \"\r\nK2=\"\"q\"\"\r\nK3='\r\nK4=a=b;c\r\nK5=\r\n"));
        IniProfile reread;
        reread.parse(ini.toBytes());
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(reread.value(QStringLiteral("S"), QStringLiteral("K%1").arg(i), QStringLiteral("absent")), values[i]);
    }

    void valuesAreCutAt254Characters()
    {
        IniProfile ini;
        const QString longName(300, u'n');
        ini.setValue(QStringLiteral("S"), QStringLiteral("K"), longName);
        QCOMPARE(ini.value(QStringLiteral("S"), QStringLiteral("K"), {}), longName.left(254));
    }

    void absentFileThenFirstRegistration()
    {
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        QCOMPARE(store.count(), 0);
        QVERIFY(store.projectors().isEmpty());

        ScriptedPrompter prompter;
        ProjectorEntry d = projector("10.0.0.1", QStringLiteral("Hall"), QStringLiteral("00-11-22-33-44-55"));
        d.Pass.clear();
        QVERIFY(store.registerDiscovered(d, prompter));
        QVERIFY(prompter.shown().isEmpty());
        QCOMPARE(readAll(m_file), QByteArray("[RESIST NUM]\r\nNUM=1\r\n"
                                             "[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=167772161\r\nProjectorName=Hall\r\n"
                                             "MAC=00-11-22-33-44-55\r\nAuth=1\r\nPass=\r\n"));
        QCOMPARE(store.count(), 1);
        QCOMPARE(store.projector(0), d);
        // Owner-only: the file holds projector passwords.
        QCOMPARE(QFile::permissions(m_file) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
    }

    void currentTargetNeverNamesAMissingEntry()
    {
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        ProjectorEndpoint target;
        QVERIFY(!store.currentTarget(&target)); // nothing registered: nothing to connect to
        QCOMPARE(target.address, 0u);

        ScriptedPrompter prompter;
        QVERIFY(store.registerDiscovered(projector("10.0.0.1", QStringLiteral("A"), QString()), prompter));
        QVERIFY(store.registerDiscovered(projector("10.0.0.2", QStringLiteral("B"), QString()), prompter));
        store.setCurrentIndex(5); // the list shrank behind the remembered index
        QVERIFY(store.currentTarget(&target));
        QCOMPARE(store.currentIndex(), 0);
        QCOMPARE(target.address, 0x0A000001u);
        QVERIFY(store.targetAt(1, &target));
        QCOMPARE(target.address, 0x0A000002u);
        QVERIFY(!store.targetAt(2, &target));
        QVERIFY(!store.targetAt(-1, &target));
    }

    void signedAddressesRoundTrip()
    {
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        ScriptedPrompter prompter;
        QVERIFY(store.registerDiscovered(projector("10.0.0.1"), prompter));
        QVERIFY(store.registerDiscovered(projector("192.168.0.100", QStringLiteral("名前"), {}, QStringLiteral("pässwörd")),
                                         prompter));
        const QByteArray bytes = readAll(m_file);
        QVERIFY(bytes.contains("[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=167772161\r\n"));
        QVERIFY(bytes.contains("[RESIST PROJECTOR2]\r\nNUM=2\r\nIP=-1062731676\r\n"));
        QVERIFY(bytes.startsWith("[RESIST NUM]\r\nNUM=2\r\n"));

        ProjectorStore reread(m_file);
        reread.LoadRegisteredProjectors();
        QCOMPARE(reread.count(), 2);
        QCOMPARE(ipToText(reread.projector(0).IP), QStringLiteral("10.0.0.1"));
        QCOMPARE(ipToText(reread.projector(1).IP), QStringLiteral("192.168.0.100"));
        QCOMPARE(reread.projector(1).ProjectorName, QStringLiteral("名前"));
        QCOMPARE(reread.projector(1).Pass, QStringLiteral("pässwörd"));
    }

    void missingSectionReadsAsDefaults()
    {
        writeAll(m_file, "[RESIST NUM]\r\nNUM=2\r\n[RESIST PROJECTOR2]\r\nIP=167772161\r\nAuth=1\r\n");
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        QCOMPARE(store.count(), 2);
        const ProjectorEntry first = store.projector(0);
        QCOMPARE(first.ProjectorName, QStringLiteral("0"));
        QCOMPARE(first.MAC, QStringLiteral("0"));
        QCOMPARE(first.Pass, QStringLiteral("0"));
        QCOMPARE(first.hasPassword, false);
        QCOMPARE(first.IP, 0u);
        QCOMPARE(store.projector(1).IP, 0x0A000001u);
        QCOMPARE(store.projector(1).ProjectorName, QStringLiteral("0"));
    }

    void deleteRewritesAndDropsAdaptorSection()
    {
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        ScriptedPrompter prompter;
        QVERIFY(store.registerDiscovered(projector("10.0.0.1", QStringLiteral("A")), prompter));
        QVERIFY(store.registerDiscovered(projector("10.0.0.2", QStringLiteral("B")), prompter));
        QVERIFY(store.registerDiscovered(projector("10.0.0.3", QStringLiteral("C")), prompter));
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("127.0.0.1"), QStringLiteral("lo")));
        QVERIFY(readAll(m_file).endsWith("[SELECT ADAPTOR]\r\nIP=127.0.0.1\r\nADAPTORNAME=lo\r\n"));
        store.setCurrentIndex(2);

        QVERIFY(store.removeProjector(1));
        QCOMPARE(store.currentIndex(), 0);
        QCOMPARE(readAll(m_file),
                 QByteArray("[RESIST NUM]\r\nNUM=2\r\n"
                            "[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=167772161\r\nProjectorName=A\r\nMAC=\r\nAuth=1\r\nPass=\r\n"
                            "[RESIST PROJECTOR2]\r\nNUM=2\r\nIP=167772163\r\nProjectorName=C\r\nMAC=\r\nAuth=1\r\nPass=\r\n"));
        ProjectorStore reread(m_file);
        reread.LoadRegisteredProjectors();
        QCOMPARE(reread.projectors(), store.projectors());
    }

    void passwordChangeWritesTwoKeysInPlace()
    {
        writeAll(m_file, "[RESIST NUM]\r\nNUM=1\r\n[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=1\r\nProjectorName=X\r\n"
                         "MAC=m\r\nAuth=1\r\nPass=old\r\n[SELECT ADAPTOR]\r\nIP=1.2.3.4\r\nADAPTORNAME=eth0\r\n");
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        QVERIFY(store.setPassword(0, false, QStringLiteral("new")));
        QCOMPARE(readAll(m_file),
                 QByteArray("[RESIST NUM]\r\nNUM=1\r\n[RESIST PROJECTOR1]\r\nNUM=1\r\nIP=1\r\nProjectorName=X\r\n"
                            "MAC=m\r\nAuth=0\r\nPass=new\r\n[SELECT ADAPTOR]\r\nIP=1.2.3.4\r\nADAPTORNAME=eth0\r\n"));
        QVERIFY(!store.setPassword(5, false, QString()));
    }

    void adaptorSelection()
    {
        ProjectorStore store(m_file);
        const QStringList names{QStringLiteral("eth0"), QStringLiteral("wlan0"), QStringLiteral("lo")};
        QCOMPARE(store.LoadAdaptorSelection(names), 0); // no file
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("10.1.1.1"), QStringLiteral("wlan0")));
        QCOMPARE(store.LoadAdaptorSelection(names), 1);
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("10.1.1.1"), QStringLiteral("WLAN0")));
        QCOMPARE(store.LoadAdaptorSelection(names), 0); // names compare case-sensitively
        QVERIFY(store.SaveAdaptorSelection(QStringLiteral("10.1.1.1"), QStringLiteral("gone")));
        QCOMPARE(store.LoadAdaptorSelection(names), 0);
    }

    void registrationRules()
    {
        QByteArray file = "[RESIST NUM]\r\nNUM=64\r\n[RESIST PROJECTOR1]\r\nIP=167772161\r\n";
        writeAll(m_file, file);
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        ScriptedPrompter prompter;
        QVERIFY(!store.registerDiscovered(projector("10.9.9.9"), prompter));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Maximun PROJECTOR registration number is 64.\n"
                                                              "Please delete a PROJECTOR in the list.")});
        QCOMPARE(readAll(m_file), file);

        writeAll(m_file, "[RESIST NUM]\r\nNUM=1\r\n[RESIST PROJECTOR1]\r\nIP=167772161\r\nProjectorName=A\r\n");
        store.LoadRegisteredProjectors();
        prompter.clear();
        QVERIFY(!store.addProjector(projector("10.0.0.1", QStringLiteral("other name"), QStringLiteral("AA")), prompter));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Same IP-Address already exists.")});
        QVERIFY(store.addProjector(projector("10.0.0.2"), prompter));
        QCOMPARE(store.count(), 2);
    }

    void corruptFilesLoadQuickly()
    {
        // NUM=70 is honoured; an absurd count is bounded; junk and a huge value do no harm.
        writeAll(m_file, "[RESIST NUM]\r\nNUM=70\r\n");
        ProjectorStore store(m_file);
        store.LoadRegisteredProjectors();
        QCOMPARE(store.count(), 70);
        ScriptedPrompter prompter;
        QCOMPARE(store.registrationRefusal(0x0A000001), 1033);

        QByteArray junk = "\x01\x02garbage\r\n[RESIST NUM\r\n=\r\n[RESIST NUM]\r\nNUM=1024\r\n"
                          "[RESIST PROJECTOR1]\r\nProjectorName=";
        junk += QByteArray(8 * 1024 * 1024, 'x');
        junk += "\r\nIP=-1\r\n[]\r\n";
        writeAll(m_file, junk);
        QElapsedTimer timer;
        timer.start();
        store.LoadRegisteredProjectors();
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(store.count(), ProjectorStore::kMaxLoaded);
        QCOMPARE(store.projector(0).ProjectorName.size(), 254);
        QCOMPARE(store.projector(0).IP, 0xFFFFFFFFu);

        // Counts past the bound, negative ones and NUL bytes make the file unreadable.
        for (const QByteArray &bad : {QByteArray("[RESIST NUM]\r\nNUM=-5\r\n"),
                                      QByteArray("[RESIST NUM]\r\nNUM=2147483647\r\n"),
                                      junk + QByteArray("\0\0\0", 3)}) {
            writeAll(m_file, bad);
            timer.restart();
            store.LoadRegisteredProjectors();
            QVERIFY(timer.elapsed() < 10000);
            QCOMPARE(store.count(), 0);
            QVERIFY(!store.loadProblem().isEmpty());
        }
    }

    void ipv4Text()
    {
        quint32 ip = 0;
        QVERIFY(parseIpv4(QStringLiteral("255.255.255.255"), &ip));
        QCOMPARE(ip, 0xFFFFFFFFu);
        QCOMPARE(ipToText(0xC0A80064), QStringLiteral("192.168.0.100"));
        for (const char *bad : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.-4", ""})
            QVERIFY2(!parseIpv4(QString::fromLatin1(bad), &ip), bad);
    }
};

QTEST_MAIN(TestProjectorStore)
#include "tst_projector_store.moc"
