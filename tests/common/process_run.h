// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace glintcaster::testing {

/// How a program run by a test ended. `exit` is -1 when it timed out (then killed) or
/// crashed.
struct ProcessRun {
    int exit = -1;
    QProcess::ExitStatus status = QProcess::NormalExit;
    bool timedOut = false;
    QByteArray out;
    QByteArray err;
};

/// Runs `program` with no standard input and waits at most `timeoutMs` for it.
inline ProcessRun runProcess(const QString &program, const QStringList &args,
                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                             int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(program, args);
    p.closeWriteChannel();
    ProcessRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.timedOut = true;
        r.err = "timed out";
        return r;
    }
    r.status = p.exitStatus();
    r.exit = r.status == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

/// The command-line companion of this build.
inline QString cliProgram() { return QStringLiteral(GLINTCASTER_BINARY_DIR "/glintcaster-cli"); }

} // namespace glintcaster::testing
