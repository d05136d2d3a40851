#include "window/panel/instrument_panel.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "screens/framework.h"
#include "window/panel/bezel_jpeg.h"
#include "window/panel/panel_widgets.h"

namespace {

const QColor LAMP_RED(255, 0, 0);
const QColor LAMP_MAROON(128, 0, 0);
// The "+" and "-" buttons: bold 12-point captions, between the bezel's ring
// and On and Off.
constexpr int KNOB_BUTTON_POINTS = 12;
constexpr int KNOB_BUTTON_TOP = 247;
constexpr int KNOB_BUTTON_HEIGHT = 22;

QPushButton* make_button(QWidget* parent, const char* name, const char* text, const QRect& place)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

TClickImage* make_click_image(QWidget* parent, const char* name, int left, int top, int size)
{
    auto* image = new TClickImage(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(left, top, size, size);
    return image;
}

}  // namespace

InstrumentPanel::InstrumentPanel(const QSurfaceFormat& pixel_format, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("InstrumentPanel"));
    setGeometry(0, 0, PANEL_WIDTH, PANEL_HEIGHT);

    // The bezel picture first, so everything else lies over it.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 241, 249);
    Image1->setScaledContents(true);
    Image1->setFocusPolicy(Qt::ClickFocus);
    bezel = decode_jpeg(bezel_jpeg, bezel_jpeg_size);
    if (!bezel.isNull())
        Image1->setPixmap(QPixmap::fromImage(bezel));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(40, 57, 163, 129);
    Panel1->setAutoFillBackground(true);
    QPalette black_palette = Panel1->palette();
    black_palette.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black_palette);
    Panel1->setFocusPolicy(Qt::ClickFocus);

    LcdDC = new LcdSurface;
    LcdDC->resize(Panel1->size());
    surface_status = LcdDC->create_surface(pixel_format);
    LcdContainer = QWidget::createWindowContainer(LcdDC, Panel1);
    LcdContainer->setObjectName(QStringLiteral("LcdContainer"));
    LcdContainer->setGeometry(0, 0, Panel1->width(), Panel1->height());
    LcdContainer->setFocusPolicy(Qt::NoFocus);

    Image2 = make_click_image(this, "Image2", 52, 192, 33);
    Image3 = make_click_image(this, "Image3", 154, 192, 33);
    Image8 = make_click_image(this, "Image8", 100, 196, 41);
    Image8->set_turnable(true);
    connect(Image2, &TClickImage::clicked, this, &InstrumentPanel::Image2Click);
    connect(Image3, &TClickImage::clicked, this, &InstrumentPanel::Image3Click);
    connect(Image8, &TClickImage::clicked, this, &InstrumentPanel::Image8Click);
    connect(Image8, &TClickImage::wheel_step, this, [this](bool clockwise) { emit key(clockwise ? KEY_CW : KEY_CCW); });

    // Below the bezel's lower ring, which the instrument's own form let them
    // cover (at 64, 232 and 144, 232, 33 x 25): seen at every zoom.
    Button3 = make_button(this, "Button3", "+", {64, KNOB_BUTTON_TOP, 33, KNOB_BUTTON_HEIGHT});
    Button4 = make_button(this, "Button4", "-", {144, KNOB_BUTTON_TOP, 33, KNOB_BUTTON_HEIGHT});
    QFont big_font = font();
    big_font.setBold(true);
    big_font.setPointSize(KNOB_BUTTON_POINTS);
    Button3->setFont(big_font);
    Button4->setFont(big_font);
    connect(Button3, &QPushButton::clicked, this, &InstrumentPanel::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &InstrumentPanel::Button4Click);

    Button1 = make_button(this, "Button1", "&On", {56, 272, 75, 25});
    Button2 = make_button(this, "Button2", "&Off", {152, 272, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &InstrumentPanel::on_pressed);
    connect(Button2, &QPushButton::clicked, this, &InstrumentPanel::off_pressed);

    Shape1 = new TShape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 248, 33, 65);

    Image2->setToolTip(QStringLiteral("Left key (keyboard: Left)"));
    Image3->setToolTip(QStringLiteral("Right key (keyboard: Right)"));
    Image8->setToolTip(QStringLiteral("Knob: click to push (Return), turn with the wheel (Up and Down, + and -)"));
    Button3->setToolTip(QStringLiteral("Turns the knob one step clockwise (keyboard: Up or +)"));
    Button4->setToolTip(QStringLiteral("Turns the knob one step counter-clockwise (keyboard: Down or -)"));
    Shape1->setToolTip(QStringLiteral("Alarm lamp: red while the instrument shows an alarm"));
    Button1->setToolTip(QStringLiteral("Switches the instrument on, from its factory settings"));
    Button2->setToolTip(QStringLiteral("Switches the instrument off"));
}

InstrumentPanel::~InstrumentPanel()
{
    // The rendering context goes before its surface.
    LcdDC->release();
}

void InstrumentPanel::set_lamp(bool red)
{
    Shape1->setBrushColor(red ? LAMP_RED : LAMP_MAROON);
}

void InstrumentPanel::present(const uint8_t* buffer)
{
    // A minimised or hidden surface is not drawn: nobody can see it, and the
    // next pass (or its expose event) draws the newest frame when it is
    // shown again. A surface inside a minimised window still counts itself
    // exposed, so the window's own state is asked as well.
    if (LcdDC->isExposed() && !window()->isMinimized()) {
        LcdDC->RedrawLcd(buffer);
        LcdDC->swap();
    } else {
        LcdDC->shown_buffer = buffer;
    }
}

void InstrumentPanel::Image2Click()
{
    emit key(KEY_LEFT);
}

void InstrumentPanel::Image3Click()
{
    emit key(KEY_RIGHT);
}

void InstrumentPanel::Image8Click()
{
    emit key(KEY_PUSH);
}

void InstrumentPanel::Button3Click()
{
    emit key(KEY_CW);
}

void InstrumentPanel::Button4Click()
{
    emit key(KEY_CCW);
}
