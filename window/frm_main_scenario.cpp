// The window's scenarios: playing one live through the controls, and
// recording what the user does as one.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScrollBar>
#include <QStatusBar>

#include <cstdio>
#include <cstring>

#include "core/state.h"
#include "gfx/lcd.h"
#include "window/frm_main.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "scenario/expect.h"
#include "scenario/scenario_parse.h"
#include "scenario/scenario_player.h"
#include "scenario/scenario_recorder.h"
#include "host/version.h"
#include "screens/screens.h"

namespace {

// How long a scenario's line stays in the status bar.
constexpr int STATUS_MESSAGE_MS = 5000;
// A scenario file larger than this is not a scenario.
constexpr qint64 SCENARIO_SIZE_MAX = 16 * 1024 * 1024;

const player_io& window_player()
{
    static const player_io io = {
        nullptr,
        [](void*) { frmMain->switch_on_soon(); },
        [](void*) { frmMain->Button2Click(); },
        [](void*, uint8_t key) { TfrmMain::post_key(key); },
        [](void*, sensor_input input, int32_t position) {
            QScrollBar* sliders[] = {frmMain->ScrollBar29, frmMain->ScrollBar2, frmMain->ScrollBar1};
            sliders[int(input)]->setValue(position);
        },
        [](void*, bool ok) { frmMain->CheckBox1->setChecked(ok); },
        [](void*, const char* line, bool failed) { frmMain->scenario_message(QString::fromLocal8Bit(line), failed); },
        [](void*, int status) { frmMain->scenario_finished(status); },
        [](void*, const char* path, int scale, char* why, size_t cap) { return write_lcd_png(path, scale, why, cap); },
        [](void*, const char* path, char* why, size_t cap) { return write_lcd_dump(path, why, cap); },
        [](void*, const char* path, char* report, size_t cap) {
            static char resolved[8192];
            return check_lcd_against_png(
                lcd_buffer, reference_path(frmMain->scenario_folder.constData(), path, resolved, sizeof resolved),
                report, cap);
        },
    };
    return io;
}

}  // namespace

void TfrmMain::post_key(uint8_t key)
{
    const bool stored = st.pending_key == 0;
    host_post_key(key);
    // A second key while one is pending is lost on the instrument, and so
    // in the recording.
    const char* word = scenario_key_word(key);
    if (stored && frmMain != nullptr && word != nullptr)
        frmMain->record(qPrintable(QStringLiteral("key %1").arg(QLatin1String(word))));
}

void TfrmMain::switch_on_soon()
{
    host_switch_on();
    record("on");
    if (loop_running || loop_queued)
        return;
    loop_queued = true;
    QMetaObject::invokeMethod(this, [this] { run_loop(); }, Qt::QueuedConnection);
}

void TfrmMain::note_pass()
{
    recorder_pass();
    player_pass();
}

void TfrmMain::note_tick()
{
    recorder_tick();
    player_tick();
}

// ---------------------------------------------------------------------------
// Playback.

bool TfrmMain::play_scenario(const QString& path)
{
    QFile file(path);
    QString why;
    if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else if (file.size() > SCENARIO_SIZE_MAX)
        why = QStringLiteral("larger than a scenario can be");
    if (!why.isEmpty()) {
        scenario_message(QStringLiteral("%1: cannot read: %2").arg(path, why), true);
        if (!exit_when_done)
            QMessageBox::warning(this, QApplication::applicationName(),
                                 QStringLiteral("Cannot play \"%1\": %2").arg(path, why));
        return false;
    }
    const QByteArray script = file.readAll();
    scenario_folder = QFile::encodeName(QFileInfo(path).path());
    StopScenario1->setEnabled(true);
    StatusBar1->showMessage(QStringLiteral("Playing %1").arg(path), STATUS_MESSAGE_MS);
    player_start(std::string_view(script.constData(), size_t(script.size())), window_player());
    return true;
}

void TfrmMain::PlayScenario1Click()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Play Scenario"), QString(),
                                                      QStringLiteral("Scenarios (*.scn);;All files (*)"));
    if (!path.isEmpty())
        play_scenario(path);
}

void TfrmMain::StopScenario1Click()
{
    player_stop();
    StopScenario1->setEnabled(false);
    StatusBar1->showMessage(QStringLiteral("Scenario stopped at line %1").arg(player_line()), STATUS_MESSAGE_MS);
}

