#include "window/flight/flight_profile.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "flight/flight.h"
#include "flight/flight_sample.h"

namespace {

constexpr int PREFERRED_WIDTH = 240;
constexpr int PREFERRED_HEIGHT = 30;
// Room left above the highest altitude and below the lowest, pixels.
constexpr int TOP_ROOM = 2;
constexpr int BOTTOM_ROOM = 1;

const QColor SKY(0xe8, 0xf0, 0xf8);
const QColor GROUND_LINE(0x6a, 0x8c, 0xb0);
const QColor TERRAIN(0xa8, 0xc4, 0xe0);
const QColor MARK(0xc0, 0x20, 0x20);

}  // namespace

FlightProfile::FlightProfile(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FlightProfile"));
    setMinimumSize(PREFERRED_WIDTH / 3, PREFERRED_HEIGHT);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Altitude profile of the flight"));
}

QSize FlightProfile::sizeHint() const
{
    return {PREFERRED_WIDTH, PREFERRED_HEIGHT};
}

void FlightProfile::set_flight(const flight* shown)
{
    drawn = shown != nullptr && !shown->fixes.empty() ? shown : nullptr;
    marked = drawn != nullptr ? drawn->start_time() : 0.0;
    measure();
    QString tip = QStringLiteral("The flight's altitude from its first fix to its last");
    if (drawn != nullptr)
        tip += QStringLiteral(", %1 to %2 ft (%3)")
                   .arg(std::lround(lowest))
                   .arg(std::lround(highest))
                   .arg(QLatin1String(altitude_source_name(drawn->altitude_from)));
    setToolTip(tip + QStringLiteral("; click or drag to move there."));
    update();
}

void FlightProfile::set_time(double flight_time)
{
    if (flight_time == marked)
        return;
    const bool moves = drawn == nullptr || x_of(flight_time) != x_of(marked);
    marked = flight_time;
    if (moves)
        update();
}

double FlightProfile::time_at(int x) const
{
    if (drawn == nullptr || width() <= 1)
        return 0.0;
    const double share = std::clamp(double(x) / double(width() - 1), 0.0, 1.0);
    return drawn->start_time() + share * drawn->duration();
}

int FlightProfile::x_of(double flight_time) const
{
    if (drawn == nullptr || !(drawn->duration() > 0.0))
        return 0;
    const double share = std::clamp((flight_time - drawn->start_time()) / drawn->duration(), 0.0, 1.0);
    return int(std::lround(share * (width() - 1)));
}

void FlightProfile::measure()
{
    column_top.assign(size_t(std::max(width(), 1)), FLIGHT_UNKNOWN);
    if (drawn == nullptr)
        return;
    for (const flight_fix& fix : drawn->fixes) {
        double& top = column_top[size_t(x_of(fix.time))];
        if (std::isnan(top) || fix.altitude_ft > top)
            top = fix.altitude_ft;
    }
    // Columns between fixes (a short flight drawn wide) take the altitude
    // the flight has there.
    size_t hint = 0;
    for (size_t x = 0; x < column_top.size(); x++)
        if (std::isnan(column_top[x]))
            column_top[x] = sample_flight(*drawn, time_at(int(x)), hint).altitude_ft;
    const auto [low, high] = std::minmax_element(drawn->fixes.begin(), drawn->fixes.end(),
                                                 [](const flight_fix& a, const flight_fix& b) {
                                                     return a.altitude_ft < b.altitude_ft;
                                                 });
    lowest = low->altitude_ft;
    highest = high->altitude_ft;
}

void FlightProfile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), SKY);
    if (drawn == nullptr)
        return;
    // A level flight is drawn as a line across the middle.
    const double span = highest > lowest ? highest - lowest : 1.0;
    const double room = double(height() - TOP_ROOM - BOTTOM_ROOM);
    const auto y_of = [&](double altitude) {
        const double y = highest > lowest ? TOP_ROOM + (highest - altitude) / span * room : height() / 2.0;
        return std::clamp(y, 0.0, double(height() - 1));
    };
    QPainterPath outline;
    outline.moveTo(0, height());
    for (size_t x = 0; x < column_top.size(); x++)
        outline.lineTo(double(x) + 0.5, y_of(column_top[x]));
    outline.lineTo(width(), height());
    outline.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(GROUND_LINE, 1));
    painter.setBrush(TERRAIN);
    painter.drawPath(outline);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int x = x_of(marked);
    painter.setPen(QPen(MARK, 2));
    painter.drawLine(x, 0, x, height());
}

void FlightProfile::resizeEvent(QResizeEvent*)
{
    measure();
}

void FlightProfile::mousePressEvent(QMouseEvent* event)
{
    if (drawn != nullptr && event->button() == Qt::LeftButton)
        emit seek_requested(time_at(int(event->position().x())));
}

void FlightProfile::mouseMoveEvent(QMouseEvent* event)
{
    if (drawn != nullptr && (event->buttons() & Qt::LeftButton))
        emit seek_requested(time_at(int(event->position().x())));
}
