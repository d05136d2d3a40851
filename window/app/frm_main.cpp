#include "window/app/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHostAddress>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>

#include "session/scenario_executor.h"
#include "window/app/command_line.h"
#include "window/app/client_area.h"
#include "window/panel/communications_box.h"
#include "window/connections/control_socket.h"
#include "window/connections/encoder_port.h"
#include "window/connections/encoder_port_dialog.h"
#include "window/app/help_menu.h"
#include "window/app/host_settings.h"
#include "window/flight/flight_bar.h"
#include "window/flight/flight_driver.h"
#include "window/flight/flight_report.h"
#include "window/panel/keyboard_keys.h"
#include "window/panel/instrument_panel.h"
#include "window/lcd/lcd_animation.h"
#include "window/lcd/lcd_pictures.h"
#include "window/lcd/lcd_views.h"
#include "window/lcd/lcd_window.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/link_driver.h"
#include "window/panel/panel_widgets.h"
#include "window/app/run_loop.h"
#include "window/scenario/scenario_dock.h"
#include "window/panel/sensor_panel.h"
#include "window/app/status_bar.h"
#include "window/app/window_names.h"
#include "window/scenario/window_scenario.h"

TfrmMain* frmMain = nullptr;

namespace {

// Where the window's place and size are kept between runs.
const char SETTINGS_GEOMETRY[] = "main_window/geometry";

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : TfrmMain(LcdSurface::SetupPixelFormat(), parent)
{
}

TfrmMain::TfrmMain(const QSurfaceFormat& pixel_format, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    frmMain = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kova KTR-7 Simulator"));
    // A small face, slightly narrow, so the captions fit the places the
    // layout gives them ("Altitude:" before its number, the check boxes).
    QFont form_font(QStringLiteral("Sans Serif"));
    form_font.setPixelSize(11);
    form_font.setStretch(QFont::SemiCondensed);
    setFont(form_font);

    build_menu();
    compose(pixel_format);
    connect_parts();

    // FormCreate: a surface that failed is said once; the instrument starts
    // on its main display.
    const char* surface_failure = nullptr;
    if (instrument->surface_status == lcd_surface_status::create_failed)
        surface_failure = "Creating Rendering Context failed.";
    else if (instrument->surface_status == lcd_surface_status::make_current_failed)
        surface_failure = "MakeCurrent of rendering context failed.";
    if (surface_failure != nullptr) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromLatin1(surface_failure),
                        QMessageBox::Ok);
        box.exec();
    }

    run_loop->Timer1->start();
}

void TfrmMain::build_menu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);
    // A menu of the bar, and an entry of a menu that calls its handler, each
    // with the form's name for it.
    const auto menu = [this](const char* name, const char* title) {
        QMenu* added = MainMenu1->addMenu(QString::fromUtf8(title));
        added->setObjectName(QLatin1String(name));
        return added;
    };
    const auto entry = [this](QMenu* in, const char* name, const char* text, auto handler) {
        QAction* added = in->addAction(QString::fromUtf8(text));
        added->setObjectName(QLatin1String(name));
        connect(added, &QAction::triggered, this, handler);
        return added;
    };

    QMenu* File1 = menu("File1", "&File");
    QAction* SaveLcdPicture1 =
        entry(File1, "SaveLcdPicture1", "&Save LCD Picture...", [this] { pictures->save_with_dialog(); });
    SaveLcdPicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveLcdPicture1->setShortcutContext(Qt::ApplicationShortcut);
    RecordLcdAnimation1 = entry(File1, "RecordLcdAnimation1", "Record LCD &Animation...",
                                [this] { animation->record_with_dialog(); });
    StopLcdAnimation1 = entry(File1, "StopLcdAnimation1", "Stop Recording A&nimation", [this] { animation->stop(); });
    StopLcdAnimation1->setEnabled(false);
    File1->addSeparator();
    entry(File1, "PlayScenario1", "&Play Scenario...", [this] { scenario_dock->choose_and_play(); });
    StopScenario1 = entry(File1, "StopScenario1", "S&top Scenario", [this] { scenario->stop_playing(); });
    StopScenario1->setEnabled(false);
    RecordScenario1 = entry(File1, "RecordScenario1", "&Record Scenario...", &TfrmMain::RecordScenario1Click);
    StopRecording1 = entry(File1, "StopRecording1", "Stop Re&cording", [this] { scenario->stop_recording(); });
    StopRecording1->setEnabled(false);
    File1->addSeparator();
    entry(File1, "OpenFlight1", "Open &Flight...", [this] { recorded_flight->open_with_dialog(this); });
    CloseFlight1 = entry(File1, "CloseFlight1", "C&lose Flight", [this] { recorded_flight->close(); });
    CloseFlight1->setEnabled(false);
    entry(File1, "FlightReport1", "Flight &Report...",
          [this] { flight_report->write_with_dialog(this, recorded_flight->path()); });
    File1->addSeparator();
    QAction* Exit1 = entry(File1, "Exit1", "&Exit", &TfrmMain::Exit1Click);
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Exit1->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* Edit1 = menu("Edit1", "&Edit");
    QAction* CopyLcdPicture1 = entry(Edit1, "CopyLcdPicture1", "&Copy LCD Picture", &TfrmMain::CopyLcdPicture1Click);
    CopyLcdPicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    CopyLcdPicture1->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* View1 = menu("View1", "&View");
    LcdWindow1 = entry(View1, "LcdWindow1", "&LCD Window", &TfrmMain::open_lcd_window);
    LcdWindow1->setCheckable(true);

    QMenu* Options1 = menu("Options1", "&Options");
    entry(Options1, "EncoderPort1", "Encoder &Port...", &TfrmMain::EncoderPort1Click);
    entry(Options1, "FlightSimLink1", "&Flight Simulator Link...", &TfrmMain::FlightSimLink1Click);

    MainMenu1->addMenu(new HelpMenu(this));
}

