// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Every projector operation of the command line against the substitute projector in each
// of its fault modes: the exit status and outcome text, an end within the operation's
// bound, no damaged or partial output file, and nothing written to "LastPj.txt".
#include "sim/projector_sim.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <memory>

using namespace glintcaster;

namespace {

QString cliPath() { return QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"); }

struct Fault {
    const char *name;
    SimFault fault;
    int code; ///< the job result code a failure reports (-1: not checked)
    int boundMs; ///< longest any operation may take
};

// Bounds: one blocking connect (21 s) for a projector that never accepts; the greeting
// wait (1 s) and the answer wait (about 12 s) for one that never answers; a few seconds
// for the rest. Every operation stops at its first failure.
const Fault kFaults[] = {
    {"none", SimFault::None, -1, 15000},
    {"silent", SimFault::Silent, 17, 17000},
    {"close-on-accept", SimFault::CloseOnAccept, 14, 6000},
    {"close-after-request", SimFault::CloseAfterRequest, 18, 6000},
    {"close-mid-answer", SimFault::CloseMidAnswer, 19, 6000},
    {"garbage", SimFault::Garbage, 0, 6000},
    {"refuse", SimFault::Refuse, 12, 6000},
    {"busy", SimFault::Busy, -1, 6000},
    {"hang-connect", SimFault::HangConnect, 12, 26000},
    {"late-answer", SimFault::LateAnswer, 17, 17000},
    {"wrong-digest", SimFault::WrongDigest, 18, 6000},
};

struct Operation {
    const char *name;
    QStringList args; ///< %FILE and %OUT are replaced
};

const QList<Operation> &operations()
{
    static const QList<Operation> ops = {
        {"send", {"send", "%FILE", "--slot", "1"}},
        {"get", {"get", "--slot", "1", "-o", "%OUT"}},
        {"list", {"list", "--wait", "2"}},
        {"display-on", {"display", "on", "--slot", "1"}},
        {"display-off", {"display", "off", "--slot", "1"}},
        {"clear", {"clear", "--slot", "2", "--yes"}},
        {"mute", {"mute"}},
        {"status", {"status"}},
        {"caps", {"caps"}},
        {"startup", {"startup"}},
        {"startup-set", {"startup", "--set", "--slot", "1", "--minutes", "5"}},
    };
    return ops;
}

// Expected exit status per fault (rows) and operation (columns, in operations() order).
// A busy projector answers with its busy digit: a refusal (1); its stored-message list is
// a list of "PROJECTOR busy" rows, which is an answer (0).
const int kExpected[][11] = {
    // send get list d-on d-off clear mute status caps startup startup-set
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},       // none
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // silent
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // close-on-accept
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // close-after-request
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // close-mid-answer
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // garbage
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // refuse
    {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1},       // busy
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // hang-connect
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // late-answer
    {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},       // wrong-digest
};

struct Job {
    int fault = 0;
    int op = 0;
    QString out;
    QByteArray outBefore;
    std::unique_ptr<QProcess> process;
    QElapsedTimer timer;
    qint64 elapsed = -1;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_config;
    std::vector<std::unique_ptr<ProjectorSim>> m_sims;

    static QString address(int fault) { return QStringLiteral("127.0.77.%1").arg(fault + 1); }

