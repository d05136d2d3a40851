// A recorded flight played in the window: a thin adapter over the flight of
// the window's session. It reads the log and opens it on the session; play,
// pause, the speed, seeking and closing are the session's, and so is the
// policy of what plays when (the extra ticks of a faster speed, the pauses
// for a hand on an input, for Off and at the end). It hears what happens to
// the flight, whoever did it (the flight bar, a scenario, a hand on a slider),
// and says so in its signals; the sliders follow the session's inputs.
#pragma once
#include <QObject>
#include <QString>

#include <memory>

#include "flight/flight.h"
#include "session/session.h"

class QWidget;
class RunLoop;

class FlightDriver : public QObject, private session_observer {
    Q_OBJECT

public:
    FlightDriver(RunLoop* loop, QObject* parent);
    ~FlightDriver() override;

    // Reads a flight log and opens it at its first fix, paused. A file that
    // is no flight is refused (the flight open before stays open); skipped
    // records are warned of once.
    bool open(const QString& path);
    // Opens a flight and plays it (--flight, a file dropped, the dialog).
    bool fly(const QString& path);
    // File > Open Flight...: asks for the file, opens it and plays it.
    void open_with_dialog(QWidget* parent);
    // Files dropped on window are opened and played.
    void take_drops_on(QWidget* window);

    bool is_open() const { return played().is_open(); }
    const flight& recorded() const { return played().recorded(); }
    // The log's file ("" for a flight opened by a scenario).
    const QString& path() const { return file_path; }
    // The flight time (seconds since midnight UTC of its date) of the next tick.
    double time() const { return played().time(); }
    bool playing() const { return played().playing(); }
    int speed() const { return played().speed(); }

public slots:
    // Plays from where it is (from the start once played to the end),
    // switching the instrument on if it is off.
    void play();
    void pause();
    // One of FLIGHT_SPEEDS.
    void set_speed(int times_real_time);
    // Moves to a flight time.
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
    const session_flight& played() const { return session->flight(); }

    void session_flight_changed() override;
    void session_notice(const char* text) override;

    std::shared_ptr<instrument_session> session;
    QString file_path;
    QString opening_path;  // the file being opened here
    // What the signals last said, so each says only a change.
    const flight* shown_flight = nullptr;
    bool shown_playing = false;
    int shown_speed = 1;
    double shown_time = 0.0;
};