void TfrmMain::compose(const QSurfaceFormat& pixel_format)
{
    client = new ClientArea(this);
    setCentralWidget(client);

    instrument = new InstrumentPanel(pixel_format, client);
    if (!instrument->bezel.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(instrument->bezel)));
    sensors = new SensorPanel(client);
    GroupBox1 = new CommunicationsBox(client);
    encoder_port = new EncoderPort(this);
    StatusBar1 = new StatusBar(client);

    keyboard = new KeyboardKeys(this);
    keyboard->keep_keys_in(GroupBox1);
    pictures = new LcdPictures(this);
    lcd_views = new LcdViews(this);
    connect(pictures, &LcdPictures::said, StatusBar1, &StatusBar::say);
    run_loop = new RunLoop(this);
    animation = new LcdAnimation(run_loop->shared_session(), this);
    connect(animation, &LcdAnimation::said, StatusBar1, &StatusBar::say);
    connect(animation, &LcdAnimation::frames_counted, StatusBar1, &StatusBar::show_animation_frames);
    connect(animation, &LcdAnimation::recording_changed, this, [this](bool recording) {
        RecordLcdAnimation1->setEnabled(!recording);
        StopLcdAnimation1->setEnabled(recording);
    });
    link = new LinkDriver(sensors, run_loop, this);
    sensors->follow(run_loop->shared_session());
    recorded_flight = new FlightDriver(run_loop, this);
    recorded_flight->take_drops_on(this);
    flight_report = new FlightReport(run_loop->shared_session(), this);
    addToolBar(Qt::TopToolBarArea, new FlightBar(recorded_flight, this));
    connect(link, &LinkDriver::status_changed, StatusBar1, &StatusBar::show_link_state);
    connect(link, &LinkDriver::message, StatusBar1, &StatusBar::say);

    scenario = new WindowScenario(run_loop, this);
    scenario_dock = new ScenarioDock(scenario, this);
    addDockWidget(Qt::BottomDockWidgetArea, scenario_dock);

    // The window starts at the client's least size plus the menu bar.
    int menu_height = MainMenu1->heightForWidth(CLIENT_WIDTH);
    if (menu_height <= 0)
        menu_height = MainMenu1->sizeHint().height();
    resize(CLIENT_WIDTH, CLIENT_HEIGHT + menu_height);
    client->set_parts(sensors, GroupBox1, StatusBar1);
}

