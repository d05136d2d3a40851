#include "window/app/client_area.h"

#include "window/panel/communications_box.h"
#include "window/panel/sensor_panel.h"
#include "window/app/status_bar.h"

namespace {

// The Communications box at the least size, and its margins to the right
// edge and to the status bar, kept as the window grows.
constexpr int COMMUNICATIONS_LEFT = 248;
constexpr int COMMUNICATIONS_TOP = 120;
constexpr int COMMUNICATIONS_RIGHT_MARGIN = 6;
constexpr int COMMUNICATIONS_GAP = 5;

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
    connect(status_bar, &StatusBar::height_changed, this, &ClientArea::lay_out);
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
    // The status bar takes the lines its text needs from the box above it.
    const int bar_height = status_bar->needed_height(width());
    communications->setGeometry(COMMUNICATIONS_LEFT, COMMUNICATIONS_TOP,
                                width() - COMMUNICATIONS_LEFT - COMMUNICATIONS_RIGHT_MARGIN,
                                height() - COMMUNICATIONS_TOP - COMMUNICATIONS_GAP - bar_height);
    status_bar->setGeometry(0, height() - bar_height, width(), bar_height);
}
