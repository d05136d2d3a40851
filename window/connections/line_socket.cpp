#include "window/connections/line_socket.h"

#include <QFile>
#include <QSocketNotifier>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Connections waiting to be taken.
constexpr int BACKLOG = 4;
// Read at most this much in one go.
constexpr qsizetype READ_CHUNK = 4096;

QString errno_text(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The other end has closed the connection altogether (a client that only
// shut its sending side still reads).
bool hung_up(int fd)
{
    pollfd about {fd, 0, 0};
    return poll(&about, 1, 0) == 1 && (about.revents & POLLHUP) != 0;
}

}  // namespace

LineSocket::LineSocket(const QByteArray& busy_line, QObject* parent) : QObject(parent), busy(busy_line)
{
}

LineSocket::~LineSocket()
{
    forget_client();
    if (listener >= 0) {
        ::close(listener);
        ::unlink(QFile::encodeName(where).constData());
    }
}

bool LineSocket::listen(const QString& path, QString& why)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof address.sun_path) {
        why = QStringLiteral("%1: a socket's path takes 1 to %2 bytes").arg(path).arg(sizeof address.sun_path - 1);
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const auto* as_address = reinterpret_cast<const sockaddr*>(&address);

    struct stat about {};
    if (lstat(native.constData(), &about) == 0) {
        if (!S_ISSOCK(about.st_mode)) {
            why = QStringLiteral("%1 is there and is no socket").arg(path);
            return false;
        }
        const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool answered = probe >= 0 && ::connect(probe, as_address, sizeof address) == 0;
        if (probe >= 0)
            ::close(probe);
        if (answered) {
            why = QStringLiteral("another program listens on %1").arg(path);
            return false;
        }
        // Left by a program that ended without removing it.
        ::unlink(native.constData());
    }

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        why = errno_text(errno);
        return false;
    }
    // Made for the owner alone from the start, whatever the folder allows.
    const mode_t mask = umask(S_IRWXG | S_IRWXO | S_IXUSR);
    const bool bound = bind(fd, as_address, sizeof address) == 0;
    const int bind_error = errno;
    umask(mask);
    if (!bound || ::listen(fd, BACKLOG) != 0) {
        why = QStringLiteral("cannot listen on %1: %2").arg(path, errno_text(bound ? errno : bind_error));
        if (bound)
            ::unlink(native.constData());
        ::close(fd);
        return false;
    }
    listener = fd;
    where = path;
    accepting = new QSocketNotifier(qintptr(listener), QSocketNotifier::Read, this);
    connect(accepting, &QSocketNotifier::activated, this, &LineSocket::take_client);
    return true;
}

void LineSocket::take_client()
{
    for (;;) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (client >= 0) {
            (void)::send(fd, busy.constData(), size_t(busy.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
            ::close(fd);
            continue;
        }
        client = fd;
        reading = new QSocketNotifier(qintptr(client), QSocketNotifier::Read, this);
        writing = new QSocketNotifier(qintptr(client), QSocketNotifier::Write, this);
        writing->setEnabled(false);
        connect(reading, &QSocketNotifier::activated, this, &LineSocket::read_client);
        connect(writing, &QSocketNotifier::activated, this, &LineSocket::write_client);
        emit client_arrived();
    }
}

void LineSocket::read_client()
{
    char chunk[READ_CHUNK];
    while (client >= 0 && !input_closed && received.size() < RECEIVED_MAX) {
        const ssize_t got = ::read(client, chunk, sizeof chunk);
        if (got > 0) {
            received.append(chunk, qsizetype(got));
            continue;
        }
        if (got == 0) {
            input_closed = true;
            if (hung_up(client)) {
                // Gone altogether, not only done sending: nobody reads answers.
                forget_client();
                emit client_lost(QStringLiteral("it closed the connection"));
                return;
            }
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        const QString why = errno_text(errno);
        forget_client();
        emit client_lost(why);
        return;
    }
    watch_reading();
    emit lines_arrived();
}

void LineSocket::watch_reading()
{
    if (reading != nullptr)
        reading->setEnabled(!input_closed && !closing && received.size() < RECEIVED_MAX);
}

LineSocket::taken LineSocket::next_line(QByteArray& line, qsizetype longest)
{
    if (client < 0 || closing)
        return taken::none;
    const qsizetype end = received.indexOf('\n');
    if (end > longest || (end < 0 && received.size() > longest))
        return taken::too_long;
    if (end < 0)
        return input_closed && !received.isEmpty() ? taken::cut_off : taken::none;
    line = received.left(end);
    received.remove(0, end + 1);
    watch_reading();
    return taken::line;
}

bool LineSocket::input_ended() const
{
    return client >= 0 && input_closed && received.isEmpty();
}

void LineSocket::send(const QByteArray& bytes)
{
    if (client < 0)
        return;
    unsent += bytes;
    write_client();
}

void LineSocket::write_client()
{
    while (client >= 0 && !unsent.isEmpty()) {
        const ssize_t sent = ::send(client, unsent.constData(), size_t(unsent.size()), MSG_NOSIGNAL);
        if (sent > 0) {
            unsent.remove(0, qsizetype(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        const QString why = sent < 0 ? errno_text(errno) : QStringLiteral("the connection closed");
        forget_client();
        emit client_lost(why);
        return;
    }
    if (client < 0)
        return;
    if (unsent.size() > UNSENT_MAX) {
        forget_client();
        emit client_lost(QStringLiteral("it took no answers"));
        return;
    }
    writing->setEnabled(!unsent.isEmpty());
    if (unsent.isEmpty() && closing)
        forget_client();
}

void LineSocket::close_client(bool flush)
{
    if (client < 0)
        return;
    closing = true;
    watch_reading();
    if (!flush || unsent.isEmpty())
        forget_client();
}

void LineSocket::forget_client()
{
    // From within their own signals, perhaps: they go once it is over.
    for (QSocketNotifier* notifier : {reading, writing}) {
        if (notifier == nullptr)
            continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    reading = writing = nullptr;
    if (client >= 0)
        ::close(client);
    client = -1;
    received.clear();
    unsent.clear();
    input_closed = false;
    closing = false;
}
