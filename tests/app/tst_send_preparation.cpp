// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"
#include "app/projector_operations.h"
#include "base/prompter.h"
#include "comm/job_runner.h"
#include "app/send_preparation.h"
#include "sim/projector_sim.h"

#include <QtTest>

using namespace glintcaster;

namespace {

const QString PopOnQuestion = QStringLiteral(
    "All Message may not be displayed because of too many characters in the message box. "
    "\nDo you want to proceed?");

struct Sender {
    ScriptedPrompter prompter;
    PayloadContext context;
    int uploads = 0;
    PayloadResult uploaded;
    UploadOutcome outcome{true, {}};

    explicit Sender(bool pictureSide = false)
    {
        context.prompter = &prompter;
        context.capabilities = TargetCapabilities::fixed(pictureSide, false, true);
    }
    int send(CurrentMessage &m)
    {
        return SendPreparedMessage(m, context, [this](const PayloadResult &p) {
            ++uploads;
            uploaded = p;
            return outcome;
        });
    }
};

RichText lines(int count)
{
    QStringList l;
    for (int i = 0; i < count; ++i)
        l << QStringLiteral("line %1").arg(i + 1);
    return RichText(l.join(QLatin1Char('\r')));
}

} // namespace

class TestSendPreparation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageTable::setLanguage(Language::English); }

    void uploadsWhatWasBuilt()
    {
        CurrentMessage m;
        m.setBody(RichText(QStringLiteral("hello")));
        Sender s;
        QCOMPARE(s.send(m), 0);
        QCOMPARE(s.uploads, 1);
        QCOMPARE(s.uploaded.bodyLength, 128 + 6 + 10 + 2);
        QCOMPARE(s.uploaded.body.size(), s.uploaded.bodyLength);
        QVERIFY(s.prompter.shown().isEmpty());
    }

    void uploadReachesTheProjectorByteForByte()
    {
        // The whole send path through the job runner into a substitute projector.
        const QHostAddress address(QStringLiteral("127.0.96.1"));
        ProjectorSim projector(address);
        projector.config().discoveryMulticast = false;
        QVERIFY2(projector.start(), qPrintable(projector.errorString()));
        ProjectorEndpoint target;
        target.address = address.toIPv4Address();
        target.port = projector.port();

        CurrentMessage m;
        CharFormat red = defaultCharFormat();
        red.colour = rgbForColour(ColourCode::Red);
        red.background = rgbForColour(ColourCode::Black);
        m.setBody(RichText(QStringLiteral("abc"), red));

        Sender s;
        ProjectorOperations ops(s.prompter, [](JobRecord &job) { return runJob(job); });
        const int sent = SendPreparedMessage(m, s.context, [&](const PayloadResult &p) {
            return UploadOutcome{ops.upload(target, 3, p.header.toByteArray(), p.body), {}};
        });
        QCOMPARE(sent, 0);
        QVERIFY(s.prompter.shown().isEmpty());

        const SimSlot stored = projector.slot(3);
        const QByteArray body = QByteArray::fromHex("0000") + QByteArray(126, char(0xFF)) +
                                QByteArray::fromHex("001B000100000061006200630000");
        QCOMPARE(stored.body.toHex(), body.toHex());
        // No alarm: 16 header bytes; a new Scroll message, checksum 81 3C.
        QCOMPARE(stored.header.toHex(), QByteArray("0000ff00200000000100ffffffff813c"));
    }

    void popOnLineCount_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("bodyLines");
        QTest::addColumn<bool>("asks");
        // The title's line counts too.
        QTest::newRow("13 standard") << 0 << 12 << false;
        QTest::newRow("14 standard") << 0 << 13 << true;
        QTest::newRow("6 double") << 1 << 5 << false;
        QTest::newRow("7 double") << 1 << 6 << true;
    }
    void popOnLineCount()
    {
        QFETCH(int, fontSize);
        QFETCH(int, bodyLines);
        QFETCH(bool, asks);
        CurrentMessage m;
        m.options.style = 2;
        m.options.fontSize = quint8(fontSize);
        m.setTitle(RichText(QStringLiteral("T")));
        m.setBody(lines(bodyLines));

        Sender no;
        no.prompter.script({PromptAnswer::No});
        QCOMPARE(no.send(m), asks ? 1 : 0);
        QCOMPARE(no.uploads, asks ? 0 : 1);
        QCOMPARE(no.prompter.texts(), asks ? QStringList{PopOnQuestion} : QStringList{});
        if (asks) {
            QCOMPARE(no.prompter.shown().first().buttons, PromptButtons::YesNo);
            Sender yes;
            yes.prompter.script({PromptAnswer::Yes});
            QCOMPARE(yes.send(m), 0);
            QCOMPARE(yes.uploads, 1);
        }
    }

    void popOnCountsBrokenWords()
    {
        // One word of 12 * 34 'm' fills twelve display lines although it has no space.
        CurrentMessage m;
        m.options.style = 2;
        m.setBody(RichText(QString(12 * 34, QLatin1Char('m')) + QStringLiteral("\rx\ry")));
        Sender s;
        QCOMPARE(s.send(m), 1);
        QCOMPARE(s.prompter.texts(), QStringList{PopOnQuestion});
        // Other styles never ask.
        m.options.style = 1;
        Sender box;
        QCOMPARE(box.send(m), 0);
    }

    void pictureSideNeedsTheProjector()
    {
        CurrentMessage m;
        m.options.style = 3;
        m.setBody(RichText(QStringLiteral("x")));
        Sender refused(false);
        QCOMPARE(refused.send(m), 1);
        QCOMPARE(refused.uploads, 0);
        QCOMPARE(refused.prompter.texts(),
                 QStringList{QStringLiteral(
                     "This message data is set [Picture Side] style in [Glintcaster] "
                     "function.\nThis projector does not support [Picture Side] style "
                     "data.\nPlease try to set this data as other style.")});
        Sender able(true);
        QCOMPARE(able.send(m), 0);
        QCOMPARE(able.uploaded.header[3], quint8(0));
    }

    void failuresStopBeforeOrAfterTheUpload()
    {
        CurrentMessage m;
        m.setBody(RichText(QString(1917, QLatin1Char('x'))));
        Sender tooBig;
        QCOMPARE(tooBig.send(m), 1);
        QCOMPARE(tooBig.uploads, 0);

        m.setBody(RichText(QStringLiteral("x")));
        Sender failed;
        failed.outcome = UploadOutcome{false, QStringLiteral("Projector Busy.")};
        QCOMPARE(failed.send(m), 1);
        QCOMPARE(failed.uploads, 1);
        QCOMPARE(failed.prompter.texts(), QStringList{QStringLiteral("Projector Busy.")});

        Sender noUpload;
        QCOMPARE(SendPreparedMessage(m, noUpload.context, UploadStep{}), 1);
    }
};

QTEST_MAIN(TestSendPreparation)
#include "tst_send_preparation.moc"
