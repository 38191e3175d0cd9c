// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "comm/auth_digest.h"
#include "comm/command_exchange.h"
#include "comm/slot_list_worker.h"
#include "sim/projector_sim.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>

using namespace glintcaster;
using namespace std::chrono_literals;

namespace {

const QByteArray kGreeting("Qz81!kLm-rest-ignored");

// An "INFO 0" answer in the 16-byte header form.
QByteArray inUseAnswer(int slot, int length)
{
    return QByteArray("INFO 0\r\n") + "HEADER:" + QByteArray(32, 'A') + "\r\n" + "SLOT-NO:" +
           QByteArray::number(slot, 16).toUpper() + "\r\n" + "LENGTH:" +
           QByteArray::number(length) + "\r\n";
}

// A projector's command port that answers INFO requests from a script. An empty answer
// keeps the connection open without a word.
class FakeProjector : public QTcpServer {
public:
    explicit FakeProjector(const char *address, bool greets = true) : m_greets(greets)
    {
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                serve(socket);
        });
        listen(QHostAddress(QString::fromLatin1(address)), 0);
    }

    std::function<QByteArray(int slot)> answer = [](int) { return QByteArray("INFO 1\r\n"); };
    QList<QByteArray> requests;
    QList<int> asked;

private:
    void serve(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (m_greets)
            socket->write(kGreeting);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray &pending = m_buffers[socket];
            pending += socket->readAll();
            if (!pending.endsWith("\r\n"))
                return;
            const QByteArray request = m_buffers.take(socket);
            requests.append(request);
            const qsizetype at = request.indexOf("INFO ");
            const int slot = request.mid(at + 5, request.size() - at - 7).toInt(nullptr, 16);
            asked.append(slot);
            const QByteArray reply = answer(slot);
            if (!reply.isEmpty()) {
                socket->write(reply);
                socket->disconnectFromHost();
            }
        });
    }

    bool m_greets = true;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

ProjectorEndpoint endpointOf(const QTcpServer &server, const QString &password = {})
{
    ProjectorEndpoint endpoint;
    endpoint.address = server.serverAddress().toIPv4Address();
    endpoint.port = server.serverPort();
    endpoint.password = password;
    endpoint.authentication = 1;
    return endpoint;
}

// Short waits so a silent projector is given up on quickly.
ExchangeTimings quickTimings()
{
    ExchangeTimings timings = slotListTimings();
    timings.greetingWait = 300ms;
    timings.answerCheck = 20ms;
    timings.answerSleep = 20ms;
    timings.answerChecks = 5;
    return timings;
}

QStringList rows(const SlotListSession &session)
{
    QStringList texts;
    for (int row = 0; row < kSlotCount; ++row)
        texts.append(session.slotText(row));
    return texts;
}

} // namespace

