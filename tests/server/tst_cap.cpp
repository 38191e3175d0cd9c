// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The CAP 1.2 reader and the decision taken on an alert, without a network.
#include "server/cap_plan.h"
#include "server/cap_reader.h"

#include <QtTest>

using namespace glintcaster::server;

namespace {

/// A CAP 1.2 alert with the fields of the standard; `infos` is the XML of the info blocks.
QByteArray capAlert(const QString &status, const QString &msgType, const QString &infos,
                    const QString &extra = {})
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\">"
                          "<identifier>ID-1</identifier><sender>ops@example.org</sender>"
                          "<sent>2026-03-01T12:00:00-05:00</sent><status>%1</status>"
                          "<msgType>%2</msgType><scope>Public</scope>%4%3</alert>")
        .arg(status, msgType, infos, extra)
        .toUtf8();
}

QString info(const QString &language, const QString &headline, const QString &severity = QStringLiteral("Severe"),
             const QString &more = {})
{
    const QString lang = language.isEmpty() ? QString() : QStringLiteral("<language>%1</language>").arg(language);
    return QStringLiteral("<info>%1<category>Safety</category><event>Evacuation</event>"
                          "<urgency>Immediate</urgency><severity>%3</severity><certainty>Observed</certainty>"
                          "<headline>%2</headline><description>Leave the building.</description>"
                          "<instruction>Use the stairs.</instruction>%4</info>")
        .arg(lang, headline, severity, more);
}

const QDateTime kNow = QDateTime::fromString(QStringLiteral("2026-03-01T17:00:00Z"), Qt::ISODate);

} // namespace

