// The window's run loop: "On" runs passes of the instrument, one a refresh of
// the window's screen, until something sets stop_requested; the 100 ms timer
// ticks whether it runs or not. What a pass shows (lamp, sentence, frame) and
// every pass and tick go out as signals.
#pragma once
#include <QElapsedTimer>
#include <QObject>

#include <cstdint>

#include "host/pass.h"

class QTimer;
class QWidget;

class RunLoop : public QObject {
    Q_OBJECT

public:
    // Paced by the refresh of the screen that window is on.
    explicit RunLoop(QWidget* window);

    QTimer* Timer1;  // the 100 ms timer, started with the loop object
    void Timer1Timer();

    // "On": the switch-on resets, then passes until stop_requested. "On"
    // while running lets the loop already running carry on with the freshly
    // reset instrument.
    void Button1Click();
    // "On" without running the loop here: the switch-on resets, and the loop
    // is started from the event loop unless it runs already.
    void switch_on_soon();
    // "Off": the loop ends after the current pass.
    void Button2Click();
    // count more 100 ms ticks at once (a flight played faster than real
    // time): each after a pass for the tick before it, so every tick has its
    // pass. These passes leave events to the loop and show no frame; the
    // loop's next pass shows the last.
    void run_ticks(int count);

    bool running() const { return loop_running; }
    // Passes run since the loop object was made (for the soak figures).
    uint64_t passes_run() const { return passes; }
    // The time from one paced pass to the next: one refresh of the window's
    // screen (60 Hz where the screen does not say).
    qint64 frame_interval_ns() const;

    // The host side of a pass, with this loop as its context.
    const host_io& host() const { return io; }

public slots:
    // The "Altitude Sensor" check box, as each pass reads it.
    void set_altitude_sensor(bool ok) { sensor_ok = ok; }

signals:
    void switched_on();   // the switch-on resets are done
    void switched_off();  // "Off" was pressed
    void lamp(bool red);
    void sentence(const char* line);  // one encoder sentence, terminator included
    void present();                   // lcd_buffer holds the new frame
    void pass_done();                 // a pass has done its work (before its events)
    void tick();                      // a 100 ms tick
    void stopped();                   // the loop has ended

private:
    void run();
    // Processes pending events, then waits in event processing until the
    // next frame is due, unless the swap has already waited for it.
    void process_events_paced();

    QWidget* paced_by;
    host_io io;
    host_io quick_io;  // io for run_ticks' passes
    bool sensor_ok = true;
    bool loop_running = false;
    bool loop_queued = false;
    uint64_t passes = 0;
    QElapsedTimer pace_clock;
    qint64 next_frame_ns = 0;
    QTimer* pace_timer;  // wakes the paced wait when the next frame is due
};
