// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The part bitmaps: sizes, glyph choice, recolouring, scaling, clipping, data files.
#include "preview_test_support.h"

#include "render/preview_raster.h"

#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

constexpr QRgb Grey = 0xFFC0C0C0;  // half transparent, the default text area
constexpr QRgb Odd = 0xFF808080;   // neither ink nor paper: kept as it is

// 13 wide: left six columns ink, the rest paper, one odd pixel at (2, 2).
QImage splitGlyph(int height = 24)
{
    QImage g(13, height, QImage::Format_RGB32);
    g.fill(0xFF000000);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 6; ++x)
            g.setPixel(x, y, 0xFFFFFFFF);
    g.setPixel(2, 2, Odd);
    return g;
}

QSet<QRgb> coloursIn(const QImage &image, const QRect &rect)
{
    QSet<QRgb> s;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            s.insert(image.pixel(x, y));
    return s;
}

} // namespace

class TestPreviewRaster : public QObject {
    Q_OBJECT

    std::unique_ptr<PreviewHome> m_home;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_home = std::make_unique<PreviewHome>(); }
    void cleanup() { m_home.reset(); }

    void bitmapSizes_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("titleSize");
        QTest::addColumn<QSize>("messageSize");

        const QString t = QStringLiteral("T");
        // "a\rb\rc": three lines, 5 characters of 12 as the Scroll row draws them.
        QTest::newRow("scroll") << 0 << 0 << t << QSize(1000, 24) << QSize(1000 + 14 + 60, 24);
        QTest::newRow("scroll double") << 0 << 1 << t << QSize(1000, 48) << QSize(1000 + 28 + 120, 48);
        QTest::newRow("box") << 1 << 0 << t << QSize(640, 24) << QSize(640, 72);
        QTest::newRow("box double") << 1 << 1 << t << QSize(640, 48) << QSize(640, 144);
        QTest::newRow("pop on") << 2 << 0 << t << QSize(640, 24) << QSize(640, 12 * 24);
        QTest::newRow("pop on, no title") << 2 << 0 << QString() << QSize(640, 24) << QSize(640, 13 * 24);
        QTest::newRow("pop on double") << 2 << 1 << t << QSize(640, 48) << QSize(640, 5 * 48);
        QTest::newRow("pop on double, no title") << 2 << 1 << QString() << QSize(640, 48) << QSize(640, 6 * 48);
        QTest::newRow("picture side") << 3 << 0 << t << QSize(214, 24) << QSize(214, 3 * 24 + 576);
        QTest::newRow("picture side asked double") << 3 << 1 << t << QSize(214, 24) << QSize(214, 3 * 24 + 576);
    }
    void bitmapSizes()
    {
        QFETCH(int, style);
        QFETCH(int, fontSize);
        QFETCH(QString, title);
        QFETCH(QSize, titleSize);
        QFETCH(QSize, messageSize);
        CurrentMessage m = makeMessage(style, QStringLiteral("a\rb\rc"), title);
        m.options.fontSize = quint8(fontSize);
        const PreviewModel model = modelOf(m);
        const GlyphSet glyphs = m_home->glyphs();
        QCOMPARE(RenderPreviewPart(model, glyphs, 0, 0).bitmap.size(), titleSize);
        QCOMPARE(RenderPreviewPart(model, glyphs, 1, 0).bitmap.size(), messageSize);
        QCOMPARE(RenderPreviewPart(model, glyphs, 1, 0).bitmap.format(), QImage::Format_RGB32);
    }

    void scrollRowShowsEveryCharacter()
    {
        // Line breaks draw as spaces and count in the width: the last character is not cut.
        const PreviewModel model = modelOf(makeMessage(0, QStringLiteral("ab\rcd\ref"), {}, colours(Red, BlackRgb)));
        const RenderedPart part = RenderPreviewPart(model, m_home->glyphs(), 1, 0);
        QCOMPARE(part.textWidth, 7 * 12 + 10); // 'f' is 10 wide
        QCOMPARE(part.bitmap.width(), 1000 + 14 + 94);
        QCOMPARE(part.bitmap.pixel(999, 5), Grey);           // a window of blank first
        QCOMPARE(part.bitmap.pixel(1000, 5), argb(Red));
        QCOMPARE(part.bitmap.pixel(1000 + 93, 23), argb(Red)); // 'f', bottom row too
        QCOMPARE(part.bitmap.pixel(1000 + 94, 5), Grey);       // the tail
        QCOMPARE(part.linesBeforeMark, -1);
    }

    void recolouring_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("fontSize");
        QTest::newRow("box") << 1 << 0;
        QTest::newRow("box double") << 1 << 1;
        QTest::newRow("scroll") << 0 << 0;
        QTest::newRow("picture side") << 3 << 0;
    }
    void recolouring()
    {
        QFETCH(int, style);
        QFETCH(int, fontSize);
        writeGlyph(m_home->path(), 'A', splitGlyph());
        CurrentMessage m = makeMessage(style, QStringLiteral("A \r"), {}, colours(Red, Green));
        m.options.fontSize = quint8(fontSize);
        const PreviewModel model = modelOf(m);
        const RenderedPart part = RenderPreviewPart(model, GlyphSet::load(), 1, 0);
        const int s = model.scale();
        const bool lineStyle = style != 0;
        const int x0 = lineStyle ? 0 : 1000;
        const QImage &b = part.bitmap;
        // Ink takes the character colour, paper the character background, odd pixels stay.
        QCOMPARE(b.pixel(x0, 0), argb(Red));
        QCOMPARE(b.pixel(x0 + 7 * s, 0), argb(Green));
        for (int dy = 0; dy < s; ++dy)
            for (int dx = 0; dx < s; ++dx)
                QCOMPARE(b.pixel(x0 + 2 * s + dx, 2 * s + dy), Odd);
        // Duplicated, never smoothed: only these colours anywhere in the glyph cell.
        QSet<QRgb> expected{argb(Red), argb(Green), Odd};
        if (lineStyle)
            expected.insert(Grey);
        QCOMPARE(coloursIn(b, QRect(x0, 0, 13 * s, 24 * s)), expected);
        // The bottom row's ink is background in the line styles.
        QCOMPARE(b.pixel(x0, 24 * s - 1), lineStyle ? Grey : argb(Red));
        QCOMPARE(b.pixel(x0 + 7 * s, 24 * s - 1), argb(Green));
        // A space is inked in the character colour; a line end's ink is background.
        const int tabX = x0 + 13 * s;
        const int endX = tabX + 12 * s;
        QCOMPARE(b.pixel(tabX, 0), argb(Red));
        QCOMPARE(b.pixel(endX, 0), lineStyle ? Grey : argb(Red));
    }

    void glyphChoice()
    {
        // Control rules look at the whole code; other characters use their low byte, none
        // below 0x20.
        const PreviewModel model = modelOf(makeMessage(1, QStringLiteral("a\u00BCb\u010Ac\u4E00d\u0141\u001B")));
        const PartAdvances adv = measurePart(model, m_home->glyphs(), 1);
        QCOMPARE(model.messageLines.size(), 1);
        QCOMPARE(adv.widths.at(0), (QList<int>{12, 13, 12, 0, 12, 0, 12, 13, 0}));
        QCOMPARE(adv.marks.at(0), false);

        QCOMPARE(chooseGlyph(0x25BC, PreviewStyle::Box).pageMark, true);
        QCOMPARE(chooseGlyph(0x25BC, PreviewStyle::Scroll).code, 0x20);
        QCOMPARE(chooseGlyph(0x00BC, PreviewStyle::Box).pageMark, false);
        QCOMPARE(chooseGlyph(0x000A, PreviewStyle::PopOn).lineEnd, true);
        QCOMPARE(chooseGlyph(0x000C, PreviewStyle::Scroll).lineEnd, false);
        QCOMPARE(chooseGlyph(0x0000, PreviewStyle::Box).code, -1);
    }

    void pageMarkStopsTheRendering()
    {
        const PreviewModel model = modelOf(makeMessage(1, QStringLiteral("x\ry\u25BC\rz"), {}, colours(Red, BlackRgb)));
        const GlyphSet glyphs = m_home->glyphs();
        const RenderedPart first = RenderPreviewPart(model, glyphs, 1, 0);
        QCOMPARE(first.linesBeforeMark, 1);
        QCOMPARE(first.bitmap.pixel(0, 24 + 5), argb(Red)); // 'y' before the mark is drawn
        QCOMPARE(first.bitmap.pixel(13, 24 + 5), Grey);     // the mark is not
        QCOMPARE(first.bitmap.pixel(0, 48 + 5), Grey);      // nor the page after it
        const RenderedPart second = RenderPreviewPart(model, glyphs, 1, 2);
        QCOMPARE(second.linesBeforeMark, -1);
        QCOMPARE(second.bitmap.pixel(0, 5), argb(Red)); // 'z' on the first row
        const PartAdvances adv = measurePart(model, glyphs, 1);
        QCOMPARE(adv.markLineFrom(0), 1);
        QCOMPARE(adv.markLineFrom(2), -1);
        QCOMPARE(adv.widths.at(1), (QList<int>{13, 0, 0}));
    }

    void missingDataDrawsNothing()
    {
        QFile::remove(m_home->path() + QStringLiteral("/mfont/") + GlyphSet::glyphFileName('b'));
        QFile::remove(m_home->path() + QStringLiteral("/micon/") + GlyphSet::iconFileName(2));
        const GlyphSet glyphs = GlyphSet::load();
        QCOMPARE(glyphs.missingGlyphs(), 1);
        QCOMPARE(glyphs.missingIcons(), 1);
        CurrentMessage m = makeMessage(1, QStringLiteral("abc"), QStringLiteral("a"), colours(Red, BlackRgb));
        m.icon = 2;
        const PreviewModel model = modelOf(m);
        QCOMPARE(measurePart(model, glyphs, 1).widths.at(0), (QList<int>{12, 0, 12}));
        const QImage title = RenderPreviewPart(model, glyphs, 0, 0).bitmap;
        QCOMPARE(title.pixel(0, 0), argb(Red)); // no icon, no room for it

        // An empty folder in the home: everything is missing, the preview still renders.
        QDir(m_home->path() + QStringLiteral("/mfont")).removeRecursively();
        QDir(m_home->path()).mkdir(QStringLiteral("mfont"));
        const GlyphSet none = GlyphSet::load();
        QCOMPARE(none.missingGlyphs(), GlyphSet::GlyphCount);
        const RenderedPart part = RenderPreviewPart(model, none, 1, 0);
        QCOMPARE(coloursIn(part.bitmap, part.bitmap.rect()), QSet<QRgb>{Grey});
    }

    void titleIcon()
    {
        CurrentMessage m = makeMessage(1, QStringLiteral("x"), QStringLiteral("a"), colours(Red, BlackRgb));
        m.icon = 1;
        for (int size : {0, 1}) {
            m.options.fontSize = quint8(size);
            const QImage title = RenderPreviewPart(modelOf(m), m_home->glyphs(), 0, 0).bitmap;
            const int s = size + 1;
            QCOMPARE(title.pixel(0, 0), 0xFFFF00FFu);
            QCOMPARE(title.pixel(24 * s - 1, 24 * s - 1), 0xFFFF00FFu);
            QCOMPARE(title.pixel(24 * s, 0), argb(Red));
        }
    }

    void drawingIsClipped()
    {
        // A glyph taller than the line stays in its row; lines beyond the bitmap are dropped.
        QImage tall(13, 40, QImage::Format_RGB32);
        tall.fill(0xFFFFFFFF);
        writeGlyph(m_home->path(), 'T', tall);
        const GlyphSet glyphs = GlyphSet::load();
        const PreviewModel box = modelOf(makeMessage(1, QStringLiteral("T\r\r"), {}, colours(Red, BlackRgb)));
        const QImage b = RenderPreviewPart(box, glyphs, 1, 0).bitmap;
        QCOMPARE(b.pixel(0, 23), argb(Red)); // scaled rows keep no bottom-row rule past 24
        QCOMPARE(b.pixel(0, 30), Grey);
        const PreviewModel popOn = modelOf(makeMessage(2, QString(40, u'\r')));
        QCOMPARE(RenderPreviewPart(popOn, glyphs, 1, 0).bitmap.height(), 13 * 24);

        QImage target(10, 10, QImage::Format_RGB32);
        target.fill(0xFF000000);
        QImage source(4, 4, QImage::Format_RGB32);
        source.fill(0xFFFFFFFF);
        // Half the source lies outside its bitmap, half the destination outside the clip.
        copyClipped(target, QPoint(2, 2), source, QRect(2, 0, 4, 4), QRect(0, 0, 5, 10), 0xFF0000FF);
        QCOMPARE(target.pixel(2, 2), 0xFFFFFFFFu);
        QCOMPARE(target.pixel(3, 2), 0xFFFFFFFFu);
        QCOMPARE(target.pixel(4, 2), 0xFF0000FFu); // no source: background
        QCOMPARE(target.pixel(5, 2), 0xFF000000u); // outside the clip: untouched
        copyClipped(target, QPoint(-50, 8), source, source.rect(), target.rect(), 0xFF00FF00);
        QCOMPARE(target.pixel(0, 8), 0xFF000000u);
    }

    void bitmapFiles()
    {
        const PreviewModel model = modelOf(makeMessage(1, QStringLiteral("ab"), {}, colours(Red, BlackRgb)));
        const QImage bitmap = RenderPreviewPart(model, m_home->glyphs(), 1, 0).bitmap;
        const QString path = previewBitmapPath(1);
        QCOMPARE(path, m_home->path() + QStringLiteral("/message.bmp"));
        QVERIFY(writePreviewBitmap(bitmap, path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray header = f.read(30);
        QCOMPARE(header.left(2), QByteArray("BM"));
        QCOMPARE(int(quint8(header.at(28))), 24); // 24 bits per pixel
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), bitmap);
        // Nowhere to write: refused, and the file already there stays.
        QVERIFY(!writePreviewBitmap(bitmap, m_home->path() + QStringLiteral("/none/message.bmp")));
    }

    void shippedData()
    {
        // The data built into the program: 224 glyphs of the table widths, 24 high, pure
        // white on pure black with a clear bottom row; five 24 x 24 icons.
        const GlyphSet shipped = GlyphSet::loadFrom(QStringLiteral(":/glintcaster/mfont"),
                                                    QStringLiteral(":/glintcaster/micon"));
        QCOMPARE(shipped.missingGlyphs(), 0);
        QCOMPARE(shipped.missingIcons(), 0);
        int inked = 0;
        for (int c = GlyphSet::FirstCode; c < GlyphSet::FirstCode + GlyphSet::GlyphCount; ++c) {
            const QImage &g = shipped.glyph(c);
            QCOMPARE(g.size(), QSize(BasicWidthTable::width(char16_t(c)), 24));
            const QSet<QRgb> all = coloursIn(g, g.rect());
            QVERIFY2((all - QSet<QRgb>{0xFF000000, 0xFFFFFFFF}).isEmpty(), qPrintable(GlyphSet::glyphFileName(c)));
            QCOMPARE(coloursIn(g, QRect(0, 23, g.width(), 1)), QSet<QRgb>{0xFF000000});
            inked += all.contains(0xFFFFFFFF) ? 1 : 0;
        }
        QVERIFY(inked > 180); // letters, digits and symbols have ink
        for (int i = 1; i <= GlyphSet::IconCount; ++i)
            QCOMPARE(shipped.icon(i).size(), QSize(24, 24));
        // The committed files are those the program carries.
        QDirIterator it(QStringLiteral(GLINTCASTER_SOURCE_DIR "/resources/mfont"), {QStringLiteral("*.bmp")});
        int files = 0;
        for (; it.hasNext(); it.next())
            ++files;
        QCOMPARE(files, GlyphSet::GlyphCount);
    }

    void lookupOrder()
    {
        // The home's folder first, else the installed one, else the built-in copy.
        QCOMPARE(GlyphSet::findDataDir(QStringLiteral("mfont")), m_home->path() + QStringLiteral("/mfont"));
        QDir(m_home->path() + QStringLiteral("/micon")).removeRecursively();
        const QString installed = AppHome::installedDataDir() + QStringLiteral("/micon");
        QCOMPARE(GlyphSet::findDataDir(QStringLiteral("micon")),
                 QFileInfo(installed).isDir() ? installed : QStringLiteral(":/glintcaster/micon"));
    }
};

QTEST_GUILESS_MAIN(TestPreviewRaster)
#include "tst_preview_raster.moc"
