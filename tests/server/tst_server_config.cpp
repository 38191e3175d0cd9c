// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The service's configuration, its request readers and token, and what the program does
// with a configuration before it serves.
#include "common/process_run.h"
#include "server/json_request.h"
#include "server/server_config.h"
#include "server/server_token.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster::server;
using namespace glintcaster::testing;

class TestServerConfig : public QObject {
    Q_OBJECT
private slots:
    void configErrors_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("outside section") << QByteArray("home=/x\n") << "line 1: \"home\" outside a section";
        QTest::newRow("unknown section") << QByteArray("[srv]\n") << "line 1: unknown section [srv]";
        QTest::newRow("unknown key") << QByteArray("[server]\n; c\nport=1\n") << "line 3: unknown key \"port\" in [server]";
        QTest::newRow("bad listen") << QByteArray("[server]\nlisten=127.0.0.1\n") << "line 2: listen: \"127.0.0.1\" is not ADDR:PORT";
        QTest::newRow("bad bool") << QByteArray("[cap]\nallow-tests=maybe\n") << "line 2: allow-tests is true or false";
        QTest::newRow("bad slot") << QByteArray("[cap]\ndefault-slot=13\n") << "line 2: default-slot is quick or 1..12";
        QTest::newRow("bad severity") << QByteArray("[severity]\nDire=urgent\n") << "line 2: \"Dire\" is no CAP severity (Extreme, Severe, Moderate, Minor, Unknown)";
        QTest::newRow("template path") << QByteArray("[severity]\nMinor=../x\n") << "line 2: Minor: a template is named by its file name in MessageData/Templates";
        QTest::newRow("area without group") << QByteArray("[areas]\nLobby= , \n") << "line 2: Lobby: name at least one group";
        QTest::newRow("no =") << QByteArray("[cap]\nlanguage\n") << "line 2: expected NAME=VALUE";
    }
    void configErrors()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        ServerConfig c;
        QString e;
        QVERIFY(!parseServerConfig(text, &c, &e));
        QCOMPARE(e, error);
    }

    void configValues()
    {
        ServerConfig c;
        QString e;
        QVERIFY2(parseServerConfig("[server]\r\nlisten = 127.0.0.1:80, [::1]:81\r\ninsecure-http = yes\r\n"
                                   "[severity]\nextreme = banner\n[areas]\nFIPS6:006113 = West, East, West\n",
                                   &c, &e), qPrintable(e));
        QCOMPARE(c.listen.size(), 2);
        QCOMPARE(c.listen.at(1).text(), QStringLiteral("[::1]:81"));
        QVERIFY(c.insecureHttp);
        QCOMPARE(c.templateFor(QStringLiteral("Extreme")), QStringLiteral("banner"));
        QCOMPARE(c.templateFor(QStringLiteral("Severe")), QStringLiteral("urgent"));
        QCOMPARE(c.templateFor(QStringLiteral("whatever")), QStringLiteral("banner"));
        QCOMPARE(c.areaGroups.value(QStringLiteral("FIPS6:006113")), (QStringList{"West", "East"}));
    }

    void listenNeedsTls()
    {
        ServerConfig c;
        QVERIFY(c.listenProblem().isEmpty()); // 127.0.0.1:9720
        parseListenAddress(QStringLiteral("10.1.2.3:9720"), &c.listen.emplaceBack());
        QVERIFY(c.listenProblem().contains(u"needs --tls-cert"));
        c.insecureHttp = true;
        QVERIFY(c.listenProblem().isEmpty());
        c.tlsCert = QStringLiteral("/nonexistent.pem");
        QVERIFY(c.listenProblem().contains(u"go together"));
        c.tlsKey = QStringLiteral("/nonexistent.key");
        QVERIFY(c.listenProblem().contains(u"/nonexistent.pem"));
    }

    void requests_data()
    {
        QTest::addColumn<int>("kind"); // 0 alert, 1 display, 2 clear
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::newRow("alert inline") << 0 << QByteArray(R"({"groups":["A","A"],"title":"t","text":"x","slot":"3","startup":"repeat"})") << "";
        QTest::newRow("alert file") << 0 << QByteArray(R"({"all":true,"message":"sub/Fire drill.glc"})") << "";
        QTest::newRow("alert both") << 0 << QByteArray(R"({"all":true,"message":"a.glc","text":"x"})") << "invalid_request";
        QTest::newRow("alert neither") << 0 << QByteArray(R"({"all":true})") << "invalid_request";
        QTest::newRow("no targets") << 0 << QByteArray(R"({"text":"x"})") << "invalid_request";
        QTest::newRow("absolute") << 0 << QByteArray(R"({"all":true,"message":"/etc/passwd"})") << "path_refused";
        QTest::newRow("dot dot") << 0 << QByteArray(R"({"all":true,"message":"a/../../x.glc"})") << "path_refused";
        QTest::newRow("backslash") << 0 << QByteArray(R"({"all":true,"message":"..\\x.glc"})") << "path_refused";
        QTest::newRow("template path") << 0 << QByteArray(R"({"all":true,"text":"x","template":"../../x"})") << "path_refused";
        QTest::newRow("startup on quick") << 0 << QByteArray(R"({"all":true,"text":"x","startup":5})") << "invalid_request";
        QTest::newRow("startup range") << 0 << QByteArray(R"({"all":true,"text":"x","slot":2,"startup":128})") << "invalid_request";
        QTest::newRow("slot fraction") << 1 << QByteArray(R"({"all":true,"slot":1.5})") << "invalid_request";
        QTest::newRow("slot 13") << 1 << QByteArray(R"({"all":true,"slot":13})") << "invalid_request";
        QTest::newRow("slot beyond int") << 1 << QByteArray(R"({"all":true,"slot":6e114})") << "invalid_request";
        QTest::newRow("startup beyond int") << 0 << QByteArray(R"({"all":true,"text":"x","startup":-3e10})") << "invalid_request";
        QTest::newRow("targets not strings") << 1 << QByteArray(R"({"targets":[1]})") << "invalid_request";
        QTest::newRow("on not bool") << 1 << QByteArray(R"({"all":true,"on":"yes"})") << "invalid_request";
        QTest::newRow("line break in a field name") << 1 << QByteArray(R"({"all":true,"a\nb":1})") << "invalid_request";
        QTest::newRow("array body") << 1 << QByteArray(R"([])") << "malformed_json";
        QTest::newRow("garbage") << 2 << QByteArray("\x00\xff") << "malformed_json";
        QTest::newRow("clear saved") << 2 << QByteArray(R"({"all":true,"slot":"saved"})") << "";
        QTest::newRow("display all is no slot") << 1 << QByteArray(R"({"all":true,"slot":"all"})") << "invalid_request";
    }
    void requests()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        RequestError e;
        bool ok = false;
        if (kind == 0) {
            const auto r = readAlertPostRequest(body, &e);
            ok = r.has_value();
            if (ok && r->targets.groups.size() == 1) {
                QCOMPARE(r->slot, 3);
                QCOMPARE(r->startupMinutes, 0);
            }
        } else if (kind == 1) {
            ok = readDisplayRequest(body, &e).has_value();
        } else {
            const auto r = readClearRequest(body, &e);
            ok = r.has_value();
            if (ok)
                QCOMPARE(r->slot, -2);
        }
        QCOMPARE(ok, error.isEmpty());
        if (!ok) {
            QCOMPARE(e.error, error);
            QVERIFY(!e.text.isEmpty() && !e.text.contains(u'\n'));
        }
    }

    void token()
    {
        QTemporaryDir home;
        ServerToken t;
        bool created = false;
        QString error;
        QVERIFY(t.loadOrCreate(home.path(), &created, &error));
        QVERIFY(created);
        QVERIFY(t.accepts("Bearer " + t.value()));
        QVERIFY(!t.accepts("Bearer " + t.value().chopped(1) + 'x'));
        QVERIFY(!t.accepts("Basic " + t.value()));
        QVERIFY(!t.accepts("Bearer "));
        ServerToken again;
        QVERIFY(again.loadOrCreate(home.path(), &created, &error));
        QVERIFY(!created);
        QCOMPARE(again.value(), t.value());
        // A token others can read is refused, not used.
        QFile::setPermissions(home.filePath(ServerToken::fileName()), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QVERIFY(!again.loadOrCreate(home.path(), &created, &error));
        QVERIFY(error.contains(u"chmod 600"));
    }

    void check_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("output");
        QTest::newRow("defaults") << QStringList{} << 0 << "configuration OK";
        QTest::newRow("beyond loopback") << QStringList{"--listen", "0.0.0.0:9720"} << 1 << "needs --tls-cert";
        QTest::newRow("insecure allowed") << QStringList{"--listen", "0.0.0.0:9720", "--insecure-http"} << 0 << "configuration OK";
        QTest::newRow("bad listen") << QStringList{"--listen", "localhost"} << 2 << "not ADDR:PORT";
        QTest::newRow("bad config") << QStringList{"--config", "CONFIG"} << 1 << "line 2: unknown key";
        QTest::newRow("missing config") << QStringList{"--config", "/nonexistent.ini"} << 1 << "/nonexistent.ini";
    }
    void check()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, output);
        QTemporaryDir home;
        QFile config(home.filePath(QStringLiteral("bad.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[cap]\nlanguages=en\n");
        config.close();
        args.replaceInStrings(QStringLiteral("CONFIG"), config.fileName());
        const ProcessRun run = runProcess(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-server"),
                                          QStringList{QStringLiteral("--check"), QStringLiteral("--home"), home.path()} + args);
        QCOMPARE(run.exit, exit);
        QVERIFY2(QString::fromUtf8(run.out + run.err).contains(output), (run.out + run.err).constData());
        // A check creates nothing in the home.
        QVERIFY(!QFile::exists(home.filePath(ServerToken::fileName())));
    }
};

QTEST_GUILESS_MAIN(TestServerConfig)
#include "tst_server_config.moc"
