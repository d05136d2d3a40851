// Where the LCD is seen: the instrument panel's surface and the large LCD
// window (made on first use). While the instrument is off both show it dark,
// as the instrument's own LCD would be; the last frame stays in the
// instrument's buffer for pictures and scenarios.
#pragma once
#include <QObject>

#include <cstdint>

class LcdWindow;

class LcdViews : public QObject {
    Q_OBJECT

public:
    explicit LcdViews(QObject* parent);
    // Keeps the LCD window's placement and whether it was open.
    ~LcdViews() override;

    // The LCD window, null until first opened.
    LcdWindow* window() const { return lcd_window; }
    // The frame in lcd_buffer on both.
    void present();
    // The instrument off on both.
    void show_off();
    // Opens (made on first use) or closes the LCD window.
    void open_window(bool open);

signals:
    // The frame for the instrument panel's surface: lcd_buffer, or dark.
    void panel_frame(const uint8_t* buffer);
    // A key or a wheel notch in the LCD window, as an instrument key.
    void key(uint8_t key);
    // The LCD window was closed (by its title bar too).
    void window_closed();

private:
    const uint8_t* shown() const;

    LcdWindow* lcd_window = nullptr;
    bool dark = false;  // the instrument is off
};
