#include "window/connections/link_driver.h"

#include <QHostAddress>
#include <QScrollBar>

#include <cstdio>

#include "link/link_inputs.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/flight_sim_link_dialog.h"
#include "window/app/run_loop.h"
#include "window/panel/sensor_panel.h"

LinkDriver::LinkDriver(SensorPanel* sensor_panel, RunLoop* loop, QObject* parent)
    : QObject(parent), listener(new FlightSimLink(this)), sensors(sensor_panel)
{
    connect(loop, &RunLoop::tick, this, &LinkDriver::apply);
    connect(sensors, &SensorPanel::input_moved, this, [this](sensor_input input, int32_t) { moved(input); });
    connect(listener, &FlightSimLink::state_changed, this, [this] { emit status_changed(listener->status_text()); });
}

bool LinkDriver::listen(const QString& address, quint16 port)
{
    QString why;
    const QHostAddress host(address);
    if (host.isNull())
        why = QStringLiteral("Cannot listen for the flight simulator: \"%1\" is not an IP address").arg(address);
    else if (listener->listen(host, port, &why))
        return true;
    std::fprintf(stderr, "ktr7-sim: %s\n", why.toLocal8Bit().constData());
    emit message(why);
    return false;
}

void LinkDriver::show_dialog(QWidget* parent)
{
    if (dialog == nullptr)
        dialog = new FlightSimLinkDialog(listener, parent);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void LinkDriver::apply()
{
    if (!listener->listening() || !listener->has_values())
        return;
    const flight_inputs inputs = link_inputs(listener->latest());
    const struct {
        sensor_input input;
        int32_t position;
    } positions[] = {{sensor_input::altitude, inputs.altitude},
                     {sensor_input::vertical_speed, inputs.vertical_speed},
                     {sensor_input::asi_adc, inputs.asi_adc}};
    applying = true;
    for (const auto& p : positions)
        if (listener->controls(p.input))
            sensors->slider(p.input)->setValue(p.position);
    applying = false;
}

void LinkDriver::moved(sensor_input input)
{
    if (!applying && listener->listening())
        listener->take_back(input);
}
