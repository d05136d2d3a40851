#include "window/app/run_loop.h"

#include <QCoreApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "host/time_base.h"
#include "window/app/window_names.h"

namespace {

// Where the screen does not tell its refresh rate.
constexpr double DEFAULT_REFRESH_HZ = 60.0;

}  // namespace

// What a pass hands the window: the lamp, the sentence and the frame as the
// loop's signals. A paced display then lets the window handle its events
// until the next refresh; a quiet one (the extra passes of a flight played
// fast) shows no frame and leaves the events to the loop's next pass.
class RunLoop::Display final : public session_display {
public:
    Display(RunLoop& loop, bool paced) : loop(loop), paced(paced) {}

    void show_lamp(bool red) override { emit loop.lamp(red); }
    void show_sentence(const char* line) override { emit loop.sentence(line); }
    void show_frame(const uint8_t*) override
    {
        if (paced)
            emit loop.present();
    }
    void after_pass() override
    {
        if (paced)
            loop.process_events_paced();
        else
            emit loop.pass_done();
    }

private:
    RunLoop& loop;
    bool paced;
};

RunLoop::RunLoop(QWidget* window)
    : QObject(window),
      paced_by(window),
      instrument(std::make_shared<instrument_session>()),
      shown(std::make_unique<Display>(*this, true)),
      quiet(std::make_unique<Display>(*this, false))
{
    instrument->add_observer(this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TICK_MS);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &RunLoop::Timer1Timer);
    pace_timer = new QTimer(this);
    pace_timer->setSingleShot(true);
    pace_timer->setTimerType(Qt::PreciseTimer);
}

RunLoop::~RunLoop()
{
    instrument->remove_observer(this);
}

void RunLoop::Timer1Timer()
{
    if (looping)
        ticks_due++;
    else
        tick_now();
}

void RunLoop::hold_time(const QObject* holder, bool held)
{
    if (held)
        time_holders.insert(holder);
    else
        time_holders.remove(holder);
}

void RunLoop::tick_now()
{
    if (time_holders.isEmpty())
        instrument->clock_tick(*quiet);
}

void RunLoop::Button1Click()
{
    instrument->switch_on();
    run();
}

void RunLoop::Button2Click()
{
    instrument->switch_off();
}

void RunLoop::program_start()
{
    instrument->program_start();
    emit lamp(instrument->lamp_red());
    emit present();
}

void RunLoop::session_ticked()
{
    emit tick();
}

void RunLoop::session_switched(bool on)
{
    if (!on) {
        emit switched_off();
        return;
    }
    emit switched_on();
    // Switched on by anything but "On" (a scenario, a flight played): the
    // loop starts from the event loop, unless it runs already.
    if (looping || loop_queued)
        return;
    loop_queued = true;
    QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
}

void RunLoop::session_inputs_moved()
{
    emit inputs_moved();
}

void RunLoop::run()
{
    loop_queued = false;
    // "On" while running: the loop already on the stack carries on with the
    // freshly reset instrument, instead of starting a second loop inside its
    // event processing (which would deepen the stack with every press).
    if (looping || !instrument->running())
        return;
    looping = true;
    pace_clock.start();
    next_frame_ns = 0;
    // A pass's followers (a scenario waiting for it) hear of it before the
    // ticks that came in its events, which the next pass follows.
    do {
        for (; ticks_due > 0; ticks_due--)
            tick_now();
    } while (instrument->pass(*shown));
    looping = false;
    for (; ticks_due > 0; ticks_due--)
        tick_now();
    emit stopped();
}

qint64 RunLoop::frame_interval_ns() const
{
    const QScreen* where = paced_by != nullptr ? paced_by->screen() : nullptr;
    double hz = where != nullptr ? where->refreshRate() : 0.0;
    if (!(hz >= 1.0))
        hz = DEFAULT_REFRESH_HZ;
    return qint64(double(NS_PER_SECOND) / hz);
}

void RunLoop::process_events_paced()
{
    // The pass has done its work; what the events now bring comes after it.
    emit pass_done();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // One pass a refresh. Where the swap waits for the display the next frame
    // is already due here; elsewhere (no vertical sync, a hidden or covered
    // window) the loop blocks in event processing until it is, so timer
    // ticks, clicks, sliders and Off are handled at once while it waits.
    const qint64 interval = frame_interval_ns();
    const qint64 now = pace_clock.nsecsElapsed();
    next_frame_ns += interval;
    // After a stall (a dialog, a busy machine) start afresh instead of
    // racing to catch up.
    if (next_frame_ns < now - interval)
        next_frame_ns = now;
    while (instrument->running()) {
        const qint64 remaining = next_frame_ns - pace_clock.nsecsElapsed();
        if (remaining <= 0)
            break;
        pace_timer->start(int((remaining + NS_PER_MS - 1) / NS_PER_MS));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    pace_timer->stop();
}
