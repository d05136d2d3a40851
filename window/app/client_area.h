// The window's client area below the menu bar: the instrument panel keeps
// its place and size at the top left; the sensor panel, the Communications
// box and the status bar take the width the window gives, the box also the
// height. Its least size is the instrument's own form with the sensor
// inputs' number fields added at the right.
#pragma once
#include <QWidget>

class CommunicationsBox;
class SensorPanel;
class StatusBar;

class ClientArea : public QWidget {
    Q_OBJECT

public:
    // The least (and first) size: the instrument's own form is 503 x 329.
    static constexpr int LEAST_WIDTH = 565;
    static constexpr int LEAST_HEIGHT = 329;

    explicit ClientArea(QWidget* parent);

    // The parts that grow with the window.
    void set_parts(SensorPanel* sensors, CommunicationsBox* communications, StatusBar* status_bar);

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void lay_out();

private:

    SensorPanel* sensors = nullptr;
    CommunicationsBox* communications = nullptr;
    StatusBar* status_bar = nullptr;
};
