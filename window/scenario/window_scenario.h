// The window's scenarios: playing one live on the window's session, and
// recording what the user does in the window as one. A scenario plays through
// the one executor every host runs, on the window's own clock, with the
// window's file system lent (pictures, dumps, reference pictures and flights,
// relative ones from the scenario's folder); the window's controls follow the
// session as the scenario moves it. What it says comes out as signals:
// report lines, its progress, its end with the executor's result.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

#include "files/scenario_files.h"
#include "host/sensor_inputs.h"
#include "session/scenario_executor.h"

class RunLoop;

class WindowScenario : public QObject, private session_observer, private scenario_output {
    Q_OBJECT

public:
    WindowScenario(RunLoop* loop, QObject* parent);
    ~WindowScenario() override;

    // Plays a scenario file live; false (after saying why) when it cannot be
    // read. The user may still click and turn while it plays.
    bool play(const QString& path);
    // Ends the playback where it is.
    void stop_playing();
    bool playing() const { return executor.playing(); }
    // The line being played (1-based).
    long line() const { return executor.line(); }
    // How the last playback went: its tally, its failures with their lines,
    // the line that stopped it.
    const scenario_result& result() const { return executor.result(); }

    // Starts writing what is done in the window to path as a scenario. The
    // instrument is switched off and starts over from the program's first
    // state, so that the recording replays exactly; a running loop is
    // stopped first and the recording starts once it has. False when the
    // file cannot be written.
    bool start_recording(const QString& path);
    void stop_recording();
    bool recording() const;

public slots:
    // What happens in the window, for the recording.
    void note_on();
    void note_off();
    void note_key(uint8_t key);  // a key the instrument stored
    void note_input(sensor_input input, int32_t position);
    void note_sensor(bool ok);
    void note_pass();
    // The run loop has ended.
    void loop_stopped();

signals:
    // A line of the scenario's output (already written to standard output,
    // or standard error when it tells of a failure or a warning).
    void message(const QString& text, bool failed);
    // A line for the status bar.
    void status(const QString& text);
    // A playback began: the file and its number of lines.
    void started(const QString& path, long lines);
    // Where the playback is: the line being played and the timer ticks
    // played so far (each 100 ms of the scenario's time).
    void progress(long line, quint64 ticks);
    // The playback ended: SCENARIO_OK, SCENARIO_EXPECTATION_FAILED or
    // SCENARIO_BAD_LINE.
    void finished(int status);
    void playing_changed(bool playing);
    void recording_changed(bool recording);
    // A scenario could not be played or a recording not started: why.
    void refused(const QString& why);
    // The recording stopped on a write error: why.
    void recording_failed(const QString& why);

private:
    void session_ticked() override;
    void session_passed() override;
    // The window's clock held while the playback waits for passes alone, so
    // that it ticks where the replay tool does.
    void hold_time();

    void printed(const char* line) override;
    void failed(long line, const char* message) override;
    void warned(long line, const char* message) override;
    void ended(int status) override;
    // print lcd goes to standard output: in colour where that is a terminal.
    lcd_art_style lcd_style() const override;

    void record(const char* line);
    void start_recording_now(const QString& path);
    void report_line(const QString& text, bool failed);

    QPointer<RunLoop> loop;  // the window's parts may go before this one
    std::shared_ptr<instrument_session> session;
    scenario_files files;
    scenario_executor executor;
    QString record_after_stop;  // a recording that starts once the loop has stopped
};
