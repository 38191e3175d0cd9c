// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/preview_raster.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;

// The preview's "title.bmp" and "message.bmp" are written by our own BMP writer; they must
// be the very bytes QImage's writer gives for the 24-bit bitmap.
class TestBitmapFile : public QObject {
    Q_OBJECT
private slots:
    void sameBytesAsQImage_data()
    {
        QTest::addColumn<QImage>("image");
        QRandomGenerator random(17);
        const QList<QSize> sizes = {{1, 1}, {2, 3}, {3, 2}, {4, 4}, {5, 7}, {640, 9}, {1001, 2}};
        const QList<QImage::Format> formats = {QImage::Format_RGB32, QImage::Format_RGB888,
                                               QImage::Format_ARGB32,
                                               QImage::Format_ARGB32_Premultiplied,
                                               QImage::Format_Grayscale8};
        for (const QImage::Format format : formats) {
            for (const QSize size : sizes) {
                QImage argb(size, QImage::Format_ARGB32);
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x)
                        argb.setPixel(x, y, random.generate());
                QImage image = argb.convertToFormat(format);
                if (size.width() == 5) { // a resolution of its own goes into the header
                    image.setDotsPerMeterX(3780);
                    image.setDotsPerMeterY(1181);
                }
                QTest::addRow("%d %dx%d", int(format), size.width(), size.height()) << image;
            }
        }
    }
    void sameBytesAsQImage()
    {
        QFETCH(QImage, image);
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("message.bmp"));
        QVERIFY(writePreviewBitmap(image, path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written.size(), expected.size());
        QCOMPARE(written.toHex(), expected.toHex());
    }

    void refusesWhatCannotBeWritten()
    {
        QTemporaryDir dir;
        QVERIFY(!writePreviewBitmap(QImage(), dir.filePath(QStringLiteral("x.bmp"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.bmp"))));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(!writePreviewBitmap(image, dir.filePath(QStringLiteral("missing/x.bmp"))));
    }
};

QTEST_MAIN(TestBitmapFile)
#include "tst_bitmap_file.moc"
