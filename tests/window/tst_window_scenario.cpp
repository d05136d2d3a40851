// The window's scenario class on a session of its own, its clock stepped by
// the test: what a recording starts with, a recording asked for while the
// instrument runs, a scenario played live with the window's files lent (a
// flight relative to its folder) and its result, and the progress it
// reports. No window is made.
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "screens/framework.h"
#include "session/scenario_executor.h"
#include "window_support.h"

namespace {

// Runs the session's clock as the window does, a tick and then a pass, until
// the scenario has ended or max_ticks have passed.
void play_out(RunLoop& loop, const WindowScenario& scenario, int max_ticks = 1000)
{
    for (int i = 0; i < max_ticks && scenario.playing(); i++) {
        loop.Timer1Timer();
        loop.session().pass(NO_DISPLAY);
    }
}

// Two minutes from 12:00:00 UTC, level at 1000 m pressure altitude (3281 ft).
QByteArray level_flight()
{
    QByteArray log = "AXXXTEST\r\nHFDTEDATE:150626,01\r\n";
    for (int second = 0; second <= 120; second += 10)
        log += QString::asprintf("B12%02d%02d4700000N00800000EA0100001000\r\n", second / 60, second % 60).toLatin1();
    return log;
}

QStringList lines_of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.startsWith('#') && !line.isEmpty())
            lines << QString::fromLatin1(line);
    return lines;
}

}  // namespace

class tst_window_scenario : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString write_file(const char* name, const QByteArray& text) { return write_test_file(dir, name, text); }

private slots:
    void a_recording_starts_with_the_controls_where_they_are_data()
    {
        QTest::addColumn<QList<int>>("inputs");
        QTest::addColumn<bool>("sensor");
        QTest::addColumn<QStringList>("first_lines");
        QTest::newRow("all at 0") << QList<int>{0, 0, 0} << true
                                  << QStringList{"altitude 0", "vsi 0", "asi 0", "sensor ok"};
        QTest::newRow("away from 0") << QList<int>{3250, -800, 1000} << false
                                     << QStringList{"altitude 3250", "vsi -800", "asi 1000", "sensor fault"};
        QTest::newRow("the ends") << QList<int>{65535, -6000, 4096} << true
                                  << QStringList{"altitude 65535", "vsi -6000", "asi 4096", "sensor ok"};
    }
    void a_recording_starts_with_the_controls_where_they_are()
    {
        QFETCH(QList<int>, inputs);
        QFETCH(bool, sensor);
        QFETCH(QStringList, first_lines);
        RunLoop loop(nullptr);
        instrument_session& session = loop.session();
        for (const sensor_input_info& info : sensor_inputs())
            session.set_input(info.input, inputs[int(info.input)]);
        session.set_sensor_checked(sensor);
        session.post_key(KEY_PUSH);
        session.timer_tick();
        WindowScenario scenario(&loop, nullptr);
        const QString path = dir.filePath(QStringLiteral("start.scn"));
        QVERIFY(scenario.start_recording(path));
        // From the program's first state (no tick, no key), with the inputs
        // and the box as they were.
        QCOMPARE(session.ticks(), uint64_t(0));
        QVERIFY(!session.key_pending());
        for (const sensor_input_info& info : sensor_inputs())
            QCOMPARE(session.input(info.input), inputs[int(info.input)]);
        QCOMPARE(session.sensor_checked(), sensor);
        scenario.note_on();
        scenario.stop_recording();
        QCOMPARE(lines_of(path), first_lines + QStringList{"on"});
    }

    void a_recording_asked_for_while_running_waits_for_the_loop_to_stop()
    {
        RunLoop loop(nullptr);
        loop.session().set_input(sensor_input::altitude, 1500);
        loop.session().switch_on();
        WindowScenario scenario(&loop, nullptr);
        const QString path = dir.filePath(QStringLiteral("later.scn"));
        QVERIFY(scenario.start_recording(path));
        QVERIFY(!loop.session().running());
        QVERIFY(!scenario.recording());
        QVERIFY(!QFile::exists(path));
        scenario.loop_stopped();
        QVERIFY(scenario.recording());
        scenario.stop_recording();
        QCOMPARE(lines_of(path).first(), QStringLiteral("altitude 1500"));
    }

    // The executor's result as the window plays it, with a flight taken from
    // the scenario's folder.
    void a_played_scenario_ends_with_its_result_data()
    {
        add_columns<QByteArray, int, long, QList<long>, long>(
            {"script", "status", "passed", "failed_lines", "stopped_at"});
        QTest::newRow("a flight flown") << QByteArray("flight level.igc\non\nfly 2\nexpect altitude 3270..3290\n"
                                                      "expect flight_active 0\n")
                                        << SCENARIO_OK << 2L << QList<long>{} << 0L;
        QTest::newRow("an expectation failed")
            << QByteArray("on\nexpect current_screen screen_main_menu\nexpect main_page 0\n")
            << SCENARIO_EXPECTATION_FAILED << 1L << QList<long>{2} << 0L;
        QTest::newRow("a bad line") << QByteArray("on\nwait 2\nkey sideways\nwait 5\n") << SCENARIO_BAD_LINE << 0L
                                    << QList<long>{3} << 3L;
        QTest::newRow("no such flight") << QByteArray("flight missing.igc\non\n") << SCENARIO_BAD_LINE << 0L
                                        << QList<long>{1} << 1L;
    }
    void a_played_scenario_ends_with_its_result()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, status);
        QFETCH(long, passed);
        QFETCH(QList<long>, failed_lines);
        QFETCH(long, stopped_at);
        QVERIFY(!write_file("level.igc", level_flight()).isEmpty());
        const QString path = write_file("played.scn", script);
        RunLoop loop(nullptr);
        WindowScenario scenario(&loop, nullptr);
        QSignalSpy finished(&scenario, &WindowScenario::finished);
        QVERIFY(scenario.play(path));
        play_out(loop, scenario);
        QVERIFY(!scenario.playing());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), status);
        const scenario_result& result = scenario.result();
        QCOMPARE(result.status, status);
        QCOMPARE(result.tally.passed, passed);
        QList<long> lines;
        for (const scenario_failure_line& failure : result.failures)
            lines << failure.line;
        QCOMPARE(lines, failed_lines);
        QCOMPARE(result.stopped_at, stopped_at);
    }

    void progress_counts_lines_and_ticks()
    {
        RunLoop loop(nullptr);
        WindowScenario scenario(&loop, nullptr);
        QSignalSpy started(&scenario, &WindowScenario::started);
        QSignalSpy progress(&scenario, &WindowScenario::progress);
        // No newline at the end: still three lines.
        const QString path = write_file("ticks.scn", "on\nwait 3\nkey push");
        QVERIFY(scenario.play(path));
        QVERIFY(loop.session().running());
        QCOMPARE(started.first().at(1).toLongLong(), 3LL);
        play_out(loop, scenario, 3);
        QCOMPARE(progress.size(), 3);
        QCOMPARE(progress.last().at(0).toLongLong(), 2LL);
        QCOMPARE(progress.last().at(1).toULongLong(), 3ULL);
        QVERIFY(!scenario.playing());
        QVERIFY(loop.session().key_pending());
    }
};

QTEST_GUILESS_MAIN(tst_window_scenario)
#include "tst_window_scenario.moc"
