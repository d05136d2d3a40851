// The small widgets of the instrument panel: the alarm lamp and the click
// areas over parts of the bezel picture.
#pragma once
#include <QColor>
#include <QWidget>

// The alarm lamp: a circle as large as the shorter side, centred, filled
// with the brush colour and outlined in black.
class TShape : public QWidget {
    Q_OBJECT

public:
    explicit TShape(QWidget* parent);
    void setBrushColor(const QColor& colour);
    QColor brushColor() const { return brush; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush;
};

// An empty, clickable area over a part of the bezel picture. A click is a
// press and a release inside; while turnable, the wheel turns (up is
// clockwise) in steps of one notch.
class TClickImage : public QWidget {
    Q_OBJECT

public:
    explicit TClickImage(QWidget* parent);
    // Whether the wheel over the area turns it (else the wheel goes on to
    // the parent).
    void set_turnable(bool turns) { turnable = turns; }

signals:
    void clicked();
    void wheel_step(bool clockwise);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool pressed = false;
    bool turnable = false;
    int wheel_rest = 0;
};
