// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/ui/send_status_dialog.h"

#include "comm/cancel_flags.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

CSendStatus::CSendStatus(JobRecord &job, QWidget *parent)
    : QDialog(parent), m_runner(job)
{
    setWindowTitle(tr("Communication Status"));
    // No close button in the title bar: only the worker's outcome ends the window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    m_status = new QLabel(this);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setMinimumWidth(180);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setAutoDefault(false);
    m_cancel->setDefault(false);
    m_cancel->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status, 1);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &CSendStatus::reject);
    connect(&m_runner, &JobRunner::finished, this, &CSendStatus::onFinished);
    m_runner.setPresenter(this);
}

CSendStatus::~CSendStatus() { m_runner.setPresenter(nullptr); }

JobOutcome CSendStatus::run(JobRecord &job, QWidget *parent)
{
    CSendStatus dialog(job, parent);
    return dialog.runJob();
}

JobOutcome CSendStatus::runJob()
{
    if (JobRunner::runsHidden(m_runner.job())) {
        // Never on screen: wait in a local loop instead of a modal window.
        m_hidden = true;
        const JobOutcome outcome = m_runner.run();
        setResult(outcome.success ? Success : Failure);
        return outcome;
    }
    m_hidden = false;
    if (!m_runner.start())
        return m_runner.outcome();
    if (m_runner.isRunning())
        exec();
    return m_runner.outcome();
}

QString CSendStatus::statusText() const { return m_status->text(); }

bool CSendStatus::cancelEnabled() const { return m_cancel->isEnabled(); }

void CSendStatus::jobStarted(const JobRecord &job)
{
    m_cancel->setEnabled(JobRunner::cancelEnabled(job.kind));
}

void CSendStatus::statusLineChanged(const QString &text) { m_status->setText(text); }

void CSendStatus::onFinished(bool success)
{
    m_cancel->setEnabled(false);
    if (!m_hidden)
        done(success ? Success : Failure);
}

void CSendStatus::accept()
{
    // Enter does not end the window.
}

void CSendStatus::reject()
{
    // Cancel only asks the worker to stop; the window closes when it reports.
    if (m_cancel->isEnabled())
        CancelRequested = true;
}

void CSendStatus::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CSendStatus::closeEvent(QCloseEvent *event)
{
    if (m_runner.isRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace glintcaster
