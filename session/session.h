// One session of the instrument as every host runs it (the window, the
// replay tool, the web page, the Python module): program start, On and Off,
// the "Altitude Sensor" check box, the three sensor inputs, the keys, the
// 100 ms time base with the extra ticks of a flight played fast, the passes
// and what they hand the host, the recorded flight being played and the
// simulator link's inputs. Several sessions may live in one process: each
// holds its own instrument (see instrument_image.h) and swaps it in before it
// touches the instrument.
#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "gfx/lcd.h"
#include "host/sensor_inputs.h"
#include "session/instrument_image.h"
#include "session/session_flight.h"

struct link_values;

// What a host does with what a pass hands it. Every function has a default
// that shows nothing.
class session_display {
public:
    virtual void show_lamp(bool red);                 // the alarm lamp: red or maroon
    virtual void show_sentence(const char* line);     // one encoder sentence, terminator included
    virtual void show_frame(const uint8_t* frame);    // the LCD's new frame, LCD_WIDTH x LCD_HEIGHT indices
    virtual void after_pass();                        // the host's event processing between passes

protected:
    ~session_display() = default;
};

// A display that shows nothing: the headless runs and the extra passes of a
// flight played fast, whose frames nobody sees.
extern session_display& NO_DISPLAY;

// What happens in a session, for whoever follows it (a scenario played live,
// the window's controls). Every function has a default that does nothing.
class session_observer {
public:
    virtual void session_ticked();                    // a tick of the 100 ms time base
    virtual void session_passed();                    // a pass ran
    virtual void session_switched(bool on);           // On or Off
    virtual void session_inputs_moved();              // an input or the check box changed
    virtual void session_flight_changed();            // opened, closed, played, paused, sped up, moved
    virtual void session_notice(const char* text);    // a line to tell the user ("Flight paused: ...")

protected:
    ~session_observer() = default;
};

class instrument_session : private flight_owner {
public:
    // Program start.
    instrument_session();
    ~instrument_session();
    instrument_session(const instrument_session&) = delete;
    instrument_session& operator=(const instrument_session&) = delete;

    // Every field of the state record zero, the LCD black, the instrument off
    // with the main display as its screen, the lamp maroon, no sentence sent,
    // the check box checked, the inputs at 0, no flight.
    void program_start();
    // "On": factory settings; passes may run.
    void switch_on();
    // "Off": no further passes; a flight playing is paused.
    void switch_off();
    bool running() const { return on_; }

    // The "Altitude Sensor" check box, as each pass reads it.
    void set_sensor_checked(bool ok);
    bool sensor_checked() const { return sensor_ok_; }

    // A hand on an input's control (already in its range): a flight playing
    // is paused.
    void set_input(sensor_input input, int32_t position);
    int32_t input(sensor_input input);
    // Keys: stored only while no key is pending.
    void post_key(uint8_t key);
    bool key_pending();

    // One tick of the 100 ms time base alone (a scenario's "tick").
    void timer_tick();
    // One pass of the run loop, while on; false (nothing run) while off.
    bool pass(session_display& display);
    // The host's 100 ms timer. With a flight playing while on: the flight's
    // inputs for this tick, and at N times real speed N - 1 more ticks after
    // it, each after a pass shown on quiet, so that every tick of flight time
    // has its pass. Otherwise a tick alone.
    void clock_tick(session_display& quiet = NO_DISPLAY);
    // ticks ticks of the loaded flight at once (a headless "fly"): each with
    // the flight's inputs, a tick and a pass; false while off or with no
    // flight.
    bool fly(long long ticks, session_display& display);

    // The link's newest values as the three inputs, at the instrument's
    // settings now (not a hand: a flight is left as it is); or only as the
    // inputs the link controls (indexed by sensor_input).
    void take_link_values(const link_values& values);
    void take_link_values(const link_values& values, const std::array<bool, 3>& controlled);

    // The QNH set on the instrument, mb x 1000 (what the link sends back).
    uint32_t qnh_setting();
    // The lamp as the last pass set it.
    bool lamp_red();
    // The newest sentence since switch-on ("" when none), and how many were
    // sent since program start.
    const char* newest_sentence();
    uint32_t sentences_sent();
    // This session's LCD, LCD_WIDTH x LCD_HEIGHT palette indices.
    const uint8_t* frame();
    // What the strings on this session's LCD say (see gfx/text_log.h).
    const text_log& texts();
    // Ticks and passes since program start.
    uint64_t ticks() const { return ticks_; }
    uint64_t passes() const { return passes_; }

    session_flight& flight() { return flight_; }

    // Makes this session's instrument the one the instrument's code works on,
    // for a host that reads fields by name (the scenario language's table).
    void activate();
    // This session's instrument as it is now, for a host that keeps a view
    // of it (Python's LCD array): brought up to date first if it is active.
    const instrument_image& stored();

    // Followers, at most MAX_OBSERVERS at once (one more is a fault of the
    // program, and stops it).
    static constexpr int MAX_OBSERVERS = 8;
    void add_observer(session_observer* observer);
    void remove_observer(session_observer* observer);

private:
    bool owner_running() override { return on_; }
    void owner_switch_on() override { switch_on(); }
    void owner_activate() override { activate(); }
    void owner_flight_changed() override;
    void owner_notice(const char* text) override;
    void owner_inputs_moved() override;
    template <class Call>
    void tell(Call call)
    {
        for (session_observer* o : observers_)
            if (o != nullptr)
                call(*o);
    }
    // Writes the flight's inputs for the tick now, and moves it on a tick.
    void write_flight_tick();
    void write_inputs(int32_t altitude, int32_t vertical_speed, int32_t asi_adc);

    std::unique_ptr<instrument_image> image_;
    bool on_ = false;
    bool sensor_ok_ = true;
    uint64_t ticks_ = 0;
    uint64_t passes_ = 0;
    session_flight flight_;
    std::array<session_observer*, MAX_OBSERVERS> observers_{};
};
