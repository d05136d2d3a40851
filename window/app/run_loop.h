// The window's run loop over its one instrument session: "On" switches the
// session on and runs its passes, one a refresh of the window's screen, until
// the session is off; the 100 ms timer is the session's clock, ticking
// whether it runs or not (and running the extra ticks of a flight played
// fast). What a pass shows (lamp, sentence, frame), every pass and tick, On
// and Off and the inputs moving go out as signals, whoever caused them: a
// button, a scenario, a flight.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QSet>

#include <cstdint>
#include <memory>

#include "session/session.h"

class QTimer;
class QWidget;

class RunLoop : public QObject, private session_observer {
    Q_OBJECT

public:
    // Paced by the refresh of the screen that window is on (60 Hz without one).
    explicit RunLoop(QWidget* window);
    ~RunLoop() override;

    // The window's session, shared by the parts that act on it.
    instrument_session& session() { return *instrument; }
    const std::shared_ptr<instrument_session>& shared_session() const { return instrument; }

    QTimer* Timer1;  // the 100 ms timer, started with the loop object
    // One tick of the session's clock, with a flight's extra ticks when it
    // plays fast (each after a pass that shows no frame); none while time is
    // held. While the loop runs, a tick that comes in a pass's event
    // processing is the session's once that pass is over, before the next.
    void Timer1Timer();
    // While anyone holds it, the timer's ticks are let go by: a scenario
    // waiting for passes alone, which take no time of the instrument's.
    void hold_time(const QObject* holder, bool held);

    // "On": the switch-on resets, then passes until the session is off. "On"
    // while running lets the loop already running carry on with the freshly
    // reset instrument.
    void Button1Click();
    // "Off": the loop ends after the current pass.
    void Button2Click();
    // Program start again (a recording begins there): the lamp maroon and
    // the LCD black, as the window first showed them.
    void program_start();

    bool running() const { return instrument->running(); }
    // Passes run since program start (for the soak figures).
    uint64_t passes_run() const { return instrument->passes(); }
    // The time from one paced pass to the next: one refresh of the window's
    // screen (60 Hz where the screen does not say).
    qint64 frame_interval_ns() const;

signals:
    void switched_on();   // the switch-on resets are done
    void switched_off();  // the session is off
    void lamp(bool red);
    void sentence(const char* line);  // one encoder sentence, terminator included
    void present();                   // lcd_buffer holds the new frame
    void pass_done();                 // a pass has done its work (before its events)
    void tick();                      // a tick of the session's 100 ms time base
    void inputs_moved();              // an input or the check box changed in the session
    void stopped();                   // the loop has ended

private:
    class Display;

    void session_ticked() override;
    void session_switched(bool on) override;
    void session_inputs_moved() override;

    void run();
    void tick_now();
    // Processes pending events, then waits in event processing until the
    // next frame is due, unless the swap has already waited for it.
    void process_events_paced();

    QWidget* paced_by;
    std::shared_ptr<instrument_session> instrument;
    std::unique_ptr<Display> shown;  // the passes of the loop
    std::unique_ptr<Display> quiet;  // the extra passes of a flight played fast
    // A loop is on the stack (or queued): "On" from within its events
    // resets the instrument instead of starting a second loop inside it.
    bool looping = false;
    bool loop_queued = false;
    QSet<const QObject*> time_holders;
    int ticks_due = 0;  // timer ticks that came in the current pass's events
    QElapsedTimer pace_clock;
    qint64 next_frame_ns = 0;
    QTimer* pace_timer;  // wakes the paced wait when the next frame is due
};
