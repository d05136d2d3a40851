// A recorded flight in the window, played by its session (whose pacing and
// pauses the session's own tests check): opening one shows the flight bar
// with the log's pilot, date and airspeed source and grows the window by it;
// playing moves the sliders to the flight's values; at 10x each 100 ms of
// the timer plays a second of flight, and a recording of it replays headless
// to the same instrument; a hand on a slider or its field pauses, and the
// status bar says so; play switches the instrument on and runs the loop;
// closing gives the sliders back; a file that is no flight gives one message
// and no bar.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include "core/state.h"
#include "flight/sensor_mapping.h"
#include "scenario/fields.h"
#include "window/app/command_line.h"
#include "window/flight/flight_bar.h"
#include "window/flight/flight_driver.h"
#include "window/flight/flight_profile.h"
#include "window_support.h"

namespace {

constexpr double FEET_PER_METRE = 3.280839895;

// Two minutes from 12:00:00 UTC on 15 June 2026: 1000 m pressure altitude,
// 1100 m ten seconds later, then level; IAS 100 km/h, then 120.
QByteArray test_log(const char* extension = "IAS")
{
    QByteArray log = "AXXXTEST\r\nHFDTEDATE:150626,01\r\nHFPLTPILOTINCHARGE:T. Tester\r\n";
    if (extension[0] != '\0')
        log += QByteArray("I013638") + extension + "\r\n";
    for (int second = 0; second <= 120; second += 10) {
        const int metres = second == 0 ? 1000 : 1100;
        const int speed = second == 0 ? 100 : 120;
        log += QString::asprintf("B12%02d%02d4700000N00800000EA%05d%05d", second / 60, second % 60, metres, metres)
                   .toLatin1();
        if (extension[0] != '\0')
            log += QByteArray::number(speed);
        log += "\r\n";
    }
    return log;
}

}  // namespace

class tst_flight_bar : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    TfrmMain* form = nullptr;
    FlightDriver* driver = nullptr;
    FlightBar* bar = nullptr;

    QString write_file(const char* name, const QByteArray& text) { return write_test_file(dir, name, text); }
    QString status() const { return form->findChild<QStatusBar*>()->currentMessage(); }

