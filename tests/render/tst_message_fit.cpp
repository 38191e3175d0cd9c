// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Cutting a long import to what a projector takes: where the title and the body are cut.
#include "base/prompter.h"
#include "render/message_fit.h"
#include "render/payload_encoder.h"

#include <QtTest>

using namespace glintcaster;

namespace {

bool passes(const RichText &body, bool extended)
{
    CurrentMessage m;
    m.setBody(body);
    ScriptedPrompter prompter;
    PayloadContext context;
    context.prompter = &prompter;
    context.capabilities = TargetCapabilities::fixed(true, false, extended);
    return BuildPayload(m, PayloadPurpose::SaveToFile, context) == 0;
}

} // namespace

class TestMessageFit : public QObject {
    Q_OBJECT

private slots:
    void bodyIsCutWhereTheEncodingStopsFitting_data()
    {
        QTest::addColumn<RichText>("body");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("kept"); // UTF-16 units
        QTest::addColumn<int>("cut");
        // 128 + 6 + 2 x 1916 + 2 = 3968 bytes.
        QTest::newRow("basic set, Latin") << RichText(QString(3000, u'x')) << false << 1916 << 1084;
        QTest::newRow("extended set, Japanese") << RichText(QString(2500, QChar(0x4F1A))) << true << 1916 << 584;
        QTest::newRow("never half a surrogate pair")
            << RichText(QString(1915, u'x') + QString::fromUcs4(U"\U0001F600") + QString(9, u'y')) << true
            << 1915 << 10;
        QTest::newRow("no empty lines left at the end")
            << RichText(QString(1910, u'x') + QString(10, u'\r') + QString(5, u'y')) << false << 1910 << 15;
        QTest::newRow("fits already") << RichText(QStringLiteral("short\r")) << false << 6 << 0;
    }
    void bodyIsCutWhereTheEncodingStopsFitting()
    {
        QFETCH(RichText, body);
        QFETCH(bool, extended);
        QFETCH(int, kept);
        QFETCH(int, cut);
        CurrentMessage m;
        m.setBody(body);
        const FitResult fit = fitMessage(m, TargetCapabilities::fixed(true, false, extended));
        QVERIFY(passes(m.body(), extended));
        QCOMPARE(m.body().chars(), body.chars().mid(0, kept));
        QCOMPARE(fit.bodyCut, cut);
    }

    void titleIsCutToItsLimit_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QString>("kept");
        const QString fifty = QString(50, u't');
        QTest::newRow("basic set") << fifty << false << 0 << QString(40, u't');
        QTest::newRow("extended set") << fifty << true << 0 << QString(20, u't');
        QTest::newRow("double size") << fifty << false << 1 << QString(10, u't');
        QTest::newRow("surrogate pair on the limit")
            << QString(19, u't') + QString::fromUcs4(U"\U0001F600") << true << 0 << QString(19, u't');
    }
    void titleIsCutToItsLimit()
    {
        QFETCH(QString, title);
        QFETCH(bool, extended);
        QFETCH(int, fontSize);
        QFETCH(QString, kept);
        CurrentMessage m;
        m.options.fontSize = quint8(fontSize);
        m.setTitle(RichText(title));
        m.setBody(RichText(QStringLiteral("body")));
        const FitResult fit = fitMessage(m, TargetCapabilities::fixed(true, false, extended));
        QCOMPARE(m.title().plainText(), kept);
        QCOMPARE(fit.titleCut, int(title.toUcs4().size() - kept.size()));
        QCOMPARE(m.body().plainText(), QStringLiteral("body"));
    }
};

QTEST_MAIN(TestMessageFit)
#include "tst_message_fit.moc"
