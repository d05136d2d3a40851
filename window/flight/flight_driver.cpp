#include "window/flight/flight_driver.h"

#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>

#include <cstdio>
#include <string>

#include "flight/flight_file.h"
#include "window/app/run_loop.h"
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

FlightDriver::FlightDriver(RunLoop* loop, QObject* parent) : QObject(parent), session(loop->shared_session())
{
    session->add_observer(this);
    shown_speed = speed();
}

FlightDriver::~FlightDriver()
{
    session->remove_observer(this);
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
    opening_path = path;
    session->flight().open(std::move(read));
    opening_path.clear();
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
    session->flight().play();
}

void FlightDriver::pause()
{
    session->flight().pause();
}

void FlightDriver::set_speed(int times_real_time)
{
    session->flight().set_speed(times_real_time);
}

void FlightDriver::seek(double flight_time)
{
    session->flight().seek(flight_time);
}

void FlightDriver::close()
{
    if (!is_open())
        return;
    session->flight().close();
    emit message(QStringLiteral("Flight closed: the sliders are yours again"));
}

void FlightDriver::session_flight_changed()
{
    const flight* now = is_open() ? &recorded() : nullptr;
    if (now != shown_flight) {
        if (shown_flight != nullptr) {
            shown_flight = nullptr;
            file_path.clear();
            emit open_changed(false);
        }
        if (now != nullptr) {
            shown_flight = now;
            file_path = opening_path;
            shown_time = time();
            emit open_changed(true);
            emit moved(shown_time);
        }
    }
    if (playing() != shown_playing) {
        shown_playing = playing();
        emit playing_changed(shown_playing);
    }
    if (speed() != shown_speed) {
        shown_speed = speed();
        emit speed_changed(shown_speed);
    }
    if (now != nullptr && time() != shown_time) {
        shown_time = time();
        emit moved(shown_time);
    }
}

void FlightDriver::session_notice(const char* text)
{
    emit message(QString::fromUtf8(text));
}
