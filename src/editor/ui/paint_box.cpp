// The paint box: painting, and turning Qt's input events into the handler's.
#include "editor/ui/paint_box.h"

#include "editor/ui/artwork.h"
#include "render/view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace quentar::editor::ui {

namespace {

Modifiers modifiersOf(Qt::KeyboardModifiers m) {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

MouseButton buttonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

PointerEvent pointerEventOf(const QMouseEvent *e) {
    const QPoint p = e->position().toPoint();
    return {p.x(), p.y(), buttonOf(e->button()), modifiersOf(e->modifiers()),
            e->type() == QEvent::MouseMove && e->buttons() != Qt::NoButton};
}

} // namespace

PaintBox::PaintBox(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaintBox1"));
    setMouseTracking(true);                // the status bar follows the pointer
    setFocusPolicy(Qt::StrongFocus);       // Escape reaches the handler
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers the whole surface
    setMinimumSize(100, 80);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    updateCursor();
}

QSize PaintBox::sizeHint() const {
    return {render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight};
}

void PaintBox::setPointerHandler(PointerHandler *handler) {
    handler_ = handler;
    updateCursor();
}

void PaintBox::updateCursor() {
    const CursorShape shape = handler_ ? handler_->cursor() : CursorShape::Cross;
    setCursor(cursorFor(shape));
}

void PaintBox::handled() {
    updateCursor();
    emit inputHandled();
}

void PaintBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!paint_) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (stale_ || picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
        picture_ = QImage(pixels, QImage::Format_RGB32);
        picture_.setDevicePixelRatio(ratio);
        QPainter p(&picture_);
        p.setRenderHint(QPainter::Antialiasing);
        paint_(p);
        stale_ = false;
    }
    painter.drawImage(0, 0, picture_);
    if (overlay_) overlay_(painter);
}

void PaintBox::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit resized(width(), height());
}

void PaintBox::mousePressEvent(QMouseEvent *event) {
    setFocus(Qt::MouseFocusReason);
    if (!handler_) return;
    handler_->mouseDown(pointerEventOf(event));
    handled();
}

void PaintBox::mouseMoveEvent(QMouseEvent *event) {
    const QPoint p = event->position().toPoint();
    emit pointerMoved(p.x(), p.y());
    if (!handler_) return;
    handler_->mouseMove(pointerEventOf(event));
}

void PaintBox::mouseReleaseEvent(QMouseEvent *event) {
    if (!handler_) return;
    handler_->mouseUp(pointerEventOf(event));
    handled();
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent *event) {
    if (!handler_) return;
    // The second press of a double click is a press like any other (a tool takes its point),
    // then the double click.
    setFocus(Qt::MouseFocusReason);
    const PointerEvent e = pointerEventOf(event);
    handler_->mouseDown(e);
    handler_->doubleClick(e);
    handled();
}

void PaintBox::wheelEvent(QWheelEvent *event) {
    event->setAccepted(
        wheelAt(event->position().toPoint(), event->angleDelta(), event->modifiers()));
}

bool PaintBox::wheelAt(QPoint at, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    // Alt swaps the wheel's axes on some platforms; either axis is the same wheel here.
    const int delta = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    if (!handler_ || delta == 0) return false;
    // One step per notch (120): a touchpad's many small deltas add up to steps, not one each.
    wheelRest_ += delta;
    while (wheelRest_ >= kWheelNotch || wheelRest_ <= -kWheelNotch) {
        const bool up = wheelRest_ > 0;
        wheelRest_ += up ? -kWheelNotch : kWheelNotch;
        handler_->wheel({at.x(), at.y(), up, modifiersOf(modifiers)});
    }
    handled();
    return true;
}

void PaintBox::keyPressEvent(QKeyEvent *event) {
    if (!handler_) {
        QWidget::keyPressEvent(event);
        return;
    }
    KeyEvent k;
    switch (event->key()) {
    case Qt::Key_Escape:
        k.key = Key::Escape;
        break;
    case Qt::Key_Delete:
        k.key = Key::Delete;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        k.key = Key::Return;
        break;
    default:
        break;
    }
    k.mods = modifiersOf(event->modifiers());
    k.text = event->text().toStdString();
    if (handler_->keyDown(k)) {
        event->accept();
        handled();
    } else {
        QWidget::keyPressEvent(event);
    }
}

} // namespace quentar::editor::ui
