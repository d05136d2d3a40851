// The sensor inputs as the window offers them: for each of the altitude, the
// vertical speed and the airspeed converter a slider and a number field (typed
// values, arrow keys), the value also shown beside its caption as on the
// instrument's own form; and the "Altitude Sensor" and "Calibrate" boxes. The
// controls follow the session's inputs and check box wherever they move
// there (a flight, the link, a scenario); a slider, field or box moved by
// hand sets its input in the session. The sliders take the panel's width; the
// row whose control has the keyboard is framed.
#pragma once
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

#include "host/sensor_inputs.h"

class instrument_session;
class QCheckBox;
class QLabel;
class QScrollBar;
class QSpinBox;

class SensorPanel : public QWidget {
    Q_OBJECT

public:
    // Where the panel lies on the client, and its least size: the controls
    // of the instrument's own form where that form has them, the number
    // fields to their right.
    static constexpr int PANEL_LEFT = 248;
    static constexpr int PANEL_WIDTH = 317;
    static constexpr int PANEL_HEIGHT = 120;

    explicit SensorPanel(QWidget* parent);

    QLabel* Label55;           // "Altitude:"
    QLabel* Label57;           // the altitude slider's value
    QScrollBar* ScrollBar29;   // altitude, 0..65535
    QLabel* Label3;            // "VSI:", then the vertical-speed slider's value in its place
    QScrollBar* ScrollBar2;    // vertical speed, -6000..6000 ft/min
    QLabel* Label1;            // "ASI:"
    QLabel* Label2;            // the airspeed slider's value
    QScrollBar* ScrollBar1;    // airspeed converter reading, 0..4096
    QCheckBox* CheckBox1;      // "Altitude Sensor": checked while the sensor works
    QCheckBox* CheckBox2;      // "Calibrate": no effect on the instrument

    // The slider and the number field of an input.
    QScrollBar* slider(sensor_input input) const;
    QSpinBox* field(sensor_input input) const;

    // The session the controls follow and a hand sets.
    void follow(std::shared_ptr<instrument_session> followed);

    void ScrollBar29Change(int position);
    void ScrollBar2Change(int position);
    void ScrollBar1Change(int position);

public slots:
    // The controls to the session's inputs and check box as they are now.
    void show_session_inputs();

signals:
    // A slider moved, by hand or following the session: the input in the
    // session already holds the position.
    void input_moved(sensor_input input, int32_t position);
    // A slider or its field moved by hand.
    void moved_by_hand(sensor_input input);
    // The "Altitude Sensor" box: checked (the sensor works) or not.
    void sensor_box_changed(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void input_changed(sensor_input input, QLabel* value_label, int position);
    void make_field(sensor_input input);
    void sensor_box_toggled(bool ok);

    std::array<QSpinBox*, 3> fields{};
    std::shared_ptr<instrument_session> session;
    bool following = false;  // the controls move for the session, not by hand
};
