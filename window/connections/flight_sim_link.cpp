#include "window/connections/flight_sim_link.h"

#include <QFile>
#include <QLocale>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include <cstring>

namespace {

// Datagrams read in one go before the event loop gets its turn again, so a
// flood cannot hold up passes, ticks or clicks.
constexpr int DATAGRAMS_PER_BATCH = 500;
// Larger datagrams are cut here: a line is never longer than LINK_LINE_MAX,
// a reply of the four datarefs is 37 bytes.
constexpr qint64 DATAGRAM_MAX = 4 * LINK_LINE_MAX;
// Silence longer than this is reported.
constexpr qint64 SILENCE_MS = 3000;
constexpr int MS_PER_SECOND = 1000;
constexpr qint64 XPLANE_RENEW_MS = qint64(XPLANE_RENEW_SECONDS * MS_PER_SECOND);

QString counted(quint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

constexpr xplane_dataref SUBSCRIBED[XPLANE_DATAREFS] = {xplane_dataref::pressure_altitude,
                                                        xplane_dataref::vertical_speed, xplane_dataref::airspeed,
                                                        xplane_dataref::clock};

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

FlightSimLink::~FlightSimLink()
{
    shut();
}

bool FlightSimLink::bind_socket(const QHostAddress& address, quint16 port, QString* why)
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
    replies.reset();
    qnh = qnh_feedback{};
    qnh_writes = 0;
    give_all_back();
    lines_at_last_second = 0;
    rate = 0.0;
    last_datagram.start();
    rate_timer->start();
    return true;
}

bool FlightSimLink::listen(const QHostAddress& address, quint16 port, QString* why)
{
    if (!bind_socket(address, port, why))
        return false;
    kind = link_simulator::flightgear;
    peer = qnh_address;
    peer_udp_port = qnh_port;
    emit state_changed();
    return true;
}

bool FlightSimLink::subscribe(const QHostAddress& host, quint16 port, QString* why)
{
    // A port of its own (any free one), on the loopback when X-Plane runs here.
    const QHostAddress local = host.isLoopback() ? host : QHostAddress(QHostAddress::AnyIPv4);
    if (!bind_socket(local, 0, why))
        return false;
    kind = link_simulator::xplane;
    peer = host;
    peer_udp_port = port;
    send_subscriptions(XPLANE_RATE_HZ);
    emit state_changed();
    return true;
}

void FlightSimLink::set_qnh_target(const QHostAddress& address, quint16 port)
{
    qnh_address = address;
    qnh_port = port;
    if (kind == link_simulator::flightgear) {
        peer = address;
        peer_udp_port = port;
    }
}

void FlightSimLink::send_subscriptions(int32_t frequency_hz)
{
    for (const xplane_dataref dataref : SUBSCRIBED) {
        const xplane_rref_request request = make_rref_request(frequency_hz, dataref);
        socket->writeDatagram(reinterpret_cast<const char*>(request.data()), qint64(request.size()), peer,
                              peer_udp_port);
    }
    last_subscription.start();
}

void FlightSimLink::shut()
{
    if (socket == nullptr)
        return;
    if (kind == link_simulator::xplane)
        send_subscriptions(0);
    delete socket;
    socket = nullptr;
    rate_timer->stop();
    drain_timer->stop();
    bound_port = 0;
    delete record_file;
    record_file = nullptr;
}

void FlightSimLink::close()
{
    if (socket == nullptr)
        return;
    shut();
    emit state_changed();
}

bool FlightSimLink::listening() const
{
    return socket != nullptr;
}

void FlightSimLink::send_qnh(uint32_t qnh_mb1000, double now_s)
{
    if (socket == nullptr || !qnh.due(qnh_mb1000, now_s))
        return;
    qint64 written = 0;
    if (kind == link_simulator::xplane) {
        const xplane_dref_packet packet = make_dref_packet(float(qnh_inhg(qnh_mb1000)), XPLANE_BAROMETER_DATAREF);
        written = socket->writeDatagram(reinterpret_cast<const char*>(packet.data()), qint64(packet.size()), peer,
                                        peer_udp_port);
    } else {
        const link_line_text line = flightgear_qnh_line(qnh_mb1000);
        written = socket->writeDatagram(line.text, qint64(strlen(line.text)), qnh_address, qnh_port);
    }
    if (written > 0)
        qnh_writes++;
}

bool FlightSimLink::record_to(const QString& path, QString* why)
{
    delete record_file;
    record_file = nullptr;
    if (path.isEmpty())
        return true;
    auto* file = new QFile(path, this);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (why != nullptr)
            *why = QStringLiteral("Cannot record the link to %1: %2").arg(path, file->errorString());
        delete file;
        return false;
    }
    record_file = file;
    return true;
}