    QProcess *start(Job &job)
    {
        QStringList args;
        for (const QString &a : operations().at(job.op).args) {
            if (a == QLatin1String("%FILE"))
                args << m_home.filePath(QStringLiteral("notice.txt"));
            else if (a == QLatin1String("%OUT"))
                args << job.out;
            else
                args << a;
        }
        args << QStringLiteral("--to") << address(job.fault) << QStringLiteral("--json")
             << QStringLiteral("--home") << m_home.path() << QStringLiteral("--lang")
             << QStringLiteral("en");
        job.process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        job.process->setProcessEnvironment(env);
        job.timer.start();
        job.process->start(cliPath(), args);
        job.process->closeWriteChannel();
        return job.process.get();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(cliPath()));
        QFile notice(m_home.filePath(QStringLiteral("notice.txt")));
        QVERIFY(notice.open(QIODevice::WriteOnly));
        notice.write("Fire drill at ten\r\nPlease leave by the east stairs");
        notice.close();
        // Every projector is registered (with no password), so the CLI reads the list.
        QFile list(m_home.filePath(QStringLiteral("LastPj.txt")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        QByteArray ini = "[RESIST NUM]\r\nNUM=" + QByteArray::number(std::size(kFaults)) + "\r\n";
        for (int f = 0; f < int(std::size(kFaults)); ++f) {
            ini += "[RESIST PROJECTOR" + QByteArray::number(f + 1) + "]\r\nNUM=" + QByteArray::number(f + 1)
                   + "\r\nIP=" + QByteArray::number(int(0x7F004D01 + f)) + "\r\nProjectorName="
                   + kFaults[f].name + "\r\nMAC=-----\r\nAuth=0\r\nPass=\r\n";
        }
        list.write(ini);
        list.close();

        for (int f = 0; f < int(std::size(kFaults)); ++f) {
            auto s = std::make_unique<ProjectorSim>(QHostAddress(address(f)));
            s->config().discoveryMulticast = false;
            s->config().discoveryUnicast = false;
            s->setGreetingMode(SimGreeting::Always); // the stored-message list needs one
            s->setFirmwareLevel(4);
            s->setCapabilityFlags(7);
            s->setStatScript("10");
            QVERIFY2(s->start(), qPrintable(s->errorString()));
            m_sims.push_back(std::move(s));
        }
    }

    void everyOperationAgainstEveryFault()
    {
        const QString listPath = m_home.filePath(QStringLiteral("LastPj.txt"));
        const QByteArray listBefore = fileBytes(listPath);
        const QDateTime listTime = QFileInfo(listPath).lastModified();

        // The healthy projector first gets the message the others then read back.
        {
            Job seed;
            seed.fault = 0;
            seed.op = 0;
            QProcess *p = start(seed);
            QVERIFY(p->waitForFinished(60000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        }
        for (int f = 0; f < int(std::size(kFaults)); ++f)
            m_sims[f]->setFault(kFaults[f].fault);

        std::deque<Job> jobs;
        for (int f = 0; f < int(std::size(kFaults)); ++f) {
            for (int o = 0; o < operations().size(); ++o) {
                Job job;
                job.fault = f;
                job.op = o;
                if (QLatin1String(operations().at(o).name) == QLatin1String("get")) {
                    // An earlier file that a failed read must leave alone.
                    job.out = m_home.filePath(QStringLiteral("out-%1.glc").arg(kFaults[f].name));
                    job.outBefore = "earlier content of " + QByteArray(kFaults[f].name);
                    QFile out(job.out);
                    QVERIFY(out.open(QIODevice::WriteOnly));
                    out.write(job.outBefore);
                }
                jobs.push_back(std::move(job));
            }
        }

        // Most of these only wait: run many at once, but not so many that a sanitized
        // build runs out of memory.
        const int parallel = 16;
        std::vector<Job *> running;
        size_t next = 0;
        while (next < jobs.size() || !running.empty()) {
            while (next < jobs.size() && int(running.size()) < parallel)
                running.push_back(&jobs[next]), start(jobs[next++]);
            for (auto it = running.begin(); it != running.end();) {
                Job &job = **it;
                if (job.process->state() == QProcess::NotRunning
                    || job.process->waitForFinished(0)) {
                    job.elapsed = job.timer.elapsed();
                    it = running.erase(it);
                } else if (job.timer.elapsed() > 120000) {
                    job.process->kill();
                    job.process->waitForFinished();
                    job.elapsed = job.timer.elapsed();
                    it = running.erase(it);
                } else {
                    ++it;
                }
            }
            QTest::qWait(50);
        }

        QStringList problems;
        for (Job &job : jobs) {
            const Fault &fault = kFaults[job.fault];
            const QString what = QStringLiteral("%1 / %2").arg(QLatin1String(fault.name),
                                                              QLatin1String(operations().at(job.op).name));
            const QByteArray out = job.process->readAllStandardOutput();
            const QByteArray err = job.process->readAllStandardError();
            const int expected = kExpected[job.fault][job.op];
            const int exit = job.process->exitStatus() == QProcess::NormalExit ? job.process->exitCode() : -1;
            if (exit != expected)
                problems << QStringLiteral("%1: exit %2, expected %3; %4").arg(what).arg(exit).arg(expected)
                                .arg(QString::fromUtf8(err.trimmed()));
            if (job.elapsed > fault.boundMs)
                problems << QStringLiteral("%1: took %2 ms, bound %3 ms").arg(what).arg(job.elapsed).arg(fault.boundMs);
            const QJsonObject result = QJsonDocument::fromJson(out.trimmed().split('\n').last()).object();
            if (result.value(QStringLiteral("exit")).toInt(-1) != exit)
                problems << QStringLiteral("%1: JSON result %2").arg(what, QString::fromUtf8(out.trimmed()));
            if (exit == 3 && result.contains(QStringLiteral("text"))
                && !result.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("Communication error")))
                problems << QStringLiteral("%1: text %2").arg(what, result.value(QStringLiteral("text")).toString());
            if (exit == 3 && !result.contains(QStringLiteral("code")))
                problems << QStringLiteral("%1: no code in %2").arg(what, QString::fromUtf8(out.trimmed()));
            if (exit != 0 && fault.code >= 0 && result.contains(QStringLiteral("code"))
                && QLatin1String(operations().at(job.op).name) != QLatin1String("list")
                && result.value(QStringLiteral("code")).toInt() != fault.code)
                problems << QStringLiteral("%1: code %2, expected %3").arg(what)
                                .arg(result.value(QStringLiteral("code")).toInt()).arg(fault.code);
            if (!job.out.isEmpty()) {
                const QByteArray after = fileBytes(job.out);
                if (exit != 0 && after != job.outBefore)
                    problems << QStringLiteral("%1: a failed get changed %2").arg(what, job.out);
                if (exit == 0 && !after.startsWith("{\\rtf1"))
                    problems << QStringLiteral("%1: the message file was not written").arg(what);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));

        // Nothing half-written is left behind, and the registered list is untouched.
        const QStringList leftovers =
            QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression(QStringLiteral("^\\.|~$|\\.tmp|\\.new")));
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(QLatin1Char(' '))));
        QCOMPARE(fileBytes(listPath), listBefore);
        QCOMPARE(QFileInfo(listPath).lastModified(), listTime);
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
