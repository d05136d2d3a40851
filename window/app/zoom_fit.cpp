#include "window/app/zoom_fit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

int fitting_zoom(QSize window_at_1, QSize available, int wanted)
{
    const QSize framed = window_at_1 + WINDOW_FRAME_ALLOWANCE;
    if (framed.width() <= 0 || framed.height() <= 0)
        return std::max(wanted, 1);
    const int across = available.width() / framed.width();
    const int down = available.height() / framed.height();
    return std::clamp(std::min(across, down), 1, std::max(wanted, 1));
}

int fitting_zoom(const QWidget& window, int zoom, QString* describe)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr || zoom <= 1)
        return zoom;
    // The least size the window takes, in its own (zoomed) pixels.
    QSize least = window.minimumSize();
    if (least.isEmpty())
        least = window.minimumSizeHint();
    if (least.isEmpty())
        least = window.size();
    // In screen pixels: the zoom is part of the device pixel ratio, besides
    // whatever scaling the screen has of its own.
    const qreal ratio = screen->devicePixelRatio();
    const QSize available = screen->availableGeometry().size() * ratio;
    const QSize at_1 = least * (ratio / zoom);
    const int fits = fitting_zoom(at_1, available, zoom);
    if (fits < zoom && describe != nullptr) {
        const QSize wanted = least * ratio;
        // The screen's size is not given: at a zoom Qt knows it only to
        // within a pixel or two.
        *describe = QStringLiteral("at --zoom %1 the window is %2 x %3 pixels, more than the screen has room for; "
                                   "zoom %4 instead")
                        .arg(zoom)
                        .arg(wanted.width())
                        .arg(wanted.height())
                        .arg(fits);
    }
    return fits;
}
