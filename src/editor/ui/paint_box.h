// PaintBox1, the drawing surface: paints through a callback, passes input to a pointer handler.
#pragma once

#include "editor/pointer_handler.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace quentar::editor::ui {

class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget *parent = nullptr);

    // Draws the whole surface (PaintBox1Paint); the painter is set up for anti-aliasing.
    void setPaintHandler(std::function<void(QPainter &)> paint) {
        paint_ = std::move(paint);
        redraw();
    }
    // Draws what lies over the drawing (rubber bands, markers) after every paint.
    void setOverlayHandler(std::function<void(QPainter &)> overlay) {
        overlay_ = std::move(overlay);
        update();
    }
    // The drawing changed: it is painted again, the overlay over it.
    void redraw() {
        stale_ = true;
        update();
    }
    // Only the overlay changed: the picture of the drawing painted last is shown under it again,
    // so a rubber band follows the pointer without the drawing being painted anew.
    void redrawOverlay() { update(); }
    // Not owned; null ignores all input.
    void setPointerHandler(PointerHandler *handler);
    PointerHandler *pointerHandler() const { return handler_; }

    // The surface's default size: the size new drawings are fitted into.
    QSize sizeHint() const override;

    // Shows the cursor the handler asks for.
    void updateCursor();

    // A wheel turn with the pointer at `at` (paint box pixels, possibly outside the box): one
    // handler step per notch. False when there is no handler or no turn.
    bool wheelAt(QPoint at, QPoint angleDelta, Qt::KeyboardModifiers modifiers);

signals:
    void pointerMoved(int x, int y);
    void resized(int width, int height);
    // After the handler had an event: the window brings its tool buttons up to date.
    void inputHandled();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void handled();

    static constexpr int kWheelNotch = 120; // angle delta of one wheel notch

    std::function<void(QPainter &)> paint_;
    std::function<void(QPainter &)> overlay_;
    QImage picture_;    // the drawing as painted last
    bool stale_ = true; // the drawing changed since
    PointerHandler *handler_ = nullptr;
    int wheelRest_ = 0;
};

} // namespace quentar::editor::ui
