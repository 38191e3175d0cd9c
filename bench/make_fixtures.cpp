// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Writes the message files the whole-process measurements of scripts/bench send:
//   largest.glc          the body at the size limit, a colour change every 4 characters
//   largest-plain.glc    the body at the size limit in one colour (the largest upload)
#include "bench_message.h"

#include "message/message_file.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace glintcaster;

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_fixtures DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char *name;
        int colourRun;
    } files[] = {{"largest.glc", 4}, {"largest-plain.glc", 0}};
    for (const auto &f : files) {
        const CurrentMessage m = bench::largestMessage(f.colourRun);
        const QByteArray data = composeMessageFile(m.title(), m.body(), bench::fileBlock(m), true);
        QString error;
        if (!saveFileAtomically(dir.filePath(QString::fromLatin1(f.name)), data, &error)) {
            std::fprintf(stderr, "bench_fixtures: %s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}