class TestSlotList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void answersAreClassifiedByTheirFirstEightBytes()
    {
        using namespace SlotListMessage;
        QCOMPARE(slotMessageForAnswer("INFO 0\r\n"), SlotInUse);
        QCOMPARE(slotMessageForAnswer("INFO 0\r\nmore data"), SlotInUse);
        QCOMPARE(slotMessageForAnswer("INFO 1\r\n"), SlotNotUsed);
        QCOMPARE(slotMessageForAnswer("INFO 2\r\n"), SlotSaving);
        QCOMPARE(slotMessageForAnswer("INFO 3\r\n"), SlotBusy);
        QCOMPARE(slotMessageForAnswer("INFO 8\r\n"), SlotTimeOut);
        QCOMPARE(slotMessageForAnswer("INFO 9\r\n"), SlotError);
        for (const char *other : {"INFO 7\r\n", "INFO 1\n", "INFO 1", "info 1\r\n", "", "CTRL 0\r\n"})
            QCOMPARE(slotMessageForAnswer(other), SlotUnrecognised);
        QCOMPARE(slotStatusWord(SlotInUse), QStringLiteral("in use"));
        QCOMPARE(slotStatusWord(SlotBusy), QStringLiteral("PROJECTOR busy"));
        QCOMPARE(slotStatusWord(SlotUnrecognised), QString());
        QCOMPARE(slotRowLabel(0), QStringLiteral("Quick"));
        QCOMPARE(slotRowLabel(12), QStringLiteral("12"));
        QCOMPARE(slotListFailureText(), QStringLiteral("Communication error\n : [Connection error]"));

        const ExchangeTimings timings = slotListTimings();
        QCOMPARE(timings.answerChecks, 601);
        QCOMPARE(timings.answerCheck, std::chrono::microseconds(1000000));
        QCOMPARE(timings.answerSleep, std::chrono::milliseconds(500));
        QCOMPARE(timings.greetingWait, std::chrono::milliseconds(1000));
    }

    void descriptionIsReadFromAnInUseAnswer()
    {
        const SlotDescription d = parseSlotDescription(inUseAnswer(0xB, 1234));
        QCOMPARE(d.header, QByteArray(32, 'A'));
        QCOMPARE(d.slotCharacter, 'B');
        QCOMPARE(d.length, 1234);
        // A truncated answer gives what is there and no more.
        const SlotDescription cut = parseSlotDescription(QByteArray("INFO 0\r\nHEADER:AB"));
        QCOMPARE(cut.header, QByteArray("AB"));
        QCOMPARE(cut.slotCharacter, '\0');
        QCOMPARE(cut.length, 0);
    }

    void oneStoredMessageFillsTheRowsFromTheTop()
    {
        FakeProjector projector("127.0.51.1");
        projector.answer = [](int slot) {
            return slot == 3 ? inUseAnswer(3, 480) : QByteArray("INFO 1\r\n");
        };
        SlotListSession session(endpointOf(projector, QStringLiteral("pw")), quickTimings());
        QSignalSpy changed(&session, &SlotListSession::rowsChanged);
        QSignalSpy failed(&session, &SlotListSession::failed);
        QSignalSpy ended(&session, &SlotListSession::listEnded);
        session.start();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
        QCOMPARE(changed.size(), kSlotCount);

        for (int slot = 0; slot < kSlotCount; ++slot)
            QCOMPARE(changed.at(slot).at(0).toInt(), slot);
        QStringList expected(kSlotCount, QStringLiteral("not used"));
        expected[3] = QStringLiteral("in use");
        QCOMPARE(rows(session), expected);
        QCOMPARE(failed.size(), 0);
        QVERIFY(session.slotDescription(3));
        QCOMPARE(session.slotDescription(3)->length, 480);
        QVERIFY(!session.slotDescription(4));

        // Every request is the greeting's digest followed directly by the slot in hex.
        QCOMPARE(projector.requests.size(), kSlotCount);
        const QByteArray digest = authDigest(kGreeting, QStringLiteral("pw"));
        QCOMPARE(projector.requests.at(12), digest + "INFO C\r\n");
        QCOMPARE(projector.requests.at(0), digest + "INFO 0\r\n");
    }

    void listsTheSubstituteProjectorsSlots()
    {
        ProjectorSim sim(QHostAddress(QStringLiteral("127.0.51.8")));
        sim.setPassword(QStringLiteral("secret"));
        const QByteArray header = QByteArray::fromHex("0102030405060708090A0B0C0D0E0F10");
        sim.setSlot(3, header, QByteArray(100, 'x'));
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));

        ProjectorEndpoint endpoint;
        endpoint.address = sim.address().toIPv4Address();
        endpoint.password = QStringLiteral("secret");
        SlotListSession session(endpoint, quickTimings());
        QSignalSpy changed(&session, &SlotListSession::rowsChanged);
        QSignalSpy failed(&session, &SlotListSession::failed);
        session.start();
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), kSlotCount, 10000);
        QCOMPARE(failed.size(), 0);
        QStringList expected(kSlotCount, QStringLiteral("not used"));
        expected[3] = QStringLiteral("in use");
        QCOMPARE(rows(session), expected);
        const auto description = session.slotDescription(3);
        QVERIFY(description);
        QCOMPARE(description->header, header.toHex().toUpper());
        QCOMPARE(description->slotCharacter, '3');
        QCOMPARE(description->length, 100);
        for (const SimRequest &request : sim.requests())
            QVERIFY(request.authenticated);
    }

    void unrecognisedAnswerLeavesTheRowEmptyAndGoesOn()
    {
        FakeProjector projector("127.0.51.2");
        projector.answer = [](int slot) {
            return slot == 2 ? QByteArray("INFO 7\r\n") : QByteArray("INFO 9\r\n");
        };
        SlotListSession session(endpointOf(projector), quickTimings());
        QSignalSpy changed(&session, &SlotListSession::rowsChanged);
        session.start();
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), kSlotCount, 10000);
        QCOMPARE(session.slotText(2), QString());
        QCOMPARE(session.slotText(3), QStringLiteral("error"));
        QCOMPARE(projector.asked.mid(2, 2), (QList<int>{2, 3}));
    }

    // A projector without a password never greets: after the greeting wait each slot is
    // asked with the bare command, as every other command does.
    void listWithoutAGreetingFillsItsRows()
    {
        FakeProjector projector("127.102.3.1", /*greets=*/false);
        projector.answer = [](int slot) { return slot == 2 ? inUseAnswer(2, 77) : QByteArray("INFO 1\r\n"); };
        SlotListSession session(endpointOf(projector), quickTimings());
        QSignalSpy failed(&session, &SlotListSession::failed);
        QSignalSpy ended(&session, &SlotListSession::listEnded);
        session.start();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
        QCOMPARE(failed.size(), 0);
        QStringList expected(kSlotCount, QStringLiteral("not used"));
        expected[2] = QStringLiteral("in use");
        QCOMPARE(rows(session), expected);
        QCOMPARE(projector.requests.value(12), QByteArray("INFO C\r\n"));
    }

    void refusedConnectionFailsTheList()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress(QStringLiteral("127.0.51.4")), 0));
        const ProjectorEndpoint endpoint = endpointOf(closed);
        closed.close();
        SlotListSession session(endpoint, quickTimings());
        QSignalSpy failed(&session, &SlotListSession::failed);
        session.start();
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(session.failureCode(), 12);
        QCOMPARE(session.resultText(), slotListFailureText());
    }

    void silentAnswerStopsTheListAtThatSlot()
    {
        FakeProjector projector("127.0.51.5");
        projector.answer = [](int slot) {
            return slot == 4 ? QByteArray() : QByteArray("INFO 1\r\n");
        };
        SlotListSession session(endpointOf(projector), quickTimings());
        QSignalSpy changed(&session, &SlotListSession::rowsChanged);
        QSignalSpy failed(&session, &SlotListSession::failed);
        session.start();
        // A slot without an answer fails the list: empty rows must not look like a result.
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(session.failureCode(), int(NoAnswer));
        QCOMPARE(changed.size(), 4);
        QCOMPARE(session.slotText(3), QStringLiteral("not used"));
        for (int row = 4; row < kSlotCount; ++row)
            QCOMPARE(session.slotText(row), QString());
        QCOMPARE(projector.asked.last(), 4);
    }

    void closingTheListFreezesItsRows()
    {
        FakeProjector projector("127.0.51.6");
        projector.answer = [](int slot) {
            return slot == 5 ? QByteArray() : QByteArray("INFO 1\r\n");
        };
        // The real answer wait (about 15 minutes) would keep asking; closing must end it.
        ExchangeTimings timings = slotListTimings();
        timings.greetingWait = 300ms;
        auto session = std::make_unique<SlotListSession>(endpointOf(projector), timings);
        QSignalSpy changed(session.get(), &SlotListSession::rowsChanged);
        QSignalSpy failed(session.get(), &SlotListSession::failed);
        QSignalSpy ended(session.get(), &SlotListSession::listEnded);
        session->start();
        QTRY_VERIFY(projector.asked.contains(5));
        const QStringList before = rows(*session);
        const qsizetype changesBefore = changed.size();
        session->close();
        QTest::qWait(200);
        QCOMPARE(rows(*session), before);
        QCOMPARE(changed.size(), changesBefore);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(ended.size(), 0);
        QCOMPARE(projector.asked.last(), 5);
        // Destroying the closed list does not wait for the projector.
        QElapsedTimer clock;
        clock.start();
        session.reset();
        QVERIFY(clock.elapsed() < 500);
    }
};

QTEST_MAIN(TestSlotList)
#include "tst_slot_list.moc"
