// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/all_at_once.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

using namespace glintcaster;

class TestAllAtOnce : public QObject {
    Q_OBJECT
private slots:
    // Every task runs exactly once; with no bound below the count they all run at the same
    // time (each waits until all have started), with a bound never more than it.
    void everyTaskOnceAndAtTheSameTime_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("atOnce");
        QTest::newRow("all at once") << 300 << 300;
        QTest::newRow("bounded") << 50 << 3;
        QTest::newRow("one") << 1 << 8;
    }

    void everyTaskOnceAndAtTheSameTime()
    {
        QFETCH(int, count);
        QFETCH(int, atOnce);
        std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
        std::mutex mutex;
        std::condition_variable allThere;
        int running = 0, started = 0, most = 0;
        runAllAtOnce(size_t(count), [&](size_t i) {
            std::unique_lock lock(mutex);
            ++runs[i];
            most = std::max(most, ++running);
            ++started;
            allThere.notify_all();
            allThere.wait_for(lock, std::chrono::seconds(10),
                              [&] { return started >= std::min(count, atOnce); });
            --running;
        }, size_t(atOnce));
        for (const auto &r : runs)
            QCOMPARE(r.load(), 1);
        QCOMPARE(most, std::min(count, atOnce));
    }
};

QTEST_GUILESS_MAIN(TestAllAtOnce)
#include "tst_all_at_once.moc"
