// The large LCD view: a second, resizable window that shows the LCD alone,
// each LCD pixel a crisp square of the largest whole size that fits, black
// around it. For a projector or a second screen. Keys and the mouse wheel act
// there as over the knob.
#pragma once
#include <QImage>
#include <QWidget>

#include <cstdint>

// The LCD buffer as a picture through the LCD palette, each pixel repeated
// scale x scale times.
QImage lcd_picture(const uint8_t* buffer, int scale = 1);

class LcdWindow : public QWidget {
    Q_OBJECT

public:
    explicit LcdWindow(QWidget* parent = nullptr);

    // Takes the frame just presented and schedules a repaint.
    void show_frame(const uint8_t* buffer);
    // The whole-number magnification for the current size (at least 1).
    int scale() const;
    // Where the LCD lies inside the window at that scale.
    QRect lcd_rect() const;

    // Size, place and whether it was open, kept between runs. Closed by the
    // user it stays closed at the next start; closed because the program
    // ends (File > Exit, the main window closed), it counts as open.
    void restore_placement();
    void save_placement(bool open) const;
    static bool was_open();

signals:
    // A key pressed there without Ctrl, Alt or Meta (Qt::Key).
    void key_pressed(int qt_key);
    // One notch of the wheel there (up is clockwise).
    void wheel_step(bool clockwise);
    // Closed by its own title bar (or by close()).
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The application has been asked to quit: the windows close now.
    bool program_ending = false;
    // Closed by the program's end rather than by the user.
    bool closed_by_ending = false;
    QImage frame;
    int wheel_rest = 0;
};
