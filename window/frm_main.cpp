#include "window/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cstring>
#include <utility>

#include "core/state.h"
#include "gfx/lcd.h"
#include "window/bezel_jpeg.h"
#include "window/encoder_port.h"
#include "window/encoder_port_dialog.h"
#include "window/command_line.h"
#include "picture/lcd_png.h"
#include "window/lcd_window.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "scenario/expect.h"
#include "scenario/scenario_player.h"
#include "window/wheel_steps.h"
#include "screens/framework.h"
#include "screens/screens.h"

TfrmMain* frmMain = nullptr;

namespace {

const QColor LAMP_RED(255, 0, 0);
const QColor LAMP_MAROON(128, 0, 0);

// Where the screen does not tell its refresh rate.
constexpr double DEFAULT_REFRESH_HZ = 60.0;
constexpr qint64 NS_PER_SECOND = 1000000000;
constexpr qint64 NS_PER_MS = 1000000;
// The scale the picture dialog offers first.
constexpr int DEFAULT_PICTURE_SCALE = 3;

void show_surface_message(const char* text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromLatin1(text),
                    QMessageBox::Ok);
    box.exec();
}

QLabel* make_label(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QScrollBar* make_slider(QWidget* parent, const char* name, int left, int top, sensor_input input)
{
    const sensor_input_info& range = sensor_input_of(input);
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(left, top, 137, 17);
    bar->setRange(range.minimum, range.maximum);
    bar->setSingleStep(1);
    bar->setPageStep(range.page_step);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Scroll bars invert their keys by default; as a slider, Right and Up
    // raise the value.
    bar->setInvertedControls(false);
    return bar;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* text, int left, int top,
                         int width, int height)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

TClickImage* make_click_image(QWidget* parent, const char* name, int left, int top, int size,
                              void (*on_click)())
{
    auto* image = new TClickImage(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(left, top, size, size);
    image->on_click = on_click;
    return image;
}

void set_label_number(QLabel* label, int value)
{
    label->setText(QString::number(value));
    label->adjustSize();
}

}  // namespace

// ---------------------------------------------------------------------------

TShape::TShape(QWidget* parent) : QWidget(parent), brush(LAMP_MAROON)
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
    if (pressed && inside && on_click)
        on_click();
    pressed = false;
    event->accept();
}

void TClickImage::wheelEvent(QWheelEvent* event)
{
    if (!on_wheel_step) {
        event->ignore();
        return;
    }
    take_wheel_steps(wheel_rest, event->angleDelta().y(), on_wheel_step);
    event->accept();
}

// ---------------------------------------------------------------------------

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

    build_controls();
    FormCreate(pixel_format);

    qApp->installEventFilter(this);
    Timer1->start();
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

    File1 = menu("File1", "&File");
    SaveLcdPicture1 = entry(File1, "SaveLcdPicture1", "&Save LCD Picture...", &TfrmMain::SaveLcdPicture1Click);
    SaveLcdPicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveLcdPicture1->setShortcutContext(Qt::ApplicationShortcut);
    File1->addSeparator();
    PlayScenario1 = entry(File1, "PlayScenario1", "&Play Scenario...", &TfrmMain::PlayScenario1Click);
    StopScenario1 = entry(File1, "StopScenario1", "S&top Scenario", &TfrmMain::StopScenario1Click);
    StopScenario1->setEnabled(false);
    RecordScenario1 = entry(File1, "RecordScenario1", "&Record Scenario...", &TfrmMain::RecordScenario1Click);
    StopRecording1 = entry(File1, "StopRecording1", "Stop Re&cording", &TfrmMain::StopRecording1Click);
    StopRecording1->setEnabled(false);
    File1->addSeparator();
    Exit1 = entry(File1, "Exit1", "&Exit", &TfrmMain::Exit1Click);

    Edit1 = menu("Edit1", "&Edit");
    CopyLcdPicture1 = entry(Edit1, "CopyLcdPicture1", "&Copy LCD Picture", &TfrmMain::CopyLcdPicture1Click);
    CopyLcdPicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    CopyLcdPicture1->setShortcutContext(Qt::ApplicationShortcut);

    View1 = menu("View1", "&View");
    LcdWindow1 = entry(View1, "LcdWindow1", "&LCD Window", &TfrmMain::LcdWindow1Click);
    LcdWindow1->setCheckable(true);

    Options1 = menu("Options1", "&Options");
    EncoderPort1 = entry(Options1, "EncoderPort1", "Encoder &Port...", &TfrmMain::EncoderPort1Click);
}