QString FlightSimLink::recording() const
{
    return record_file != nullptr ? record_file->fileName() : QString();
}

void FlightSimLink::read_pending()
{
    if (socket == nullptr)
        return;
    const quint64 accepted = stream.counts().accepted;
    int batch = 0;
    while (socket->hasPendingDatagrams()) {
        if (batch++ == DATAGRAMS_PER_BATCH) {
            // The rest after the passes and events waiting now.
            drain_timer->start();
            break;
        }
        take_datagram(socket->receiveDatagram(DATAGRAM_MAX).data());
        last_datagram.start();
    }
    if (record_file != nullptr)
        record_file->flush();
    if (stream.counts().accepted != accepted)
        emit values_taken();
    // X-Plane forgets a subscriber it restarted without: ask again.
    if (kind == link_simulator::xplane && last_subscription.elapsed() >= XPLANE_RENEW_MS &&
        silent_ms() >= XPLANE_RENEW_MS)
        send_subscriptions(XPLANE_RATE_HZ);
}

void FlightSimLink::take_datagram(const QByteArray& bytes)
{
    if (kind == link_simulator::xplane) {
        const link_fault fault =
            replies.read(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        if (fault != link_fault::none)
            stream.feed_values(link_values{}, fault);
        else if (replies.complete() && stream.feed_values(replies.values(), fault) == link_fault::none)
            took_values();
        return;
    }
    std::string_view rest(bytes.constData(), size_t(bytes.size()));
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        if (stream.feed_line(rest.substr(0, end)) == link_fault::none)
            took_values();
        if (end == rest.npos)
            break;
        rest.remove_prefix(end + 1);
    }
}

void FlightSimLink::took_values()
{
    if (record_file == nullptr)
        return;
    record_file->write(format_link_line(stream.latest()).text);
    record_file->write("\n");
}

void FlightSimLink::measure_rate()
{
    const quint64 lines = stream.counts().lines;
    rate = double(lines - lines_at_last_second);
    lines_at_last_second = lines;
    if (kind == link_simulator::xplane && last_subscription.elapsed() >= XPLANE_RENEW_MS &&
        silent_ms() >= XPLANE_RENEW_MS)
        send_subscriptions(XPLANE_RATE_HZ);
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
    if (kind == link_simulator::xplane)
        text += QStringLiteral("X-Plane %1:%2, ").arg(peer.toString()).arg(peer_udp_port);
    else
        text += QStringLiteral("FlightGear, ");
    if (silent_ms() >= SILENCE_MS)
        text += QStringLiteral("no data for %1 s").arg(silent_ms() / MS_PER_SECOND);
    else if (kind == link_simulator::xplane)
        text += QStringLiteral("%1 replies/s").arg(qRound(rate));
    else
        text += QStringLiteral("%1 lines/s").arg(qRound(rate));
    if (stream.counts().refused > 0)
        text += QStringLiteral(", %1 refused").arg(counted(stream.counts().refused));
    for (const sensor_input_info& input : sensor_inputs())
        if (!controls(input.input))
            text += QStringLiteral(", %1 by hand").arg(QString::fromLatin1(input.word));
    if (qnh_writes > 0)
        text += QStringLiteral(", QNH %1 sent").arg(kind == link_simulator::xplane
                                                         ? QString::number(qnh_inhg(qnh.last()), 'f', 2) +
                                                               QStringLiteral(" inHg")
                                                         : QString::number(qnh_hpa(qnh.last()), 'f', 2) +
                                                               QStringLiteral(" hPa"));
    return text;
}
