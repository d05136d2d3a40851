#include "window/connections/link_driver.h"

#include <QHostAddress>

#include <array>
#include <cstdio>

#include "host/time_base.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/flight_sim_link_dialog.h"
#include "window/app/run_loop.h"
#include "window/panel/sensor_panel.h"

LinkDriver::LinkDriver(SensorPanel* sensors, RunLoop* run_loop, QObject* parent)
    : QObject(parent), listener(new FlightSimLink(this)), loop(run_loop)
{
    connect(loop, &RunLoop::tick, this, &LinkDriver::apply);
    connect(sensors, &SensorPanel::moved_by_hand, this, [this](sensor_input input) {
        if (listener->listening())
            listener->take_back(input);
    });
    connect(listener, &FlightSimLink::state_changed, this, [this] { emit status_changed(listener->status_text()); });
    // New values reach the session as they arrive, so the next pass uses
    // them, not only the next tick's.
    connect(listener, &FlightSimLink::values_taken, this, &LinkDriver::hand_values);
}

bool LinkDriver::subscribe(const QString& address, quint16 port)
{
    QString why;
    const QHostAddress host(address);
    if (host.isNull())
        why = QStringLiteral("Cannot subscribe to X-Plane: \"%1\" is not an IP address").arg(address);
    else if (listener->subscribe(host, port, &why))
        return true;
    std::fprintf(stderr, "ktr7-sim: %s\n", why.toLocal8Bit().constData());
    emit message(why);
    return false;
}

bool LinkDriver::record(const QString& path)
{
    QString why;
    if (listener->record_to(path, &why))
        return true;
    std::fprintf(stderr, "ktr7-sim: %s\n", why.toLocal8Bit().constData());
    emit message(why);
    return false;
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
    if (!listener->listening())
        return;
    hand_values();
    // An instrument that is off has no QNH set (its record is all zero):
    // nothing goes to the simulator's altimeter until it is switched on.
    if (loop->session().running())
        listener->send_qnh(loop->session().qnh_setting(), double(ticks++) * TICK_SECONDS);
}

void LinkDriver::hand_values()
{
    if (!listener->listening() || !listener->has_values())
        return;
    std::array<bool, 3> controlled{};
    for (const sensor_input_info& info : sensor_inputs())
        controlled[size_t(info.input)] = listener->controls(info.input);
    loop->session().take_link_values(listener->latest(), controlled);
}
