// The encoder's serial line: the sentences the run loop builds, sent to a
// receiver on a serial port (a USB adapter, a UART, or one end of a
// pseudo-terminal pair), 8 data bits, no parity, 1 stop bit, no flow control.
//
// The run loop never waits for the line. A sentence is written whole, and only
// once the previous one has left the port; a sentence offered while the line
// is still busy is skipped, so the receiver always gets the newest altitude
// and a stalled receiver costs nothing but skipped sentences.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include "host/command_line.h"

class EncoderPort : public QObject {
    Q_OBJECT

public:
    // "/dev/ttyUSB0" for "ttyUSB0"; a path is kept as it is.
    static QString device_path(const QString& name);

    enum class port_state { none, open, lost };

    explicit EncoderPort(QObject* parent = nullptr);
    ~EncoderPort() override;

    // Opens the port at the rate (one of encoder_baud_rates), 8N1, no flow
    // control, and starts counting afresh. On failure the port stays closed
    // and message names the port and the reason. An open port is closed first.
    bool open_port(const QString& name, qint32 baud, QString* message);
    // Disconnect: closes the port; the state becomes none.
    void close_port();

    // One sentence from the run loop, bytes as they are up to the terminator.
    // Written whole if the line is free, else skipped. Nothing while closed.
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
    bool line_free() const;
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
};
