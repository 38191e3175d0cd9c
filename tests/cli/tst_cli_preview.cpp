// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// glintcaster-cli preview: what it writes, what it reports and how it ends.
#include "../render/preview_test_support.h"

#include "message/message_file.h"
#include "render/preview_animation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace glintcaster;
using namespace glintcaster::testing;

namespace {

struct Run {
    int exit = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QString &home, QStringList args)
{
    QProcess p;
    args << QStringLiteral("--home") << home << QStringLiteral("--lang") << QStringLiteral("en");
    p.start(QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"), args);
    p.closeWriteChannel();
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exit = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString writeMessage(const QString &dir, const QString &name, const CurrentMessage &m)
{
    const QString path = dir + u'/' + name;
    MessageFileContext ctx;
    if (writeMessageFile(path, m, false, ctx) != MessageFileStatus::Ok)
        return {};
    return path;
}

} // namespace

class TestCliPreview : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_files;

    QString file(int style, const QString &body, const QString &title = QStringLiteral("T"),
                 const std::function<void(CurrentMessage &)> &tweak = {})
    {
        CurrentMessage m = makeMessage(style, body, title, colours(Red, BlackRgb));
        if (tweak)
            tweak(m);
        static int n = 0;
        return writeMessage(m_files.path(), QStringLiteral("m%1.glc").arg(++n), m);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        writeTestGlyphs(m_home.path());
    }

    void reportsAndWrites_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QJsonArray>("title");
        QTest::addColumn<QJsonArray>("message");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QJsonValue>("closeTick");
        // "ab\u25BC\rcd": two lines; Scroll draws the mark and its break as spaces.
        QTest::newRow("scroll") << 0 << "Scroll" << QSize(1000, 300) << QJsonArray{1000, 24}
                                << QJsonArray{1000 + 14 + 72, 24} << 1 << QJsonValue(QJsonValue::Null);
        QTest::newRow("box") << 1 << "Box" << QSize(740, 600) << QJsonArray{640, 24}
                             << QJsonArray{640, 48} << 2 << QJsonValue(QJsonValue::Null);
        QTest::newRow("pop on") << 2 << "Pop on" << QSize(740, 600) << QJsonArray{640, 24}
                                << QJsonArray{640, 288} << 2 << QJsonValue(1824);
        QTest::newRow("picture side") << 3 << "Picture Side" << QSize(1000, 560) << QJsonArray{214, 24}
                                      << QJsonArray{214, 48 + 576} << 2 << QJsonValue(QJsonValue::Null);
    }
    void reportsAndWrites()
    {
        QFETCH(int, style);
        QFETCH(QString, name);
        QFETCH(QSize, client);
        QFETCH(QJsonArray, title);
        QFETCH(QJsonArray, message);
        QFETCH(int, pages);
        QFETCH(QJsonValue, closeTick);
        const QString in = file(style, QStringLiteral("ab\u25BC\rcd"), QStringLiteral("T"), [style](CurrentMessage &m) {
            // An unset time is stored as 0xFF, which reads back as 127 min 30 s.
            m.options.displayMinutes = 0;
            m.options.displayHalfMinute = style == 2 ? 1 : 0;
        });
        const QString out = m_files.filePath(QStringLiteral("out.png"));
        const Run r = cli(m_home.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out, QStringLiteral("--json")});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("style")).toString(), name);
        QCOMPARE(o.value(QStringLiteral("title")).toArray(), title);
        QCOMPARE(o.value(QStringLiteral("message")).toArray(), message);
        QCOMPARE(o.value(QStringLiteral("titleLines")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("messageLines")).toInt(), 2);
        QCOMPARE(o.value(QStringLiteral("pages")).toInt(), pages);
        QCOMPARE(o.value(QStringLiteral("closeTick")), closeTick);
        QCOMPARE(QImage(out).size(), client);
        QCOMPARE(QImage(m_home.filePath(QStringLiteral("message.bmp"))).size(),
                 QSize(message.at(0).toInt(), message.at(1).toInt()));
    }

    void drawsTheWindowsFrames()
    {
        // The frame after N ticks is the one the window shows after N timer ticks.
        const QString in = file(1, QStringLiteral("first line\rsecond\u25BC\rthird"));
        CurrentMessage m;
        QCOMPARE(readMessageFile(in, m, MessageFileContext()), MessageFileStatus::Ok);
        AppHome::setOverride(m_home.path());
        PreviewAnimation reference(buildPreviewModel(m, true, false), GlyphSet::load());
        AppHome::setOverride(QString());
        reference.open();
        for (int ticks : {0, 7, 40}) {
            while (reference.ticks() < ticks)
                reference.tick(qint64(reference.ticks() + 1) * 8);
            const QString out = m_files.filePath(QStringLiteral("frame%1.png").arg(ticks));
            const Run r = cli(m_home.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out,
                                              QStringLiteral("--tick"), QString::number(ticks)});
            QCOMPARE(r.exit, 0);
            QCOMPARE(QImage(out).convertToFormat(QImage::Format_RGB32), reference.frame());
        }
    }

    void scrollCountAndDisplayMode()
    {
        const QString in = file(0, QStringLiteral("abc"), QStringLiteral("T"), [](CurrentMessage &m) {
            m.options.scrollCount = 2;
            m.options.scrollSpeed = 0;
        });
        const QString out = m_files.filePath(QStringLiteral("s.png"));
        Run r = cli(m_home.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out, QStringLiteral("--json"),
                                    QStringLiteral("--tick"), QStringLiteral("5000")});
        QCOMPARE(r.exit, 0);
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("closeTick")).toInt(),
                 1 + 2 * ((1000 + 36) / 2 + 1));
        QCOMPARE(QImage(out).pixel(500, 5), 0xFFC0C0C0u); // the text area, half transparent

        r = cli(m_home.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out,
                                QStringLiteral("--character-display-mode")});
        QCOMPARE(r.exit, 0);
        QCOMPARE(QImage(out).pixel(500, 5), 0xFF0000FFu); // transparent: the picture shows
    }

    void refusals()
    {
        const QString good = file(1, QStringLiteral("x"));
        const QString out = m_files.filePath(QStringLiteral("r.png"));
        struct Case {
            QStringList args;
            int exit;
            const char *err;
        };
        const QList<Case> cases = {
            {{good, QStringLiteral("-o"), out, QStringLiteral("--tick"), QStringLiteral("-1")}, 2, ""},
            {{good, QStringLiteral("-o"), out, QStringLiteral("--tick=-1")}, 2, "--tick"},
            {{good, QStringLiteral("-o"), out, QStringLiteral("--tick"), QStringLiteral("abc")}, 2, "--tick"},
            {{good, QStringLiteral("-o"), out, QStringLiteral("--tick"), QStringLiteral("1.5")}, 2, "--tick"},
            {{good}, 2, ""},
            {{file(1, QString()), QStringLiteral("-o"), out}, 1, "Please input Message"},
            {{m_files.filePath(QStringLiteral("none.glc")), QStringLiteral("-o"), out}, 1, "none.glc"},
            {{good, QStringLiteral("-o"), m_files.filePath(QStringLiteral("no/dir.png"))}, 1, "dir.png"},
        };
        for (const Case &c : cases) {
            const Run r = cli(m_home.path(), QStringList{QStringLiteral("preview")} + c.args);
            QVERIFY2(r.exit == c.exit, qPrintable(c.args.join(u' ') + QStringLiteral(" -> %1").arg(r.exit)));
            QVERIFY2(r.err.contains(c.err), r.err.constData());
        }
        QVERIFY(!QFile::exists(out));
    }

    void missingDataAndReadOnlyBitmaps()
    {
        const QString in = file(1, QStringLiteral("abc"));
        const QString reference = m_files.filePath(QStringLiteral("ref.png"));
        QCOMPARE(cli(m_home.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), reference,
                                     QStringLiteral("--tick"), QStringLiteral("9")}).exit, 0);

        // The bitmap files cannot be written (folders stand in their way): the frame is
        // drawn from memory all the same.
        QTemporaryDir blocked;
        writeTestGlyphs(blocked.path());
        QDir(blocked.path()).mkdir(QStringLiteral("message.bmp"));
        QDir(blocked.path()).mkdir(QStringLiteral("title.bmp"));
        const QString out = m_files.filePath(QStringLiteral("blocked.png"));
        Run r = cli(blocked.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out,
                                     QStringLiteral("--tick"), QStringLiteral("9")});
        QCOMPARE(r.exit, 0);
        QVERIFY(r.err.contains("cannot write"));
        QCOMPARE(QImage(out), QImage(reference));

        // No glyphs at all: a warning, and still a preview.
        QTemporaryDir empty;
        QDir(empty.path()).mkdir(QStringLiteral("mfont"));
        r = cli(empty.path(), {QStringLiteral("preview"), in, QStringLiteral("-o"), out});
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.err.contains("224 of 224 glyph files missing"), r.err.constData());
        QCOMPARE(QImage(out).size(), QSize(740, 600));
    }
};

QTEST_GUILESS_MAIN(TestCliPreview)
#include "tst_cli_preview.moc"
