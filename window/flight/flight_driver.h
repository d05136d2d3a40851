// A recorded flight played in the window: it reads the log, holds the flight
// and its player, and at each 100 ms tick of the run loop sends the flight's
// values at the current flight time to the three inputs through their
// sliders, so the sliders follow and a recording records them. At N times
// real speed the run loop runs the other N - 1 ticks of each 100 ms at once,
// each with its pass, so the instrument's timer, blink and take-off detection
// run in flight time. A slider moved by anything else pauses the flight;
// closing it leaves the sliders where they are, the user's again.
#pragma once
#include <QObject>
#include <QString>

#include <array>
#include <memory>

#include "flight/flight.h"
#include "host/sensor_inputs.h"

class flight_player;
class QWidget;
class RunLoop;
class SensorPanel;

class FlightDriver : public QObject {
    Q_OBJECT

public:
    // The speeds offered, times real time.
    static constexpr std::array<int, 6> SPEEDS = {1, 2, 5, 10, 30, 60};

    FlightDriver(SensorPanel* sensors, RunLoop* loop, QObject* parent);
    ~FlightDriver() override;

    // Reads a flight log and opens it at its first fix, the sliders at its
    // values there, paused. A file that is no flight is refused (the flight
    // open before stays open); skipped records are warned of once.
    bool open(const QString& path);
    // Opens a flight and plays it (--flight, a file dropped, the dialog).
    bool fly(const QString& path);
    // File > Open Flight...: asks for the file, opens it and plays it.
    void open_with_dialog(QWidget* parent);
    // Files dropped on window are opened and played.
    void take_drops_on(QWidget* window);

    bool is_open() const { return player != nullptr; }
    const flight& recorded() const { return *log; }
    const QString& path() const { return file_path; }
    // The flight time (seconds since midnight UTC of its date) of the next tick.
    double time() const;
    bool playing() const { return is_playing; }
    int speed() const { return times; }

public slots:
    // Plays from where it is (from the start once played to the end),
    // switching the instrument on if it is off.
    void play();
    void pause();
    // One of SPEEDS.
    void set_speed(int times_real_time);
    // Moves to a flight time; the sliders take the values there.
    void seek(double flight_time);
    void close();

signals:
    void open_changed(bool open);
    void playing_changed(bool playing);
    void speed_changed(int times_real_time);
    // The flight time moved (a tick, a seek, an open).
    void moved(double flight_time);
    // Something to tell the user for a moment.
    void message(const QString& text);
    // A file that is no flight, or a log with records skipped: one line
    // naming the file.
    void warning(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void run_extra_ticks(int count);
    // Pauses, saying so, once the last fix has been played.
    void stop_at_end();
    // The flight's inputs at its time to the sliders.
    void write_sliders();
    void hand_moved(sensor_input input);
    void set_playing(bool playing);

    SensorPanel* sensors;
    RunLoop* loop;
    std::unique_ptr<flight> log;
    std::unique_ptr<flight_player> player;
    QString file_path;
    bool is_playing = false;
    int times = 1;
    bool writing = false;      // the sliders move for the flight, not by hand
    bool extra_ticks = false;  // the run loop runs the extra ticks of a faster speed
};
