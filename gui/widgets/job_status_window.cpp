// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/job_status_window.h"

#include "comm/cancel_flags.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace glintcaster {

namespace {

/// Swallows the user's input for as long as it lives, the way a modal window blocks its
/// owner: a hidden job must not let the operator switch tabs, pick another projector or
/// re-enter a handler while a silent projector holds the job. Painting, timers and the
/// worker's posted messages go on, and so does input to `allowed` (the status window,
/// once a long hidden job shows it).
class UserInputBlocker : public QObject {
public:
    explicit UserInputBlocker(QWidget *allowed) : m_allowed(allowed) { qApp->installEventFilter(this); }
    ~UserInputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_allowed->isVisible() && belongsToAllowed(watched))
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::DragEnter:
        case QEvent::DragMove:
            return true;
        case QEvent::Close:
            // Closing the main window would run its exit questions in the middle of a job.
            if (event->spontaneous() && watched->isWidgetType()) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    bool belongsToAllowed(QObject *watched) const
    {
        if (auto *widget = qobject_cast<QWidget *>(watched))
            return widget->window() == m_allowed;
        return watched == m_allowed->windowHandle();
    }

    QWidget *m_allowed;
};

} // namespace

JobStatusWindow::JobStatusWindow(JobRecord &job, QWidget *parent)
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

    connect(m_cancel, &QPushButton::clicked, this, &JobStatusWindow::reject);
    connect(&m_runner, &JobRunner::finished, this, &JobStatusWindow::onFinished);
    m_runner.setPresenter(this);
}

JobStatusWindow::~JobStatusWindow() { m_runner.setPresenter(nullptr); }

JobOutcome JobStatusWindow::run(JobRecord &job, QWidget *parent)
{
    JobStatusWindow dialog(job, parent);
    return dialog.runJob();
}

JobOutcome JobStatusWindow::runJob()
{
    if (JobRunner::runsHidden(m_runner.job())) {
        // Never on screen: wait in a local loop instead of a modal window.
        m_hidden = true;
        UserInputBlocker blocker(this);
        // A hidden job that takes long (a projector that accepts and never answers) must
        // not look like a frozen window: show what it waits for, and let it be cancelled.
        QTimer reveal;
        reveal.setSingleShot(true);
        connect(&reveal, &QTimer::timeout, this, [this] {
            if (!m_runner.isRunning())
                return;
            m_cancel->setEnabled(true);
            show();
        });
        reveal.start(m_revealDelay);
        const JobOutcome outcome = m_runner.run();
        reveal.stop();
        hide();
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

QString JobStatusWindow::statusText() const { return m_status->text(); }

bool JobStatusWindow::cancelEnabled() const { return m_cancel->isEnabled(); }

void JobStatusWindow::jobStarted(const JobRecord &job)
{
    m_cancel->setEnabled(JobRunner::cancelEnabled(job.kind));
}

void JobStatusWindow::statusLineChanged(const QString &text) { m_status->setText(text); }

void JobStatusWindow::onFinished(bool success)
{
    m_cancel->setEnabled(false);
    if (!m_hidden)
        done(success ? Success : Failure);
}

void JobStatusWindow::accept()
{
    // Enter does not end the window.
}

void JobStatusWindow::reject()
{
    // Cancel only asks the worker to stop; the window closes when it reports.
    if (m_cancel->isEnabled())
        CancelRequested = true;
}

void JobStatusWindow::keyPressEvent(QKeyEvent *event)
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

void JobStatusWindow::closeEvent(QCloseEvent *event)
{
    if (m_runner.isRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace glintcaster
