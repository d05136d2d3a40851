#include "window/lcd/lcd_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include "gfx/lcd.h"
#include "host/palette.h"
#include "window/app/host_settings.h"
#include "window/panel/wheel_steps.h"

namespace {

// The LCD at three times its size when the window first opens.
constexpr int FIRST_SCALE = 3;

const char SETTINGS_GEOMETRY[] = "lcd_window/geometry";
const char SETTINGS_OPEN[] = "lcd_window/open";

}  // namespace

QImage lcd_picture(const uint8_t* buffer, int scale)
{
    QImage picture(LCD_WIDTH * scale, LCD_HEIGHT * scale, QImage::Format_RGB32);
    for (int y = 0; y < LCD_HEIGHT * scale; y++) {
        const uint8_t* source = buffer + (y / scale) * LCD_WIDTH;
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < LCD_WIDTH * scale; x++)
            line[x] = 0xFF000000u | lcd_palette[source[x / scale]];
    }
    return picture;
}

LcdWindow::LcdWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("LcdWindow"));
    setWindowTitle(QStringLiteral("KTR-7 LCD"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(LCD_WIDTH, LCD_HEIGHT);
    resize(LCD_WIDTH * FIRST_SCALE, LCD_HEIGHT * FIRST_SCALE);
    frame = QImage(LCD_WIDTH, LCD_HEIGHT, QImage::Format_RGB32);
    frame.fill(Qt::black);
    // The main window alone keeps the program running: closing it ends the
    // program, this window open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    QCoreApplication::instance()->installEventFilter(this);
}

void LcdWindow::show_frame(const uint8_t* buffer)
{
    if (!isVisible())
        return;
    frame = lcd_picture(buffer);
    update();
}

int LcdWindow::scale() const
{
    const int fit = qMin(width() / LCD_WIDTH, height() / LCD_HEIGHT);
    return qMax(fit, 1);
}

QRect LcdWindow::lcd_rect() const
{
    const int s = scale();
    const int w = LCD_WIDTH * s;
    const int h = LCD_HEIGHT * s;
    return QRect((width() - w) / 2, (height() - h) / 2, w, h);
}

void LcdWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // Nearest-neighbour at a whole factor: every LCD pixel a sharp square.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(lcd_rect(), frame);
}

void LcdWindow::keyPressEvent(QKeyEvent* event)
{
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        emit key_pressed(event->key());
    else
        QWidget::keyPressEvent(event);
}

void LcdWindow::wheelEvent(QWheelEvent* event)
{
    take_wheel_steps(wheel_rest, event->angleDelta().y(), [this](bool clockwise) { emit wheel_step(clockwise); });
    event->accept();
}

void LcdWindow::closeEvent(QCloseEvent* event)
{
    closed_by_ending = program_ending;
    save_placement(false);
    event->accept();
    emit closed();
}

void LcdWindow::showEvent(QShowEvent* event)
{
    closed_by_ending = false;
    QWidget::showEvent(event);
}

bool LcdWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A quit closes every window before the event loop ends.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        program_ending = true;
    return false;
}

void LcdWindow::restore_placement()
{
    const QByteArray geometry = host_settings().value(QLatin1String(SETTINGS_GEOMETRY)).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

void LcdWindow::save_placement(bool open) const
{
    host_settings settings;
    settings.setValue(QLatin1String(SETTINGS_GEOMETRY), saveGeometry());
    settings.setValue(QLatin1String(SETTINGS_OPEN), open || closed_by_ending);
}

bool LcdWindow::was_open()
{
    return host_settings().value(QLatin1String(SETTINGS_OPEN), false).toBool();
}
