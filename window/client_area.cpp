#include "window/client_area.h"

#include "window/communications_box.h"
#include "window/sensor_panel.h"
#include "window/status_bar.h"

namespace {

// The Communications box at the least size, and its margins to the right
// edge and to the status bar, kept as the window grows.
constexpr int COMMUNICATIONS_LEFT = 248;
constexpr int COMMUNICATIONS_TOP = 120;
constexpr int COMMUNICATIONS_RIGHT_MARGIN = 6;
constexpr int STATUS_BAR_HEIGHT = 19;
constexpr int COMMUNICATIONS_BOTTOM_MARGIN = 5 + STATUS_BAR_HEIGHT;

}  // namespace

ClientArea::ClientArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("client"));
    setMinimumSize(LEAST_WIDTH, LEAST_HEIGHT);
}

void ClientArea::set_parts(SensorPanel* sensor_panel, CommunicationsBox* communications_box, StatusBar* bar)
{
    sensors = sensor_panel;
    communications = communications_box;
    status_bar = bar;
    lay_out();
}

void ClientArea::resizeEvent(QResizeEvent*)
{
    lay_out();
}

void ClientArea::lay_out()
{
    if (sensors == nullptr)
        return;
    sensors->setGeometry(SensorPanel::PANEL_LEFT, 0, width() - SensorPanel::PANEL_LEFT, SensorPanel::PANEL_HEIGHT);
    communications->setGeometry(COMMUNICATIONS_LEFT, COMMUNICATIONS_TOP,
                                width() - COMMUNICATIONS_LEFT - COMMUNICATIONS_RIGHT_MARGIN,
                                height() - COMMUNICATIONS_TOP - COMMUNICATIONS_BOTTOM_MARGIN);
    status_bar->setGeometry(0, height() - STATUS_BAR_HEIGHT, width(), STATUS_BAR_HEIGHT);
}
