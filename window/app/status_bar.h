// The window's status bar: the encoder port and its state at all times, and
// for a few seconds what has just happened (a scenario's line, a picture
// written). A message or port state too long for one line takes as many as
// it needs, so that it shows whole.
#pragma once
#include <QStatusBar>

class QLabel;

class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    // How long a message stays.
    static constexpr int MESSAGE_MS = 5000;

    explicit StatusBar(QWidget* parent);

    // The height the bar needs at width: one line, or as many as its text needs.
    int needed_height(int width) const;

    QLabel* EncoderPortLabel;  // the encoder port and its state
    QLabel* keys_label;        // who has the keyboard: the instrument or a control
    QLabel* LinkLabel;         // the flight simulator link, shown while it listens
    QLabel* scenario_label;    // "Playing a scenario", shown while one plays
    QLabel* animation_label;   // the frames of the LCD animation being recorded

public slots:
    // A message for MESSAGE_MS.
    void say(const QString& text);
    // The encoder port and its state ("Encoder port: none" at first).
    void show_encoder_port_state(const QString& text);
    // Who has the keyboard now.
    void show_keys_holder(const QString& holder);
    // Whether a scenario is playing.
    void show_scenario_playing(bool playing);
    // The link's text; hidden while empty.
    void show_link_state(const QString& text);
    // The LCD animation's frames; hidden while empty.
    void show_animation_frames(const QString& text);

signals:
    // The text changed, and with it perhaps the height needed.
    void height_changed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The width left for the message or the port's state.
    int text_width(int width) const;
};
