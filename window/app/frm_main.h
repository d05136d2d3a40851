// The simulator window: composes the instrument panel, the sensor panel, the
// Communications box, the run loop and the window's scenarios, connects them,
// and keeps the menus, the status bar and the dialogs.
#pragma once
#include <QMainWindow>
#include <QSurfaceFormat>

#include <cstdint>

#include "window/app/client_area.h"
#include "window/app/run_loop.h"
#include "window/scenario/window_scenario.h"

class QAction;
class QMenuBar;
class CommunicationsBox;
class ControlSocket;
class EncoderPort;
class EncoderPortDialog;
class FlightDriver;
class FlightReport;
class InstrumentPanel;
class LcdPictures;
class LcdViews;
class LinkDriver;
class KeyboardKeys;
class LcdAnimation;
class ScenarioDock;
class SensorPanel;
class StatusBar;
struct sim_options;

// The form's parts and controls are its own: others find them by their
// object names ("Memo1", "ScrollBar29", "StatusBar1", the menu entries) or
// by their types, as the tests do.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // The client's least (and first) size.
    static constexpr int CLIENT_WIDTH = ClientArea::LEAST_WIDTH;
    static constexpr int CLIENT_HEIGHT = ClientArea::LEAST_HEIGHT;

    explicit TfrmMain(QWidget* parent = nullptr);
    // With another pixel-format request than SetupPixelFormat's.
    explicit TfrmMain(const QSurfaceFormat& pixel_format, QWidget* parent = nullptr);
    ~TfrmMain() override;  // FormDestroy

    // Puts the window in the middle of the screen's available area.
    void centre_on_screen();
    // The place and size the window had when it was last closed (else
    // centred), and keeping them for the next run.
    void restore_placement();
    void save_placement() const;

    // Command-line options that act once the window is shown. Returns false
    // when the program should end at once with exit_status().
    bool apply_options(const sim_options& options);
    // The program's exit status: a refused option, or how the last scenario ended.
    int exit_status() const { return status; }

    // Since the window was made (for the soak figures).
    uint64_t passes_run() const { return run_loop->passes_run(); }
    qint64 frame_interval_ns() const { return run_loop->frame_interval_ns(); }

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void changeEvent(QEvent* event) override;

private:
    void build_menu();
    void compose(const QSurfaceFormat& pixel_format);
    void connect_parts();

    // Handlers.
    void Exit1Click();
    void CopyLcdPicture1Click();  // the lines selected in Memo1 when it has the keys, else the LCD
    void RecordScenario1Click();
    void EncoderPort1Click();
    void FlightSimLink1Click();

    void open_lcd_window(bool open);
    void scenario_finished(int status);
    void warn(const QString& text, bool wait);

    // Every key the window posts goes through here (clicks, wheel, keyboard,
    // "+" and "-", scenarios), so a recording sees each key that was stored.
    void post_key(uint8_t key);
    // A sentence of a pass: to the encoder port and the Communications box.
    void append_communications(const char* line);
    // Opens the encoder port; on failure a message box (that does not hold
    // up the run loop) names the port and the reason. Returns whether it opened.
    bool connect_encoder_port(const QString& name, int baud);
    // Listens for a test rig's lines at path (--control); false, after
    // saying why on standard error, when it cannot.
    bool listen_for_control(const QString& path);

    // The parts.
    InstrumentPanel* instrument;   // bezel, LCD, keys, knob, "+"/"-", On/Off, lamp
    SensorPanel* sensors;          // the sliders and the check boxes
    CommunicationsBox* GroupBox1;  // the Communications box
    StatusBar* StatusBar1;         // the status bar
    ClientArea* client;            // everything below the menu bar
    RunLoop* run_loop;             // passes, pacing and the 100 ms timer
    WindowScenario* scenario;      // scenario playback and recording
    ScenarioDock* scenario_dock;   // the playing scenario's progress, failures and tally
    KeyboardKeys* keyboard;        // the keyboard as the instrument's keys
    LcdPictures* pictures;         // the LCD saved or copied as a picture
    LcdAnimation* animation;       // the LCD recorded as an animated GIF
    LcdViews* lcd_views;           // the LCD on the panel and in the LCD window
    LinkDriver* link;              // the flight simulator link driving the sliders
    FlightDriver* recorded_flight;  // a recorded flight driving the sliders, with its bar
    FlightReport* flight_report;    // File > Flight Report...: the review of the flight played
    EncoderPort* encoder_port;      // where the encoder's sentences go besides Memo1
    EncoderPortDialog* encoder_port_dialog = nullptr;  // made on first use
    ControlSocket* control = nullptr;                  // --control: lines from a test rig

    // The menu entries the form changes as the window's state changes.
    QMenuBar* MainMenu1;
    QAction* StopScenario1;
    QAction* RecordScenario1;
    QAction* StopRecording1;
    QAction* RecordLcdAnimation1;
    QAction* StopLcdAnimation1;
    QAction* CloseFlight1;
    QAction* LcdWindow1;  // checked while the LCD window is open

    int status = 0;
    bool exit_when_done = false;
};

// The one instance of the form (set while one exists).
extern TfrmMain* frmMain;
