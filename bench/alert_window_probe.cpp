// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The Alert tab sending to many projectors, measured from inside the window's event loop:
// a 5 ms timer ticks throughout and the largest gap between two ticks is how long the
// window stalled. Prints one JSON object: {"many_s", "one_s", "max_gap_ms", "succeeded", "total"}.
//   bench_alert_window HOME FIRST_ADDRESS COUNT [REPETITIONS]
#include "app/ini_profile.h"
#include "app/projector_store.h"
#include "base/app_home.h"
#include "base/message_table.h"
#include "gui/alert_tab/alert_run_view.h"
#include "gui/alert_tab/alert_tab.h"
#include "gui/alert_tab/group_tree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace glintcaster;

namespace {

// Up to 1024 entries are read from the list file; the window's own registration stops at
// 64, so the bench writes the file itself.
void writeList(const QString &path, quint32 first, int count)
{
    IniProfile ini(path);
    ini.setValue(QStringLiteral("RESIST NUM"), QStringLiteral("NUM"), count);
    for (int n = 1; n <= count; ++n) {
        const QString section = QStringLiteral("RESIST PROJECTOR%1").arg(n);
        ini.setValue(section, QStringLiteral("NUM"), n);
        ini.setValue(section, QStringLiteral("IP"), int(first + quint32(n - 1)));
        ini.setValue(section, QStringLiteral("ProjectorName"), QStringLiteral("Room %1").arg(n));
        ini.setValue(section, QStringLiteral("MAC"), QStringLiteral("000000000000"));
        ini.setValue(section, QStringLiteral("Auth"), 0);
        ini.setValue(section, QStringLiteral("Pass"), QString());
    }
    ini.save();
}

struct Run {
    double seconds = 0;
    double maxGapMs = 0;
    int succeeded = 0;
    double sendCallMs = 0; ///< the click itself: checks, reading the template, starting
};

Run send(AlertTab &tab, const QList<quint32> &targets)
{
    for (quint32 a : tab.tree()->checkedAddresses())
        tab.tree()->setChecked(a, false);
    for (quint32 a : targets)
        tab.tree()->setChecked(a, true);
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    double maxGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        maxGap = std::max(maxGap, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    Run r;
    QElapsedTimer call;
    call.start();
    if (!tab.send())
        return r;
    r.sendCallMs = call.nsecsElapsed() / 1e6;
    QSignalSpy done(tab.alert(), &AlertOperation::finished);
    done.wait(120000);
    r.seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();
    // The first tick waits for the timer's own interval; what counts is the loop stalling.
    r.maxGapMs = maxGap;
    r.succeeded = tab.alert()->summary().succeeded;
    return r;
}

class YesPrompter : public Prompter {
public:
    void inform(const QString &text, PromptIcon, const QString &) override
    {
        std::fprintf(stderr, "bench_alert_window: %s\n", qPrintable(text));
    }
    PromptAnswer ask(const QString &, PromptButtons buttons, PromptIcon, const QString &) override
    {
        return affirmingAnswer(buttons);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_alert_window HOME FIRST_ADDRESS COUNT [REPETITIONS]\n");
        return 2;
    }
    AppHome::setOverride(QString::fromLocal8Bit(argv[1]));
    MessageTable::setLanguage(Language::English);
    const quint32 first = QHostAddress(QString::fromLocal8Bit(argv[2])).toIPv4Address();
    const int count = QByteArray(argv[3]).toInt();
    const int repetitions = argc > 4 ? QByteArray(argv[4]).toInt() : 3;
    writeList(AppHome::lastProjectorFile(), first, count);

    ProjectorStore store = ProjectorStore::inAppHome();
    YesPrompter prompter;
    AlertTabEnvironment env;
    AlertTab tab(store, prompter, env);
    tab.resize(1100, 700);
    tab.show();
    tab.quickTitle()->setText(QStringLiteral("Drill"));
    tab.quickBody()->setPlainText(QStringLiteral("Leave by the east stairs"));

    QList<quint32> all;
    for (int n = 0; n < count; ++n)
        all << first + quint32(n);
    QList<double> ones, manys;
    double gap = 0;
    double sendCall = 0;
    int succeeded = 0;
    for (int rep = 0; rep < repetitions; ++rep) {
        const Run one = send(tab, {first});
        const Run many = send(tab, all);
        ones << one.seconds;
        manys << many.seconds;
        gap = std::max({gap, one.maxGapMs, many.maxGapMs});
        sendCall = std::max({sendCall, one.sendCallMs, many.sendCallMs});
        succeeded = rep == 0 ? many.succeeded : std::min(succeeded, many.succeeded);
    }
    std::sort(ones.begin(), ones.end());
    std::sort(manys.begin(), manys.end());
    const QJsonObject o{{QStringLiteral("one_s"), ones.at(ones.size() / 2)},
                        {QStringLiteral("many_s"), manys.at(manys.size() / 2)},
                        {QStringLiteral("max_gap_ms"), gap},
                        {QStringLiteral("send_call_ms"), sendCall},
                        {QStringLiteral("succeeded"), succeeded},
                        {QStringLiteral("total"), count}};
    std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
    return succeeded == count ? 0 : 1;
}