void TfrmMain::build_controls()
{
    build_menu();

    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    setCentralWidget(client);

    // The bezel picture first, so everything else lies over it.
    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 241, 249);
    Image1->setScaledContents(true);
    Image1->setFocusPolicy(Qt::ClickFocus);
    bezel = decode_jpeg(bezel_jpeg, bezel_jpeg_size);
    if (!bezel.isNull()) {
        Image1->setPixmap(QPixmap::fromImage(bezel));
        setWindowIcon(QIcon(QPixmap::fromImage(bezel)));
    }

    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(40, 57, 163, 129);
    Panel1->setAutoFillBackground(true);
    QPalette black_palette = Panel1->palette();
    black_palette.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black_palette);
    Panel1->setFocusPolicy(Qt::ClickFocus);

    Image2 = make_click_image(client, "Image2", 52, 192, 33, Image2Click);
    Image3 = make_click_image(client, "Image3", 154, 192, 33, Image3Click);
    Image8 = make_click_image(client, "Image8", 100, 196, 41, Image8Click);
    Image8->on_wheel_step = [](bool clockwise) { post_key(clockwise ? KEY_CW : KEY_CCW); };

    Button3 = make_button(client, "Button3", "+", 64, 232, 33, 25);
    Button4 = make_button(client, "Button4", "-", 144, 232, 33, 25);
    QFont big_font = font();
    big_font.setBold(true);
    big_font.setPointSize(12);
    Button3->setFont(big_font);
    Button4->setFont(big_font);
    connect(Button3, &QPushButton::clicked, this, [] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [] { Button4Click(); });

    Button1 = make_button(client, "Button1", "&On", 56, 272, 75, 25);
    Button2 = make_button(client, "Button2", "&Off", 152, 272, 75, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    Shape1 = new TShape(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 248, 33, 65);

    Label55 = make_label(client, "Label55", "Altitude:", 256, 8);
    Label57 = make_label(client, "Label57", "0", 304, 8);
    ScrollBar29 = make_slider(client, "ScrollBar29", 352, 8, sensor_input::altitude);
    Label3 = make_label(client, "Label3", "VSI:", 256, 32);
    ScrollBar2 = make_slider(client, "ScrollBar2", 352, 32, sensor_input::vertical_speed);
    Label1 = make_label(client, "Label1", "ASI:", 256, 56);
    Label2 = make_label(client, "Label2", "0", 304, 56);
    ScrollBar1 = make_slider(client, "ScrollBar1", 352, 56, sensor_input::asi_adc);
    connect(ScrollBar29, &QScrollBar::valueChanged, this, [this](int v) { ScrollBar29Change(v); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this](int v) { ScrollBar2Change(v); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int v) { ScrollBar1Change(v); });

    CheckBox1 = new QCheckBox(QStringLiteral("Altitude Sensor"), client);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(256, 88, 97, 17);
    CheckBox1->setChecked(true);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool ok) { record(ok ? "sensor ok" : "sensor fault"); });
    CheckBox2 = new QCheckBox(QStringLiteral("Calibrate"), client);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(376, 88, 97, 17);
    CheckBox2->setChecked(false);

    GroupBox1 = new QGroupBox(QStringLiteral(" Communications: "), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(248, 120, 249, 185);
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMaximumBlockCount(MEMO_LINES);
    Memo1->setUndoRedoEnabled(false);
    connect(Memo1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!appending)
            memo_follows = value >= Memo1->verticalScrollBar()->maximum();
    });
    auto* memo_layout = new QVBoxLayout(GroupBox1);
    memo_layout->setContentsMargins(6, 4, 6, 6);
    memo_layout->addWidget(Memo1);

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 310, CLIENT_WIDTH, 19);
    EncoderPortLabel = new QLabel(StatusBar1);
    EncoderPortLabel->setObjectName(QStringLiteral("EncoderPortLabel"));
    StatusBar1->addWidget(EncoderPortLabel, 1);
    encoder_port = new EncoderPort(this);
    connect(encoder_port, &EncoderPort::state_changed, this, [this] { show_encoder_port_state(); });
    show_encoder_port_state();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    pace_timer = new QTimer(this);
    pace_timer->setSingleShot(true);
    pace_timer->setTimerType(Qt::PreciseTimer);
    lcd_window = nullptr;

    // The client area has a fixed size; the window is that plus the menu bar.
    int menu_height = MainMenu1->heightForWidth(CLIENT_WIDTH);
    if (menu_height <= 0)
        menu_height = MainMenu1->sizeHint().height();
    setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT + menu_height);
}

