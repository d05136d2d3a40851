#include "window/connections/encoder_port.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <algorithm>

#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "window/app/window_names.h"

namespace {

// Start bit, 8 data bits, stop bit.
constexpr qint64 BITS_PER_BYTE_8N1 = 10;

constexpr int ENCODER_BAUD_RATES[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QString counted(quint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

// Bytes the driver still holds for the line, or 0 where it cannot say (a
// pseudo-terminal has no line and always says 0).
int driver_queue(const QSerialPort* port)
{
#ifdef TIOCOUTQ
    int queued = 0;
    if (ioctl(port->handle(), TIOCOUTQ, &queued) == 0)
        return queued;
#endif
    return 0;
}

QString open_failure(const QString& path, const QSerialPort& port)
{
    const QString start = QStringLiteral("Cannot open the encoder port %1: ").arg(path);
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return start + QStringLiteral("there is no such device.");
    case QSerialPort::PermissionError: {
        const QByteArray local = QFile::encodeName(path);
        struct stat about {};
        if (access(local.constData(), R_OK | W_OK) != 0 && stat(local.constData(), &about) == 0) {
            const QFileInfo device(path);
            const bool group_may = (about.st_mode & S_IRGRP) && (about.st_mode & S_IWGRP) && about.st_gid != 0;
            if (group_may)
                return start +
                       QStringLiteral("permission denied. Members of the group that owns the device (%1) may "
                                      "use it: add your user to that group (sudo adduser $USER %1), then log "
                                      "out and in again.")
                           .arg(device.group());
            return start +
                   QStringLiteral("permission denied; only %1 may use it. Serial ports usually belong to the "
                                  "group dialout: give the device to that group, add your user to it (sudo "
                                  "adduser $USER dialout), then log out and in again.")
                       .arg(device.owner());
        }
        return start + QStringLiteral("it is in use by another program (%1).").arg(port.errorString());
    }
    default:
        return start + port.errorString() + QLatin1Char('.');
    }
}

}  // namespace

const QList<int>& encoder_baud_rates()
{
    static const QList<int> rates(std::begin(ENCODER_BAUD_RATES), std::end(ENCODER_BAUD_RATES));
    return rates;
}

QString EncoderPort::device_path(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return name;
    return QStringLiteral("/dev/") + name;
}

EncoderPort::EncoderPort(QObject* parent) : QObject(parent), port(new QSerialPort(this))
{
    wire(port);
    line_timer = new QTimer(this);
    line_timer->setSingleShot(true);
    line_timer->setTimerType(Qt::PreciseTimer);
    connect(line_timer, &QTimer::timeout, this, [this] { send_waiting(); });
}

EncoderPort::~EncoderPort()
{
    port->close();
}

void EncoderPort::wire(QSerialPort* line)
{
    connect(line, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        port_error(error);
    });
    // A receiver may talk back; nothing here listens.
    connect(line, &QSerialPort::readyRead, this, [this] { port->readAll(); });
    connect(line, &QSerialPort::bytesWritten, this, [this] { send_waiting(); });
}

bool EncoderPort::may_be_serial_port(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool terminal = isatty(fd) == 1;
    ::close(fd);
    return terminal;
}

QSerialPort* EncoderPort::open_line(const QString& path, qint32 baud, QString& failure)
{
    auto* line = new QSerialPort(path, this);
    if (!line->open(QIODevice::ReadWrite)) {
        failure = open_failure(path, *line);
    } else if (!line->setBaudRate(baud) || !line->setDataBits(QSerialPort::Data8) ||
               !line->setParity(QSerialPort::NoParity) || !line->setStopBits(QSerialPort::OneStop) ||
               !line->setFlowControl(QSerialPort::NoFlowControl)) {
        failure = QStringLiteral("Cannot set the encoder port %1 to %2 8N1: %3.")
                      .arg(path)
                      .arg(baud)
                      .arg(line->errorString());
    } else {
        line->clear();
        return line;
    }
    delete line;
    return nullptr;
}

