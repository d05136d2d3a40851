// "On", the run loop and Off; the program ending with its window or File/Exit
// while the loop runs is in the application's tests.
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>

#include "core/state.h"
#include "gfx/lcd.h"
#include "window/lcd/lcd_window.h"
#include "screens/framework.h"
#include "screens/screens.h"
#include "window_support.h"

namespace {

// The factory settings, captured once from load_default_settings.
instrument_state factory()
{
    instrument_state saved = st;
    load_default_settings();
    load_default_calibration();
    instrument_state defaults = st;
    st = saved;
    return defaults;
}

}  // namespace

class tst_run_loop : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        // The LCD window's place is a host preference; keep the tests' own.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
    }
    void cleanupTestCase()
    {
        delete form;
    }
    void init()
    {
        child<QPlainTextEdit>(form, "Memo1")->clear();
        child<QCheckBox>(form, "CheckBox1")->setChecked(true);
        for (QScrollBar* bar : {child<QScrollBar>(form, "ScrollBar29"), child<QScrollBar>(form, "ScrollBar2"), child<QScrollBar>(form, "ScrollBar1")})
            bar->setValue(0);
        QVERIFY(!child<RunLoop>(form)->running());
    }

    void passes_sample_inputs_and_write_sentences()
    {
        // Unchecked at "On", checked while running: each pass reads the box.
        child<QCheckBox>(form, "CheckBox1")->setChecked(false);
        st.alt_sensor_ok = 1;
        int sensor_when_unchecked = -1;
        bool serial_off_wrote_nothing = false;
        int lines_when_on = -1;
        run_with(*form, {
                            // Serial output is off after "On" and writes nothing until it
                            // is switched on while running, as the setup screen does.
                            {100, [&] {
                                 serial_off_wrote_nothing = st.serial_out == 0 && child<QPlainTextEdit>(form, "Memo1")->toPlainText().isEmpty();
                                 st.serial_out = 1;
                                 sensor_when_unchecked = st.alt_sensor_ok;
                                 child<QCheckBox>(form, "CheckBox1")->setChecked(true);
                             }},
                            {400, [&] {
                                 lines_when_on = child<QPlainTextEdit>(form, "Memo1")->blockCount();
                                 child<QPushButton>(form, "Button2")->click();
                             }},
                        });
        QVERIFY(serial_off_wrote_nothing);
        QCOMPARE(sensor_when_unchecked, 0);
        QCOMPARE(int(st.alt_sensor_ok), 1);
        // One sentence per pass: many passes in 300 ms.
        const int lines = child<QPlainTextEdit>(form, "Memo1")->blockCount();
        qInfo("%d sentences in 300 ms", lines);
        QVERIFY2(lines >= 10, qPrintable(QString::number(lines)));
        QVERIFY(lines_when_on >= 5);

        // Off: no pass runs, so nothing more arrives.
        QTest::qWait(300);
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->blockCount(), lines);
    }

    void switch_on_resets()
    {
        const instrument_state defaults = factory();
        // Disturb everything "On" resets, and some things it keeps.
        st.qnh = 999000, st.security_enabled = uint8_t(!defaults.security_enabled), st.asi_cal_percent = 55;
        st.max_airspeed = 123, st.edit_step = 100, st.flight_active = 1, st.landing_countdown = 7;
        st.flight_hours = 3, st.flight_minutes = 4, st.flight_seconds = 5, st.flight_tenths = 6;
        st.test_altitude = 4321, st.menu_cursor = 2;
        child<QScrollBar>(form, "ScrollBar29")->setValue(2500);
        // A key posted while off waits, and On discards it: were it kept, the
        // push would open the main menu.
        QTest::mouseClick(child<TClickImage>(form, "Image8"), Qt::LeftButton);
        QCOMPARE(int(st.pending_key), int(KEY_PUSH));
        st.current_screen = nullptr;

        instrument_state first_pass{};
        bool seen = false;
        run_with(*form, {{0, [&] { first_pass = st, seen = true; }}, {150, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QVERIFY(seen);
        // Reset as the first pass finds them, then what On keeps.
        const instrument_state& p = first_pass;
        const struct { const char* name; long value, want; } fields[] = {
            {"qnh", p.qnh, defaults.qnh},           {"security_enabled", p.security_enabled, defaults.security_enabled},
            {"asi_cal_percent", p.asi_cal_percent, defaults.asi_cal_percent}, {"max_airspeed", p.max_airspeed, 0},
            {"edit_step", p.edit_step, 1},          {"flight_active", p.flight_active, 0},
            {"landing_countdown", p.landing_countdown, 0}, {"flight_hours", p.flight_hours, 0},
            {"flight_minutes", p.flight_minutes, 0}, {"flight_seconds", p.flight_seconds, 0},
            {"flight_tenths", p.flight_tenths, 0},   {"alarm_active", p.alarm_active, 0},
            {"pending_key", st.pending_key, KEY_NONE}, {"test_altitude", st.test_altitude, 4321},
            {"menu_cursor", st.menu_cursor, 2},     {"altitude", st.altitude, 2500},
            {"altitude slider", child<QScrollBar>(form, "ScrollBar29")->value(), 2500},
        };
        for (const auto& f : fields)
            QVERIFY2(f.value == f.want,
                     qPrintable(QStringLiteral("%1 is %2, not %3").arg(f.name).arg(f.value).arg(f.want)));
        QVERIFY(st.current_screen == screen_main);
        // The trig tables are filled.
        QVERIFY(sin_pos[90] > 0.999f && cos_pos[0] > 0.999f);
    }

    void flight_timer_steps_once_per_tick()
    {
        // A running flight timer steps once per 100 ms tick while the loop runs.
        int steps = -1;
        auto start_a_flight = [] {
            st.tick_counter = 0, st.flight_active = 1, st.flight_tenths = 0, st.flight_seconds = 0, st.flight_minutes = 0;
        };
        run_with(*form, {{100, start_a_flight},
                         {1100,
                          [&] {
                              steps = st.flight_tenths + 10 * st.flight_seconds + 600 * st.flight_minutes;
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QVERIFY2(steps >= 4 && steps <= 12, qPrintable(QString::number(steps)));
        // The pass consumes tick_counter as soon as it reads 1.
        QVERIFY(st.tick_counter <= 1);
    }

    void on_again_while_running_does_not_nest_and_off_stops_the_loop()
    {
        const instrument_state defaults = factory();
        bool inner_returned = false;
        bool inner_returned_while_running = false;
        uint32_t qnh_after = 0;
        uint8_t key_after = 9;
        QElapsedTimer clock;
        clock.start();
        run_with(*form, {{100,
                          [&] {
                              st.qnh = 999000, st.pending_key = KEY_LEFT;
                              QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton);
                              inner_returned = true;
                              inner_returned_while_running = st.stop_requested == 0 && child<RunLoop>(form)->running();
                              qnh_after = st.qnh;
                              key_after = st.pending_key;
                          }},
                         {150, [&] { QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton); }},
                         {200, [&] { QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton); }},
                         // One Off stops it all.
                         {400, [&] { QTest::mouseClick(child<QPushButton>(form, "Button2"), Qt::LeftButton); }}});
        // Returned because of Off, long before the guard.
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(inner_returned);
        QVERIFY(inner_returned_while_running);
        QCOMPARE(qnh_after, defaults.qnh);
        QCOMPARE(int(key_after), int(KEY_NONE));
        QVERIFY(!child<RunLoop>(form)->running());
        QCOMPARE(int(st.stop_requested), 1);
    }

    // Off darkens the LCD as the hardware's would be, on the window's
    // surface and in the LCD window, opened before or after Off; the frame
    // stays in the instrument's buffer. On shows the instrument's frames again.
    void off_shows_the_lcd_dark()
    {
        const auto dark = [](const QImage& picture) {
            for (int y = 0; y < picture.height(); y++)
                for (int x = 0; x < picture.width(); x++)
                    if ((picture.pixel(x, y) & 0xFFFFFF) != 0)
                        return false;
            return true;
        };
        const auto surface_dark = [&] {
            return child<InstrumentPanel>(form)->LcdDC->shown_buffer != nullptr &&
                   std::all_of(child<InstrumentPanel>(form)->LcdDC->shown_buffer, child<InstrumentPanel>(form)->LcdDC->shown_buffer + LCD_WIDTH * LCD_HEIGHT,
                               [](uint8_t index) { return index == 0; });
        };
        child<QAction>(form, "LcdWindow1")->trigger();
        bool dark_while_on = true;
        run_with(*form, {{300,
                          [&] {
                              dark_while_on = surface_dark() || dark(child<LcdViews>(form)->window()->grab().toImage());
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QVERIFY(!dark_while_on);
        QVERIFY(surface_dark());
        QVERIFY(dark(child<LcdViews>(form)->window()->grab().toImage()));
        QVERIFY(std::any_of(lcd_buffer, lcd_buffer + LCD_WIDTH * LCD_HEIGHT, [](uint8_t index) { return index != 0; }));
        child<LcdViews>(form)->window()->close();
        child<QAction>(form, "LcdWindow1")->trigger();
        QVERIFY(dark(child<LcdViews>(form)->window()->grab().toImage()));
        child<LcdViews>(form)->window()->close();
    }

    // The lamp follows the airspeed alarm while the loop runs; Off keeps it
    // as it was, and the next run shows the alarm gone with the airspeed.
    void off_keeps_last_frame_and_lamp()
    {
        QColor lamp_before;
        run_with(*form, {{0, [&] { child<QScrollBar>(form, "ScrollBar1")->setValue(4096); }},
                         {500,
                          [&] {
                              lamp_before = child<TShape>(form, "Shape1")->brushColor();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QCOMPARE(lamp_before, QColor(255, 0, 0));
        QTest::qWait(200);
        // Nothing is cleared by Off: the lamp, and the last frame in the
        // instrument's buffer.
        QCOMPARE(child<TShape>(form, "Shape1")->brushColor(), QColor(255, 0, 0));
        const QByteArray last_frame(reinterpret_cast<const char*>(lcd_buffer), sizeof lcd_buffer);
        QVERIFY(last_frame.count('\0') < last_frame.size());
        child<QScrollBar>(form, "ScrollBar1")->setValue(0);
        run_with(*form, {{300, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QCOMPARE(child<TShape>(form, "Shape1")->brushColor(), QColor(128, 0, 0));
    }
};

QTEST_MAIN(tst_run_loop)
#include "tst_run_loop.moc"
