// The window's scenarios: playing one live through the window's controls,
// and recording what the user does there as one. The window lends its
// "hands" (its controls, moved as a person would) and hears back through
// signals: report lines, the end of a playback, the recording's state.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

#include "host/sensor_inputs.h"

// What a scenario may do in the window, bound by the window.
struct scenario_hands {
    std::function<void()> switch_on;   // "On"; the loop starts from the event loop
    std::function<void()> switch_off;  // "Off"
    std::function<void(uint8_t key)> post_key;
    std::function<void(sensor_input input, int32_t position)> set_input;  // moves its slider
    std::function<int32_t(sensor_input input)> input;                      // where its slider is
    std::function<void(bool ok)> set_sensor;  // the "Altitude Sensor" box
    std::function<bool()> sensor;
    std::function<bool()> running;             // whether the run loop runs
    std::function<void()> show_program_start;  // the lamp and the LCD as at program start
    bool files = true;  // pictures and dumps may be written and compared
};

class WindowScenario : public QObject {
    Q_OBJECT

public:
    WindowScenario(const scenario_hands& hands, QObject* parent);
    ~WindowScenario() override;

    // Plays a scenario file live; false (after saying why) when it cannot be
    // read. The user may still click and turn while it plays.
    bool play(const QString& path);
    // Ends the playback where it is.
    void stop_playing();
    bool playing() const;
    // The line being played (1-based).
    long line() const;
    // Where the playing scenario's pictures lie.
    const QByteArray& folder() const { return scenario_folder; }
    // The last report line, for telling of a bad line.
    const QString& last_report() const { return report; }

    // Starts writing what is done in the window to path as a scenario. The
    // instrument is switched off and starts over from the program's first
    // state, so that the recording replays exactly; a running loop is
    // stopped first and the recording starts once it has. False when the
    // file cannot be written.
    bool start_recording(const QString& path);
    void stop_recording();
    bool recording() const;

public slots:
    // What happens in the window, for the recording and the player.
    void note_on();
    void note_off();
    void note_key(uint8_t key);  // a key the instrument stored
    void note_input(sensor_input input, int32_t position);
    void note_sensor(bool ok);
    void note_pass();
    void note_tick();
    // The run loop has ended.
    void loop_stopped();

signals:
    // A line of the scenario's output (already written to standard output,
    // or standard error when it tells of a failure).
    void message(const QString& text, bool failed);
    // A line for the status bar.
    void status(const QString& text);
    // A playback began: the file and its number of lines.
    void started(const QString& path, long lines);
    // Where the playback is: the line being played and the timer ticks
    // played so far (each 100 ms of the scenario's time).
    void progress(long line, quint64 ticks);
    // The playback ended: PLAYER_OK, PLAYER_EXPECTATION_FAILED or PLAYER_BAD_LINE.
    void finished(int status);
    void playing_changed(bool playing);
    void recording_changed(bool recording);
    // A scenario could not be played or a recording not started: why.
    void refused(const QString& why);
    // The recording stopped on a write error: why.
    void recording_failed(const QString& why);

private:
    void record(const char* line);
    void start_recording_now(const QString& path);
    void report_line(const QString& text, bool failed);

    scenario_hands hands;
    QByteArray scenario_folder;
    QString report;
    QString record_after_stop;  // a recording that starts once the loop has stopped
    bool playing_here = false;  // the player plays this object's scenario
    quint64 played_ticks = 0;   // ticks since the playback began
};
