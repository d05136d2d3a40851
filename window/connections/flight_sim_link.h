// The flight simulator link in the window: a UDP port on which a simulator
// streams the link's lines (link/link_line.h). By default it listens on
// 127.0.0.1 only; another address only when the user names one. The newest
// good values are held (also through silence); the form applies them to the
// sensor inputs the link controls at each 100 ms tick.
//
// Whatever reaches the port is read without trust and without stalling the
// run loop: a flood is read in bounded batches, each line checked and counted.
#pragma once
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <array>

#include "host/sensor_inputs.h"
#include "link/link_stream.h"

class QUdpSocket;
class QTimer;

class FlightSimLink : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 DEFAULT_PORT = 5505;

    explicit FlightSimLink(QObject* parent = nullptr);

    // Listens on address:port, counting afresh; every input under the link's
    // control. False with the reason in why (a port in use, an address of no
    // interface here). A link already listening is closed first.
    bool listen(const QHostAddress& address, quint16 port, QString* why);
    void close();
    bool listening() const;
    quint16 port() const { return bound_port; }
    QHostAddress address() const { return bound_address; }

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

    // "Link UDP 5505: 20 lines/s", "Link UDP 5505: no data for 3 s",
    // "... , 12 refused"; empty while not listening.
    QString status_text() const;

signals:
    void state_changed();

private:
    void read_pending();
    void measure_rate();

    QUdpSocket* socket = nullptr;
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
