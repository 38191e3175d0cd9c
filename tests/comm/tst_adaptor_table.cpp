// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/adaptor_table.h"

#include <QtTest>

using namespace glintcaster;

namespace {

AdaptorCandidate candidate(const char *address, const char *name, bool loopback = false)
{
    return AdaptorCandidate{QString::fromLatin1(address), QString::fromLatin1(name), loopback};
}

} // namespace

class TestAdaptorTable : public QObject {
    Q_OBJECT
private slots:
    void dottedAddressesRoundTrip()
    {
        QCOMPARE(parseDottedAddress(QStringLiteral("192.168.1.10")), 0xC0A8010Au);
        QCOMPARE(parseDottedAddress(QStringLiteral("255.255.255.255")), 0xFFFFFFFFu);
        QCOMPARE(formatDottedAddress(0xC0A8010Au), QStringLiteral("192.168.1.10"));
        QCOMPARE(formatDottedAddress(0x7F000001u), QStringLiteral("127.0.0.1"));
        for (const char *bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "a.b.c.d", "1..2.3",
                                "1.2.3.-4", "1.2.3.1000"})
            QVERIFY2(!parseDottedAddress(QString::fromLatin1(bad)), bad);
    }

    void keepsEnumerationOrderAndSkipsUnaddressedAdaptors()
    {
        const QList<AdaptorCandidate> candidates{
            candidate("10.0.0.5", "eth0"),
            candidate("0.0.0.0", "disconnected"),
            candidate("192.168.7.2", "wlan0"),
            candidate("garbage", "odd"),
        };
        const QList<AdaptorEntry> table = filterAdaptorCandidates(candidates, std::nullopt);
        QCOMPARE(table.size(), 2);
        QCOMPARE(table.at(0).address, 0x0A000005u);
        QCOMPARE(table.at(0).addressText, QStringLiteral("10.0.0.5"));
        QCOMPARE(table.at(0).name, QStringLiteral("eth0"));
        QCOMPARE(table.at(1).address, 0xC0A80702u);
        QCOMPARE(table.at(1).name, QStringLiteral("wlan0"));
    }

    void stopsAfterFifteenEntries()
    {
        QList<AdaptorCandidate> candidates;
        for (int i = 1; i <= 20; ++i)
            candidates.append(AdaptorCandidate{QStringLiteral("10.0.0.%1").arg(i),
                                               QStringLiteral("if%1").arg(i), false});
        const QList<AdaptorEntry> table = filterAdaptorCandidates(candidates, std::nullopt);
        QCOMPARE(table.size(), MaxAdaptors);
        QCOMPARE(table.last().name, QStringLiteral("if15"));
    }

    void restrictionKeepsOnlyListedAddressesLoopbackIncluded()
    {
        const QList<AdaptorCandidate> candidates{
            candidate("10.0.0.5", "eth0"),
            candidate("127.0.0.1", "lo", true),
            candidate("0.0.0.0", "down"),
        };
        // Without a restriction loopback is never offered.
        QCOMPARE(filterAdaptorCandidates(candidates, std::nullopt).size(), 1);

        const auto restriction = parseAdaptorRestriction(" 127.0.0.1 , 0.0.0.0,,", true);
        QVERIFY(restriction);
        QCOMPARE(*restriction, (QStringList{"127.0.0.1", "0.0.0.0"}));
        const QList<AdaptorEntry> table = filterAdaptorCandidates(candidates, restriction);
        QCOMPARE(table.size(), 1);
        QCOMPARE(table.at(0).address, 0x7F000001u);
        QCOMPARE(table.at(0).name, QStringLiteral("lo"));

        // A set but empty restriction means no adaptor at all, never the real ones.
        QVERIFY(filterAdaptorCandidates(candidates, parseAdaptorRestriction("", true)).isEmpty());
        QVERIFY(!parseAdaptorRestriction("127.0.0.1", false));
    }

    void buildsFromThisMachineWithinTheRestriction()
    {
        qputenv(AdaptorRestrictionVariable, "127.0.0.1");
        const QList<AdaptorEntry> table = BuildAdaptorTable();
        QCOMPARE(table.size(), 1);
        QCOMPARE(table.at(0).address, 0x7F000001u);
        QCOMPARE(table.at(0).addressText, QStringLiteral("127.0.0.1"));
        QVERIFY(!table.at(0).name.isEmpty());

        // No enumerated adaptor ever comes out as 0.0.0.0.
        qputenv(AdaptorRestrictionVariable, "0.0.0.0");
        QVERIFY(BuildAdaptorTable().isEmpty());
    }
};

QTEST_MAIN(TestAdaptorTable)
#include "tst_adaptor_table.moc"
