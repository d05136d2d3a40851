// The simulator window: the instrument's bezel with its LCD surface, keys and
// knob, the sensor sliders, the alarm lamp and the Communications box. It
// owns the run loop: "On" runs passes of the instrument until something sets
// stop_requested.
#pragma once
#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QWidget>

#include <cstdint>

#include "host/lcd_surface.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTimer;
struct host_io;

// The alarm lamp: a circle as large as the shorter side, centred, filled
// with the brush colour and outlined in black.
class TShape : public QWidget {
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
// press and a release inside; the wheel turns (up is clockwise) in steps of
// one notch when wheel_steps is set.
class TClickImage : public QWidget {
public:
    explicit TClickImage(QWidget* parent);
    void (*on_click)() = nullptr;
    void (*on_wheel_step)(bool clockwise) = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool pressed = false;
    int wheel_rest = 0;
};

class TfrmMain : public QMainWindow {
public:
    static constexpr int CLIENT_WIDTH = 503;
    static constexpr int CLIENT_HEIGHT = 329;
    // Lines kept in the Communications box; older ones are dropped.
    static constexpr int MEMO_LINES = 10000;

    explicit TfrmMain(QWidget* parent = nullptr);
    // With another pixel-format request than SetupPixelFormat's.
    explicit TfrmMain(const QSurfaceFormat& pixel_format, QWidget* parent = nullptr);
    ~TfrmMain() override;  // FormDestroy

    // Puts the window in the middle of the screen's available area.
    void centre_on_screen();

    // The menu and the client area (everything below the menu bar).
    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* Exit1;
    QWidget* client;

    QLabel* Image1;     // bezel picture, stretched
    QWidget* Panel1;    // black panel under the LCD surface
    LcdSurface* LcdDC;  // the OpenGL surface on Panel1
    QWidget* LcdContainer;
    TClickImage* Image2;  // left key
    TClickImage* Image3;  // right key
    TClickImage* Image8;  // knob
    QPushButton* Button3;  // "+"
    QPushButton* Button4;  // "-"
    QPushButton* Button1;  // "On"
    QPushButton* Button2;  // "Off"
    TShape* Shape1;        // alarm lamp
    QLabel* Label55;
    QLabel* Label57;
    QScrollBar* ScrollBar29;
    QLabel* Label3;
    QScrollBar* ScrollBar2;
    QLabel* Label1;
    QLabel* Label2;
    QScrollBar* ScrollBar1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QGroupBox* GroupBox1;
    QPlainTextEdit* Memo1;
    QStatusBar* StatusBar1;
    QTimer* Timer1;

    // The decoded bezel picture (620 x 620), null if it could not be decoded.
    QImage bezel;
    lcd_surface_status surface_status = lcd_surface_status::ok;

    // Handlers.
    void FormCreate(const QSurfaceFormat& pixel_format);
    void Button1Click();
    void Button2Click();
    void Exit1Click();
    void Timer1Timer();
    static void Image2Click();
    static void Image3Click();
    static void Image8Click();
    static void Button3Click();
    static void Button4Click();
    void ScrollBar29Change(int position);
    void ScrollBar2Change(int position);
    void ScrollBar1Change(int position);

    // The keyboard: arrows, "+", "-" and Return post keys unless the focus
    // is in a slider or the Communications box. Returns whether it did.
    bool KeyboardKey(int qt_key);

    // The host side of one pass of the run loop.
    static const host_io& host();
    bool running() const { return loop_running; }
    // Passes run since the window was created (for the soak figures).
    uint64_t passes_run = 0;

    // The host operations of a pass, also used by the tests.
    void set_lamp(bool red);
    void append_communications(const char* line);
    void present();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    bool keyboard_posts_keys() const;

    bool loop_running = false;
    bool memo_follows = true;  // the box keeps its newest line in view
    bool appending = false;
};

// The one instance of the form (set while one exists).
extern TfrmMain* frmMain;
