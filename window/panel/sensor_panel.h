// The sensor inputs as the window offers them: for each of the altitude, the
// vertical speed and the airspeed converter a slider and a number field (typed
// values, arrow keys), the value also shown beside its caption as on the
// instrument's own form; and the "Altitude Sensor" and "Calibrate" boxes. A
// moved slider or field writes its input to the instrument and says so. The
// sliders take the panel's width; the row whose control has the keyboard is
// framed.
#pragma once
#include <QWidget>

#include <array>
#include <cstdint>

#include "host/sensor_inputs.h"

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

    void ScrollBar29Change(int position);
    void ScrollBar2Change(int position);
    void ScrollBar1Change(int position);

signals:
    // A slider moved: the input already holds the position.
    void input_moved(sensor_input input, int32_t position);
    // The "Altitude Sensor" box: checked (the sensor works) or not.
    void sensor_box_changed(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void input_changed(sensor_input input, QLabel* value_label, int position);
    void make_field(sensor_input input);

    std::array<QSpinBox*, 3> fields{};
};
