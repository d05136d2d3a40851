// The simulator window: the instrument's bezel with its LCD surface, keys and
// knob, the sensor sliders, the alarm lamp and the Communications box. It
// owns the run loop: "On" runs passes of the instrument until something sets
// stop_requested.
#pragma once
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QStringList>
#include <QMainWindow>
#include <QWidget>

#include <cstdint>

#include "window/lcd_surface.h"

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
class LcdWindow;
class EncoderPort;
class EncoderPortDialog;
struct host_io;
struct sim_options;

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
    QAction* SaveLcdPicture1;
    QAction* PlayScenario1;
    QAction* StopScenario1;
    QAction* RecordScenario1;
    QAction* StopRecording1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* CopyLcdPicture1;
    QMenu* View1;
    QAction* LcdWindow1;  // checked while the LCD window is open
    QMenu* Options1;
    QAction* EncoderPort1;
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
    LcdWindow* lcd_window;  // the large LCD view, made on first use
    QLabel* EncoderPortLabel;  // the encoder port and its state, in the status bar
    EncoderPort* encoder_port;  // where the encoder's sentences go besides Memo1
    EncoderPortDialog* encoder_port_dialog = nullptr;  // made on first use
    // The decoded bezel picture (620 x 620), null if it could not be decoded.
    QImage bezel;
    lcd_surface_status surface_status = lcd_surface_status::ok;

    // Handlers.
    void FormCreate(const QSurfaceFormat& pixel_format);
    void Button1Click();
    void Button2Click();
    void Exit1Click();
    void SaveLcdPicture1Click();
    void CopyLcdPicture1Click();
    void LcdWindow1Click(bool open);
    void PlayScenario1Click();
    void StopScenario1Click();
    void RecordScenario1Click();
    void StopRecording1Click();
    void EncoderPort1Click();
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
    // The instrument key a keyboard key stands for; false for other keys.
    static bool instrument_key(int qt_key, uint8_t& key);

    // Command-line options that act once the window is shown. Returns false
    // when the program should end at once with exit_status.
    bool apply_options(const sim_options& options);
    int exit_status = 0;
    QByteArray scenario_folder;  // where the playing scenario's pictures lie

    // Plays a scenario file live; false (after saying why) when it cannot be
    // read. The user may still click and turn while it plays.
    bool play_scenario(const QString& path);
    // Starts writing what is done in the window to path as a scenario. The
    // instrument is switched off and starts over from the program's first
    // state, so that the recording replays exactly.
    bool start_recording(const QString& path);
    void stop_recording();

    // Every key the window posts goes through here (clicks, wheel, keyboard,
    // "+" and "-", scenarios), so a recording sees each key that was stored.
    static void post_key(uint8_t key);
    // "On" without running the loop: the switch-on resets, and the loop is
    // started from the event loop unless it runs already.
    void switch_on_soon();
    // A scenario's line of output (standard output, or standard error when
    // it tells of a failure) and the status bar; the end of the playback.
    void scenario_message(const QString& text, bool failed);
    void scenario_finished(int status);

    // Opens the encoder port; on failure a message box (that does not hold
    // up the run loop) names the port and the reason. Returns whether it opened.
    bool connect_encoder_port(const QString& name, int baud);
    // The status bar's encoder-port text, brought up to date.
    void show_encoder_port_state();

    // Writes the LCD as it is now as an indexed PNG; on failure a message box
    // names the file and the reason. Returns whether it was written.
    bool save_lcd_picture(const QString& path, int scale, const uint8_t* buffer);

    // The time from one paced pass to the next: one refresh of the window's
    // screen (60 Hz where the screen does not say).
    qint64 frame_interval_ns() const;

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
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void build_menu();
    bool keyboard_posts_keys() const;
    void open_lcd_window(bool open);
    // Processes pending events, then waits in event processing until the
    // next frame is due, unless the swap has already waited for it.
    void process_events_paced();
    // Runs passes until stop_requested ("On" after its resets).
    void run_loop();
    // Called by the run loop and the timer: the recorder and the player take
    // note of every pass and tick.
    void note_pass();
    void note_tick();
    void record(const char* line);
    void start_recording_now(const QString& path);

    bool exit_when_done = false;
    bool loop_queued = false;
    QString record_after_stop;  // a recording that starts once the loop has stopped

    QElapsedTimer pace_clock;
    qint64 next_frame_ns = 0;
    QTimer* pace_timer;  // wakes the paced wait when the next frame is due

    void show_in_memo(const QString& text);
    QStringList memo_waiting;  // sentences that came while minimised

    bool loop_running = false;
    bool memo_follows = true;  // the box keeps its newest line in view
    bool appending = false;
};

// The one instance of the form (set while one exists).
extern TfrmMain* frmMain;
