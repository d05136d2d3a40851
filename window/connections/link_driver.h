// The flight simulator link at work in the window: it owns the UDP link and
// its dialog, gives the window's session the newest values the simulator
// sent as they arrive and at each 100 ms tick, for the sensor inputs the link
// controls, and at each tick the instrument's QNH to send back;
// the sliders follow the session, and so the aircraft. A slider moved by hand
// (or its number typed) takes its input from the link until the user gives
// it back.
#pragma once
#include <QObject>
#include <QString>

#include "host/sensor_inputs.h"

class FlightSimLink;
class FlightSimLinkDialog;
class QWidget;
class RunLoop;
class SensorPanel;

class LinkDriver : public QObject {
    Q_OBJECT

public:
    LinkDriver(SensorPanel* sensors, RunLoop* loop, QObject* parent);

    FlightSimLink* link() const { return listener; }

    // Listens on address:port; on failure says why (standard error and the
    // message signal) and the simulator runs on without the link.
    bool listen(const QString& address, quint16 port);
    // Subscribes to X-Plane at address:port, the same way.
    bool subscribe(const QString& address, quint16 port);
    // Records what the link takes into path, the same way.
    bool record(const QString& path);
    // Options > Flight Simulator Link...: the dialog, made on first use.
    void show_dialog(QWidget* parent);

    // The link's values to the inputs it controls, and the QNH back: a tick.
    void apply();

signals:
    // The status bar's text for the link ("" while it is not listening).
    void status_changed(const QString& text);
    // Something to tell the user for a moment.
    void message(const QString& text);

private:
    // The newest values to the inputs the link controls, now.
    void hand_values();

    FlightSimLink* listener;
    FlightSimLinkDialog* dialog = nullptr;
    RunLoop* loop;
    quint64 ticks = 0;  // the QNH's clock
};
