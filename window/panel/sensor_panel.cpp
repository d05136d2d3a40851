#include "window/panel/sensor_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>

#include "session/session.h"

namespace {

// The controls' places are given on the client; the panel starts at
// PANEL_LEFT.
constexpr int CAPTION_LEFT = 256 - SensorPanel::PANEL_LEFT;
constexpr int VALUE_LEFT = 304 - SensorPanel::PANEL_LEFT;
constexpr int SLIDER_LEFT = 352 - SensorPanel::PANEL_LEFT;
constexpr int SLIDER_HEIGHT = 17;
constexpr int ROW_TOPS[] = {8, 32, 56};
// The number field right of its slider.
constexpr int FIELD_GAP = 6;
constexpr int FIELD_WIDTH = 62;
constexpr int FIELD_HEIGHT = 21;
constexpr int RIGHT_MARGIN = 8;
// The frame around the row that has the keyboard.
constexpr int FOCUS_MARGIN = 3;

QLabel* make_label(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QString range_tip(const sensor_input_info& info)
{
    QString unit = QString::fromLatin1(info.unit);
    unit[0] = unit[0].toUpper();
    return QStringLiteral("%1: %2 to %3").arg(unit).arg(info.minimum).arg(info.maximum);
}

QScrollBar* make_slider(QWidget* parent, const char* name, sensor_input input)
{
    const sensor_input_info& range = sensor_input_of(input);
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->move(SLIDER_LEFT, ROW_TOPS[int(input)]);
    bar->setRange(range.minimum, range.maximum);
    bar->setSingleStep(1);
    bar->setPageStep(range.page_step);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Scroll bars invert their keys by default; as a slider, Right and Up
    // raise the value.
    bar->setInvertedControls(false);
    bar->setAccessibleName(QStringLiteral("%1 slider").arg(QLatin1String(range.word)));
    bar->setToolTip(range_tip(range) + QStringLiteral(". With the keyboard here, the arrow keys move the slider."));
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
    ScrollBar29 = make_slider(this, "ScrollBar29", sensor_input::altitude);
    Label3 = make_label(this, "Label3", caption(sensor_input::vertical_speed), CAPTION_LEFT, 32);
    Label3->setToolTip(QStringLiteral("The vertical speed's number takes the place of its caption \"VSI:\" once the "
                                      "slider moves, as on the instrument's own form."));
    ScrollBar2 = make_slider(this, "ScrollBar2", sensor_input::vertical_speed);
    Label1 = make_label(this, "Label1", caption(sensor_input::asi_adc), CAPTION_LEFT, 56);
    Label2 = make_label(this, "Label2", "0", VALUE_LEFT, 56);
    ScrollBar1 = make_slider(this, "ScrollBar1", sensor_input::asi_adc);
    connect(ScrollBar29, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar29Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar2Change);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &SensorPanel::ScrollBar1Change);
    for (const sensor_input_info& info : sensor_inputs())
        make_field(info.input);

    CheckBox1 = make_check_box(this, "CheckBox1", "Altitude Sensor", 256 - PANEL_LEFT, true);
    CheckBox1->setToolTip(QStringLiteral("Unchecked, the altitude sensor has failed."));
    CheckBox2 = make_check_box(this, "CheckBox2", "Calibrate", 376 - PANEL_LEFT, false);
    CheckBox2->setToolTip(QStringLiteral("Kept from the instrument's own form; it has no effect on the instrument."));
    connect(CheckBox1, &QCheckBox::toggled, this, &SensorPanel::sensor_box_toggled);
    // The frame follows the keyboard.
    connect(qApp, &QApplication::focusChanged, this, [this] { update(); });
}

void SensorPanel::make_field(sensor_input input)
{
    const sensor_input_info& range = sensor_input_of(input);
    auto* box = new QSpinBox(this);
    box->setObjectName(QStringLiteral("field_%1").arg(QLatin1String(range.word)));
    box->setRange(range.minimum, range.maximum);
    box->setSingleStep(1);
    // A typed number counts once it is complete (Return, or the keyboard
    // leaving the field), not digit by digit.
    box->setKeyboardTracking(false);
    box->setAlignment(Qt::AlignRight);
    box->setAccessibleName(QStringLiteral("%1 field").arg(QLatin1String(range.word)));
    box->setToolTip(range_tip(range) + QStringLiteral(". Type a value and press Return, or use the arrow keys."));
    QScrollBar* bar = slider(input);
    connect(box, &QSpinBox::valueChanged, bar, &QScrollBar::setValue);
    connect(bar, &QScrollBar::valueChanged, box, &QSpinBox::setValue);
    fields[size_t(input)] = box;
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

QSpinBox* SensorPanel::field(sensor_input input) const
{
    return fields[size_t(input)];
}

void SensorPanel::resizeEvent(QResizeEvent*)
{
    // The sliders take what the fields leave.
    const int field_left = width() - RIGHT_MARGIN - FIELD_WIDTH;
    for (const sensor_input_info& info : sensor_inputs()) {
        const int top = ROW_TOPS[int(info.input)];
        slider(info.input)->setGeometry(SLIDER_LEFT, top, field_left - FIELD_GAP - SLIDER_LEFT, SLIDER_HEIGHT);
        field(info.input)->setGeometry(field_left, top + (SLIDER_HEIGHT - FIELD_HEIGHT) / 2, FIELD_WIDTH, FIELD_HEIGHT);
    }
}

void SensorPanel::paintEvent(QPaintEvent*)
{
    const QWidget* focus = QApplication::focusWidget();
    for (const sensor_input_info& info : sensor_inputs()) {
        if (focus == nullptr || (focus != slider(info.input) && !field(info.input)->isAncestorOf(focus) &&
                                 focus != field(info.input)))
            continue;
        const int top = ROW_TOPS[int(info.input)];
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(QRect(CAPTION_LEFT - FOCUS_MARGIN, top - FOCUS_MARGIN - 1,
                               width() - CAPTION_LEFT - RIGHT_MARGIN + 2 * FOCUS_MARGIN,
                               SLIDER_HEIGHT + 2 * FOCUS_MARGIN + 1));
    }
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

void SensorPanel::follow(std::shared_ptr<instrument_session> followed)
{
    session = std::move(followed);
    show_session_inputs();
}

void SensorPanel::show_session_inputs()
{
    if (session == nullptr)
        return;
    following = true;
    for (const sensor_input_info& info : sensor_inputs())
        slider(info.input)->setValue(session->input(info.input));
    CheckBox1->setChecked(session->sensor_checked());
    following = false;
}

void SensorPanel::input_changed(sensor_input input, QLabel* value_label, int position)
{
    value_label->setText(QString::number(position));
    value_label->adjustSize();
    // A value the session has just set is not fed back to it as a hand.
    if (!following && session != nullptr) {
        session->set_input(input, position);
        emit moved_by_hand(input);
    }
    emit input_moved(input, position);
}

void SensorPanel::sensor_box_toggled(bool ok)
{
    if (!following && session != nullptr)
        session->set_sensor_checked(ok);
    emit sensor_box_changed(ok);
}
