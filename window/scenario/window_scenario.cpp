#include "window/scenario/window_scenario.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <utility>

#include "gfx/lcd.h"
#include "host/pass.h"
#include "host/version.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"
#include "scenario/scenario_parse.h"
#include "scenario/scenario_player.h"
#include "scenario/scenario_recorder.h"
#include "window/app/window_names.h"

namespace {

// A scenario file larger than this is not a scenario.
constexpr qint64 SCENARIO_SIZE_MAX = 16 * 1024 * 1024;
// Room for a reference picture's path under the scenario's folder.
constexpr size_t REFERENCE_PATH_SIZE = 8192;

WindowScenario* scenario_of(void* context)
{
    return static_cast<WindowScenario*>(context);
}

void print_line(const QString& text, bool failed)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (failed)
        std::fprintf(stderr, "%s: %s\n", PROGRAM_NAME, bytes.constData());
    else
        std::fprintf(stdout, "%s\n", bytes.constData());
    std::fflush(failed ? stderr : stdout);
}

}  // namespace

WindowScenario::WindowScenario(const scenario_hands& hands, QObject* parent) : QObject(parent), hands(hands)
{
}

WindowScenario::~WindowScenario()
{
    // Nobody is left to tell.
    blockSignals(true);
    stop_recording();
    if (playing_here)
        player_stop();
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
    scenario_folder = QFile::encodeName(QFileInfo(path).path());
    playing_here = true;
    played_ticks = 0;
    emit playing_changed(true);
    emit started(path, long(script.count('\n') + (script.endsWith('\n') ? 0 : 1)));
    emit status(QStringLiteral("Playing %1").arg(path));

    player_io io = {
        this,
        [](void* self) { scenario_of(self)->hands.switch_on(); },
        [](void* self) { scenario_of(self)->hands.switch_off(); },
        [](void* self, uint8_t key) { scenario_of(self)->hands.post_key(key); },
        [](void* self, sensor_input input, int32_t position) { scenario_of(self)->hands.set_input(input, position); },
        [](void* self, bool ok) { scenario_of(self)->hands.set_sensor(ok); },
        [](void* self, const char* line, bool failed) {
            scenario_of(self)->report_line(QString::fromLocal8Bit(line), failed);
        },
        [](void* self, int status) {
            scenario_of(self)->playing_here = false;
            if (status != PLAYER_BAD_LINE)
                emit scenario_of(self)->status(status == PLAYER_OK
                                                   ? QStringLiteral("Scenario done")
                                                   : QStringLiteral("Scenario done: an expectation failed"));
            emit scenario_of(self)->playing_changed(false);
            emit scenario_of(self)->finished(status);
        },
        nullptr,
        nullptr,
        nullptr,
    };
    if (hands.files) {
        io.write_png = [](void*, const char* path, int scale, char* why, size_t cap) {
            return write_lcd_png(path, scale, why, cap);
        };
        io.write_dump = [](void*, const char* path, char* why, size_t cap) { return write_lcd_dump(path, why, cap); };
        io.check_png = [](void* self, const char* path, char* report, size_t cap) {
            static char resolved[REFERENCE_PATH_SIZE];
            const char* folder = scenario_of(self)->scenario_folder.constData();
            return check_lcd_against_png(lcd_buffer, reference_path(folder, path, resolved, sizeof resolved), report,
                                         cap);
        };
    }
    player_start(std::string_view(script.constData(), size_t(script.size())), io);
    return true;
}

void WindowScenario::stop_playing()
{
    player_stop();
    playing_here = false;
    emit playing_changed(false);
    emit status(QStringLiteral("Scenario stopped at line %1").arg(player_line()));
}

bool WindowScenario::playing() const
{
    return player_playing();
}

long WindowScenario::line() const
{
    return player_line();
}

void WindowScenario::report_line(const QString& text, bool failed)
{
    print_line(text, failed);
    report = text;
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
    player_pass();
}

void WindowScenario::note_tick()
{
    recorder_tick();
    player_tick();
    if (playing_here) {
        played_ticks++;
        emit progress(player_line(), played_ticks);
    }
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
    if (hands.running()) {
        host_switch_off();
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
    host_program_start();
    hands.show_program_start();
    // The recording starts with the inputs where the controls are now.
    for (const sensor_input_info& info : sensor_inputs()) {
        const int32_t position = hands.input(info.input);
        host_set_input(info.input, position);
        note_input(info.input, position);
    }
    note_sensor(hands.sensor());
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
