#include "window/connections/control_socket.h"

#include <QMetaObject>

#include <cstring>
#include <string_view>

#include "scenario/escape.h"
#include "window/app/run_loop.h"
#include "window/connections/line_socket.h"

namespace {

// Lines played in one turn of the event loop before the window's own events.
constexpr int LINES_PER_TURN = 64;
// What the warning lines of a run start with, given again as "warning N:".
constexpr std::string_view WARNING_PREFIX = "warning: ";

QByteArray line_error(long line, const QByteArray& message)
{
    return "error " + QByteArray::number(qlonglong(line)) + ": " + message;
}

}  // namespace

ControlSocket::ControlSocket(RunLoop* run_loop, QObject* parent)
    : QObject(parent),
      loop(run_loop),
      session(run_loop->shared_session()),
      executor(*session, NO_DISPLAY, files, *this, scenario_clock::live),
      socket(new LineSocket(line_error(0, "another client is connected") + '\n', this))
{
    // After the executor: the time is held or let go once it has heard the tick.
    session->add_observer(this);
    connect(socket, &LineSocket::client_arrived, this, &ControlSocket::client_arrived);
    connect(socket, &LineSocket::lines_arrived, this, &ControlSocket::play_soon);
    connect(socket, &LineSocket::client_lost, this,
            [this](const QString& why) { end_client(QStringLiteral("Control socket: the client left: %1").arg(why)); });
}

ControlSocket::~ControlSocket()
{
    blockSignals(true);
    executor.stop();
    if (loop != nullptr)
        loop->hold_time(this, false);
    session->remove_observer(this);
}

QString ControlSocket::socket_path(const QString& given, QString& why)
{
    if (given.isEmpty()) {
        why = QStringLiteral("--control needs a socket's name or path");
        return {};
    }
    if (given.contains(QLatin1Char('/')))
        return given;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.startsWith(QLatin1Char('/'))) {
        why = QStringLiteral("--control %1: XDG_RUNTIME_DIR is not set; give the socket as a path, such as ./%1")
                  .arg(given);
        return {};
    }
    return runtime + QLatin1Char('/') + given;
}

bool ControlSocket::listen(const QString& path, QString& why)
{
    return socket->listen(path, why);
}

QString ControlSocket::path() const
{
    return socket->path();
}

// ---------------------------------------------------------------------------
// The client.

void ControlSocket::client_arrived()
{
    connected = true;
    executor.open();
    emit message(QStringLiteral("Control socket: a client connected"));
    play_soon();
}

void ControlSocket::end_client(const QString& said, const QByteArray& last_answer)
{
    if (!connected)
        return;
    connected = false;
    if (!last_answer.isEmpty())
        socket->send(last_answer + '\n');
    socket->close_client(true);
    // What it sent last is stopped where it is; a GIF it recorded is written.
    executor.stop();
    answer.clear();
    failure.clear();
    hold_time();
    emit message(said);
}

void ControlSocket::play_lines()
{
    if (in_play_lines || !connected)
        return;
    in_play_lines = true;
    for (int played = 0; connected && !executor.line_running(); played++) {
        if (played == LINES_PER_TURN) {
            play_soon();
            break;
        }
        QByteArray line;
        const long number = executor.line() + 1;
        const LineSocket::taken taken = socket->next_line(line, LONGEST_LINE);
        if (taken == LineSocket::taken::too_long) {
            end_client(QStringLiteral("Control socket: the client sent a line longer than %1 bytes").arg(LONGEST_LINE),
                       line_error(number, "line longer than " + QByteArray::number(LONGEST_LINE) + " bytes"));
            break;
        }
        if (taken == LineSocket::taken::cut_off) {
            end_client(QStringLiteral("Control socket: the client left in the middle of a line"),
                       line_error(number, "the connection ended in the middle of this line, which did not run"));
            break;
        }
        if (taken == LineSocket::taken::none) {
            if (socket->input_ended())
                end_client(QStringLiteral("Control socket: the client left"));
            break;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        answer.clear();
        failure.clear();
        executor.play_line(std::string_view(line.constData(), size_t(line.size())));
    }
    in_play_lines = false;
    hold_time();
}

void ControlSocket::play_soon()
{
    // Never from within a pass (its events are handled before it is over):
    // after it, or at once from the event loop when no pass runs.
    if (session->running()) {
        line_due = true;
        return;
    }
    if (play_queued)
        return;
    play_queued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            play_queued = false;
            if (session->running())
                line_due = true;
            else
                play_lines();
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// What the lines say.

void ControlSocket::sentence(const char* line)
{
    if (!connected || !executor.line_running())
        return;
    const size_t length = std::strlen(line);
    QByteArray escaped(qsizetype(escaped_capacity(length)), '\0');
    escaped.truncate(qsizetype(escape_bytes(line, length, escaped.data(), size_t(escaped.size()))));
    answer += "serial " + escaped + '\n';
}

void ControlSocket::printed(const char* line)
{
    answer += QByteArray(line) + '\n';
}

void ControlSocket::failed(long line, const char* why)
{
    // One last line a line: a second failure of it goes into the first's.
    if (failure.isEmpty())
        failure = line_error(line, why);
    else
        failure += QByteArray("; ") + why;
}

void ControlSocket::warned(long line, const char* what)
{
    std::string_view text(what);
    if (text.substr(0, WARNING_PREFIX.size()) == WARNING_PREFIX)
        text.remove_prefix(WARNING_PREFIX.size());
    answer += "warning " + QByteArray::number(qlonglong(line)) + ": " +
              QByteArray(text.data(), qsizetype(text.size())) + '\n';
}

void ControlSocket::line_played(long)
{
    if (!connected)
        return;
    socket->send(answer + (failure.isEmpty() ? QByteArray("ok") : failure) + '\n');
    answer.clear();
    failure.clear();
    // A line that waited ends in a tick or a pass: the next is played once
    // the executor has heard it.
    if (!in_play_lines)
        line_due = true;
}

// ---------------------------------------------------------------------------
// The window's time.

void ControlSocket::session_ticked()
{
    play_due_line();
}

void ControlSocket::session_passed()
{
    play_due_line();
}

void ControlSocket::session_switched(bool on)
{
    // Off: no pass comes to play it after.
    if (!on && line_due) {
        line_due = false;
        play_soon();
    }
}

void ControlSocket::play_due_line()
{
    hold_time();
    if (!line_due)
        return;
    line_due = false;
    play_lines();
}

void ControlSocket::hold_time()
{
    if (loop != nullptr)
        loop->hold_time(this, executor.waits_for_passes());
}
