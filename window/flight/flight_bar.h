// The flight bar: the controls of a recorded flight played in the window,
// shown under the menu only while a flight is open. Play/pause, the speed
// (1x to 60x), a position slider with the time of day (UTC) of the flight
// time, a small altitude profile of the whole flight with the position
// marked, the pilot and date from the log's header, which logged value feeds
// the airspeed, and a close button. The window grows by the bar's height
// while it shows, so the instrument and the sliders keep their room.
#pragma once
#include <QToolBar>

class FlightDriver;
class FlightProfile;
class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

class FlightBar : public QToolBar {
    Q_OBJECT

public:
    FlightBar(FlightDriver* driver, QWidget* parent);

    QToolButton* PlayButton;    // Play while paused, Pause while playing
    QComboBox* SpeedBox;        // 1x, 2x, 5x, 10x, 30x, 60x
    QSlider* PositionSlider;    // the flight time, in 100 ms ticks from the first fix
    QLabel* TimeLabel;          // the time of day of the flight time, "10:03:27 UTC"
    FlightProfile* Profile;     // the altitude profile
    QLabel* AboutLabel;         // pilot and date
    QLabel* SourceLabel;        // where the airspeed comes from
    QToolButton* CloseButton;

private:
    void flight_opened(bool open);
    void show_playing(bool playing);
    void show_time(double flight_time);
    void position_moved(int ticks);
    // Shows or hides the bar, the window growing or shrinking by its height.
    void show_bar(bool shown);

    FlightDriver* driver;
    bool following = false;  // the slider moves with the flight, not by hand
};