class TestCap : public QObject {
    Q_OBJECT
private slots:
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("textPart");
        const QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE alert [<!ENTITY a \"aaaaaaaaaa\">"
                                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                                "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
                                "<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\"><identifier>&d;&d;&d;</identifier></alert>";
        QTest::newRow("entity bomb") << bomb << "dtd_refused" << "document type";
        QTest::newRow("external entity")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE alert [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                          "<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\"><identifier>&x;</identifier></alert>")
            << "dtd_refused" << "document type";
        QTest::newRow("undeclared entity")
            << QByteArray("<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\"><identifier>&x;</identifier></alert>")
            << "malformed_xml" << "line 1";
        QTest::newRow("cap 1.1")
            << QByteArray("<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.1\"/>") << "unsupported_cap_version" << "CAP 1.1";
        QTest::newRow("cap 1.0")
            << QByteArray("<alert xmlns=\"http://www.incident.com/cap/1.0\"/>") << "unsupported_cap_version" << "CAP 1.0";
        QTest::newRow("atom")
            << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry/></feed>") << "not_cap" << "ATOM";
        QTest::newRow("no namespace") << QByteArray("<alert/>") << "not_cap" << "namespace";
        QTest::newRow("unclosed") << capAlert("Actual", "Alert", info("", "x")).chopped(8) << "malformed_xml" << "malformed XML";
        QTest::newRow("empty") << QByteArray() << "malformed_xml" << "";
        QTest::newRow("no sender")
            << capAlert("Actual", "Alert", {}).replace("<sender>ops@example.org</sender>", "") << "invalid_cap" << "<sender>";
        QTest::newRow("bad sent")
            << capAlert("Actual", "Alert", {}).replace("2026-03-01T12:00:00-05:00", "yesterday") << "invalid_cap" << "<sent>";
        QTest::newRow("element in text")
            << capAlert("Actual", "Alert", info("", "<b>x</b>")) << "invalid_cap" << "<b> inside <headline>";
    }
    void refusals()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, error);
        QFETCH(QString, textPart);
        const CapReadResult r = readCapAlert(xml);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, error);
        QVERIFY2(r.text.contains(textPart), qPrintable(r.text));
        // Nothing of an entity ever reaches the alert.
        QVERIFY(!r.alert.identifier.contains(u"aaaa") && !r.alert.identifier.contains(u"root"));
    }

    void readsFields()
    {
        const QByteArray xml = capAlert(
            "Actual", "Update",
            info("fr-CA", "Évacuation") + info("en-US", "Evacuate now", "Extreme",
                                               "<expires>2026-03-01T17:30:00+00:00</expires>"
                                               "<area><areaDesc>Building C</areaDesc><geocode><valueName>SAME</valueName>"
                                               "<value>006113</value></geocode></area>"),
            "<references>ops@example.org,ID-0,2026-03-01T11:00:00-05:00 other,ID-9,2026-03-01T11:30:00-05:00</references>"
            "<note xmlns=\"urn:example:other\"><deep>ignored</deep></note>");
        const CapReadResult r = readCapAlert(xml);
        QVERIFY2(r.ok, qPrintable(r.text));
        QCOMPARE(r.alert.key(), QStringLiteral("ops@example.org,ID-1,2026-03-01T12:00:00-05:00"));
        QCOMPARE(r.alert.references.size(), 2);
        QCOMPARE(r.alert.infos.size(), 2);
        const CapInfo &en = r.alert.infos.at(1);
        QCOMPARE(en.headline, QStringLiteral("Evacuate now"));
        QCOMPARE(en.severity, QStringLiteral("Extreme"));
        QCOMPARE(en.areaDescs, QStringList{QStringLiteral("Building C")});
        QCOMPARE(en.geocodes.value(0).second, QStringLiteral("006113"));
        QCOMPARE(en.expires.toUTC(), kNow.addSecs(1800));
    }

    void languageChoice_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<int>("chosen");
        QTest::newRow("exact") << QStringList{"fr-CA", "en-GB", "en-US"} << "en-US" << 2;
        QTest::newRow("family") << QStringList{"fr-CA", "en-GB"} << "en" << 1;
        QTest::newRow("absent is en-US") << QStringList{"fr-CA", ""} << "en" << 1;
        QTest::newRow("none matches: first") << QStringList{"de-DE", "fr-CA"} << "en" << 0;
        QTest::newRow("configured French") << QStringList{"en-US", "fr-CA"} << "fr" << 1;
    }
    void languageChoice()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, wanted);
        QFETCH(int, chosen);
        QList<CapInfo> infos;
        for (const QString &l : languages) {
            CapInfo i;
            i.language = l;
            infos << i;
        }
        QCOMPARE(chooseInfo(infos, wanted), chosen);
    }

    void plans_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("allowTests");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("templ");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QStringList>("groups");
        const int show = int(CapAction::Show), ack = int(CapAction::Acknowledge), refuse = int(CapAction::Refuse),
                  cancel = int(CapAction::Cancel);
        const QStringList all{"All"};
        QTest::newRow("extreme") << capAlert("Actual", "Alert", info("", "Fire", "Extreme")) << false << show << "Fire"
                                 << "urgent" << 0 << all;
        QTest::newRow("moderate") << capAlert("Actual", "Alert", info("en-US", "Snow", "Moderate")) << false << show
                                  << "Snow" << "notice" << 0 << all;
        QTest::newRow("minor") << capAlert("Actual", "Alert", info("en", "Bus late", "Minor")) << false << show
                               << "Bus late" << "banner" << 0 << all;
        QTest::newRow("no headline: event") << capAlert("Actual", "Alert", info("", "", "Unknown")) << false << show
                                            << "Evacuation" << "banner" << 0 << all;
        QTest::newRow("expires in 90 s")
            << capAlert("Actual", "Alert", info("", "Gas", "Severe", "<expires>2026-03-01T17:01:30Z</expires>"))
            << false << show << "Gas" << "urgent" << 2 << all;
        QTest::newRow("expires in a day")
            << capAlert("Actual", "Alert", info("", "Gas", "Severe", "<expires>2026-03-02T17:00:00Z</expires>"))
            << false << show << "Gas" << "urgent" << 127 << all;
        QTest::newRow("expired") << capAlert("Actual", "Alert", info("", "Gas", "Severe", "<expires>2026-03-01T11:59:00-05:00</expires>"))
                                 << false << ack << "" << "" << 0 << QStringList{};
        QTest::newRow("test refused") << capAlert("Test", "Alert", info("", "Drill")) << false << refuse << "" << ""
                                      << 0 << QStringList{};
        QTest::newRow("exercise allowed") << capAlert("Exercise", "Alert", info("", "Drill")) << true << show
                                          << "TEST Drill" << "urgent" << 0 << all;
        QTest::newRow("draft") << capAlert("Draft", "Alert", info("", "x")) << true << ack << "" << "" << 0 << QStringList{};
        QTest::newRow("system") << capAlert("System", "Alert", info("", "x")) << false << ack << "" << "" << 0 << QStringList{};
        QTest::newRow("ack") << capAlert("Actual", "Ack", {}) << false << ack << "" << "" << 0 << QStringList{};
        QTest::newRow("cancel") << capAlert("Actual", "Cancel", {}, "<references>a,b,c</references>") << false << cancel
                                << "" << "" << 0 << QStringList{};
        QTest::newRow("cancel without references") << capAlert("Actual", "Cancel", {}) << false << refuse << "" << ""
                                                   << 0 << QStringList{};
        QTest::newRow("update without references") << capAlert("Actual", "Update", info("", "x")) << false << refuse
                                                   << "" << "" << 0 << QStringList{};
        QTest::newRow("no info") << capAlert("Actual", "Alert", {}) << false << refuse << "" << "" << 0 << QStringList{};
        QTest::newRow("area mapped")
            << capAlert("Actual", "Alert", info("", "Leak", "Severe", "<area><areaDesc>Building C</areaDesc></area>"
                                                                        "<area><areaDesc>Car park</areaDesc></area>"))
            << false << show << "Leak" << "urgent" << 0 << QStringList{"C wing", "Garage"};
        QTest::newRow("geocode mapped")
            << capAlert("Actual", "Alert", info("", "Leak", "Severe", "<area><areaDesc>Elsewhere</areaDesc><geocode>"
                                                                        "<valueName>SAME</valueName><value>006113</value>"
                                                                        "</geocode></area>"))
            << false << show << "Leak" << "urgent" << 0 << QStringList{"Garage"};
    }
    void plans()
    {
        QFETCH(QByteArray, xml);
        QFETCH(bool, allowTests);
        QFETCH(int, action);
        QFETCH(QString, title);
        QFETCH(QString, templ);
        QFETCH(int, minutes);
        QFETCH(QStringList, groups);
        const CapReadResult r = readCapAlert(xml);
        QVERIFY2(r.ok, qPrintable(r.text));
        ServerConfig config;
        config.allowTests = allowTests;
        config.areaGroups.insert(QStringLiteral("Building C"), {QStringLiteral("C wing")});
        config.areaGroups.insert(QStringLiteral("Car park"), {QStringLiteral("Garage"), QStringLiteral("C wing")});
        config.areaGroups.insert(QStringLiteral("SAME:006113"), {QStringLiteral("Garage")});
        const CapPlan plan = planCapAlert(r.alert, config, kNow);
        QCOMPARE(int(plan.action), action);
        QVERIFY(plan.action == CapAction::Show || plan.action == CapAction::Cancel || !plan.reason.isEmpty());
        if (plan.action != CapAction::Show)
            return;
        QCOMPARE(plan.title, title);
        QCOMPARE(plan.text, QStringLiteral("Leave the building.\nUse the stairs."));
        QCOMPARE(plan.templateName, templ);
        QCOMPARE(plan.displayMinutes, minutes);
        QCOMPARE(plan.groups, groups);
    }

    void configuredMapping()
    {
        ServerConfig config;
        QString error;
        QVERIFY2(parseServerConfig("[cap]\nlanguage = fr\ndefault-group = Lobby\ndefault-slot = 4\n"
                                   "[severity]\nMinor = notice\n[areas]\nBuilding C = C wing, Garage\n",
                                   &config, &error),
                 qPrintable(error));
        const CapReadResult r = readCapAlert(capAlert("Actual", "Alert", info("en-US", "Bus", "Minor") + info("fr-CA", "Autobus", "Minor")));
        const CapPlan plan = planCapAlert(r.alert, config, kNow);
        QCOMPARE(plan.title, QStringLiteral("Autobus"));
        QCOMPARE(plan.templateName, QStringLiteral("notice"));
        QCOMPARE(plan.groups, QStringList{QStringLiteral("Lobby")});
        QCOMPARE(plan.slot, 4);
    }
};

QTEST_GUILESS_MAIN(TestCap)
#include "tst_cap.moc"
