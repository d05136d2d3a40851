#include "window/sensor_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>

namespace {

// The controls' places are given on the client; the panel starts at
// PANEL_LEFT.
constexpr int CAPTION_LEFT = 256 - SensorPanel::PANEL_LEFT;
constexpr int VALUE_LEFT = 304 - SensorPanel::PANEL_LEFT;
constexpr int SLIDER_LEFT = 352 - SensorPanel::PANEL_LEFT;
constexpr int SLIDER_WIDTH = 137;
constexpr int SLIDER_HEIGHT = 17;

QLabel* make_label(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QScrollBar* make_slider(QWidget* parent, const char* name, int top, sensor_input input)
{
    const sensor_input_info& range = sensor_input_of(input);
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(SLIDER_LEFT, top, SLIDER_WIDTH, SLIDER_HEIGHT);
    bar->setRange(range.minimum, range.maximum);
    bar->setSingleStep(1);
    bar->setPageStep(range.page_step);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Scroll bars invert their keys by default; as a slider, Right and Up
    // raise the value.
    bar->setInvertedControls(false);
    return bar;
}

QCheckBox* make_check_box(QWidget* parent, const char* name, const char* text, int left, bool checked)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(left, 88, 97, 17);
    box->setChecked(checked);
    return box;
}

}  // namespace

SensorPanel::SensorPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SensorPanel"));
    setGeometry(PANEL_LEFT, 0, PANEL_WIDTH, PANEL_HEIGHT);
    const auto caption = [](sensor_input input) { return sensor_input_of(input).caption; };

    Label55 = make_label(this, "Label55", caption(sensor_input::altitude), CAPTION_LEFT, 8);
    Label57 = make_label(this, "Label57", "0", VALUE_LEFT, 8);
    ScrollBar29 = make_slider(this, "ScrollBar29", 8, sensor_input::altitude);
    Label3 = make_label(this, "Label3", caption(sensor_input::vertical_speed), CAPTION_LEFT, 32);
    ScrollBar2 = make_slider(this, "ScrollBar2", 32, sensor_input::vertical_speed);
    Label1 = make_label(this, "Label1", caption(sensor_input::asi_adc), CAPTION_LEFT, 56);
    Label2 = make_label(this, "Label2", "0", VALUE_LEFT, 56);
    ScrollBar1 = make_slider(this, "ScrollBar1", 56, sensor_input::asi_adc);
    connect(ScrollBar29, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar29Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar2Change);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar1Change);

    CheckBox1 = make_check_box(this, "CheckBox1", "Altitude Sensor", 256 - PANEL_LEFT, true);
    CheckBox2 = make_check_box(this, "CheckBox2", "Calibrate", 376 - PANEL_LEFT, false);
    connect(CheckBox1, &QCheckBox::toggled, this, &SensorPanel::sensor_box_changed);
}

QScrollBar* SensorPanel::slider(sensor_input input) const
{
    switch (input) {
    case sensor_input::altitude: return ScrollBar29;
    case sensor_input::vertical_speed: return ScrollBar2;
    case sensor_input::asi_adc: return ScrollBar1;
    }
    return ScrollBar29;
}

void SensorPanel::ScrollBar29Change(int position)
{
    input_changed(sensor_input::altitude, Label57, position);
}

void SensorPanel::ScrollBar2Change(int position)
{
    // The vertical speed's number takes the place of its caption.
    input_changed(sensor_input::vertical_speed, Label3, position);
}

void SensorPanel::ScrollBar1Change(int position)
{
    input_changed(sensor_input::asi_adc, Label2, position);
}

void SensorPanel::input_changed(sensor_input input, QLabel* value_label, int position)
{
    value_label->setText(QString::number(position));
    value_label->adjustSize();
    host_set_input(input, position);
    emit input_moved(input, position);
}