void TfrmMain::FormCreate(const QSurfaceFormat& pixel_format)
{
    LcdDC = new LcdSurface;
    LcdDC->resize(Panel1->size());
    LcdDC->on_key = [](int key) { return frmMain != nullptr && frmMain->KeyboardKey(key); };
    surface_status = LcdDC->create_surface(pixel_format);
    LcdContainer = QWidget::createWindowContainer(LcdDC, Panel1);
    LcdContainer->setObjectName(QStringLiteral("LcdContainer"));
    LcdContainer->setGeometry(0, 0, Panel1->width(), Panel1->height());
    LcdContainer->setFocusPolicy(Qt::NoFocus);
    if (surface_status == lcd_surface_status::create_failed)
        show_surface_message("Creating Rendering Context failed.");
    else if (surface_status == lcd_surface_status::make_current_failed)
        show_surface_message("MakeCurrent of rendering context failed.");

    st.current_screen = screen_main;
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: no events for a form that is going away, then the
    // rendering context goes before its surface.
    qApp->removeEventFilter(this);
    Timer1->stop();
    stop_recording();
    if (lcd_window != nullptr) {
        lcd_window->save_placement(lcd_window->isVisible());
        delete lcd_window;
    }
    LcdDC->release();
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

// ---------------------------------------------------------------------------
// The run loop.

const host_io& TfrmMain::host()
{
    static const host_io io = {
        nullptr,
        [](void*, bool red) { frmMain->set_lamp(red); },
        [](void*) { return frmMain->CheckBox1->isChecked(); },
        [](void*, const char* line) { frmMain->append_communications(line); },
        [](void*) { frmMain->present(); },
        [](void*) { frmMain->process_events_paced(); },
    };
    return io;
}

void TfrmMain::Button1Click()
{
    host_switch_on();
    record("on");
    run_loop();
}

void TfrmMain::run_loop()
{
    loop_queued = false;
    // "On" while running: the loop already on the stack carries on with the
    // freshly reset instrument, instead of starting a second loop inside its
    // event processing (which would deepen the stack with every press).
    if (loop_running)
        return;
    loop_running = true;
    pace_clock.start();
    next_frame_ns = 0;
    while (st.stop_requested == 0) {
        run_pass(host());
        passes_run++;
    }
    loop_running = false;
    if (!record_after_stop.isEmpty())
        start_recording_now(std::exchange(record_after_stop, QString()));
}

qint64 TfrmMain::frame_interval_ns() const
{
    const QScreen* where = screen();
    double hz = where != nullptr ? where->refreshRate() : 0.0;
    if (!(hz >= 1.0))
        hz = DEFAULT_REFRESH_HZ;
    return qint64(double(NS_PER_SECOND) / hz);
}

void TfrmMain::process_events_paced()
{
    // The pass has done its work; what the events now bring comes after it.
    note_pass();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A pass run on its own (not by "On") has no frames to keep to.
    if (!loop_running || !pace_clock.isValid())
        return;
    // One pass a refresh. Where the swap waits for the display the next frame
    // is already due here; elsewhere (no vertical sync, a hidden or covered
    // window) the loop blocks in event processing until it is, so timer
    // ticks, clicks, sliders and Off are handled at once while it waits.
    const qint64 interval = frame_interval_ns();
    const qint64 now = pace_clock.nsecsElapsed();
    next_frame_ns += interval;
    // After a stall (a dialog, a busy machine) start afresh instead of
    // racing to catch up.
    if (next_frame_ns < now - interval)
        next_frame_ns = now;
    while (st.stop_requested == 0) {
        const qint64 remaining = next_frame_ns - pace_clock.nsecsElapsed();
        if (remaining <= 0)
            break;
        pace_timer->start(int((remaining + NS_PER_MS - 1) / NS_PER_MS));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    pace_timer->stop();
}

void TfrmMain::Button2Click()
{
    host_switch_off();
    record("off");
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    host_switch_off();
    event->accept();
}

void TfrmMain::Exit1Click()
{
    host_switch_off();
    QCoreApplication::quit();
}

void TfrmMain::Timer1Timer()
{
    host_timer_tick();
    note_tick();
    show_encoder_port_state();
}

void TfrmMain::set_lamp(bool red)
{
    Shape1->setBrushColor(red ? LAMP_RED : LAMP_MAROON);
}

void TfrmMain::append_communications(const char* line)
{
    // Each sentence is one line of the box. Its terminator (the carriage
    // return) and any other control character have no picture, and a
    // carriage return would otherwise start an empty line of its own.
    QString text;
    for (const char* p = line; *p != '\0'; p++) {
        if (static_cast<unsigned char>(*p) >= 0x20)
            text.append(QLatin1Char(*p));
    }
    // The same bytes to the receiver, if the line is free for them.
    encoder_port->offer(line);
    // While the window is minimised nobody reads the box: its lines wait
    // (the newest MEMO_LINES of them) and go in at once when it is restored.
    if (isMinimized()) {
        memo_waiting.append(text);
        if (memo_waiting.size() >= 2 * MEMO_LINES)
            memo_waiting.remove(0, memo_waiting.size() - MEMO_LINES);
        return;
    }
    show_in_memo(text);
}

void TfrmMain::show_in_memo(const QString& text)
{
    QScrollBar* bar = Memo1->verticalScrollBar();
    appending = true;
    Memo1->appendPlainText(text);
    // Follow the newest line unless the user has scrolled back to read.
    if (memo_follows)
        bar->setValue(bar->maximum());
    appending = false;
}

void TfrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || isMinimized() || memo_waiting.isEmpty())
        return;
    const qsizetype keep = qMin(memo_waiting.size(), qsizetype(MEMO_LINES));
    show_in_memo(memo_waiting.sliced(memo_waiting.size() - keep).join(QLatin1Char('\n')));
    memo_waiting.clear();
}

