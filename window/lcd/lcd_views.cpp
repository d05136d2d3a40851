#include "window/lcd/lcd_views.h"

#include "gfx/lcd.h"
#include "screens/framework.h"
#include "window/panel/keyboard_keys.h"
#include "window/lcd/lcd_window.h"

namespace {

// What the LCD shows while the instrument is off.
const uint8_t LCD_OFF[sizeof lcd_buffer] = {};

}  // namespace

LcdViews::LcdViews(QObject* parent) : QObject(parent)
{
}

LcdViews::~LcdViews()
{
    if (lcd_window == nullptr)
        return;
    lcd_window->save_placement(lcd_window->isVisible());
    delete lcd_window;
}

const uint8_t* LcdViews::shown() const
{
    return dark ? LCD_OFF : lcd_buffer;
}

void LcdViews::present()
{
    dark = false;
    emit panel_frame(lcd_buffer);
    if (lcd_window != nullptr)
        lcd_window->show_frame(lcd_buffer);
}

void LcdViews::show_off()
{
    dark = true;
    emit panel_frame(LCD_OFF);
    if (lcd_window != nullptr)
        lcd_window->show_frame(LCD_OFF);
}

void LcdViews::open_window(bool open)
{
    if (open && lcd_window == nullptr) {
        lcd_window = new LcdWindow;
        lcd_window->restore_placement();
        connect(lcd_window, &LcdWindow::key_pressed, this, [this](int qt_key) {
            uint8_t posted;
            if (instrument_key(qt_key, posted))
                emit key(posted);
        });
        connect(lcd_window, &LcdWindow::wheel_step, this,
                [this](bool clockwise) { emit key(clockwise ? KEY_CW : KEY_CCW); });
        connect(lcd_window, &LcdWindow::closed, this, &LcdViews::window_closed);
    }
    if (lcd_window == nullptr)
        return;
    if (open) {
        lcd_window->show_frame(shown());
        lcd_window->show();
        lcd_window->raise();
        lcd_window->show_frame(shown());
    } else if (lcd_window->isVisible()) {
        lcd_window->close();
    }
}
