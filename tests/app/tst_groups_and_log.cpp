// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Projector groups in "Groups.ini" beside "LastPj.txt", the quick-message templates, and the
// activity log written by two processes at once.
#include "app/activity_log.h"
#include "app/message_templates.h"
#include "app/projector_groups.h"
#include "base/message_table.h"
#include "base/prompter.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace glintcaster;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

quint32 ip(const char *text)
{
    quint32 v = 0;
    parseIpv4(QString::fromLatin1(text), &v);
    return v;
}

} // namespace

class TestGroupsAndLog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_lastPj;

    ProjectorStore store()
    {
        ProjectorStore s(m_lastPj);
        s.LoadRegisteredProjectors();
        return s;
    }

private slots:
    void initTestCase()
    {
        MessageTable::setLanguage(Language::English);
        m_lastPj = m_dir.filePath(QStringLiteral("LastPj.txt"));
        ProjectorStore s(m_lastPj);
        ScriptedPrompter p;
        for (const char *a : {"10.0.0.1", "10.0.0.2", "10.0.0.3"})
            QVERIFY(s.addProjector({QStringLiteral("Room"), ip(a), true, QStringLiteral("secret"), {}}, p));
    }

    // Edits round trip through the file, never touch "LastPj.txt", and keep the rules.
    void roundTrip()
    {
        const QByteArray before = readAll(m_lastPj);
        ProjectorGroups g(ProjectorGroups::fileBeside(m_lastPj));
        const ProjectorStore s = store();
        QString error;
        QVERIFY(g.create(QStringLiteral("East wing"), &error));
        QVERIFY(g.create(QStringLiteral("Hall"), &error));
        QVERIFY(g.addMembers(QStringLiteral("east WING"), {ip("10.0.0.2"), ip("10.0.0.1"), ip("10.0.0.2")}, s, &error));
        QVERIFY(g.rename(QStringLiteral("Hall"), QStringLiteral("Main hall"), &error));
        QVERIFY(g.addMembers(QStringLiteral("Main hall"), {ip("10.0.0.3")}, s, &error));
        // Refusals leave the file as it was.
        const QByteArray groupsBefore = readAll(g.filePath());
        struct Refusal {
            std::function<bool(QString *)> change;
        };
        const QList<Refusal> refusals{
            {[&](QString *e) { return g.create(QStringLiteral("all"), e); }},
            {[&](QString *e) { return g.create(QStringLiteral("main HALL"), e); }},
            {[&](QString *e) { return g.create(QStringLiteral("a]b"), e); }},
            {[&](QString *e) { return g.create(QStringLiteral(" pad"), e); }},
            {[&](QString *e) { return g.rename(QStringLiteral("East wing"), QStringLiteral("Main hall"), e); }},
            {[&](QString *e) { return g.remove(QStringLiteral("All"), e); }},
            {[&](QString *e) { return g.addMembers(QStringLiteral("Main hall"), {ip("10.0.0.9")}, s, e); }},
            {[&](QString *e) { return g.removeMembers(QStringLiteral("Main hall"), {ip("10.0.0.1")}, e); }},
        };
        for (const Refusal &r : refusals) {
            QString e;
            QVERIFY(!r.change(&e));
            QVERIFY(!e.isEmpty());
        }
        QCOMPARE(readAll(g.filePath()), groupsBefore);
        MessageTable::setLanguage(Language::Japanese); // the window shows these as they are
        QString japanese;
        QVERIFY(!g.create(QStringLiteral("all"), &japanese));
        MessageTable::setLanguage(Language::English);
        QCOMPARE(japanese, QStringLiteral("「All」はすべてのプロジェクターの組み込みグループです"));

        ProjectorGroups reread(g.filePath());
        QVERIFY(reread.load());
        QCOMPARE(reread.groups(), (QList<ProjectorGroup>{{QStringLiteral("East wing"), {ip("10.0.0.2"), ip("10.0.0.1")}},
                                                         {QStringLiteral("Main hall"), {ip("10.0.0.3")}}}));
        QCOMPARE(reread.names().first(), QStringLiteral("All"));
        QList<ProjectorEntry> members;
        QVERIFY(reread.resolve(QStringLiteral("ALL"), s, &members));
        QCOMPARE(members.size(), 3);
        QCOMPARE(QFileInfo(g.filePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFileDevice::Permissions());
        QCOMPARE(readAll(m_lastPj), before);

        // A projector removed from the list leaves its groups in the same operation.
        ProjectorStore changing = store();
        QVERIFY(changing.removeProjector(changing.indexOfIp(ip("10.0.0.2"))));
        QVERIFY(reread.load());
        QCOMPARE(reread.groups().at(0).members, QList<quint32>{ip("10.0.0.1")});
        ScriptedPrompter p;
        QVERIFY(changing.addProjector({QStringLiteral("Room"), ip("10.0.0.2"), true, QStringLiteral("secret"), {}}, p));
    }

    // A groups file we cannot read is reported, and no change ever overwrites it.
    void unreadableFileUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("member no address") << QByteArray("[A]\r\nNUM=1\r\nPJ1=10.0.0.300\r\n");
        QTest::newRow("missing NUM") << QByteArray("[A]\r\nPJ1=10.0.0.1\r\n");
        QTest::newRow("binary") << QByteArray("\0\1\2[A]", 6);
        QTest::newRow("section named All") << QByteArray("[all]\r\nNUM=0\r\n");
    }
    void unreadableFileUntouched()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Groups.ini"));
        writeAll(path, bytes);
        ProjectorGroups g(path);
        QVERIFY(!g.load());
        QVERIFY(g.problemText().contains(QStringLiteral("left as it is")));
        QString error;
        QVERIFY(!g.create(QStringLiteral("B"), &error));
        QVERIFY(!g.forgetProjector(ip("10.0.0.1"), &error));
        QCOMPARE(readAll(path), bytes);
    }

    // Shipped templates are written once; pouring keeps the template's options and the
    // colours of its first characters.
    void templates()
    {
        QTemporaryDir dir;
        QVERIFY(MessageTemplates::installShipped(dir.path()));
        QCOMPARE(MessageTemplates::names(dir.path()), (QStringList{QStringLiteral("banner"), QStringLiteral("notice"), QStringLiteral("urgent")}));
        CurrentMessage m;
        QString error;
        QVERIFY(MessageTemplates::pour(MessageTemplates::pathOf(dir.path(), QStringLiteral("urgent")),
                                       QStringLiteral("Fire drill"), QStringLiteral("Leave now\nUse the stairs"), &m, &error));
        CurrentMessage shipped;
        QVERIFY(MessageTemplates::shipped(QStringLiteral("urgent"), &shipped));
        QCOMPARE(m.options.style, quint8(1));
        QCOMPARE(m.options.alarmSound, shipped.options.alarmSound);
        QCOMPARE(m.title().plainText(), QStringLiteral("Fire drill"));
        QCOMPARE(m.body().plainText(), QStringLiteral("Leave now\rUse the stairs"));
        for (const RichChar &c : m.title().chars())
            QCOMPARE(c.format.colour, rgbForColour(ColourCode::Red));
        QVERIFY(!MessageTemplates::pour(MessageTemplates::pathOf(dir.path(), QStringLiteral("none")),
                                        QStringLiteral("t"), QStringLiteral("b"), &m, &error));
    }

    // Two processes append at once, through a rotation: every line arrives whole.
    void logFromTwoProcesses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Activity.log"));
        constexpr int kLines = 1500; // 2 x 1500 x ~4 KiB passes the rotation size once
        const QString padding(4000, u'x');
        QList<pid_t> children;
        for (int writer = 0; writer < 2; ++writer) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ActivityLog log(path);
                for (int n = 0; n < kLines; ++n) {
                    ActivityRecord r;
                    r.origin = QStringLiteral("cli");
                    r.operation = QStringLiteral("send");
                    r.title = padding;
                    r.result = QStringLiteral("%1/%2").arg(writer).arg(n);
                    if (!log.append(r))
                        ::_exit(1);
                }
                ::_exit(0);
            }
            children << pid;
        }
        for (pid_t pid : children) {
            int status = 0;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".1")));
        QVERIFY(QFileInfo(path).size() <= ActivityLog::kRotateBytes);
        int skipped = -1;
        const QList<ActivityRecord> records = ActivityLog(path).read({}, 0, &skipped);
        QCOMPARE(skipped, 0);
        QCOMPARE(records.size(), 2 * kLines);
        QList<int> next{0, 0};
        for (const ActivityRecord &r : records) {
            const QStringList parts = r.result.split(u'/');
            const int writer = parts.at(0).toInt();
            QCOMPARE(parts.at(1).toInt(), next[writer]++); // each writer's lines in order
            QCOMPARE(r.title.size(), padding.size());
            QVERIFY(r.time.isValid() && !r.user.isEmpty());
        }
        // Reading since a time leaves out what came before.
        QCOMPARE(ActivityLog(path).read(QDateTime::currentDateTimeUtc().addSecs(60)).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGroupsAndLog)
#include "tst_groups_and_log.moc"
