// The largest zoom at which the window fits the screen. --zoom 4 makes the
// window four times its size; on a screen too small for that its menus and
// status bar would lie off the screen, so the zoom is lowered to what fits.
#pragma once
#include <QSize>
#include <QString>

class QWidget;

// What a window manager adds around a window (title bar, borders), in
// screen pixels; the window cannot know it before it is shown.
constexpr QSize WINDOW_FRAME_ALLOWANCE(16, 40);

// The largest zoom from 1 to wanted at which a window of window_at_1 screen
// pixels at zoom 1, with its frame, fits in available screen pixels; 1 when
// none does.
int fitting_zoom(QSize window_at_1, QSize available, int wanted);

// The zoom at which window, made at zoom, fits its screen's available area
// (zoom itself when it fits); describe says why a lower one was taken.
int fitting_zoom(const QWidget& window, int zoom, QString* describe);
