// The instrument as the window shows it: the bezel picture with the LCD
// surface in its opening, the click areas over the keys and the knob, the
// "+" and "-" buttons beneath, "On" and "Off", and the alarm lamp. Clicks and
// knob turns leave as instrument keys; the buttons as on and off.
#pragma once
#include <QImage>
#include <QSurfaceFormat>
#include <QWidget>

#include <cstdint>

#include "window/lcd/lcd_surface.h"

class QLabel;
class QPushButton;
class TClickImage;
class TShape;

class InstrumentPanel : public QWidget {
    Q_OBJECT

public:
    // The panel's size at the client's top left; the controls lie where the
    // instrument's form has them.
    static constexpr int PANEL_WIDTH = 248;
    static constexpr int PANEL_HEIGHT = 310;

    // Makes the LCD surface with the pixel-format request; surface_status
    // says how that went.
    InstrumentPanel(const QSurfaceFormat& pixel_format, QWidget* parent);
    ~InstrumentPanel() override;

    QLabel* Image1;        // bezel picture, stretched
    QWidget* Panel1;       // black panel under the LCD surface
    LcdSurface* LcdDC;     // the OpenGL surface on Panel1
    QWidget* LcdContainer; // the widget that holds LcdDC on Panel1
    TClickImage* Image2;   // left key
    TClickImage* Image3;   // right key
    TClickImage* Image8;   // knob: a click pushes, the wheel turns
    QPushButton* Button3;  // "+": the knob clockwise
    QPushButton* Button4;  // "-": the knob counter-clockwise
    QPushButton* Button1;  // "On"
    QPushButton* Button2;  // "Off"
    TShape* Shape1;        // alarm lamp

    // The decoded bezel picture (620 x 620), null if it could not be decoded.
    QImage bezel;
    lcd_surface_status surface_status = lcd_surface_status::ok;

    // The lamp red or maroon.
    void set_lamp(bool red);
    // Shows buffer on the surface now if anyone can see it, else when it is
    // exposed again.
    void present(const uint8_t* buffer);

    void Image2Click();
    void Image3Click();
    void Image8Click();
    void Button3Click();
    void Button4Click();

signals:
    void key(uint8_t key);  // an instrument key: KEY_LEFT ... KEY_PUSH
    void on_pressed();      // "On"
    void off_pressed();     // "Off"
};