bool EncoderPort::open_port(const QString& name, qint32 baud, QString* message)
{
    const QString path = device_path(name.trimmed());
    QString failure;
    QSerialPort* line = nullptr;
    if (path.isEmpty()) {
        failure = QStringLiteral("No encoder port given.");
    } else if (!encoder_baud_rates().contains(baud)) {
        failure = QStringLiteral("Cannot open the encoder port %1: %2 is not a rate it offers.").arg(path).arg(baud);
    } else if (!may_be_serial_port(path)) {
        failure = QStringLiteral("Cannot open the encoder port %1: it is not a serial port.").arg(path);
    } else {
        // A device opens once at a time: the same port again (at another
        // rate, say) is closed first. Any other port the sentences go to
        // stays connected until the new one has opened.
        if (is_open() && path == port_path)
            port->close();
        line = open_line(path, baud, failure);
    }
    if (message != nullptr)
        *message = failure;
    if (line == nullptr && port->isOpen())
        return false;

    forget_waiting();
    lost_because.clear();
    sent_count = 0;
    skipped_count = 0;
    last_line_ns = 0;
    port_path = path;
    port_baud = baud;
    current = port_state::none;
    if (line != nullptr) {
        port->disconnect(this);
        port->close();
        port->deleteLater();
        port = line;
        wire(port);
        current = port_state::open;
    }
    emit state_changed();
    return line != nullptr;
}

void EncoderPort::forget_waiting()
{
    waiting_length = 0;
    line_timer->stop();
}

void EncoderPort::close_port()
{
    forget_waiting();
    port->close();
    current = port_state::none;
    lost_because.clear();
    emit state_changed();
}

qint64 EncoderPort::busy_ns() const
{
    // Part of the last sentence is still in QSerialPort's buffer; its
    // bytesWritten says when that changes.
    if (port->bytesToWrite() > 0)
        return STILL_WRITING;
    // What the driver holds still has to cross the line.
    qint64 busy = qint64(driver_queue(port)) * BITS_PER_BYTE_8N1 * NS_PER_SECOND / port_baud;
    // A pseudo-terminal takes bytes faster than any line and its driver says
    // nothing: keep to the line's pace so a receiver there sees what a real
    // one would.
    if (last_line_ns > 0)
        busy = std::max(busy, last_line_ns - last_write.nsecsElapsed());
    return std::max<qint64>(busy, 0);
}

void EncoderPort::offer(const char* sentence)
{
    if (current != port_state::open)
        return;
    // Only the newest waits; the one it replaces never goes out.
    if (waiting_length > 0)
        skipped_count++;
    waiting_length = qint64(strnlen(sentence, waiting.size()));
    std::memcpy(waiting.data(), sentence, size_t(waiting_length));
    send_waiting();
}

void EncoderPort::send_waiting()
{
    if (current != port_state::open || waiting_length == 0)
        return;
    const qint64 busy = busy_ns();
    if (busy == STILL_WRITING)
        return;
    if (busy > 0) {
        line_timer->start(int((busy + NS_PER_MS - 1) / NS_PER_MS));
        return;
    }
    // QSerialPort keeps what the driver cannot take yet and writes it as the
    // line drains, so the sentence leaves whole and in order.
    const qint64 length = waiting_length;
    if (port->write(waiting.data(), length) != length)
        return;  // the error handler has closed the port
    waiting_length = 0;
    sent_count++;
    last_write.start();
    last_line_ns = length * BITS_PER_BYTE_8N1 * NS_PER_SECOND / port_baud;
}

void EncoderPort::port_error(QSerialPort::SerialPortError error)
{
    // Failures while opening are open_port's to report; a timeout is no fault.
    if (current != port_state::open || error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    // The adapter was pulled, the other end of a pseudo-terminal closed, or
    // the line broke: the port is of no more use.
    // Qt's text for these is whatever the system said last, which is seldom
    // the reason.
    if (error == QSerialPort::ResourceError)
        lost_because = QStringLiteral("the device went away or its other end closed");
    else if (error == QSerialPort::WriteError)
        lost_because = QStringLiteral("writing failed: %1").arg(port->errorString());
    else
        lost_because = port->errorString();
    forget_waiting();
    port->close();
    current = port_state::lost;
    emit state_changed();
}

QString EncoderPort::status_text() const
{
    switch (current) {
    case port_state::none:
        return QStringLiteral("Encoder port: none");
    case port_state::open: {
        QString text = QStringLiteral("Encoder port %1, %2 8N1: %3 sent").arg(port_path).arg(port_baud).arg(counted(sent_count));
        if (skipped_count > 0)
            text += QStringLiteral(", %1 skipped").arg(counted(skipped_count));
        return text;
    }
    case port_state::lost:
        return QStringLiteral("Encoder port %1: lost (%2), closed after %3 sent")
            .arg(port_path, lost_because, counted(sent_count));
    }
    return QString();
}
