#include "flight/flight_player.h"

#include <cmath>

#include "flight/sensor_mapping.h"
#include "host/sensor_inputs.h"

namespace {

// The share of the way a first-order lag moves towards its input in a tick.
const double LAG_STEP = 1.0 - std::exp(-TICK_SECONDS / VSI_LAG_SECONDS);

}  // namespace

flight_player::flight_player(const flight& recorded) : flight_(&recorded) {}

double flight_player::time() const
{
    return flight_->start_time() + double(tick_) / TICKS_PER_SECOND;
}

long long flight_player::ticks_left() const
{
    // The tick at the last fix's time is played too.
    const long long last = (long long)std::floor(flight_->duration() * TICKS_PER_SECOND + 1e-6);
    return tick_ > last ? 0 : last + 1 - tick_;
}

void flight_player::seek(double time)
{
    double offset = time - flight_->start_time();
    if (!(offset > 0.0))
        offset = 0.0;
    if (offset > flight_->duration())
        offset = flight_->duration();
    tick_ = std::llround(offset * TICKS_PER_SECOND);
    lag_started_ = false;
}

flight_inputs flight_player::write_inputs()
{
    sample_ = sample_flight(*flight_, time(), hint_);
    if (!std::isnan(sample_.vario_fpm)) {
        vsi_fpm_ = sample_.vario_fpm;
    } else if (!lag_started_) {
        vsi_fpm_ = sample_.climb_fpm;
    } else {
        vsi_fpm_ += (sample_.climb_fpm - vsi_fpm_) * LAG_STEP;
    }
    lag_started_ = true;
    inputs_.altitude = altitude_input_for(sample_.altitude_ft);
    inputs_.vertical_speed = vertical_speed_input_for(vsi_fpm_);
    inputs_.asi_adc = asi_input_for(sample_.airspeed_kmh);
    host_set_input(sensor_input::altitude, inputs_.altitude);
    host_set_input(sensor_input::vertical_speed, inputs_.vertical_speed);
    host_set_input(sensor_input::asi_adc, inputs_.asi_adc);
    return inputs_;
}

void flight_player::tick(const host_io& io)
{
    write_inputs();
    host_timer_tick();
    run_pass(io);
    tick_++;
}

void flight_player::fly(long long ticks, const host_io& io)
{
    for (long long i = 0; i < ticks; i++)
        tick(io);
}
