// Scenarios in the window: a recorded session replays headless to the same
// fields and LCD, --play with --exit-when-done gives the replay tool's exit
// statuses (a bad first line too), and the ready scenarios hold played live,
// the recorded flight's with its flight at 60 times real time.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "core/state.h"
#include "gfx/lcd.h"
#include "scenario/fields.h"
#include "window_support.h"

class tst_scenario_window : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString write_file(const char* name, const QByteArray& text) { return write_test_file(dir, name, text); }

    // ktr7-sim --play SCENARIO --exit-when-done on the test's display.
    static int play(const QString& scenario, QString* err)
    {
        QProcess program;
        program.start(QStringLiteral(KTR7_SIM_PATH),
                      {QStringLiteral("--play"), scenario, QStringLiteral("--exit-when-done")});
        if (!program.waitForFinished(20000))
            return -1;
        *err = QString::fromLocal8Bit(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

private slots:
    void a_recorded_session_replays_to_the_same_state()
    {
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        const QString recording = dir.filePath(QStringLiteral("session.scn"));
        QVERIFY(child<WindowScenario>(&form)->start_recording(recording));

        child<QScrollBar>(&form, "ScrollBar29")->setValue(3250);
        run_with(form, {{150, [&] { child<QScrollBar>(&form, "ScrollBar1")->setValue(1000); }},
                        {400, [&] { QTest::mouseClick(child<TClickImage>(&form, "Image8"), Qt::LeftButton); }},
                        {700, [&] { QTest::mouseClick(child<TClickImage>(&form, "Image3"), Qt::LeftButton); }},
                        {750, [&] { QTest::mouseClick(child<TClickImage>(&form, "Image3"), Qt::LeftButton); }},
                        {900, [&] { QTest::mouseClick(child<QCheckBox>(&form, "CheckBox1"), Qt::LeftButton); }},
                        {1000, [&] { child<QScrollBar>(&form, "ScrollBar2")->setValue(-800); }},
                        {1200, [&] { QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton); }}});
        QTest::qWait(350);  // ticks while off
        run_with(form, {{300, [&] { QTest::mouseClick(child<TClickImage>(&form, "Image2"), Qt::LeftButton); }},
                        {500, [&] { QTest::mouseClick(child<QPushButton>(&form, "Button3"), Qt::LeftButton); }},
                        {800, [&] { QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton); }}});
        child<WindowScenario>(&form)->stop_recording();

        // The window's state at the end, field by field.
        QStringList window_fields;
        char value[FIELD_VALUE_CAPACITY];
        QByteArray print = "print";
        for (const field_entry& field : field_table()) {
            format_field(field, value);
            window_fields << QStringLiteral("%1=%2").arg(QLatin1String(field.name), QLatin1String(value));
            print += ' ';
            print += field.name;
        }
        const QByteArray window_lcd(reinterpret_cast<const char*>(lcd_buffer), sizeof lcd_buffer);

        QFile file(recording);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray script = file.readAll();
        QVERIFY2(script.startsWith("# Recorded by ktr7-sim"), script.constData());
        for (const char* line : {"\non\n", "\nasi 1000\n", "\nkey push\n", "\nkey right\n", "\nsensor fault\n",
                                 "\nvsi -800\n", "\noff\n", "\nkey left\n", "\nkey cw\n", "\ntick ", "\npass "})
            QVERIFY2(script.contains(line), line);

        const QString dump = dir.filePath(QStringLiteral("replay.lcd"));
        QProcess replay;
        replay.start(QStringLiteral(KTR7_REPLAY_PATH), {QStringLiteral("-")});
        QVERIFY(replay.waitForStarted());
        replay.write(script + print + "\ndump " + dump.toLocal8Bit() + "\n");
        replay.closeWriteChannel();
        QVERIFY(replay.waitForFinished(20000));
        QCOMPARE(replay.exitCode(), 0);
        QStringList replay_fields;
        for (const QByteArray& line : replay.readAllStandardOutput().split('\n'))
            if (!line.startsWith("serial ") && !line.isEmpty())
                replay_fields << QString::fromLatin1(line);
        QCOMPARE(replay_fields, window_fields);
        QFile replay_lcd(dump);
        QVERIFY(replay_lcd.open(QIODevice::ReadOnly));
        QVERIFY(replay_lcd.readAll() == window_lcd);
    }

    void a_recording_that_cannot_be_written_says_so()
    {
        TfrmMain form;
        MessageBoxCatcher catcher;
        QVERIFY(!child<WindowScenario>(&form)->start_recording(dir.filePath(QStringLiteral("missing/folder/x.scn"))));
        QVERIFY(!child<QAction>(&form, "StopRecording1")->isEnabled());
    }

    void playing_with_exit_when_done_gives_the_replay_tools_statuses()
    {
        struct play_case {
            const char* name;
            QByteArray script;
            int status;
            const char* in_err;
        } cases[] = {
            {"holds.scn", "on\nasi 1000\nwait 12\nexpect current_screen screen_main\nexpect airspeed 100..200\n", 0,
             ""},
            {"fails.scn", "on\nwait 3\nexpect current_screen screen_main_menu\nexpect main_page 0\n", 1,
             "line 3: expected current_screen=screen_main_menu, got screen_main"},
            {"bad.scn", "on\nwait 2\nkey sideways\nwait 5\n", 2, "line 3: key: unknown key"},
            // Ended before the window's event loop runs.
            {"bad_first.scn", "flight missing.igc\non\n", 2, "line 1: flight: "},
        };
        for (const play_case& c : cases) {
            const QString path = write_file(c.name, c.script);
            QString err;
            QCOMPARE(play(path, &err), c.status);
            QVERIFY2(err.contains(QLatin1String(c.in_err)), qPrintable(err));
        }
    }

    void a_scenario_played_in_the_window_shows_its_progress_failures_and_tally()
    {
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        const QString path = write_file("shown.scn", "on\nwait 3\nexpect current_screen screen_main_menu\nwait 8\n"
                                                     "expect current_screen screen_main\noff\n");
        ScenarioDock* dock = child<ScenarioDock>(&form);
        // What the dock and the status bar show when the failure is reported.
        QString report_then, tally_then, progress_then;
        bool playing_then = false;
        connect(child<WindowScenario>(&form), &WindowScenario::message, &form, [&](const QString&, bool failed) {
            if (!failed)
                return;
            report_then = dock->report->toPlainText(), tally_then = dock->tally->text();
            progress_then = dock->progress->text();
            playing_then = child<StatusBar>(&form, "StatusBar1")->scenario_label->isVisible() && child<WindowScenario>(&form)->playing();
        });
        QVERIFY(child<WindowScenario>(&form)->play(path));
        QVERIFY(dock->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!child<QAction>(&form, "StopScenario1")->isEnabled(), 10000);
        QTRY_VERIFY(!child<RunLoop>(&form)->running());
        QVERIFY(playing_then);
        QCOMPARE(report_then, QStringLiteral("line 3: expected current_screen=screen_main_menu, got screen_main"));
        QCOMPARE(tally_then, QStringLiteral("Playing, 1 failure"));
        QVERIFY2(progress_then.startsWith(QLatin1String("line 3 of 6, 0.")), qPrintable(progress_then));
        QCOMPARE(dock->tally->text(), QStringLiteral("Done, an expectation failed: 1 passed, 1 failed"));
        QVERIFY2(dock->progress->text().startsWith(QLatin1String("line 6 of 6, 1.")), qPrintable(dock->progress->text()));
        QVERIFY(child<StatusBar>(&form, "StatusBar1")->scenario_label->isHidden());
    }

    void record_asks_first_on_a_running_instrument()
    {
        // Cancelled, the instrument runs on and nothing is recorded.
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        bool asked = false, running_after = false;
        run_with(form, {{200,
                         [&] {
                             QTimer::singleShot(100, [&] {
                                 auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                                 asked = box != nullptr && box->text().contains(QLatin1String("fresh switch-on"));
                                 if (box != nullptr)
                                     box->reject();
                             });
                             child<QAction>(&form, "RecordScenario1")->trigger();
                             running_after = child<RunLoop>(&form)->running() && st.stop_requested == 0;
                         }},
                        {500, [&] { child<QPushButton>(&form, "Button2")->click(); }}});
        QVERIFY(asked);
        QVERIFY(running_after);
        QVERIFY(!child<QAction>(&form, "StopRecording1")->isEnabled());
    }

    void the_setup_tour_holds_played_live()
    {
        QString err;
        QCOMPARE(play(QStringLiteral(KTR7_SOURCE_DIR "/scenarios/setup_tour.scn"), &err), 0);
    }

    void the_recorded_flight_holds_played_live()
    {
        // No tick before the scenario's, as at the program's start: the
        // pictures it compares depend on the blink phase.
        TfrmMain form;
        QTimer* timer = child<QTimer>(&form, "Timer1");
        timer->stop();
        QVERIFY(show_and_wait(form));
        timer->start();
        child<FlightDriver>(&form)->set_speed(60);
        auto* scenario = child<WindowScenario>(&form);
        QSignalSpy finished(scenario, &WindowScenario::finished);
        // The scenario leaves the instrument on: Off when it ends, or after
        // a guard's time, so that the loop returns.
        QObject scope;
        const auto off = [&form] { child<QPushButton>(&form, "Button2")->click(); };
        connect(scenario, &WindowScenario::finished, &scope, off);
        QTimer::singleShot(45000, &scope, off);
        QVERIFY(scenario->play(QStringLiteral(KTR7_SOURCE_DIR "/scenarios/demo_recorded_flight.scn")));
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 1, 45000);
        QCOMPARE(finished.first().first().toInt(), SCENARIO_OK);
        QCOMPARE(child<ScenarioDock>(&form)->tally->text(), QStringLiteral("Done: 30 passed, 0 failed"));
    }
};

QTEST_MAIN(tst_scenario_window)
#include "tst_scenario_window.moc"
