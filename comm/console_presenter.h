// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_runner.h"

#include <QString>

#include <cstdio>

namespace glintcaster {

/// Shows a running job on a console: each status line as one line on standard error,
/// prefixed (for example with the target's address when several run at once). Jobs that
/// never appear on screen stay quiet here too.
class ConsolePresenter : public JobPresenter {
public:
    explicit ConsolePresenter(QString prefix = {}, std::FILE *stream = stderr);

    void jobStarted(const JobRecord &job) override;
    void statusLineChanged(const QString &text) override;

private:
    QString m_prefix;
    std::FILE *m_stream = nullptr;
    bool m_quiet = false;
};

} // namespace glintcaster
