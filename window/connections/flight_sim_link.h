// The flight simulator link in the window, both ways. FlightGear streams the
// link's lines (link/link_line.h) to a UDP port the window listens on (by
// default on 127.0.0.1 only; another address only when the user names one)
// and takes the QNH back as a line on its generic input socket. X-Plane is
// asked: the window binds a UDP port of its own (so any number of windows fly
// from one X-Plane), subscribes to four datarefs, reads the binary replies,
// renews the subscriptions when the replies stop, cancels them when the link
// closes, and writes the QNH back in inHg. The newest good values are held
// (also through silence); the driver gives them to the session at each tick.
//
// Whatever reaches the port is read without trust and without stalling the
// run loop: a flood is read in bounded batches, each line or packet checked
// and counted by reason. What the link took can be recorded in the line form,
// one a line, for ktr7-replay --link.
#pragma once
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <array>

#include "host/sensor_inputs.h"
#include "link/link_stream.h"
#include "link/qnh_feedback.h"
#include "link/xplane_packets.h"

class QFile;
class QUdpSocket;
class QTimer;

enum class link_simulator { flightgear, xplane };

class FlightSimLink : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 DEFAULT_PORT = 5505;
    // FlightGear's generic input socket the QNH line goes to by default.
    static constexpr quint16 DEFAULT_QNH_PORT = 5506;

    explicit FlightSimLink(QObject* parent = nullptr);
    ~FlightSimLink() override;

    // FlightGear: listens on address:port, counting afresh; every input under
    // the link's control. False with the reason in why (a port in use, an
    // address of no interface here). A link already open is closed first.
    bool listen(const QHostAddress& address, quint16 port, QString* why);
    // X-Plane at host:port: binds a port of its own and subscribes. False
    // with the reason in why.
    bool subscribe(const QHostAddress& host, quint16 port, QString* why);
    // Cancels X-Plane's subscriptions, stops any recording.
    void close();
    bool listening() const;
    link_simulator simulator() const { return kind; }
    // The port the window reads on (its own one for X-Plane).
    quint16 port() const { return bound_port; }
    QHostAddress address() const { return bound_address; }
    // X-Plane's address, or FlightGear's input socket the QNH goes to.
    QHostAddress peer_address() const { return peer; }
    quint16 peer_port() const { return peer_udp_port; }
    // Where FlightGear's QNH line goes (127.0.0.1:5506 unless set).
    void set_qnh_target(const QHostAddress& address, quint16 port);

    // The instrument's QNH (mb x 1000) at each tick, with the time in
    // seconds: sent to the simulator when it changed, and once a second.
    void send_qnh(uint32_t qnh_mb1000, double now_s);
    // How many times it was sent since the link opened, and the last value.
    quint64 qnh_sent() const { return qnh_writes; }
    uint32_t qnh_last() const { return qnh.last(); }

    // Writes every value the link takes, in the line form, one a line, to
    // path (empty stops). False with the reason in why.
    bool record_to(const QString& path, QString* why);
    QString recording() const;

    // The newest good values, if any arrived since listening.
    bool has_values() const { return stream.has_values(); }
    const link_values& latest() const { return stream.latest(); }
    const link_counts& counts() const { return stream.counts(); }

    // Moving a slider by hand takes that input from the link until the user
    // gives it back.
    bool controls(sensor_input input) const;
    void take_back(sensor_input input);
    void give_back(sensor_input input);
    void give_all_back();

    // Milliseconds since the last datagram (or since listening began).
    qint64 silent_ms() const;
    // Lines per second over the last full second.
    double lines_per_second() const { return rate; }

    // "Link UDP 5505: FlightGear, 20 lines/s", "Link UDP 40123: X-Plane
    // 127.0.0.1:49000, 20 replies/s", "...: FlightGear, no data for 3 s",
    // "..., 12 refused", "..., QNH 1013.25 hPa sent";
    // empty while not listening.
    QString status_text() const;

signals:
    void state_changed();
    // New good values arrived (once per batch read), for whoever hands them
    // on without waiting for the next tick.
    void values_taken();

private:
    bool bind_socket(const QHostAddress& address, quint16 port, QString* why);
    void read_pending();
    void take_datagram(const QByteArray& bytes);
    void took_values();
    void measure_rate();
    void send_subscriptions(int32_t frequency_hz);
    void shut();

    link_simulator kind = link_simulator::flightgear;
    QUdpSocket* socket = nullptr;
    QFile* record_file = nullptr;
    xplane_reader replies;
    qnh_feedback qnh;
    quint64 qnh_writes = 0;
    QHostAddress peer = QHostAddress(QHostAddress::LocalHost);
    quint16 peer_udp_port = DEFAULT_QNH_PORT;
    QHostAddress qnh_address = QHostAddress(QHostAddress::LocalHost);
    quint16 qnh_port = DEFAULT_QNH_PORT;
    QElapsedTimer last_subscription;
    QTimer* rate_timer;
    QTimer* drain_timer;
    link_stream stream;
    QHostAddress bound_address;
    quint16 bound_port = 0;
    QElapsedTimer last_datagram;
    quint64 lines_at_last_second = 0;
    double rate = 0.0;
    std::array<bool, 3> controlled = {true, true, true};
};
