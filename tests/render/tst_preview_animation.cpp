// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The preview's geometry and animation, tick by tick on a virtual clock.
#include "preview_test_support.h"

#include "render/preview_animation.h"

#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

constexpr QRgb Grey = 0xFFC0C0C0;
constexpr QRgb ScreenBlue = 0xFF0000FF;

// Runs the animation up to tick `k`, tick i at i intervals after opening.
void runTo(PreviewAnimation &a, int k)
{
    while (a.ticks() < k && !a.isClosed())
        a.tick(qint64(a.ticks() + 1) * a.geometry().intervalMs);
}

bool uniform(const QImage &image, const QRect &rect, QRgb colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

class TestPreviewAnimation : public QObject {
    Q_OBJECT

    std::unique_ptr<PreviewHome> m_home;

    PreviewAnimation opened(const CurrentMessage &m)
    {
        PreviewAnimation a(modelOf(m), m_home->glyphs());
        a.open();
        return a;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_home = std::make_unique<PreviewHome>();
    }
    void cleanupTestCase() { m_home.reset(); }

    void geometry_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("vpos");
        QTest::addColumn<int>("hpos");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("title");
        QTest::addColumn<int>("titlePos");
        QTest::addColumn<int>("titleWidth");
        QTest::addColumn<QRect>("textArea");
        QTest::addColumn<QPoint>("messageOrigin");
        QTest::addColumn<QPoint>("titleAt");
        QTest::addColumn<QRect>("strip");

        const QRect none;
        QTest::newRow("scroll top") << 0 << 0 << 0 << 0 << true << 0 << 12
                                    << QRect(0, 0, 1000, 48) << QPoint(0, 24) << QPoint(12, 0) << none;
        QTest::newRow("scroll middle") << 0 << 1 << 0 << 0 << true << 1 << 12
                                       << QRect(0, 101, 1000, 48) << QPoint(0, 125) << QPoint(494, 101) << none;
        QTest::newRow("scroll middle, no title") << 0 << 1 << 0 << 0 << false << 0 << 0
                                                 << QRect(0, 125, 1000, 24) << QPoint(0, 125) << QPoint(12, 125) << none;
        QTest::newRow("scroll bottom double") << 0 << 2 << 0 << 1 << true << 2 << 24
                                              << QRect(0, 194, 1000, 96) << QPoint(0, 242) << QPoint(952, 194) << none;
        QTest::newRow("scroll bottom, no title") << 0 << 2 << 0 << 0 << false << 0 << 0
                                                 << QRect(0, 266, 1000, 24) << QPoint(0, 266) << QPoint(12, 266) << none;
        QTest::newRow("box middle centred") << 1 << 1 << 0 << 0 << true << 1 << 36
                                            << QRect(50, 122, 640, 336) << QPoint(62, 146) << QPoint(352, 122) << none;
        QTest::newRow("box bottom right") << 1 << 2 << 0 << 0 << true << 2 << 12
                                          << QRect(50, 254, 640, 336) << QPoint(62, 278) << QPoint(666, 254) << none;
        QTest::newRow("box title wider than the area") << 1 << 0 << 0 << 0 << true << 2 << 700
                                                       << QRect(50, 0, 640, 336) << QPoint(62, 24) << QPoint(62, 0) << none;
        QTest::newRow("pop on double, no title") << 2 << 0 << 0 << 1 << false << 0 << 0
                                                 << QRect(50, 0, 640, 336) << QPoint(74, 0) << QPoint(74, 0) << none;
        QTest::newRow("picture side left") << 3 << 1 << 0 << 0 << true << 1 << 12
                                           << QRect(0, 0, 214, 576) << QPoint(0, 24) << QPoint(0, 0)
                                           << QRect(214, 0, 42, 576);
        QTest::newRow("picture side right") << 3 << 2 << 2 << 0 << true << 0 << 12
                                            << QRect(786, 0, 214, 576) << QPoint(786, 24) << QPoint(786, 0)
                                            << QRect(744, 0, 42, 576);
    }
    void geometry()
    {
        QFETCH(int, style);
        QFETCH(int, vpos);
        QFETCH(int, hpos);
        QFETCH(int, size);
        QFETCH(bool, title);
        QFETCH(int, titlePos);
        QFETCH(int, titleWidth);
        QFETCH(QRect, textArea);
        QFETCH(QPoint, messageOrigin);
        QFETCH(QPoint, titleAt);
        QFETCH(QRect, strip);
        CurrentMessage m = makeMessage(style, QStringLiteral("x"), title ? QStringLiteral("T") : QString());
        m.options.verticalPosition = quint8(vpos);
        m.options.horizontalPosition = quint8(hpos);
        m.options.fontSize = quint8(size);
        m.options.titlePosition = quint8(titlePos);
        const PreviewGeometry g = previewGeometry(modelOf(m), titleWidth);
        static const QSize clients[] = {{1000, 300}, {740, 600}, {740, 600}, {1000, 560}};
        QCOMPARE(g.client, clients[style]);
        QCOMPARE(g.textArea, textArea);
        QCOMPARE(g.messageOrigin, messageOrigin);
        QCOMPARE(g.titleAt, titleAt);
        QCOMPARE(g.blackStrip, strip);
        QVERIFY(g.textArea.contains(g.messageArea) || style == 3); // the panel is cut by the client
        QCOMPARE(g.intervalMs, style == 1 || style == 3 ? 8 : 17);
    }

    void openingFrame()
    {
        CurrentMessage m = makeMessage(3, QStringLiteral("x"), QStringLiteral("T"), colours(Red, BlackRgb));
        m.options.horizontalPosition = 2;
        PreviewAnimation a = opened(m);
        const QImage &f = a.frame();
        QCOMPARE(f.size(), QSize(1000, 560));
        QCOMPARE(f.pixel(100, 100), ScreenBlue);
        QCOMPARE(f.pixel(744, 10), 0xFF000000u);
        QCOMPARE(f.pixel(785, 559), 0xFF000000u);
        QCOMPARE(f.pixel(786, 0), argb(Red));    // the title
        QCOMPARE(f.pixel(786, 30), Grey);        // the message is typed later
        QCOMPARE(f.pixel(999, 559), Grey);
        runTo(a, 1); // arming only
        QCOMPARE(a.frame(), f);
        runTo(a, 2);
        QCOMPARE(a.frame().pixel(786, 30), argb(Red));
    }

    void scrollCloses_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("step");
        for (int speed : {0, 1, 2})
            for (int count : {1, 2})
                QTest::addRow("speed %d, %d passes", speed, count) << speed << count << speed + 2;
        QTest::newRow("odd speed is standard") << 9 << 1 << 3;
    }
    void scrollCloses()
    {
        QFETCH(int, speed);
        QFETCH(int, count);
        QFETCH(int, step);
        CurrentMessage m = makeMessage(0, QStringLiteral("abc"), {}, colours(Red, BlackRgb));
        m.options.scrollSpeed = quint8(speed);
        m.options.scrollCount = quint8(count);
        PreviewAnimation a = opened(m);
        // A pass ends once the offset passes the window and the 36-pixel message.
        const int perPass = (1000 + 36) / step + 1;
        const int expected = 1 + count * perPass;
        QCOMPARE(a.closeTick(), std::optional<int>(expected));
        runTo(a, 2);
        QCOMPARE(a.frame().pixel(1000 - step, 24 / 2), argb(Red)); // entering from the right
        QCOMPARE(a.frame().pixel(1000 - step - 1, 24 / 2), Grey);
        runTo(a, expected - 1);
        QVERIFY(!a.isClosed());
        QCOMPARE(a.scrollPasses(), count - 1);
        runTo(a, expected);
        QVERIFY(a.isClosed());
        QVERIFY(!a.tick(1'000'000));
        QCOMPARE(a.ticks(), expected);
    }

    void scrollEndless()
    {
        PreviewAnimation a = opened(makeMessage(0, QStringLiteral("abc")));
        QCOMPARE(a.closeTick(), std::nullopt);
        runTo(a, 3000);
        QVERIFY(!a.isClosed());
        QVERIFY(a.scrollPasses() >= 8);
    }

    void popOnBlinks()
    {
        CurrentMessage m = makeMessage(2, QStringLiteral("ab"), QStringLiteral("T"), colours(Red, BlackRgb));
        m.options.blink = 1;
        PreviewAnimation a = opened(m);
        const QPoint text(62, 24);
        const QPoint title(62, 0);
        a.tick(17); // arms
        struct Step { qint64 ms; bool shown; };
        // Four seconds shown, then one second of blue, then again.
        for (const Step &s : {Step{34, true}, Step{3999, true}, Step{4000, false}, Step{4999, false},
                              Step{5000, true}, Step{8999, true}, Step{9000, false}, Step{10000, true}}) {
            a.tick(s.ms);
            QCOMPARE(a.frame().pixel(text), s.shown ? argb(Red) : ScreenBlue);
            QCOMPARE(a.frame().pixel(title), s.shown ? argb(Red) : ScreenBlue);
        }
        QVERIFY(!a.isClosed());
    }

    void displayTime_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("half");
        QTest::addColumn<int>("closeTick"); // -1: never
        // Closed once the whole seconds passed exceed the display time.
        QTest::newRow("pop on 30 s") << 2 << 0 << 1 << 1824;       // 1824 x 17 ms >= 31 s
        QTest::newRow("pop on 1 min") << 2 << 1 << 0 << 3589;      // 61 s
        QTest::newRow("pop on no limit") << 2 << 0 << 0 << -1;
        QTest::newRow("pop on unset") << 2 << 255 << 255 << -1;
        QTest::newRow("box holding 30 s") << 1 << 0 << 1 << 3875;  // 3875 x 8 ms = 31 s
        QTest::newRow("box no limit") << 1 << 0 << 0 << -1;
        QTest::newRow("picture side unset") << 3 << 255 << 255 << -1;
    }
    void displayTime()
    {
        QFETCH(int, style);
        QFETCH(int, minutes);
        QFETCH(int, half);
        QFETCH(int, closeTick);
        CurrentMessage m = makeMessage(style, QStringLiteral("ab"));
        m.options.displayMinutes = quint8(minutes);
        m.options.displayHalfMinute = quint8(half);
        PreviewAnimation a = opened(m);
        const std::optional<int> expected = closeTick < 0 ? std::nullopt : std::optional<int>(closeTick);
        QCOMPARE(a.closeTick(), expected);
        if (closeTick > 0) {
            runTo(a, closeTick - 1);
            QVERIFY(!a.isClosed());
            runTo(a, closeTick);
            QVERIFY(a.isClosed());
        }
    }

    void boxTypesThenHolds()
    {
        PreviewAnimation a = opened(makeMessage(1, QStringLiteral("ab"), {}, colours(Red, BlackRgb)));
        const QPoint a0(62, 5), b0(62 + 12, 5);
        runTo(a, 2);
        QCOMPARE(a.frame().pixel(a0), argb(Red));
        QCOMPARE(a.frame().pixel(b0), Grey);
        runTo(a, 3);
        QCOMPARE(a.frame().pixel(b0), argb(Red));
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Typing);
        runTo(a, 4); // a line of n characters takes n + 1 ticks
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Holding);
        const QImage held = a.frame();
        runTo(a, 500);
        QCOMPARE(a.frame(), held);
    }

    void boxScrollsFurtherLinesIn()
    {
        // 14 lines under a title: 12 are typed, the rest scroll in from the bottom, then the
        // text scrolls out and the pass starts over.
        QString body;
        for (int i = 0; i < 13; ++i)
            body += QStringLiteral("a\r");
        body += u'b';
        CurrentMessage m = makeMessage(1, body, QStringLiteral("T"), colours(Red, BlackRgb));
        PreviewAnimation a = opened(m);
        const QRect area = a.geometry().messageArea;
        QCOMPARE(area, QRect(50, 24, 640, 288));
        const QPoint bottomLeft(62, area.bottom());
        runTo(a, 37); // 12 lines of 2 characters: 3 ticks each
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Scrolling);
        QCOMPARE(a.frame().pixel(62, 24 + 11 * 24 + 5), argb(Red)); // line 12 typed
        QCOMPARE(a.frame().pixel(bottomLeft), Grey);
        QCOMPARE(a.frame().pixel(62, 24 + 22), argb(Red));
        runTo(a, 38); // one pixel up: the top row of line 13 appears at the bottom
        QCOMPARE(a.frame().pixel(bottomLeft), argb(Red));
        QCOMPARE(a.frame().pixel(62, 24 + 22), Grey); // the clear bottom row of line 1
        runTo(a, 61);
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Typing);
        runTo(a, 376);
        QVERIFY(!uniform(a.frame(), area, Grey)); // the top row of 'b' still shows
        runTo(a, 378); // the last line has left: a new pass
        QVERIFY(uniform(a.frame(), area, Grey));
        runTo(a, 379);
        QCOMPARE(a.frame().pixel(62, 29), argb(Red));

        m.options.displayMinutes = 0;
        m.options.displayHalfMinute = 1;
        PreviewAnimation timed = opened(m);
        // 30 s have passed at the end of the 11th pass (11 x 377 ticks of 8 ms).
        QCOMPARE(timed.closeTick(), std::optional<int>(1 + 11 * 377));
    }

    void boxPageFeed()
    {
        CurrentMessage m = makeMessage(1, QString());
        RichText body;
        body.append(QStringLiteral("a\u25BC\r"), colours(Red, BlackRgb));
        body.append(QStringLiteral("b"), colours(Green, BlackRgb));
        m.setBody(body);
        PreviewAnimation a(modelOf(m), m_home->glyphs());
        QList<int> rendered;
        a.setRenderSink([&rendered](int part, const QImage &) { rendered << part; });
        a.open();
        QCOMPARE(rendered, (QList<int>{0, 1}));
        QCOMPARE(a.pages(), 2);
        QCOMPARE(a.messageBitmapSize(), QSize(640, 48));
        const QRect area = a.geometry().messageArea;
        const QPoint first(62, 5);
        runTo(a, 5); // 'a', the mark, its break, the line end
        QCOMPARE(a.frame().pixel(first), argb(Red));
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Scrolling);
        runTo(a, 27);
        QCOMPARE(a.frame().pixel(62, 0), argb(Red)); // 22 pixels up, not yet gone
        QCOMPARE(a.frame().pixel(62, 1), Grey);
        runTo(a, 29); // a line up: the page is cleared and rendered from the next line
        QVERIFY(uniform(a.frame(), area, Grey));
        QCOMPARE(rendered, (QList<int>{0, 1, 1}));
        runTo(a, 30);
        QCOMPARE(a.frame().pixel(first), argb(Green));
        // Every line fits one page: the last page holds until the display time is up.
        runTo(a, 200);
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Holding);
        QCOMPARE(a.frame().pixel(first), argb(Green));
        QCOMPARE(rendered, (QList<int>{0, 1, 1}));
    }

    void singlePageWithTrailingMarkHolds()
    {
        PreviewAnimation a = opened(makeMessage(3, QStringLiteral("ab\u25BC\r"), {}, colours(Red, BlackRgb)));
        QCOMPARE(a.pages(), 1);
        runTo(a, 6);
        QCOMPARE(a.phase(), PreviewAnimation::Phase::Holding);
        QCOMPARE(a.frame().pixel(0, 5), argb(Red));
    }
};

QTEST_GUILESS_MAIN(TestPreviewAnimation)
#include "tst_preview_animation.moc"
