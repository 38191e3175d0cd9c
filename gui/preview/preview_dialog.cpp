// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/preview/preview_dialog.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "message/current_message.h"
#include "message/target_capabilities.h"
#include "render/payload_encoder.h"

#include <QKeyEvent>
#include <QPainter>

namespace glintcaster {

PreviewDialog::PreviewDialog(const PreviewModel &model, const GlyphSet &glyphs, QWidget *parent,
                         Clock clock)
    : QDialog(parent), m_animation(model, glyphs), m_clock(std::move(clock))
{
    setWindowTitle(msg(1144));
    // The files are a by-product for whoever wants them; what is shown comes from memory,
    // so a home that cannot be written still previews the right message.
    m_animation.setRenderSink([](int part, const QImage &bitmap) {
        writePreviewBitmap(bitmap, previewBitmapPath(part));
    });
    m_animation.open();
    setFixedSize(m_animation.geometry().client);
    setAttribute(Qt::WA_OpaquePaintEvent);

    if (!m_clock) {
        m_elapsed.start();
        m_clock = [this] { return m_elapsed.elapsed(); };
    }
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_animation.geometry().intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PreviewDialog::step);
    m_timer.start();
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::step()
{
    if (!m_timer.isActive())
        return;
    const bool running = m_animation.tick(m_clock());
    update();
    if (!running)
        accept();
}

void PreviewDialog::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_animation.frame());
}

void PreviewDialog::keyPressEvent(QKeyEvent *event)
{
    // No default button is shown, so QDialog would ignore Enter: both keys close it here.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void PreviewDialog::done(int result)
{
    m_timer.stop();
    QDialog::done(result);
}

void showMessagePreview(QWidget *parent, CurrentMessage &message, const PayloadContext &context)
{
    PreviewModel model;
    if (PreparePreviewModel(message, context, &model) != 0)
        return;
    PreviewDialog dialog(model, GlyphSet::load(), parent);
    dialog.exec();
}

void showMessagePreview(QWidget *parent, Prompter &prompter, CurrentMessage &message,
                        const TargetCapabilities &caps, bool characterDisplayMode)
{
    PayloadContext context;
    context.prompter = &prompter;
    context.capabilities = caps;
    context.characterDisplayMode = characterDisplayMode;
    showMessagePreview(parent, message, context);
}

} // namespace glintcaster