private slots:
    void init()
    {
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
        // The ticks come from the test, one at a time.
        child<QTimer>(form, "Timer1")->stop();
        driver = child<FlightDriver>(form);
        bar = form->findChild<FlightBar*>();
        QVERIFY(bar != nullptr);
    }
    void cleanup()
    {
        delete form;
    }

    void opening_shows_the_bar_with_the_logs_header_data()
    {
        add_columns<QByteArray, QString>({"extension", "source"});
        QTest::newRow("IAS logged") << QByteArray("IAS") << QStringLiteral("ASI from the logged IAS");
        QTest::newRow("TAS logged") << QByteArray("TAS") << QStringLiteral("ASI from the logged TAS (no IAS)");
        QTest::newRow("no airspeed") << QByteArray() << QStringLiteral("ASI from the ground speed (no airspeed logged)");
    }
    void opening_shows_the_bar_with_the_logs_header()
    {
        QFETCH(QByteArray, extension);
        QFETCH(QString, source);
        const QSize client = child<ClientArea>(form, "client")->size();
        QVERIFY(bar->isHidden());
        QVERIFY(!child<QAction>(form, "CloseFlight1")->isEnabled());
        QVERIFY(driver->open(write_file("a.igc", test_log(extension.constData()))));
        QVERIFY(bar->isVisible());
        QVERIFY(child<QAction>(form, "CloseFlight1")->isEnabled());
        QCOMPARE(bar->AboutLabel->text(), QStringLiteral("T. Tester, 2026-06-15"));
        QCOMPARE(bar->SourceLabel->text(), source);
        QCOMPARE(bar->TimeLabel->text(), QStringLiteral("12:00:00 UTC"));
        QCOMPARE(bar->PositionSlider->maximum(), 1200);
        QVERIFY(!driver->playing());
        // The window grew by the bar: the client keeps its room.
        QTRY_COMPARE(child<ClientArea>(form, "client")->size(), client);
        driver->close();
        QVERIFY(bar->isHidden());
        QTRY_COMPARE(child<ClientArea>(form, "client")->size(), client);
    }

    void playing_moves_the_sliders_to_the_flights_values()
    {
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        driver->seek(12 * 3600 + 5.0);  // half way up: 1050 m, 110 km/h
        QCOMPARE(bar->TimeLabel->text(), QStringLiteral("12:00:05 UTC"));
        QCOMPARE(bar->PositionSlider->value(), 50);
        int altitude = -1, asi = -1;
        run_with(*form, {{100, [&] { driver->play(); }},
                         {200, [&] { child<RunLoop>(form)->Timer1Timer(); }},
                         {250, [&] {
                              altitude = child<QScrollBar>(form, "ScrollBar29")->value();
                              asi = child<QScrollBar>(form, "ScrollBar1")->value();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QCOMPARE(altitude, altitude_input_for(1050 * FEET_PER_METRE));
        QCOMPARE(asi, asi_input_for(110));
        QCOMPARE(st.altitude, altitude);
        QCOMPARE(driver->time(), 12 * 3600 + 5.1);
        QCOMPARE(bar->TimeLabel->text(), QStringLiteral("12:00:05 UTC"));
        // Off pauses the flight.
        QVERIFY(!driver->playing());
    }

    void ten_times_plays_a_second_a_tick_and_replays_from_its_recording()
    {
        // A recording starts from program start, which has no flight: the
        // flight is opened after it.
        const QString recording = dir.filePath(QStringLiteral("flight.scn"));
        QVERIFY(child<WindowScenario>(form)->start_recording(recording));
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        bar->SpeedBox->setCurrentIndex(3);
        emit bar->SpeedBox->activated(3);
        QCOMPARE(driver->speed(), 10);
        double after_one = 0, after_two = 0;
        run_with(*form, {{100, [&] { driver->play(); }},
                         {200, [&] { child<RunLoop>(form)->Timer1Timer(); }},
                         {300, [&] { after_one = driver->time(), child<RunLoop>(form)->Timer1Timer(); }},
                         {400, [&] { after_two = driver->time(), child<QPushButton>(form, "Button2")->click(); }}});
        child<WindowScenario>(form)->stop_recording();
        QCOMPARE(after_one, 12 * 3600 + 1.0);
        QCOMPARE(after_two, 12 * 3600 + 2.0);
        // The last tick at 12:00:01.9: 1019 m.
        QCOMPARE(child<QScrollBar>(form, "ScrollBar29")->value(), altitude_input_for(1019 * FEET_PER_METRE));

        // The recording replays headless to the same instrument.
        QStringList window_fields;
        char value[FIELD_VALUE_CAPACITY];
        QByteArray print = "print";
        for (const field_entry& field : field_table()) {
            format_field(field, value);
            window_fields << QStringLiteral("%1=%2").arg(QLatin1String(field.name), QLatin1String(value));
            print += QByteArray(" ") + field.name;
        }
        QFile file(recording);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QProcess replay;
        replay.start(QStringLiteral(KTR7_REPLAY_PATH), {QStringLiteral("-")});
        QVERIFY(replay.waitForStarted());
        replay.write(file.readAll() + print + "\n");
        replay.closeWriteChannel();
        QVERIFY(replay.waitForFinished(20000));
        QCOMPARE(replay.exitCode(), 0);
        QStringList replay_fields;
        for (const QByteArray& line : replay.readAllStandardOutput().split('\n'))
            if (!line.startsWith("serial ") && !line.isEmpty())
                replay_fields << QString::fromLatin1(line);
        QCOMPARE(replay_fields, window_fields);
    }

    void a_hand_on_a_slider_or_its_field_pauses()
    {
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        bool by_slider = true, by_field = true;
        int held = -1;
        run_with(*form, {{100, [&] { driver->play(); }},
                         {200, [&] { child<RunLoop>(form)->Timer1Timer(); }},
                         {250, [&] {
                              child<QScrollBar>(form, "ScrollBar29")->triggerAction(QAbstractSlider::SliderPageStepAdd);
                              by_slider = driver->playing();
                              held = child<QScrollBar>(form, "ScrollBar29")->value();
                              child<RunLoop>(form)->Timer1Timer();
                          }},
                         {300, [&] { driver->play(); }},
                         {350, [&] {
                              child<SensorPanel>(form)->field(sensor_input::asi_adc)->setValue(2000);
                              by_field = driver->playing();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QVERIFY(!by_slider);
        QVERIFY(!by_field);
        QVERIFY2(status().contains(QLatin1String("ASI slider was moved by hand")), qPrintable(status()));
        QVERIFY(held != altitude_input_for(1000 * FEET_PER_METRE));
        QCOMPARE(bar->PlayButton->text(), QStringLiteral("Play"));
    }

    void play_switches_the_instrument_on()
    {
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        QVERIFY(!child<RunLoop>(form)->running());
        bool ran = false;
        QString said;
        QObject scope;
        QTimer::singleShot(300, &scope, [&] { ran = child<RunLoop>(form)->running(), said = status(), child<QPushButton>(form, "Button2")->click(); });
        driver->play();
        QTRY_VERIFY(ran);
        QVERIFY2(said.contains(QLatin1String("Switched the instrument on")), qPrintable(said));
        QVERIFY2(status().contains(QLatin1String("paused: the instrument was switched off")), qPrintable(status()));
    }

    void closing_gives_the_sliders_back()
    {
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        int after_close = -1;
        run_with(*form, {{100, [&] { driver->play(); }},
                         {200, [&] { child<RunLoop>(form)->Timer1Timer(); }},
                         {250, [&] {
                              QTest::mouseClick(bar->CloseButton, Qt::LeftButton);
                              child<QScrollBar>(form, "ScrollBar29")->setValue(20000);
                              child<RunLoop>(form)->Timer1Timer();
                          }},
                         {300, [&] {
                              after_close = child<QScrollBar>(form, "ScrollBar29")->value();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QCOMPARE(after_close, 20000);
        QVERIFY(!driver->is_open());
        QVERIFY(bar->isHidden());
        QVERIFY(!child<QAction>(form, "CloseFlight1")->isEnabled());
    }

    void a_file_that_is_no_flight_gives_one_message_and_no_bar()
    {
        QSignalSpy warnings(driver, &FlightDriver::warning);
        MessageBoxCatcher box;
        const QString notes = write_file("notes.txt", "Shopping: bread, milk.\n");
        QVERIFY(!driver->fly(notes));
        QTRY_VERIFY(!box.text.isEmpty());
        QCOMPARE(box.text, warnings[0][0].toString());
        QCOMPARE(warnings.count(), 1);
        QVERIFY2(warnings[0][0].toString().startsWith(notes + QStringLiteral(": it is not a flight log")),
                 qPrintable(warnings[0][0].toString()));
        QVERIFY(bar->isHidden());
        QVERIFY(!child<RunLoop>(form)->running());

        // A flight already open stays open.
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        QVERIFY(!driver->open(notes));
        QVERIFY(driver->is_open());
        QVERIFY(bar->isVisible());
    }

    void a_log_with_skipped_records_warns_once_and_plays()
    {
        QByteArray log = test_log();
        log.insert(log.indexOf("B120010"), "B12001X4700000N00800000EA0100001000100\r\n");
        QSignalSpy warnings(driver, &FlightDriver::warning);
        const QString path = write_file("cut.igc", log);
        QVERIFY(driver->open(path));
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(warnings[0][0].toString(), path + QStringLiteral(": skipped 1 record: malformed at line 6"));
        QVERIFY(bar->isVisible());
    }

    void the_command_line_a_drop_and_the_menu_open_it()
    {
        sim_options options;
        options.flight = write_file("a.igc", test_log());
        bool ran = false;
        QObject scope;
        QTimer::singleShot(300, &scope, [&] { ran = child<RunLoop>(form)->running(), child<QPushButton>(form, "Button2")->click(); });
        QVERIFY(form->apply_options(options));
        QVERIFY(driver->is_open());
        QVERIFY(driver->playing());
        QTRY_VERIFY(ran);
        child<QAction>(form, "CloseFlight1")->trigger();
        QVERIFY(!driver->is_open());

        // A log dropped on the window.
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(options.flight)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &enter);
        QVERIFY(enter.isAccepted());
        QTimer::singleShot(300, &scope, [this] { child<QPushButton>(form, "Button2")->click(); });
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(driver->is_open());
        QVERIFY(driver->playing());
        QTRY_VERIFY(!driver->playing());  // Off
    }

    void the_profile_maps_the_whole_flight_to_its_width()
    {
        QVERIFY(driver->open(write_file("a.igc", test_log())));
        FlightProfile* profile = bar->Profile;
        const int last = profile->width() - 1;
        QCOMPARE(profile->time_at(0), 12 * 3600.0);
        QCOMPARE(profile->time_at(last), 12 * 3600 + 120.0);
        QCOMPARE(profile->time_at(-5), 12 * 3600.0);
        QCOMPARE(profile->time_at(last + 1), 12 * 3600 + 120.0);
        QCOMPARE(profile->x_of(12 * 3600 + 60.0), int(std::lround(last / 2.0)));
        QTest::mouseClick(profile, Qt::LeftButton, {}, QPoint(last, profile->height() / 2));
        QCOMPARE(driver->time(), 12 * 3600 + 120.0);
        QCOMPARE(profile->marked_time(), 12 * 3600 + 120.0);
    }
};

QTEST_MAIN(tst_flight_bar)
#include "tst_flight_bar.moc"
