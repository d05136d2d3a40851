// The flight simulator link at work in the window: it owns the UDP listener
// and its dialog, and at each 100 ms tick gives the window's session the
// newest values the simulator sent, for the sensor inputs the link controls;
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
    // Options > Flight Simulator Link...: the dialog, made on first use.
    void show_dialog(QWidget* parent);

    // The link's values to the inputs it controls, now.
    void apply();

signals:
    // The status bar's text for the link ("" while it is not listening).
    void status_changed(const QString& text);
    // Something to tell the user for a moment.
    void message(const QString& text);

private:
    FlightSimLink* listener;
    FlightSimLinkDialog* dialog = nullptr;
    RunLoop* loop;
};
