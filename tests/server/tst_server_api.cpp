// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// glintcaster-server as a program, driven by curl over loopback, in front of substitute
// projectors: every endpoint's answers, the limits, and CAP alerts with their exact effect
// on each projector and in the activity log.
#include "app/projector_groups.h"
#include "app/projector_store.h"
#include "base/prompter.h"
#include "common/process_run.h"
#include "sim/projector_sim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

const QString kServer = QStringLiteral("127.105.1.100");
constexpr int kPort = 19720;
constexpr int kSims = 4; // 127.105.1.1 .. 4; the fourth has a password the list gets wrong

QString simAddress(int i) { return QStringLiteral("127.105.1.%1").arg(i + 1); }

struct Reply {
    int status = 0;
    QJsonObject json;
    QByteArray body;
};

QByteArray utf16(const QString &s)
{
    QByteArray b;
    for (QChar c : s)
        b.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return b;
}

QByteArray cap(const QString &id, const QString &status, const QString &type, const QString &infos,
               const QString &references = {})
{
    return QStringLiteral("<?xml version=\"1.0\"?><alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\">"
                          "<identifier>%1</identifier><sender>fire-panel@example.org</sender>"
                          "<sent>2026-12-08T09:00:00-00:00</sent><status>%2</status><msgType>%3</msgType>"
                          "<scope>Private</scope>%5%4</alert>")
        .arg(id, status, type, infos,
             references.isEmpty() ? QString() : QStringLiteral("<references>%1</references>").arg(references))
        .toUtf8();
}

QString info(const QString &lang, const QString &headline, const QString &severity, const QString &area,
             const QString &more = {})
{
    return QStringLiteral("<info><language>%1</language><category>Fire</category><event>Fire</event>"
                          "<urgency>Immediate</urgency><severity>%3</severity><certainty>Observed</certainty>"
                          "%5<headline>%2</headline><description>Smoke on floor 2.</description>"
                          "<instruction>Leave now.</instruction><area><areaDesc>%4</areaDesc></area></info>")
        .arg(lang, headline, severity, area, more);
}

} // namespace

