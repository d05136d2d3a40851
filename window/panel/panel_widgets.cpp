#include "window/panel/panel_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "window/panel/wheel_steps.h"

TShape::TShape(QWidget* parent) : QWidget(parent), brush(128, 0, 0)
{
}

void TShape::setBrushColor(const QColor& colour)
{
    if (colour == brush)
        return;
    brush = colour;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const int d = qMin(width(), height()) - 1;
    const QRectF circle((width() - 1 - d) / 2.0 + 0.5, (height() - 1 - d) / 2.0 + 0.5, d, d);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(brush);
    painter.drawEllipse(circle);
}

TClickImage::TClickImage(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::ClickFocus);
}

void TClickImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed = true;
    event->accept();
}

void TClickImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (pressed && inside)
        emit clicked();
    pressed = false;
    event->accept();
}

void TClickImage::wheelEvent(QWheelEvent* event)
{
    if (!turnable) {
        event->ignore();
        return;
    }
    take_wheel_steps(wheel_rest, event->angleDelta().y(), [this](bool clockwise) { emit wheel_step(clockwise); });
    event->accept();
}
