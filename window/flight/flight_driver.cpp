#include "window/flight/flight_driver.h"

#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <string>

#include "flight/flight_file.h"
#include "flight/flight_player.h"
#include "window/app/run_loop.h"
#include "window/panel/sensor_panel.h"
#include "window/app/window_names.h"

namespace {

const QString FLIGHT_FILES = QStringLiteral(
    "Flight logs (*.igc *.IGC *.gpx *.GPX *.kml *.nmea *.fit *.tcx);;All files (*)");

// The first local file among what is dragged, or "".
QString dropped_file(const QMimeData* data)
{
    if (data == nullptr)
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

}  // namespace

FlightDriver::FlightDriver(SensorPanel* sensor_panel, RunLoop* run_loop, QObject* parent)
    : QObject(parent), sensors(sensor_panel), loop(run_loop)
{
    connect(loop, &RunLoop::tick, this, &FlightDriver::tick);
    connect(loop, &RunLoop::switched_off, this, [this] {
        if (is_playing)
            emit message(QStringLiteral("Flight paused: the instrument was switched off"));
        pause();
    });
    connect(sensors, &SensorPanel::input_moved, this, [this](sensor_input input, int32_t) { hand_moved(input); });
}

FlightDriver::~FlightDriver() = default;

double FlightDriver::time() const
{
    return is_open() ? player->time() : 0.0;
}

bool FlightDriver::open(const QString& path)
{
    auto read = std::make_unique<flight>();
    std::string error, skipped;
    if (!read_flight_file(QFile::encodeName(path).constData(), *read, error, skipped)) {
        const QString why = QString::fromLocal8Bit(error.c_str());
        std::fprintf(stderr, "%s: %s\n", PROGRAM_NAME, error.c_str());
        emit warning(why);
        return false;
    }
    pause();
    player.reset();
    log = std::move(read);
    player = std::make_unique<flight_player>(*log);
    file_path = path;
    write_sliders();
    emit open_changed(true);
    emit moved(time());
    if (!skipped.empty()) {
        std::fprintf(stderr, "%s: warning: %s\n", PROGRAM_NAME, skipped.c_str());
        emit warning(QString::fromLocal8Bit(skipped.c_str()));
    }
    return true;
}

bool FlightDriver::fly(const QString& path)
{
    if (!open(path))
        return false;
    play();
    return true;
}

void FlightDriver::open_with_dialog(QWidget* parent)
{
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Open Flight"), QString(), FLIGHT_FILES);
    if (!path.isEmpty())
        fly(path);
}

void FlightDriver::take_drops_on(QWidget* window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FlightDriver::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!dropped_file(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = dropped_file(drop->mimeData());
        if (!path.isEmpty()) {
            drop->acceptProposedAction();
            fly(path);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FlightDriver::play()
{
    if (!is_open())
        return;
    if (player->at_end())
        seek(log->start_time());
    if (!loop->running()) {
        loop->switch_on_soon();
        emit message(QStringLiteral("Switched the instrument on to fly the flight"));
    }
    set_playing(true);
}

void FlightDriver::pause()
{
    set_playing(false);
}

void FlightDriver::set_speed(int times_real_time)
{
    if (std::find(SPEEDS.begin(), SPEEDS.end(), times_real_time) == SPEEDS.end() || times_real_time == times)
        return;
    times = times_real_time;
    emit speed_changed(times);
}

void FlightDriver::seek(double flight_time)
{
    if (!is_open())
        return;
    player->seek(flight_time);
    write_sliders();
    emit moved(time());
}

void FlightDriver::close()
{
    if (!is_open())
        return;
    pause();
    player.reset();
    log.reset();
    file_path.clear();
    emit open_changed(false);
    emit message(QStringLiteral("Flight closed: the sliders are yours again"));
}

void FlightDriver::tick()
{
    // The instrument runs in flight time only while it is on.
    if (!is_playing || !loop->running())
        return;
    write_sliders();
    player->step();
    if (extra_ticks)
        return;
    const int extra = int(std::min<long long>(times - 1, player->ticks_left()));
    if (extra > 0) {
        // After the slots of this tick, the rest of this 100 ms of flight.
        QMetaObject::invokeMethod(this, [this, extra] { run_extra_ticks(extra); }, Qt::QueuedConnection);
        return;
    }
    stop_at_end();
    emit moved(time());
}

void FlightDriver::run_extra_ticks(int count)
{
    if (!is_playing || !loop->running())
        return;
    extra_ticks = true;
    loop->run_ticks(count);
    extra_ticks = false;
    stop_at_end();
    emit moved(time());
}

void FlightDriver::stop_at_end()
{
    if (!player->at_end())
        return;
    pause();
    emit message(QStringLiteral("The flight has been played to its end"));
}

void FlightDriver::write_sliders()
{
    const flight_inputs inputs = player->write_inputs();
    writing = true;
    sensors->slider(sensor_input::altitude)->setValue(inputs.altitude);
    sensors->slider(sensor_input::vertical_speed)->setValue(inputs.vertical_speed);
    sensors->slider(sensor_input::asi_adc)->setValue(inputs.asi_adc);
    writing = false;
}

void FlightDriver::hand_moved(sensor_input input)
{
    if (writing || !is_playing)
        return;
    pause();
    QString slider = QString::fromLatin1(sensor_input_of(input).caption);
    slider.chop(1);  // the caption's colon
    emit message(QStringLiteral("Flight paused: the %1 slider was moved by hand").arg(slider));
}

void FlightDriver::set_playing(bool playing)
{
    if (playing == is_playing)
        return;
    is_playing = playing;
    emit playing_changed(playing);
}