class TestServerApi : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::vector<std::unique_ptr<ProjectorSim>> m_sims;
    QProcess m_server;
    QByteArray m_token;
    QByteArray m_serverLog;

    Reply call(const QString &method, const QString &path, const QByteArray &body = {},
               const QByteArray &contentType = "application/json", const QByteArray &token = "*")
    {
        QStringList args{QStringLiteral("-s"), QStringLiteral("-X"), method, QStringLiteral("-w"),
                         QStringLiteral("\n%{http_code}"), QStringLiteral("--max-time"), QStringLiteral("60")};
        const QByteArray t = token == "*" ? m_token : token;
        if (!t.isEmpty())
            args << QStringLiteral("-H") << QStringLiteral("Authorization: Bearer %1").arg(QString::fromLatin1(t));
        if (method == u"POST") {
            args << QStringLiteral("-H") << QStringLiteral("Content-Type: %1").arg(QString::fromLatin1(contentType))
                 << QStringLiteral("--data-binary") << QStringLiteral("@-");
        }
        args << QStringLiteral("http://%1:%2%3").arg(kServer).arg(kPort).arg(path);
        QProcess p;
        p.start(QStringLiteral("curl"), args);
        p.write(body);
        p.closeWriteChannel();
        p.waitForFinished(70000);
        const QByteArray out = p.readAllStandardOutput();
        const qsizetype nl = out.lastIndexOf('\n');
        Reply r;
        r.status = out.mid(nl + 1).toInt();
        r.body = out.left(nl);
        r.json = QJsonDocument::fromJson(r.body).object();
        return r;
    }

    /// Polls an alert until it has finished.
    QJsonObject waitForAlert(const QString &id)
    {
        QJsonObject state;
        for (int i = 0; i < 600; ++i) {
            state = call(QStringLiteral("GET"), QStringLiteral("/v1/alerts/") + id).json;
            if (!state.value(QStringLiteral("running")).toBool(true))
                return state;
            QTest::qWait(100);
        }
        return state;
    }

    QString serverLog()
    {
        m_serverLog += m_server.readAllStandardError();
        return QString::fromUtf8(m_serverLog);
    }

    SimSlot slotOf(int sim, int slot) const { return m_sims.at(size_t(sim))->slot(slot); }
    bool shown(int sim, int slot) const
    {
        const int state = m_sims.at(size_t(sim))->device().messageState;
        return (state & 1) && ((state >> 8) & 0x7F) == slot;
    }
    int uploads(int sim) const { return m_sims.at(size_t(sim))->device().uploadCount; }

    QList<QJsonObject> activity(const QString &cap)
    {
        QList<QJsonObject> out;
        for (const QJsonValue &v : call(QStringLiteral("GET"), QStringLiteral("/v1/activity")).json.value(QStringLiteral("records")).toArray())
            if (v.toObject().value(QStringLiteral("cap")).toString() == cap)
                out << v.toObject();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        ScriptedPrompter prompter;
        ProjectorStore store(m_home.filePath(QStringLiteral("LastPj.txt")));
        for (int i = 0; i < kSims; ++i) {
            auto sim = std::make_unique<ProjectorSim>();
            sim->config().address = QHostAddress(simAddress(i));
            // A greeting at once saves each exchange its wait for one.
            sim->setGreetingMode(SimGreeting::Always);
            if (i == 3)
                sim->setPassword(QStringLiteral("right"));
            QVERIFY2(sim->start(), qPrintable(sim->errorString()));
            m_sims.push_back(std::move(sim));
            ProjectorEntry e;
            e.ProjectorName = QStringLiteral("Room %1").arg(i + 1);
            QVERIFY(parseIpv4(simAddress(i), &e.IP));
            e.hasPassword = true;
            e.Pass = i == 3 ? QStringLiteral("secret-wrong") : QString();
            QVERIFY(store.addProjector(e, prompter));
        }
        ProjectorGroups groups(m_home.filePath(QStringLiteral("Groups.ini")));
        QVERIFY(groups.create(QStringLiteral("C wing")));
        store.LoadRegisteredProjectors();
        QVERIFY(groups.addMembers(QStringLiteral("C wing"), {store.projector(0).IP, store.projector(1).IP}, store));
        QDir(m_home.path()).mkpath(QStringLiteral("MessageData"));
        QFile outside(m_home.filePath(QStringLiteral("outside.glc")));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.close();
        QVERIFY(QFile::link(outside.fileName(), m_home.filePath(QStringLiteral("MessageData/escape.glc"))));
        QFile config(m_home.filePath(QStringLiteral("server.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[server]\nlisten = 127.105.1.100:19720\n[areas]\nBuilding C = C wing\n");
        config.close();

        m_server.setProgram(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-server"));
        m_server.setArguments({QStringLiteral("--home"), m_home.path(), QStringLiteral("--config"), config.fileName()});
        m_server.start();
        QVERIFY(m_server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(serverLog().contains(u"listening on http://127.105.1.100:19720"), 20000);
        // The token is shown once, on first start, and kept for its owner only.
        const QByteArray out = m_server.readAllStandardOutput();
        QFile tokenFile(m_home.filePath(QStringLiteral("server-token")));
        QVERIFY(tokenFile.open(QIODevice::ReadOnly));
        m_token = tokenFile.readAll().trimmed();
        QCOMPARE(m_token.size(), 64);
        QVERIFY(out.contains(m_token));
        QCOMPARE(tokenFile.permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
    }

    void cleanupTestCase()
    {
        m_server.terminate();
        QVERIFY(m_server.waitForFinished(20000));
        QCOMPARE(m_server.exitCode(), 0);
        QVERIFY(serverLog().contains(u"stopped"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QByteArray json = "application/json", xml = "application/cap+xml";
        QTest::newRow("no token") << "GET" << "/v1/health" << QByteArray() << json << QByteArray() << 401 << "unauthorized";
        QTest::newRow("wrong token") << "GET" << "/v1/projectors" << QByteArray() << json
                                     << QByteArray(64, 'a') << 401 << "unauthorized";
        QTest::newRow("unknown path") << "GET" << "/v1/nothing" << QByteArray() << json << QByteArray("*") << 404 << "not_found";
        QTest::newRow("wrong method") << "DELETE" << "/v1/health" << QByteArray() << json << QByteArray("*") << 405
                                      << "method_not_allowed";
        QTest::newRow("malformed json") << "POST" << "/v1/alerts" << QByteArray("{\"all\": tru") << json << QByteArray("*")
                                        << 400 << "malformed_json";
        QTest::newRow("unknown field") << "POST" << "/v1/display" << QByteArray("{\"all\": true, \"slots\": 1}") << json
                                       << QByteArray("*") << 400 << "invalid_request";
        QTest::newRow("path outside") << "POST" << "/v1/alerts" << QByteArray("{\"all\": true, \"message\": \"../LastPj.txt\"}")
                                      << json << QByteArray("*") << 400 << "path_refused";
        QTest::newRow("link outside") << "POST" << "/v1/alerts" << QByteArray("{\"all\": true, \"message\": \"escape.glc\"}")
                                      << json << QByteArray("*") << 400 << "path_refused";
        QTest::newRow("no such message") << "POST" << "/v1/alerts" << QByteArray("{\"all\": true, \"message\": \"none.glc\"}")
                                         << json << QByteArray("*") << 404 << "message_not_found";
        QTest::newRow("unknown group") << "POST" << "/v1/clear" << QByteArray("{\"groups\": [\"Attic\"]}") << json
                                       << QByteArray("*") << 422 << "unknown_group";
        QTest::newRow("unregistered") << "POST" << "/v1/display" << QByteArray("{\"targets\": [\"127.105.1.99\"]}") << json
                                      << QByteArray("*") << 422 << "unknown_target";
        QTest::newRow("unknown alert") << "GET" << "/v1/alerts/nope" << QByteArray() << json << QByteArray("*") << 404
                                       << "unknown_alert";
        QTest::newRow("bad since") << "GET" << "/v1/activity?since=monday" << QByteArray() << json << QByteArray("*")
                                   << 400 << "invalid_request";
        QTest::newRow("malformed xml") << "POST" << "/v1/cap" << QByteArray("<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\">")
                                       << xml << QByteArray("*") << 400 << "malformed_xml";
        QTest::newRow("cap as json") << "POST" << "/v1/cap" << cap("X", "Actual", "Alert", {}) << json << QByteArray("*")
                                     << 415 << "unsupported_media_type";
        QTest::newRow("cap 1.1") << "POST" << "/v1/cap"
                                 << QByteArray("<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.1\"><identifier>a</identifier></alert>")
                                 << xml << QByteArray("*") << 422 << "unsupported_cap_version";
        QTest::newRow("atom") << "POST" << "/v1/cap" << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"/>")
                              << QByteArray("application/xml") << QByteArray("*") << 422 << "not_cap";
        QTest::newRow("xml bomb") << "POST" << "/v1/cap"
                                  << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY a \"xxxxxxxxxx\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                                                "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
                                                "<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\"><identifier>&d;</identifier></alert>")
                                  << xml << QByteArray("*") << 400 << "dtd_refused";
        QTest::newRow("external entity") << "POST" << "/v1/cap"
                                         << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/hostname\">]>"
                                                       "<alert xmlns=\"urn:oasis:names:tc:emergency:cap:1.2\"><identifier>&x;</identifier></alert>")
                                         << xml << QByteArray("*") << 400 << "dtd_refused";
        QTest::newRow("test status") << "POST" << "/v1/cap" << cap("T-1", "Test", "Alert", info("en-US", "Drill", "Extreme", "Building C"))
                                     << xml << QByteArray("*") << 422 << "test_not_allowed";
    }
    void refusals()
    {
        QFETCH(QString, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, token);
        QFETCH(int, status);
        QFETCH(QString, error);
        const int before = uploads(0) + uploads(1) + uploads(2);
        const Reply r = call(method, path, body, type, token);
        QCOMPARE(r.status, status);
        QCOMPARE(r.json.value(QStringLiteral("error")).toString(), error);
        QVERIFY(!r.json.value(QStringLiteral("text")).toString().isEmpty());
        QVERIFY(!r.body.contains("xxxxxxxxxxxxxxxxxxxx")); // nothing expanded comes back
        QCOMPARE(uploads(0) + uploads(1) + uploads(2), before);
        if (status == 401) {
            // Logged, and without what was offered as the token.
            QTRY_VERIFY(serverLog().contains(QStringLiteral("401 ")));
            QVERIFY(!serverLog().contains(QString(64, u'a')));
        }
    }

    void bodyRefusedBeforeItIsRead()
    {
        // Only the headers go out: the answer must come without a byte of the body.
        QTcpSocket s;
        s.connectToHost(kServer, kPort);
        QVERIFY(s.waitForConnected(5000));
        s.write("POST /v1/cap HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + m_token
                + "\r\nContent-Type: application/cap+xml\r\nContent-Length: 10000000\r\n\r\n");
        QVERIFY(s.waitForReadyRead(5000));
        QByteArray answer = s.readAll();
        QVERIFY2(answer.startsWith("HTTP/1.1 413"), answer.constData());
        QTRY_VERIFY_WITH_TIMEOUT(s.state() == QAbstractSocket::UnconnectedState || (answer += s.readAll()).contains("body_too_large"), 5000);
        // A chunked body cannot be measured first: refused as well.
        QTcpSocket c;
        c.connectToHost(kServer, kPort);
        QVERIFY(c.waitForConnected(5000));
        c.write("POST /v1/alerts HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + m_token
                + "\r\nTransfer-Encoding: chunked\r\n\r\n");
        QVERIFY(c.waitForReadyRead(5000));
        QVERIFY(c.readAll().startsWith("HTTP/1.1 411"));
    }

    void connectionLimit()
    {
        // 64 clients that send a request line slowly, a byte at a time, hold every
        // connection the service serves; a 65th waits, unread, until one of them leaves.
        std::vector<std::unique_ptr<QTcpSocket>> slow;
        const QByteArray line = "GET /v1/health HTTP/1.1\r\n";
        qsizetype sent = 0;
        QElapsedTimer drip;
        drip.start();
        auto keepAlive = [&] {
            if (drip.elapsed() < 1000 || sent >= line.size())
                return;
            for (auto &s : slow) {
                s->write(line.mid(sent, 1));
                s->flush();
            }
            ++sent;
            drip.restart();
        };
        for (int i = 0; i < 64; ++i) {
            slow.push_back(std::make_unique<QTcpSocket>());
            slow.back()->connectToHost(kServer, kPort);
            QVERIFY(slow.back()->waitForConnected(5000));
            slow.back()->write(line.left(sent));
            slow.back()->flush();
            keepAlive();
        }
        QTcpSocket waiting;
        waiting.connectToHost(kServer, kPort);
        QVERIFY(waiting.waitForConnected(5000));
        waiting.write("GET /v1/health HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + m_token + "\r\n\r\n");
        for (int i = 0; i < 6; ++i) {
            QVERIFY(!waiting.waitForReadyRead(500));
            keepAlive();
        }
        slow.front()->abort();
        QTRY_VERIFY_WITH_TIMEOUT(waiting.bytesAvailable() > 0 || (keepAlive(), false), 5000);
        QVERIFY(waiting.readAll().startsWith("HTTP/1.1 200"));
    }

    void idleConnectionClosed()
    {
        QTcpSocket idle;
        idle.connectToHost(kServer, kPort);
        QVERIFY(idle.waitForConnected(5000));
        QElapsedTimer t;
        t.start();
        QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QAbstractSocket::UnconnectedState, 15000);
        QVERIFY(t.elapsed() > 3000);
    }

    void tls()
    {
        QTemporaryDir dir;
        const QString cert = dir.filePath(QStringLiteral("cert.pem")), key = dir.filePath(QStringLiteral("key.pem"));
        const ProcessRun made = runProcess(QStringLiteral("openssl"),
                                           {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                                            QStringLiteral("-nodes"), QStringLiteral("-subj"), QStringLiteral("/CN=127.105.1.101"),
                                            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-keyout"), key,
                                            QStringLiteral("-out"), cert});
        if (made.exit != 0)
            QSKIP("openssl cannot make a test certificate here");
        QProcess https;
        https.setProgram(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-server"));
        https.setArguments({QStringLiteral("--home"), m_home.path(), QStringLiteral("--listen"), QStringLiteral("127.105.1.101:19721"),
                            QStringLiteral("--tls-cert"), cert, QStringLiteral("--tls-key"), key});
        https.start();
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += https.readAllStandardError()).contains("https://127.105.1.101:19721"), 20000);
        auto curl = [&](const QStringList &extra) {
            return runProcess(QStringLiteral("curl"), QStringList{QStringLiteral("-s"), QStringLiteral("-k"), QStringLiteral("-H"),
                                                                  QStringLiteral("Authorization: Bearer ") + QString::fromLatin1(m_token)}
                                                          + extra);
        };
        const ProcessRun ok = curl({QStringLiteral("https://127.105.1.101:19721/v1/health")});
        QVERIFY2(ok.out.contains("\"ok\""), ok.err.constData());
        QVERIFY(curl({QStringLiteral("--tls-max"), QStringLiteral("1.1"), QStringLiteral("https://127.105.1.101:19721/v1/health")}).exit != 0);
        QVERIFY(!curl({QStringLiteral("http://127.105.1.101:19721/v1/health")}).out.contains("\"ok\""));
        https.terminate();
        QVERIFY(https.waitForFinished(20000));
    }

    void listsWithoutPasswords()
    {
        const Reply health = call(QStringLiteral("GET"), QStringLiteral("/v1/health"));
        QCOMPARE(health.status, 200);
        QCOMPARE(health.json.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
        const Reply list = call(QStringLiteral("GET"), QStringLiteral("/v1/projectors"));
        QCOMPARE(list.status, 200);
        QCOMPARE(list.json.value(QStringLiteral("projectors")).toArray().size(), kSims);
        QVERIFY(!list.body.contains("secret"));
        const Reply groups = call(QStringLiteral("GET"), QStringLiteral("/v1/groups"));
        const QJsonArray g = groups.json.value(QStringLiteral("groups")).toArray();
        QCOMPARE(g.size(), 2);
        QCOMPARE(g.at(1)[QStringLiteral("name")].toString(), QStringLiteral("C wing"));
        QCOMPARE(g.at(1)[QStringLiteral("members")].toArray().size(), 2);
        const Reply api = call(QStringLiteral("GET"), QStringLiteral("/v1/openapi.json"));
        QCOMPARE(api.status, 200);
        QVERIFY(api.json.value(QStringLiteral("openapi")).toString().startsWith(u"3."));
        QVERIFY(api.json.value(QStringLiteral("paths")).toObject().contains(QStringLiteral("/v1/cap")));
    }

    void alertOneAtATime()
    {
        // One slow projector keeps the alert running while the second one is asked for.
        m_sims.at(2)->setAnswerDelay(1500);
        const Reply started = call(QStringLiteral("POST"), QStringLiteral("/v1/alerts"),
                                   R"({"all": true, "title": "Timetable", "text": "Room change", "template": "notice", "slot": 3})");
        QCOMPARE(started.status, 202);
        const QString id = started.json.value(QStringLiteral("alert")).toString();
        QVERIFY(!id.isEmpty());
        const Reply second = call(QStringLiteral("POST"), QStringLiteral("/v1/alerts"), R"({"all": true, "title": "a", "text": "b"})");
        QCOMPARE(second.status, 409);
        QCOMPARE(second.json.value(QStringLiteral("error")).toString(), QStringLiteral("alert_running"));
        m_sims.at(2)->setAnswerDelay(0);
        const QJsonObject done = waitForAlert(id);
        QCOMPARE(done.value(QStringLiteral("summary")).toString(), QStringLiteral("3 of 4 succeeded"));
        const QJsonArray targets = done.value(QStringLiteral("targets")).toArray();
        for (int i = 0; i < kSims; ++i) {
            const QJsonObject t = targets.at(i).toObject();
            QCOMPARE(t.value(QStringLiteral("target")).toString(), simAddress(i));
            QCOMPARE(t.value(QStringLiteral("result")).toString(),
                     i == 3 ? QStringLiteral("communication") : QStringLiteral("succeeded"));
            QCOMPARE(slotOf(i, 3).used, i != 3);
            QCOMPARE(shown(i, 3), i != 3);
        }
        QVERIFY(slotOf(0, 3).body.contains(utf16(QStringLiteral("Timetable"))));
        QCOMPARE(call(QStringLiteral("POST"), QStringLiteral("/v1/alerts/%1/cancel").arg(id)).status, 409);

        const Reply off = call(QStringLiteral("POST"), QStringLiteral("/v1/display"), R"({"groups": ["C wing"], "slot": 3, "on": false})");
        QCOMPARE(off.status, 200);
        QCOMPARE(off.json.value(QStringLiteral("succeeded")).toInt(), 2);
        QVERIFY(!shown(0, 3) && !shown(1, 3) && shown(2, 3));
        const Reply cleared = call(QStringLiteral("POST"), QStringLiteral("/v1/clear"), R"({"targets": ["127.105.1.1"], "slot": 3})");
        QVERIFY2(cleared.status == 200 && cleared.json.value(QStringLiteral("succeeded")).toInt() == 1, cleared.body.constData());
        QVERIFY(!slotOf(0, 3).used && slotOf(1, 3).used);
        const Reply failed = call(QStringLiteral("POST"), QStringLiteral("/v1/clear"), R"({"targets": ["127.105.1.4"], "slot": "all"})");
        QCOMPARE(failed.json.value(QStringLiteral("results")).toArray().at(0)[QStringLiteral("ok")].toBool(), false);
        QVERIFY(!failed.json.value(QStringLiteral("results")).toArray().at(0)[QStringLiteral("text")].toString().isEmpty());
    }

    void capLifecycle()
    {
        const QByteArray xml = "application/cap+xml";
        // An alert in two languages for Building C: the English text, on the C wing only.
        const QByteArray first = cap(QStringLiteral("F-1"), QStringLiteral("Actual"), QStringLiteral("Alert"),
                                     info(QStringLiteral("fr-CA"), QStringLiteral("Feu"), QStringLiteral("Extreme"), QStringLiteral("Building C"))
                                         + info(QStringLiteral("en-US"), QStringLiteral("Fire in C"), QStringLiteral("Extreme"), QStringLiteral("Building C")));
        const int thirdBefore = uploads(2);
        const Reply shownReply = call(QStringLiteral("POST"), QStringLiteral("/v1/cap"), first, xml);
        QCOMPARE(shownReply.status, 202);
        QCOMPARE(shownReply.json.value(QStringLiteral("template")).toString(), QStringLiteral("urgent"));
        QCOMPARE(shownReply.json.value(QStringLiteral("targets")).toInt(), 2);
        QCOMPARE(waitForAlert(shownReply.json.value(QStringLiteral("alert")).toString()).value(QStringLiteral("succeeded")).toInt(), 2);
        for (int i : {0, 1}) {
            QVERIFY(slotOf(i, 0).body.contains(utf16(QStringLiteral("Fire in C"))));
            QVERIFY(slotOf(i, 0).body.contains(utf16(QStringLiteral("Smoke on floor 2.\rLeave now."))));
            QVERIFY(shown(i, 0));
        }
        QCOMPARE(uploads(2), thirdBefore);
        const QList<QJsonObject> log = activity(QStringLiteral("F-1"));
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0).value(QStringLiteral("origin")).toString(), QStringLiteral("server"));
        QCOMPARE(log.at(0).value(QStringLiteral("phase")).toString(), QStringLiteral("Complete"));

        // The same alert again is acknowledged and not sent.
        const int before = uploads(0);
        const Reply again = call(QStringLiteral("POST"), QStringLiteral("/v1/cap"), first, xml);
        QCOMPARE(again.status, 200);
        QCOMPARE(again.json.value(QStringLiteral("reason")).toString(), QStringLiteral("already handled"));
        QCOMPARE(uploads(0), before);

        // An expired one is acknowledged with that reason.
        const Reply expired = call(QStringLiteral("POST"), QStringLiteral("/v1/cap"),
                                   cap(QStringLiteral("E-1"), QStringLiteral("Actual"), QStringLiteral("Alert"),
                                       info(QStringLiteral("en-US"), QStringLiteral("Old"), QStringLiteral("Minor"), QStringLiteral("Building C"),
                                            QStringLiteral("<expires>2020-01-01T00:00:00-00:00</expires>"))), xml);
        QCOMPARE(expired.status, 200);
        QVERIFY(expired.json.value(QStringLiteral("reason")).toString().startsWith(u"expired"));
        QCOMPARE(uploads(0), before);

        // An update replaces the message on the same projectors and slot.
        const QString ref = QStringLiteral("fire-panel@example.org,F-1,2026-12-08T09:00:00-00:00");
        const Reply update = call(QStringLiteral("POST"), QStringLiteral("/v1/cap"),
                                  cap(QStringLiteral("F-2"), QStringLiteral("Actual"), QStringLiteral("Update"),
                                      info(QStringLiteral("en-US"), QStringLiteral("Fire out"), QStringLiteral("Minor"), QStringLiteral("Nowhere")), ref), xml);
        QCOMPARE(update.status, 202);
        QCOMPARE(update.json.value(QStringLiteral("template")).toString(), QStringLiteral("banner"));
        waitForAlert(update.json.value(QStringLiteral("alert")).toString());
        for (int i : {0, 1})
            QVERIFY(slotOf(i, 0).body.contains(utf16(QStringLiteral("Fire out"))));
        QCOMPARE(uploads(2), thirdBefore);

        // A cancel switches it off and clears the slot.
        const Reply cancel = call(QStringLiteral("POST"), QStringLiteral("/v1/cap"),
                                  cap(QStringLiteral("F-3"), QStringLiteral("Actual"), QStringLiteral("Cancel"), {},
                                      QStringLiteral("fire-panel@example.org,F-2,2026-12-08T09:00:00-00:00")), xml);
        QCOMPARE(cancel.status, 200);
        QCOMPARE(cancel.json.value(QStringLiteral("succeeded")).toInt(), 2);
        for (int i : {0, 1}) {
            QVERIFY(!slotOf(i, 0).used);
            QVERIFY(!shown(i, 0));
        }
        QCOMPARE(activity(QStringLiteral("F-3")).size(), 2);
        QTRY_VERIFY(serverLog().contains(u"CAP F-1 from fire-panel@example.org: already handled"));
    }

    void activitySince()
    {
        const QJsonArray all = call(QStringLiteral("GET"), QStringLiteral("/v1/activity")).json.value(QStringLiteral("records")).toArray();
        QVERIFY(all.size() >= 8);
        const QString last = all.last()[QStringLiteral("time")].toString();
        const QJsonArray since = call(QStringLiteral("GET"), QStringLiteral("/v1/activity?since=") + last).json.value(QStringLiteral("records")).toArray();
        QVERIFY(!since.isEmpty() && since.size() < all.size());
    }
};

QTEST_GUILESS_MAIN(TestServerApi)
#include "tst_server_api.moc"
