#include "window/scenario/window_scenario.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <utility>

#include "host/version.h"
#include "scenario/scenario_parse.h"
#include "scenario/scenario_recorder.h"
#include "window/app/run_loop.h"
#include "window/app/window_names.h"

namespace {

// A scenario file larger than this is not a scenario.
constexpr qint64 SCENARIO_SIZE_MAX = 16 * 1024 * 1024;

void print_line(const QString& text, bool to_error)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (to_error)
        std::fprintf(stderr, "%s: %s\n", PROGRAM_NAME, bytes.constData());
    else
        std::fprintf(stdout, "%s\n", bytes.constData());
    std::fflush(to_error ? stderr : stdout);
}

}  // namespace

WindowScenario::WindowScenario(RunLoop* run_loop, QObject* parent)
    : QObject(parent),
      loop(run_loop),
      session(run_loop->shared_session()),
      executor(*session, NO_DISPLAY, files, *this, scenario_clock::live)
{
    // After the executor: a tick it counts is counted when progress tells of it.
    session->add_observer(this);
}

WindowScenario::~WindowScenario()
{
    // Nobody is left to tell.
    blockSignals(true);
    stop_recording();
    executor.stop();
    session->remove_observer(this);
}

// ---------------------------------------------------------------------------
// Playback.

bool WindowScenario::play(const QString& path)
{
    QFile file(path);
    QString why;
    if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else if (file.size() > SCENARIO_SIZE_MAX)
        why = QStringLiteral("larger than a scenario can be");
    if (!why.isEmpty()) {
        report_line(QStringLiteral("%1: cannot read: %2").arg(path, why), true);
        emit refused(QStringLiteral("Cannot play \"%1\": %2").arg(path, why));
        return false;
    }
    const QByteArray script = file.readAll();
    executor.stop();
    files.set_reference_folder(QFile::encodeName(QFileInfo(path).path()).toStdString());
    emit playing_changed(true);
    emit started(path, long(script.count('\n') + (script.endsWith('\n') ? 0 : 1)));
    emit status(QStringLiteral("Playing %1").arg(path));
    executor.run(std::string_view(script.constData(), size_t(script.size())));
    hold_time();
    return true;
}

void WindowScenario::stop_playing()
{
    executor.stop();
    hold_time();
    emit playing_changed(false);
    emit status(QStringLiteral("Scenario stopped at line %1").arg(executor.line()));
}

void WindowScenario::session_ticked()
{
    recorder_tick();
    hold_time();
    if (executor.playing())
        emit progress(executor.line(), executor.ticks_played());
}

void WindowScenario::session_passed()
{
    hold_time();
}

void WindowScenario::hold_time()
{
    if (loop != nullptr)
        loop->hold_time(this, executor.waits_for_passes());
}

void WindowScenario::printed(const char* line)
{
    report_line(QString::fromLocal8Bit(line), false);
}

void WindowScenario::failed(long line, const char* why)
{
    report_line(QStringLiteral("line %1: %2").arg(line).arg(QString::fromLocal8Bit(why)), true);
}

void WindowScenario::warned(long line, const char* what)
{
    // On standard error, but no failure.
    const QString text = QStringLiteral("line %1: %2").arg(line).arg(QString::fromLocal8Bit(what));
    print_line(text, true);
    emit message(text, false);
    emit status(text);
}

void WindowScenario::ended(int result_status)
{
    hold_time();
    if (result_status != SCENARIO_BAD_LINE)
        emit status(result_status == SCENARIO_OK ? QStringLiteral("Scenario done")
                                                 : QStringLiteral("Scenario done: an expectation failed"));
    emit playing_changed(false);
    emit finished(result_status);
}

lcd_art_style WindowScenario::lcd_style() const
{
    return lcd_art_style_for(fileno(stdout));
}

void WindowScenario::report_line(const QString& text, bool failed)
{
    print_line(text, failed);
    emit message(text, failed);
    emit status(text);
}

// ---------------------------------------------------------------------------
// What happens in the window.

void WindowScenario::note_on()
{
    record("on");
}

void WindowScenario::note_off()
{
    record("off");
}

void WindowScenario::note_key(uint8_t key)
{
    const char* word = scenario_key_word(key);
    if (word != nullptr)
        record(qPrintable(QStringLiteral("key %1").arg(QLatin1String(word))));
}

void WindowScenario::note_input(sensor_input input, int32_t position)
{
    record(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(sensor_input_of(input).word)).arg(position)));
}

void WindowScenario::note_sensor(bool ok)
{
    record(ok ? "sensor ok" : "sensor fault");
}

void WindowScenario::note_pass()
{
    recorder_pass();
}

void WindowScenario::loop_stopped()
{
    if (!record_after_stop.isEmpty())
        start_recording_now(std::exchange(record_after_stop, QString()));
}

// ---------------------------------------------------------------------------
// Recording.

void WindowScenario::record(const char* line)
{
    if (!recorder_active())
        return;
    recorder_event(line);
    if (!recorder_active())
        stop_recording();
}

bool WindowScenario::recording() const
{
    return recorder_active();
}

bool WindowScenario::start_recording(const QString& path)
{
    if (session->running()) {
        session->switch_off();
        record_after_stop = path;
        return true;
    }
    start_recording_now(path);
    return recorder_active();
}

void WindowScenario::start_recording_now(const QString& path)
{
    char why[160];
    if (!recorder_start(QFile::encodeName(path).constData(), KTR7_VERSION, why, sizeof why)) {
        const QString message = QStringLiteral("Cannot record to \"%1\": %2").arg(path, QString::fromLocal8Bit(why));
        print_line(message, true);
        emit refused(message);
        return;
    }
    // The inputs where the controls are, across program start.
    int32_t positions[3];
    for (const sensor_input_info& info : sensor_inputs())
        positions[int(info.input)] = session->input(info.input);
    const bool sensor_ok = session->sensor_checked();
    if (loop != nullptr)
        loop->program_start();
    else
        session->program_start();
    // The recording starts with them.
    for (const sensor_input_info& info : sensor_inputs()) {
        session->set_input(info.input, positions[int(info.input)]);
        note_input(info.input, positions[int(info.input)]);
    }
    session->set_sensor_checked(sensor_ok);
    note_sensor(sensor_ok);
    if (!recorder_active())
        return;
    emit recording_changed(true);
    emit status(QStringLiteral("Recording to %1: press On to start").arg(path));
}

void WindowScenario::stop_recording()
{
    const bool was_active = recorder_active();
    recorder_stop();
    emit recording_changed(false);
    const QString error = QString::fromLocal8Bit(recorder_error());
    if (error.isEmpty()) {
        if (was_active)
            emit status(QStringLiteral("Recording stopped"));
        return;
    }
    const QString message = QStringLiteral("The recording stopped: %1").arg(error);
    print_line(message, true);
    emit status(message);
    emit recording_failed(message);
}
