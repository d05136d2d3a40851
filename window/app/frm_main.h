// The simulator window: composes the instrument panel, the sensor panel, the
// Communications box, the run loop and the window's scenarios, connects them,
// and keeps the menus, the status bar and the dialogs.
#pragma once
#include <QMainWindow>

#include <cstdint>

#include "window/flight/flight_driver.h"
#include "window/app/client_area.h"
#include "window/panel/instrument_panel.h"
#include "window/lcd/lcd_pictures.h"
#include "window/lcd/lcd_surface.h"
#include "window/app/run_loop.h"
#include "window/scenario/scenario_dock.h"
#include "window/app/status_bar.h"
#include "window/scenario/window_scenario.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class CommunicationsBox;
class EncoderPort;
class EncoderPortDialog;
class LcdViews;
class LcdWindow;
class LinkDriver;
class HelpMenu;
class KeyboardKeys;
class SensorPanel;
class TClickImage;
class TShape;
struct sim_options;

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

    // The parts.
    InstrumentPanel* instrument;   // bezel, LCD, keys, knob, "+"/"-", On/Off, lamp
    SensorPanel* sensors;          // the sliders and the check boxes
    CommunicationsBox* GroupBox1;  // the Communications box
    RunLoop* run_loop;             // passes, pacing and the 100 ms timer
    WindowScenario* scenario;      // scenario playback and recording
    ScenarioDock* scenario_dock;   // the playing scenario's progress, failures and tally
    KeyboardKeys* keyboard;        // the keyboard as the instrument's keys
    LcdPictures* pictures;         // the LCD saved or copied as a picture
    LcdViews* lcd_views;           // the LCD on the panel and in the LCD window
    LinkDriver* link;              // the flight simulator link driving the sliders
    FlightDriver* recorded_flight;  // a recorded flight driving the sliders, with its bar

    // The menu and the client area (everything below the menu bar).
    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* SaveLcdPicture1;
    QAction* PlayScenario1;
    QAction* StopScenario1;
    QAction* RecordScenario1;
    QAction* StopRecording1;
    QAction* OpenFlight1;
    QAction* CloseFlight1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* CopyLcdPicture1;
    QMenu* View1;
    QAction* LcdWindow1;  // checked while the LCD window is open
    QMenu* Options1;
    QAction* EncoderPort1;
    HelpMenu* Help1;  // keyboard map, scenario manual, About
    QAction* FlightSimLink1;
    ClientArea* client;  // everything below the menu bar

    // The controls by their names on the instrument's form, each owned by its part.
    QLabel* Image1;          // the instrument panel's bezel picture
    QWidget* Panel1;         // the instrument panel's black panel under the LCD
    LcdSurface* LcdDC;       // the instrument panel's OpenGL surface
    QWidget* LcdContainer;   // the instrument panel's holder of LcdDC
    TClickImage* Image2;     // the instrument panel's left key
    TClickImage* Image3;     // the instrument panel's right key
    TClickImage* Image8;     // the instrument panel's knob
    QPushButton* Button3;    // the instrument panel's "+"
    QPushButton* Button4;    // the instrument panel's "-"
    QPushButton* Button1;    // the instrument panel's "On"
    QPushButton* Button2;    // the instrument panel's "Off"
    TShape* Shape1;          // the instrument panel's alarm lamp
    QLabel* Label55;         // the sensor panel's "Altitude:"
    QLabel* Label57;         // the sensor panel's altitude value
    QScrollBar* ScrollBar29; // the sensor panel's altitude slider
    QLabel* Label3;          // the sensor panel's "VSI:", then the vertical speed
    QScrollBar* ScrollBar2;  // the sensor panel's vertical-speed slider
    QLabel* Label1;          // the sensor panel's "ASI:"
    QLabel* Label2;          // the sensor panel's airspeed value
    QScrollBar* ScrollBar1;  // the sensor panel's airspeed slider
    QCheckBox* CheckBox1;    // the sensor panel's "Altitude Sensor"
    QCheckBox* CheckBox2;    // the sensor panel's "Calibrate"
    QPlainTextEdit* Memo1;   // the Communications box's lines
    QTimer* Timer1;          // the run loop's 100 ms timer
    StatusBar* StatusBar1;     // the status bar
    QLabel* EncoderPortLabel;  // the status bar's encoder port and its state
    LcdWindow* lcd_window = nullptr;  // the large LCD view, made on first use
    EncoderPort* encoder_port;  // where the encoder's sentences go besides Memo1
    EncoderPortDialog* encoder_port_dialog = nullptr;  // made on first use

    // Handlers.
    void Button1Click() { run_loop->Button1Click(); }  // "On": runs the loop until Off
    void Button2Click() { run_loop->Button2Click(); }  // "Off"
    void Timer1Timer() { run_loop->Timer1Timer(); }    // one 100 ms tick
    void Exit1Click();
    void SaveLcdPicture1Click() { pictures->save_with_dialog(); }
    void CopyLcdPicture1Click();  // the lines selected in Memo1 when it has the keys, else the LCD
    void LcdWindow1Click(bool open) { open_lcd_window(open); }
    void PlayScenario1Click() { scenario_dock->choose_and_play(); }
    void StopScenario1Click() { scenario->stop_playing(); }
    void RecordScenario1Click() { scenario_dock->choose_and_record(running()); }
    void StopRecording1Click() { stop_recording(); }
    void OpenFlight1Click() { recorded_flight->open_with_dialog(this); }
    void CloseFlight1Click() { recorded_flight->close(); }
    void EncoderPort1Click();
    void FlightSimLink1Click();

    // The keyboard: arrows, "+", "-" and Return post keys unless the focus
    // is in a slider or the Communications box. Returns whether it did.
    bool KeyboardKey(int qt_key);

    // Command-line options that act once the window is shown. Returns false
    // when the program should end at once with exit_status.
    bool apply_options(const sim_options& options);
    int exit_status = 0;

    // The window's scenarios (see WindowScenario).
    bool play_scenario(const QString& path) { return scenario->play(path); }
    bool start_recording(const QString& path) { return scenario->start_recording(path); }
    void stop_recording() { scenario->stop_recording(); }

    // Every key the window posts goes through here (clicks, wheel, keyboard,
    // "+" and "-", scenarios), so a recording sees each key that was stored.
    void post_key(uint8_t key);

    // Opens the encoder port; on failure a message box (that does not hold
    // up the run loop) names the port and the reason. Returns whether it opened.
    bool connect_encoder_port(const QString& name, int baud);

    // Writes the LCD as it is now as an indexed PNG; on failure a message box
    // names the file and the reason. Returns whether it was written.
    bool save_lcd_picture(const QString& path, int scale, const uint8_t* buffer)
    {
        return pictures->save(path, scale, buffer);
    }

    bool running() const { return run_loop->running(); }
    // Since the window was made (for the soak figures).
    uint64_t passes_run() const { return run_loop->passes_run(); }
    qint64 frame_interval_ns() const { return run_loop->frame_interval_ns(); }

    // The host operations of a pass, also used by the tests.
    void set_lamp(bool red) { instrument->set_lamp(red); }
    void append_communications(const char* line);
    void present();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void changeEvent(QEvent* event) override;

private:
    void build_menu();
    void compose(const QSurfaceFormat& pixel_format);
    void connect_parts();
    void open_lcd_window(bool open);
    void scenario_finished(int status);
    void warn(const QString& text, bool wait);

    bool exit_when_done = false;
};

// The one instance of the form (set while one exists).
extern TfrmMain* frmMain;