void TfrmMain::scenario_message(const QString& text, bool failed)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (failed)
        std::fprintf(stderr, "ktr7-sim: %s\n", bytes.constData());
    else
        std::fprintf(stdout, "%s\n", bytes.constData());
    std::fflush(failed ? stderr : stdout);
    StatusBar1->showMessage(text, STATUS_MESSAGE_MS);
}

void TfrmMain::scenario_finished(int status)
{
    StopScenario1->setEnabled(false);
    exit_status = status;
    if (exit_when_done) {
        host_switch_off();
        QCoreApplication::exit(status);
        return;
    }
    if (status == PLAYER_BAD_LINE) {
        // The bad line's message was the last one reported.
        QMessageBox::warning(this, QApplication::applicationName(),
                             QStringLiteral("The scenario stopped at line %1:\n%2")
                                 .arg(player_line())
                                 .arg(StatusBar1->currentMessage()));
        return;
    }
    StatusBar1->showMessage(status == PLAYER_OK ? QStringLiteral("Scenario done")
                                                : QStringLiteral("Scenario done: an expectation failed"),
                            STATUS_MESSAGE_MS);
}

// ---------------------------------------------------------------------------
// Recording.

void TfrmMain::record(const char* line)
{
    if (!recorder_active())
        return;
    recorder_event(line);
    if (!recorder_active())
        stop_recording();
}

bool TfrmMain::start_recording(const QString& path)
{
    // The recording starts from the program's first state, with the
    // instrument off; a running loop is stopped first.
    if (loop_running) {
        host_switch_off();
        record_after_stop = path;
        return true;
    }
    start_recording_now(path);
    return recorder_active();
}

void TfrmMain::start_recording_now(const QString& path)
{
    char why[160];
    if (!recorder_start(QFile::encodeName(path).constData(), KTR7_VERSION, why, sizeof why)) {
        const QString message = QStringLiteral("Cannot record to \"%1\": %2").arg(path, QString::fromLocal8Bit(why));
        std::fprintf(stderr, "ktr7-sim: %s\n", message.toLocal8Bit().constData());
        if (!exit_when_done && isVisible())
            QMessageBox::warning(this, QApplication::applicationName(), message);
        return;
    }
    host_program_start();
    set_lamp(false);
    present();
    host_set_altitude(ScrollBar29->value());
    host_set_vertical_speed(ScrollBar2->value());
    host_set_asi_adc(ScrollBar1->value());
    record(qPrintable(QStringLiteral("altitude %1").arg(ScrollBar29->value())));
    record(qPrintable(QStringLiteral("vsi %1").arg(ScrollBar2->value())));
    record(qPrintable(QStringLiteral("asi %1").arg(ScrollBar1->value())));
    record(CheckBox1->isChecked() ? "sensor ok" : "sensor fault");
    if (!recorder_active())
        return;
    RecordScenario1->setEnabled(false);
    StopRecording1->setEnabled(true);
    StatusBar1->showMessage(QStringLiteral("Recording to %1: press On to start").arg(path), STATUS_MESSAGE_MS);
}

void TfrmMain::stop_recording()
{
    const bool was_active = recorder_active();
    recorder_stop();
    RecordScenario1->setEnabled(true);
    StopRecording1->setEnabled(false);
    const QString error = QString::fromLocal8Bit(recorder_error());
    if (error.isEmpty()) {
        if (was_active)
            StatusBar1->showMessage(QStringLiteral("Recording stopped"), STATUS_MESSAGE_MS);
        return;
    }
    const QString message = QStringLiteral("The recording stopped: %1").arg(error);
    std::fprintf(stderr, "ktr7-sim: %s\n", message.toLocal8Bit().constData());
    StatusBar1->showMessage(message, STATUS_MESSAGE_MS);
    if (!exit_when_done && isVisible()) {
        auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), message,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
}

void TfrmMain::RecordScenario1Click()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Record Scenario"),
                                                      QStringLiteral("recording.scn"),
                                                      QStringLiteral("Scenarios (*.scn);;All files (*)"));
    if (!path.isEmpty())
        start_recording(path);
}

void TfrmMain::StopRecording1Click()
{
    stop_recording();
}
