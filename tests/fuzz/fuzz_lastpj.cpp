// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the "LastPj.txt" loader: a file it cannot read is never written;
// a file it reads, rewritten in place, keeps its encoding and reads back with the same
// projectors, without the placeholders of missing sections.
#include "fuzz_support.h"

#include "app/projector_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace glintcaster;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        fuzz::fail("cannot write the scratch file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LastPj.txt"));
    const QByteArray input = fuzz::bytes(data, size);
    writeAll(path, input);

    ProjectorStore store(path);
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty()) {
        fuzz::check(store.projectors().isEmpty(), "an unreadable file lists nothing");
        fuzz::check(!store.RewriteRegisteredProjectors(), "an unreadable file is not rewritten");
        fuzz::check(!store.SaveAdaptorSelection(QStringLiteral("1.2.3.4"), QStringLiteral("x")),
                    "an unreadable file gets no adaptor choice");
        fuzz::check(readAll(path) == input, "an unreadable file is left as it was");
        return 0;
    }
    fuzz::check(store.count() <= ProjectorStore::kMaxLoaded, "the count is bounded");
    QList<ProjectorEntry> real;
    for (int i = 0; i < store.projectors().size(); ++i)
        if (!store.isPlaceholder(i))
            real.append(store.projectors().at(i));

    const bool utf16le = input.startsWith("\xFF\xFE");
    const bool utf16be = input.startsWith("\xFE\xFF");
    fuzz::check(store.RewriteRegisteredProjectors(), "a readable file can be rewritten");
    const QByteArray written = readAll(path);
    fuzz::check(!utf16le || written.startsWith("\xFF\xFE"), "UTF-16LE stays UTF-16LE");
    fuzz::check(!utf16be || written.startsWith("\xFE\xFF"), "UTF-16BE stays UTF-16BE");

    ProjectorStore again(path);
    again.LoadRegisteredProjectors();
    fuzz::check(again.loadProblem().isEmpty(), "a rewritten file reads");
    fuzz::check(again.projectors() == real, "the projectors survive, placeholders do not");
    return 0;
}
