// The window's scenario class against fake hands: what a recording starts
// with, a recording asked for while the loop runs, files where the window
// lends none, and the progress it reports. No window is made.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/state.h"
#include "host/pass.h"
#include "scenario/scenario_player.h"
#include "window/scenario/window_scenario.h"

namespace {

// Hands that remember what was done with them.
struct fake_window {
    int32_t inputs[3] = {0, 0, 0};
    bool sensor = true;
    bool running = false;
    int program_starts = 0;
    int switch_ons = 0;

    scenario_hands hands(bool files)
    {
        scenario_hands h;
        h.switch_on = [this] { switch_ons++; };
        h.switch_off = [] { host_switch_off(); };
        h.post_key = [](uint8_t key) { host_post_key(key); };
        h.set_input = [this](sensor_input input, int32_t position) { inputs[int(input)] = position; };
        h.input = [this](sensor_input input) { return inputs[int(input)]; };
        h.set_sensor = [this](bool ok) { sensor = ok; };
        h.sensor = [this] { return sensor; };
        h.running = [this] { return running; };
        h.show_program_start = [this] { program_starts++; };
        h.files = files;
        return h;
    }
};

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
        fake_window window;
        std::copy(inputs.begin(), inputs.end(), window.inputs);
        window.sensor = sensor;
        WindowScenario scenario(window.hands(true), nullptr);
        const QString path = dir.filePath(QStringLiteral("start.scn"));
        QVERIFY(scenario.start_recording(path));
        // From the program's first state, with the inputs set as the controls are.
        QCOMPARE(window.program_starts, 1);
        QCOMPARE(int(st.altitude), inputs[0]);
        QCOMPARE(int(st.vertical_speed), inputs[1]);
        QCOMPARE(int(st.asi_adc), inputs[2]);
        scenario.note_on();
        scenario.stop_recording();
        QCOMPARE(lines_of(path), first_lines + QStringList{"on"});
    }

    void a_recording_asked_for_while_running_waits_for_the_loop_to_stop()
    {
        fake_window window;
        window.running = true;
        window.inputs[0] = 1500;
        WindowScenario scenario(window.hands(true), nullptr);
        const QString path = dir.filePath(QStringLiteral("later.scn"));
        st.stop_requested = 0;
        QVERIFY(scenario.start_recording(path));
        QCOMPARE(int(st.stop_requested), 1);
        QVERIFY(!scenario.recording());
        QVERIFY(!QFile::exists(path));
        window.running = false;
        scenario.loop_stopped();
        QVERIFY(scenario.recording());
        scenario.stop_recording();
        QCOMPARE(lines_of(path).first(), QStringLiteral("altitude 1500"));
    }

    void files_where_the_window_lends_none_are_bad_lines()
    {
        fake_window window;
        WindowScenario scenario(window.hands(false), nullptr);
        QSignalSpy finished(&scenario, &WindowScenario::finished);
        QSignalSpy messages(&scenario, &WindowScenario::message);
        const QString path = dir.filePath(QStringLiteral("png.scn"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("png shot.png 2\n");
        file.close();
        QVERIFY(scenario.play(path));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), PLAYER_BAD_LINE);
        QVERIFY(messages.last().first().toString().startsWith(QLatin1String("line 1: ")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("shot.png"))));
    }

    void progress_counts_lines_and_ticks()
    {
        fake_window window;
        WindowScenario scenario(window.hands(true), nullptr);
        QSignalSpy started(&scenario, &WindowScenario::started);
        QSignalSpy progress(&scenario, &WindowScenario::progress);
        const QString path = dir.filePath(QStringLiteral("ticks.scn"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("on\nwait 3\nkey push");  // no newline at the end: still three lines
        file.close();
        QVERIFY(scenario.play(path));
        QCOMPARE(window.switch_ons, 1);
        QCOMPARE(started.first().at(1).toLongLong(), 3LL);
        for (int i = 0; i < 3; i++) {
            scenario.note_tick();
            scenario.note_pass();
        }
        QCOMPARE(progress.size(), 3);
        QCOMPARE(progress.last().at(1).toULongLong(), 3ULL);
        QVERIFY(!scenario.playing());
    }
};

QTEST_GUILESS_MAIN(tst_window_scenario)
#include "tst_window_scenario.moc"
