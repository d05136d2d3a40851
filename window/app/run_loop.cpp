#include "window/app/run_loop.h"

#include <QCoreApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "core/state.h"
#include "host/time_base.h"
#include "window/app/window_names.h"

namespace {

// Where the screen does not tell its refresh rate.
constexpr double DEFAULT_REFRESH_HZ = 60.0;

RunLoop* loop_of(void* context)
{
    return static_cast<RunLoop*>(context);
}

}  // namespace

RunLoop::RunLoop(QWidget* window) : QObject(window), paced_by(window)
{
    io = {
        this,
        [](void* loop, bool red) { emit loop_of(loop)->lamp(red); },
        [](void* loop) { return loop_of(loop)->sensor_ok; },
        [](void* loop, const char* line) { emit loop_of(loop)->sentence(line); },
        [](void* loop) { emit loop_of(loop)->present(); },
        [](void* loop) { loop_of(loop)->process_events_paced(); },
    };
    quick_io = io;
    quick_io.present = [](void*) {};
    quick_io.process_events = [](void* loop) { emit loop_of(loop)->pass_done(); };
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TICK_MS);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &RunLoop::Timer1Timer);
    pace_timer = new QTimer(this);
    pace_timer->setSingleShot(true);
    pace_timer->setTimerType(Qt::PreciseTimer);
}

void RunLoop::Timer1Timer()
{
    host_timer_tick();
    emit tick();
}

void RunLoop::Button1Click()
{
    host_switch_on();
    emit switched_on();
    run();
}

void RunLoop::switch_on_soon()
{
    host_switch_on();
    emit switched_on();
    if (loop_running || loop_queued)
        return;
    loop_queued = true;
    QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
}

void RunLoop::Button2Click()
{
    host_switch_off();
    emit switched_off();
}

void RunLoop::run_ticks(int count)
{
    for (int i = 0; i < count; i++) {
        run_pass(quick_io);
        passes++;
        Timer1Timer();
    }
}

void RunLoop::run()
{
    loop_queued = false;
    // "On" while running: the loop already on the stack carries on with the
    // freshly reset instrument, instead of starting a second loop inside its
    // event processing (which would deepen the stack with every press).
    if (loop_running)
        return;
    loop_running = true;
    pace_clock.start();
    next_frame_ns = 0;
    while (st.stop_requested == 0) {
        run_pass(io);
        passes++;
    }
    loop_running = false;
    emit stopped();
}

qint64 RunLoop::frame_interval_ns() const
{
    const QScreen* where = paced_by->screen();
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
    // A pass run on its own (not by "On") has no frames to keep to.
    if (!loop_running || !pace_clock.isValid())
        return;
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
    while (st.stop_requested == 0) {
        const qint64 remaining = next_frame_ns - pace_clock.nsecsElapsed();
        if (remaining <= 0)
            break;
        pace_timer->start(int((remaining + NS_PER_MS - 1) / NS_PER_MS));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    pace_timer->stop();
}