void TfrmMain::present()
{
    // A minimised or hidden surface is not drawn: nobody can see it, and the
    // next pass (or its expose event) draws the newest frame when it is
    // shown again. A surface inside a minimised window still counts itself
    // exposed, so the window's own state is asked as well.
    if (LcdDC->isExposed() && !isMinimized()) {
        LcdDC->RedrawLcd(lcd_buffer);
        LcdDC->swap();
    } else {
        LcdDC->shown_buffer = lcd_buffer;
    }
    if (lcd_window != nullptr)
        lcd_window->show_frame(lcd_buffer);
}

// ---------------------------------------------------------------------------
// The large LCD view and LCD pictures.

void TfrmMain::open_lcd_window(bool open)
{
    if (open && lcd_window == nullptr) {
        lcd_window = new LcdWindow;
        lcd_window->restore_placement();
        lcd_window->on_key = [](int qt_key) {
            uint8_t key;
            if (instrument_key(qt_key, key))
                post_key(key);
        };
        lcd_window->on_wheel_step = [](bool clockwise) { post_key(clockwise ? KEY_CW : KEY_CCW); };
    }
    if (lcd_window == nullptr)
        return;
    if (open) {
        lcd_window->show_frame(lcd_buffer);
        lcd_window->show();
        lcd_window->raise();
        lcd_window->show_frame(lcd_buffer);
    } else if (lcd_window->isVisible()) {
        lcd_window->close();
    }
    LcdWindow1->setChecked(open);
}

void TfrmMain::LcdWindow1Click(bool open)
{
    open_lcd_window(open);
}

bool TfrmMain::save_lcd_picture(const QString& path, int scale, const uint8_t* buffer)
{
    char why[160];
    if (write_png_of(buffer, QFile::encodeName(path).constData(), scale, why, sizeof why))
        return true;
    QMessageBox::warning(this, QApplication::applicationName(),
                         QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(why)));
    return false;
}