void TfrmMain::connect_parts()
{
    connect(instrument, &InstrumentPanel::key, this, &TfrmMain::post_key);
    connect(instrument, &InstrumentPanel::on_pressed, run_loop, &RunLoop::Button1Click);
    connect(instrument, &InstrumentPanel::off_pressed, run_loop, &RunLoop::Button2Click);
    connect(instrument->LcdDC, &LcdSurface::key_pressed, keyboard, &KeyboardKeys::take);
    connect(keyboard, &KeyboardKeys::key, this, &TfrmMain::post_key);
    connect(keyboard, &KeyboardKeys::keys_moved, StatusBar1, &StatusBar::show_keys_holder);

    connect(sensors, &SensorPanel::input_moved, scenario, &WindowScenario::note_input);
    connect(run_loop, &RunLoop::inputs_moved, sensors, &SensorPanel::show_session_inputs);
    connect(sensors, &SensorPanel::sensor_box_changed, scenario, &WindowScenario::note_sensor);

    connect(run_loop, &RunLoop::lamp, instrument, &InstrumentPanel::set_lamp);
    connect(run_loop, &RunLoop::sentence, this, &TfrmMain::append_communications);
    connect(run_loop, &RunLoop::present, lcd_views, &LcdViews::present);
    connect(lcd_views, &LcdViews::panel_frame, instrument, &InstrumentPanel::present);
    connect(lcd_views, &LcdViews::key, this, &TfrmMain::post_key);
    connect(lcd_views, &LcdViews::window_closed, this, [this] { LcdWindow1->setChecked(false); });
    connect(run_loop, &RunLoop::switched_on, scenario, &WindowScenario::note_on);
    connect(run_loop, &RunLoop::switched_off, scenario, &WindowScenario::note_off);
    connect(run_loop, &RunLoop::pass_done, scenario, &WindowScenario::note_pass);
    const auto show_port_state = [this] { StatusBar1->show_encoder_port_state(encoder_port->status_text()); };
    show_port_state();
    connect(encoder_port, &EncoderPort::state_changed, StatusBar1, show_port_state);
    connect(run_loop, &RunLoop::tick, StatusBar1, show_port_state);
    connect(run_loop, &RunLoop::stopped, lcd_views, &LcdViews::show_off);
    connect(run_loop, &RunLoop::stopped, scenario, &WindowScenario::loop_stopped);

    connect(scenario, &WindowScenario::status, StatusBar1, &StatusBar::say);
    connect(scenario, &WindowScenario::playing_changed, StopScenario1, &QAction::setEnabled);
    connect(scenario, &WindowScenario::playing_changed, StatusBar1, &StatusBar::show_scenario_playing);
    connect(scenario, &WindowScenario::recording_changed, this, [this](bool recording) {
        RecordScenario1->setEnabled(!recording);
        StopRecording1->setEnabled(recording);
    });
    connect(scenario, &WindowScenario::finished, this, &TfrmMain::scenario_finished);
    connect(scenario, &WindowScenario::refused, this, [this](const QString& why) { warn(why, true); });
    connect(scenario, &WindowScenario::recording_failed, this, [this](const QString& why) { warn(why, false); });

    connect(recorded_flight, &FlightDriver::open_changed, CloseFlight1, &QAction::setEnabled);
    connect(recorded_flight, &FlightDriver::message, StatusBar1, &StatusBar::say);
    connect(flight_report, &FlightReport::message, StatusBar1, &StatusBar::say);
    connect(recorded_flight, &FlightDriver::warning, this, [this](const QString& text) { warn(text, false); });
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: no events for a form that is going away; the recording is
    // closed while the form can still hear of it.
    run_loop->Timer1->stop();
    scenario->stop_recording();
    disconnect(scenario, nullptr, this, nullptr);
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::centre_on_screen()
{
    QScreen* where = screen();
    if (where == nullptr)
        return;
    const QRect area = where->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

// Tells the user in a message box, unless the window is not shown or plays
// a scenario to its end unattended. A box that waits holds up the caller.
void TfrmMain::warn(const QString& text, bool wait)
{
    if (exit_when_done || !isVisible())
        return;
    if (wait) {
        QMessageBox::warning(this, QApplication::applicationName(), text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// ---------------------------------------------------------------------------
// The run loop and what a pass shows.

void TfrmMain::restore_placement()
{
    const QByteArray geometry = host_settings().value(QLatin1String(SETTINGS_GEOMETRY)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        centre_on_screen();
}

void TfrmMain::save_placement() const
{
    host_settings().setValue(QLatin1String(SETTINGS_GEOMETRY), saveGeometry());
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    save_placement();
    run_loop->Button2Click();
    event->accept();
}

void TfrmMain::Exit1Click()
{
    save_placement();
    run_loop->Button2Click();
    QCoreApplication::quit();
}

void TfrmMain::append_communications(const char* line)
{
    // The same bytes to the receiver, if the line is free for them.
    encoder_port->offer(line);
    GroupBox1->append_sentence(line);
}

void TfrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        GroupBox1->show_waiting();
}

void TfrmMain::open_lcd_window(bool open)
{
    lcd_views->open_window(open);
    LcdWindow1->setChecked(open);
}

void TfrmMain::CopyLcdPicture1Click()
{
    // Ctrl+C in the Communications box copies the lines selected there.
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && GroupBox1->isAncestorOf(focus) && GroupBox1->copy_selection()) {
        StatusBar1->say(QStringLiteral("Copied the selected lines"));
        return;
    }
    pictures->copy();
}

bool TfrmMain::apply_options(const sim_options& options)
{
    exit_when_done = options.exit_when_done;
    scenario_dock->set_unattended(exit_when_done);
    if (!options.record.isEmpty() && !scenario->start_recording(options.record)) {
        status = COMMAND_LINE_REFUSED;
        return false;
    }
    if (!options.control.isEmpty() && !listen_for_control(options.control)) {
        status = COMMAND_LINE_REFUSED;
        return false;
    }
    if (!options.serial.isEmpty())
        connect_encoder_port(options.serial, options.baud);
    if (!options.flight.isEmpty())
        recorded_flight->fly(options.flight);
    link->link()->set_qnh_target(QHostAddress(options.link_qnh_address), options.link_qnh_port);
    const bool linked = options.link_xplane ? link->subscribe(options.xplane_host, options.xplane_port)
                        : options.link_port != 0 ? link->listen(options.link_address, options.link_port)
                                                 : false;
    if (linked && !options.link_record.isEmpty())
        link->record(options.link_record);
    if (options.lcd_window || LcdWindow::was_open())
        open_lcd_window(true);
    if (!options.play.isEmpty() && !scenario->play(options.play)) {
        status = SCENARIO_BAD_LINE;
        return !exit_when_done;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Scenarios.

void TfrmMain::scenario_finished(int ended)
{
    status = ended;
    if (!exit_when_done)
        return;
    run_loop->Button2Click();
    // From the event loop: a scenario may end before it runs (a bad first
    // line, while the options are applied).
    QMetaObject::invokeMethod(
        this, [ended] { QCoreApplication::exit(ended); }, Qt::QueuedConnection);
}

void TfrmMain::RecordScenario1Click()
{
    scenario_dock->choose_and_record(run_loop->running());
}

// ---------------------------------------------------------------------------
// The encoder port.

void TfrmMain::EncoderPort1Click()
{
    if (encoder_port_dialog == nullptr)
        encoder_port_dialog = new EncoderPortDialog(encoder_port, this);
    encoder_port_dialog->show();
    encoder_port_dialog->raise();
    encoder_port_dialog->activateWindow();
}

void TfrmMain::FlightSimLink1Click()
{
    link->show_dialog(this);
}

bool TfrmMain::connect_encoder_port(const QString& name, int baud)
{
    QString message;
    if (encoder_port->open_port(name, baud, &message))
        return true;
    // A box that does not hold up the run loop: the instrument runs on behind it.
    warn(message, false);
    return false;
}

// ---------------------------------------------------------------------------
// The control socket.

bool TfrmMain::listen_for_control(const QString& path)
{
    control = new ControlSocket(run_loop, this);
    QString why;
    if (!control->listen(path, why)) {
        std::fprintf(stderr, "%s: --control: %s\n", PROGRAM_NAME, qPrintable(why));
        delete control;
        control = nullptr;
        return false;
    }
    connect(run_loop, &RunLoop::sentence, control, &ControlSocket::sentence);
    connect(control, &ControlSocket::message, StatusBar1, &StatusBar::say);
    // A test rig waits for this line before it connects.
    std::fprintf(stderr, "%s: control socket %s\n", PROGRAM_NAME, qPrintable(control->path()));
    std::fflush(stderr);
    StatusBar1->say(QStringLiteral("Control socket %1").arg(control->path()));
    return true;
}

// ---------------------------------------------------------------------------
// Keys and sliders.

void TfrmMain::post_key(uint8_t key)
{
    instrument_session& session = run_loop->session();
    const bool stored = !session.key_pending();
    session.post_key(key);
    // A second key while one is pending is lost on the instrument, and so
    // in the recording.
    if (stored)
        scenario->note_key(key);
}
