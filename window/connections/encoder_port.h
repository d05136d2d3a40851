// The encoder's serial line: the sentences the run loop builds, sent to a
// receiver on a serial port (a USB adapter, a UART, or one end of a
// pseudo-terminal pair), 8 data bits, no parity, 1 stop bit, no flow control.
//
// The run loop never waits for the line. A sentence is written whole, and only
// once the previous one has left the port. While the line is busy only the
// newest sentence waits, and goes out as soon as the line is free; the ones it
// replaced are skipped. So the receiver gets whole, current sentences as fast
// as the line carries them, and a stalled receiver costs only skipped ones.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <array>

#include "core/state.h"

class QTimer;

// The baud rates the encoder port offers, slowest first, and the one it
// starts at.
constexpr int DEFAULT_BAUD = 9600;
const QList<int>& encoder_baud_rates();

class EncoderPort : public QObject {
    Q_OBJECT

public:
    // "/dev/ttyUSB0" for "ttyUSB0"; a path is kept as it is.
    static QString device_path(const QString& name);

    enum class port_state { none, open, lost };

    explicit EncoderPort(QObject* parent = nullptr);
    ~EncoderPort() override;

    // Whether path can be a serial port: false only for a device that opens
    // and is not a terminal (/dev/null, say). One that cannot be opened to
    // look is left to open_port, which says why.
    static bool may_be_serial_port(const QString& path);

    // Opens the port at the rate (one of encoder_baud_rates), 8N1, no flow
    // control, and starts counting afresh; the port open before is closed
    // once the new one has opened. On failure message names the port and the
    // reason, and a connected port stays connected as it was.
    bool open_port(const QString& name, qint32 baud, QString* message);
    // Disconnect: closes the port; the state becomes none.
    void close_port();

    // One sentence from the run loop, bytes as they are up to the terminator:
    // written whole now if the line is free, else kept as the newest to send
    // when it is. Nothing while closed.
    void offer(const char* sentence);

    port_state state() const { return current; }
    bool is_open() const { return current == port_state::open; }
    QString path() const { return port_path; }
    qint32 baud() const { return port_baud; }
    quint64 sent() const { return sent_count; }
    quint64 skipped() const { return skipped_count; }
    // Why an open port was lost (empty unless the state is lost).
    QString lost_reason() const { return lost_because; }

    // "Encoder port /dev/ttyUSB0, 9600 8N1: 1,204 sent", "Encoder port: none",
    // or the lost port with its reason.
    QString status_text() const;

signals:
    // Opened, closed or lost.
    void state_changed();

private:
    // Nanoseconds until the line is free: 0 when it is, STILL_WRITING while
    // part of the last sentence has not reached the driver yet.
    static constexpr qint64 STILL_WRITING = -1;
    // The port's signals to this object's handlers.
    void wire(QSerialPort* line);
    // A new port at path, open and set to the rate, 8N1; null with failure
    // saying why.
    QSerialPort* open_line(const QString& path, qint32 baud, QString& failure);
    qint64 busy_ns() const;
    void send_waiting();
    void forget_waiting();
    void port_error(QSerialPort::SerialPortError error);

    QSerialPort* port;
    port_state current = port_state::none;
    QString port_path;
    qint32 port_baud = DEFAULT_BAUD;
    quint64 sent_count = 0;
    quint64 skipped_count = 0;
    QString lost_because;

    // When the last sentence was handed to the port, and how long the line
    // takes to carry it at the set rate.
    QElapsedTimer last_write;
    qint64 last_line_ns = 0;

    // The newest sentence not yet sent, and the timer that sends it when the
    // line has carried the last one.
    std::array<char, SERIAL_LINE_SIZE> waiting{};
    qint64 waiting_length = 0;
    QTimer* line_timer;
};
