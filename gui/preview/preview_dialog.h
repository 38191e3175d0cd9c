// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/target_capabilities.h"
#include "render/glyph_set.h"
#include "render/preview_animation.h"
#include "render/preview_model.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <functional>

namespace glintcaster {

class Prompter;
struct PayloadContext;

/// The "Image" window: simulates the projector screen for a prepared message. The frame is
/// drawn by PreviewAnimation into a client-sized image; each timer tick advances it and
/// paintEvent only copies it, so the window shows exactly what `glintcaster-cli preview`
/// saves. Enter and Esc close it; it closes by itself when the scroll count or the display
/// time is used up.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    /// Milliseconds since the preview opened; the default is a monotonic timer.
    using Clock = std::function<qint64()>;

    PreviewDialog(const PreviewModel &model, const GlyphSet &glyphs, QWidget *parent = nullptr,
                Clock clock = {});
    ~PreviewDialog() override;

    const PreviewAnimation &animation() const { return m_animation; }
    /// The timer is running until the preview closes.
    bool isAnimating() const { return m_timer.isActive(); }

public slots:
    /// One timer tick (public so tests can drive it with their own clock).
    void step();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    PreviewAnimation m_animation;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    Clock m_clock;
};

/// Opens the modal preview of `message` (the Edit tab's current message). The checks of the
/// preview run first through `prompter` (empty body, title length, unsupported characters,
/// encoded size); when one stops, nothing opens. Unsupported characters the user chose to
/// delete are removed from `message`. "title.bmp" and "message.bmp" are written in the home.
void showMessagePreview(QWidget *parent, Prompter &prompter, CurrentMessage &message,
                        const TargetCapabilities &caps, bool characterDisplayMode);

/// The same with the encoder's full context, for a caller that shows its own report of
/// unsupported characters or follows deletions in a visible box (`context.prompter` must be
/// set).
void showMessagePreview(QWidget *parent, CurrentMessage &message, const PayloadContext &context);

} // namespace glintcaster