void TfrmMain::SaveLcdPicture1Click()
{
    // The picture is the LCD at the moment of the command, not after the
    // dialogs have been answered.
    static uint8_t taken[sizeof lcd_buffer];
    std::memcpy(taken, lcd_buffer, sizeof taken);
    bool ok = false;
    const int scale = QInputDialog::getInt(this, QStringLiteral("Save LCD Picture"),
                                           QStringLiteral("Scale (each LCD pixel N x N):"),
                                           DEFAULT_PICTURE_SCALE, PNG_SCALE_MIN, PNG_SCALE_MAX, 1, &ok);
    if (!ok)
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save LCD Picture"),
                                                      QStringLiteral("ktr7-lcd.png"),
                                                      QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty())
        return;
    save_lcd_picture(path, scale, taken);
}

void TfrmMain::CopyLcdPicture1Click()
{
    QApplication::clipboard()->setImage(lcd_picture(lcd_buffer, DEFAULT_PICTURE_SCALE));
}

bool TfrmMain::apply_options(const sim_options& options)
{
    exit_when_done = options.exit_when_done;
    if (!options.record.isEmpty() && !start_recording(options.record)) {
        exit_status = COMMAND_LINE_REFUSED;
        return false;
    }
    if (!options.serial.isEmpty())
        connect_encoder_port(options.serial, options.baud);
    if (options.lcd_window || LcdWindow::was_open())
        open_lcd_window(true);
    if (!options.play.isEmpty() && !play_scenario(options.play)) {
        exit_status = PLAYER_BAD_LINE;
        return !exit_when_done;
    }
    return true;
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

bool TfrmMain::connect_encoder_port(const QString& name, int baud)
{
    QString message;
    if (encoder_port->open_port(name, baud, &message))
        return true;
    // Window-modal but not exec'd: the instrument runs on behind it.
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
}

void TfrmMain::show_encoder_port_state()
{
    const QString text = encoder_port->status_text();
    if (EncoderPortLabel->text() != text)
        EncoderPortLabel->setText(text);
}

// ---------------------------------------------------------------------------
// Keys and sliders.

void TfrmMain::Image2Click()
{
    post_key(KEY_LEFT);
}

void TfrmMain::Image3Click()
{
    post_key(KEY_RIGHT);
}

void TfrmMain::Image8Click()
{
    post_key(KEY_PUSH);
}

void TfrmMain::Button3Click()
{
    post_key(KEY_CW);
}

void TfrmMain::Button4Click()
{
    post_key(KEY_CCW);
}

void TfrmMain::ScrollBar29Change(int position)
{
    set_label_number(Label57, position);
    host_set_altitude(position);
    record(qPrintable(QStringLiteral("altitude %1").arg(position)));
}

void TfrmMain::ScrollBar2Change(int position)
{
    set_label_number(Label3, position);
    host_set_vertical_speed(position);
    record(qPrintable(QStringLiteral("vsi %1").arg(position)));
}

void TfrmMain::ScrollBar1Change(int position)
{
    set_label_number(Label2, position);
    host_set_asi_adc(position);
    record(qPrintable(QStringLiteral("asi %1").arg(position)));
}

bool TfrmMain::keyboard_posts_keys() const
{
    if (QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr)
        return false;
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return true;
    if (focus->window() != this)
        return false;
    if (qobject_cast<const QScrollBar*>(focus) != nullptr)
        return false;
    if (focus == Memo1 || Memo1->isAncestorOf(focus))
        return false;
    return true;
}

bool TfrmMain::instrument_key(int qt_key, uint8_t& key)
{
    switch (qt_key) {
    case Qt::Key_Left: key = KEY_LEFT; break;
    case Qt::Key_Right: key = KEY_RIGHT; break;
    case Qt::Key_Up:
    case Qt::Key_Plus: key = KEY_CW; break;
    case Qt::Key_Down:
    case Qt::Key_Minus: key = KEY_CCW; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: key = KEY_PUSH; break;
    default: return false;
    }
    return true;
}

bool TfrmMain::KeyboardKey(int qt_key)
{
    uint8_t key;
    if (!instrument_key(qt_key, key) || !keyboard_posts_keys())
        return false;
    post_key(key);
    return true;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the LCD window by its own title bar unchecks the menu entry.
    if (watched == lcd_window && lcd_window != nullptr && event->type() == QEvent::Close)
        LcdWindow1->setChecked(false);
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return false;
    auto* key_event = static_cast<QKeyEvent*>(event);
    if (key_event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return KeyboardKey(key_event->key());
}
