#include "window/connections/flight_sim_link.h"

#include <QLocale>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace {

// Datagrams read in one go before the event loop gets its turn again, so a
// flood cannot hold up passes, ticks or clicks.
constexpr int DATAGRAMS_PER_BATCH = 500;
// Larger datagrams are cut here: a line is never longer than LINK_LINE_MAX.
constexpr qint64 DATAGRAM_MAX = 4 * LINK_LINE_MAX;
// Silence longer than this is reported.
constexpr qint64 SILENCE_MS = 3000;
constexpr int MS_PER_SECOND = 1000;

QString counted(quint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

}  // namespace

FlightSimLink::FlightSimLink(QObject* parent) : QObject(parent)
{
    rate_timer = new QTimer(this);
    rate_timer->setInterval(MS_PER_SECOND);
    connect(rate_timer, &QTimer::timeout, this, &FlightSimLink::measure_rate);
    drain_timer = new QTimer(this);
    drain_timer->setSingleShot(true);
    drain_timer->setInterval(0);
    connect(drain_timer, &QTimer::timeout, this, &FlightSimLink::read_pending);
}

bool FlightSimLink::listen(const QHostAddress& address, quint16 port, QString* why)
{
    close();
    auto* fresh = new QUdpSocket(this);
    if (!fresh->bind(address, port)) {
        if (why != nullptr)
            *why = QStringLiteral("Cannot listen on UDP %1 port %2: %3")
                       .arg(address.toString())
                       .arg(port)
                       .arg(fresh->errorString());
        delete fresh;
        return false;
    }
    socket = fresh;
    connect(socket, &QUdpSocket::readyRead, this, &FlightSimLink::read_pending);
    bound_address = address;
    bound_port = socket->localPort();
    stream.reset();
    give_all_back();
    lines_at_last_second = 0;
    rate = 0.0;
    last_datagram.start();
    rate_timer->start();
    emit state_changed();
    return true;
}

void FlightSimLink::close()
{
    if (socket == nullptr)
        return;
    delete socket;
    socket = nullptr;
    rate_timer->stop();
    drain_timer->stop();
    bound_port = 0;
    emit state_changed();
}

bool FlightSimLink::listening() const
{
    return socket != nullptr;
}

void FlightSimLink::read_pending()
{
    if (socket == nullptr)
        return;
    int batch = 0;
    while (socket->hasPendingDatagrams()) {
        if (batch++ == DATAGRAMS_PER_BATCH) {
            // The rest after the passes and events waiting now.
            drain_timer->start();
            return;
        }
        const QNetworkDatagram datagram = socket->receiveDatagram(DATAGRAM_MAX);
        const QByteArray bytes = datagram.data();
        stream.feed(std::string_view(bytes.constData(), size_t(bytes.size())));
        last_datagram.start();
    }
}

void FlightSimLink::measure_rate()
{
    const quint64 lines = stream.counts().lines;
    rate = double(lines - lines_at_last_second);
    lines_at_last_second = lines;
    emit state_changed();
}

bool FlightSimLink::controls(sensor_input input) const
{
    return controlled[size_t(input)];
}

void FlightSimLink::take_back(sensor_input input)
{
    if (!controlled[size_t(input)])
        return;
    controlled[size_t(input)] = false;
    emit state_changed();
}

void FlightSimLink::give_back(sensor_input input)
{
    if (controlled[size_t(input)])
        return;
    controlled[size_t(input)] = true;
    emit state_changed();
}

void FlightSimLink::give_all_back()
{
    controlled = {true, true, true};
}

qint64 FlightSimLink::silent_ms() const
{
    return last_datagram.isValid() ? last_datagram.elapsed() : 0;
}

QString FlightSimLink::status_text() const
{
    if (!listening())
        return QString();
    QString text = QStringLiteral("Link UDP %1: ").arg(bound_port);
    if (silent_ms() >= SILENCE_MS)
        text += QStringLiteral("no data for %1 s").arg(silent_ms() / MS_PER_SECOND);
    else
        text += QStringLiteral("%1 lines/s").arg(qRound(rate));
    if (stream.counts().refused > 0)
        text += QStringLiteral(", %1 refused").arg(counted(stream.counts().refused));
    for (const sensor_input_info& input : sensor_inputs())
        if (!controls(input.input))
            text += QStringLiteral(", %1 by hand").arg(QString::fromLatin1(input.word));
    return text;
}
