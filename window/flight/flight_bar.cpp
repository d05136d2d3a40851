#include "window/flight/flight_bar.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include <cmath>

#include "flight/flight.h"
#include "flight/flight_player.h"
#include "window/flight/flight_driver.h"
#include "window/flight/flight_profile.h"

namespace {

// The position slider's page: a minute of flight (its step is a second).
constexpr int PAGE_TICKS = 60 * TICKS_PER_SECOND;
constexpr int SPACING = 4;

QString header_text(const flight& f)
{
    QStringList parts;
    if (!f.pilot.empty())
        parts << QString::fromStdString(f.pilot);
    if (f.year != 0)
        parts << QString::asprintf("%04d-%02d-%02d", f.year, f.month, f.day);
    if (parts.isEmpty())
        return QStringLiteral("(no pilot or date in the log)");
    return parts.join(QStringLiteral(", "));
}

QString source_text(airspeed_source source)
{
    switch (source) {
    case airspeed_source::indicated: return QStringLiteral("ASI from the logged IAS");
    case airspeed_source::true_airspeed: return QStringLiteral("ASI from the logged TAS (no IAS)");
    case airspeed_source::ground_speed: return QStringLiteral("ASI from the ground speed (no airspeed logged)");
    }
    return QString();
}

QString details_text(const flight& f, const QString& path)
{
    QStringList lines;
    if (!path.isEmpty())
        lines << path;
    if (!f.glider.empty())
        lines << QStringLiteral("Glider: %1").arg(QString::fromStdString(f.glider));
    QString text = lines.join(QLatin1Char('\n'));
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    text += QStringLiteral("%1 fixes, %2 to %3 UTC")
                .arg(f.fixes.size())
                .arg(QString::fromStdString(flight_time_of_day(f.start_time())),
                     QString::fromStdString(flight_time_of_day(f.end_time())));
    text += QStringLiteral("\nAltitude from the %1").arg(QLatin1String(altitude_source_name(f.altitude_from)));
    text += f.vario_logged ? QStringLiteral("\nVSI from the logged vertical speed")
                           : QStringLiteral("\nVSI from the altitude trace, %1 s lag").arg(VSI_LAG_SECONDS);
    return text;
}

}  // namespace

FlightBar::FlightBar(FlightDriver* flight_driver, QWidget* parent)
    : QToolBar(QStringLiteral("Flight"), parent), driver(flight_driver)
{
    setObjectName(QStringLiteral("FlightBar"));
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false);  // shown by an open flight, not from a menu

    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(SPACING, 2, SPACING, 2);
    grid->setHorizontalSpacing(SPACING);
    grid->setVerticalSpacing(2);

    PlayButton = new QToolButton(body);
    PlayButton->setObjectName(QStringLiteral("PlayButton"));
    PlayButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedBox = new QComboBox(body);
    SpeedBox->setObjectName(QStringLiteral("SpeedBox"));
    SpeedBox->setToolTip(QStringLiteral("Times real time: at 10x, ten 100 ms ticks of flight, each with its "
                                        "pass, every 100 ms"));
    for (int times : FLIGHT_SPEEDS)
        SpeedBox->addItem(QStringLiteral("%1x").arg(times), times);
    PositionSlider = new QSlider(Qt::Horizontal, body);
    PositionSlider->setObjectName(QStringLiteral("PositionSlider"));
    PositionSlider->setSingleStep(TICKS_PER_SECOND);
    PositionSlider->setPageStep(PAGE_TICKS);
    PositionSlider->setAccessibleName(QStringLiteral("Flight position"));
    PositionSlider->setToolTip(QStringLiteral("Where the flight is; drag to move"));
    TimeLabel = new QLabel(body);
    TimeLabel->setObjectName(QStringLiteral("TimeLabel"));
    TimeLabel->setToolTip(QStringLiteral("The flight's time of day, UTC"));
    CloseButton = new QToolButton(body);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setText(QStringLiteral("Close"));
    CloseButton->setToolTip(QStringLiteral("Close the flight; the sliders are yours again"));
    Profile = new FlightProfile(body);
    AboutLabel = new QLabel(body);
    AboutLabel->setObjectName(QStringLiteral("AboutLabel"));
    SourceLabel = new QLabel(body);
    SourceLabel->setObjectName(QStringLiteral("SourceLabel"));

    grid->addWidget(PlayButton, 0, 0);
    grid->addWidget(SpeedBox, 0, 1);
    grid->addWidget(PositionSlider, 0, 2);
    grid->addWidget(TimeLabel, 0, 3);
    grid->addWidget(CloseButton, 0, 4);
    grid->addWidget(AboutLabel, 1, 0, 1, 2);
    grid->addWidget(Profile, 1, 2);
    grid->addWidget(SourceLabel, 1, 3, 1, 2);
    grid->setColumnStretch(2, 1);
    addWidget(body);
    hide();

    connect(PlayButton, &QToolButton::clicked, this, [this] {
        if (driver->playing())
            driver->pause();
        else
            driver->play();
    });
    connect(SpeedBox, &QComboBox::activated, this,
            [this](int index) { driver->set_speed(SpeedBox->itemData(index).toInt()); });
    connect(PositionSlider, &QSlider::valueChanged, this, &FlightBar::position_moved);
    connect(Profile, &FlightProfile::seek_requested, driver, &FlightDriver::seek);
    connect(CloseButton, &QToolButton::clicked, driver, &FlightDriver::close);
    connect(driver, &FlightDriver::open_changed, this, &FlightBar::flight_opened);
    connect(driver, &FlightDriver::playing_changed, this, &FlightBar::show_playing);
    connect(driver, &FlightDriver::moved, this, &FlightBar::show_time);
    connect(driver, &FlightDriver::speed_changed, this,
            [this](int times) { SpeedBox->setCurrentIndex(SpeedBox->findData(times)); });
    // As wide as its wider text, so that the bar does not shift as it changes.
    show_playing(true);
    PlayButton->setMinimumWidth(PlayButton->sizeHint().width());
    show_playing(false);
}

void FlightBar::flight_opened(bool open)
{
    if (open) {
        const flight& f = driver->recorded();
        Profile->set_flight(&f);
        AboutLabel->setText(header_text(f));
        SourceLabel->setText(source_text(f.airspeed_from));
        const QString details = details_text(f, driver->path());
        AboutLabel->setToolTip(details);
        SourceLabel->setToolTip(details);
        following = true;
        PositionSlider->setRange(0, int(std::llround(f.duration() * TICKS_PER_SECOND)));
        following = false;
        show_time(driver->time());
    } else {
        Profile->set_flight(nullptr);
    }
    show_bar(open);
}

void FlightBar::show_playing(bool playing)
{
    PlayButton->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    PlayButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    PlayButton->setToolTip(playing ? QStringLiteral("Pause the flight")
                                   : QStringLiteral("Fly the flight (switches the instrument on if it is off)"));
}

void FlightBar::show_time(double flight_time)
{
    if (!driver->is_open())
        return;
    TimeLabel->setText(QStringLiteral("%1 UTC").arg(QString::fromStdString(flight_time_of_day(flight_time))));
    Profile->set_time(flight_time);
    // A slider held by the hand stays where the hand has it.
    if (PositionSlider->isSliderDown())
        return;
    const double since_start = flight_time - driver->recorded().start_time();
    following = true;
    PositionSlider->setValue(int(std::llround(since_start * TICKS_PER_SECOND)));
    following = false;
}

void FlightBar::position_moved(int ticks)
{
    if (following || !driver->is_open())
        return;
    driver->seek(driver->recorded().start_time() + double(ticks) / TICKS_PER_SECOND);
}

void FlightBar::show_bar(bool shown)
{
    if (shown == !isHidden())
        return;
    auto* form = qobject_cast<QMainWindow*>(window());
    QWidget* client = form != nullptr ? form->centralWidget() : nullptr;
    const int client_height = client != nullptr ? client->height() : 0;
    setVisible(shown);
    if (client == nullptr)
        return;
    // The window grows for the bar itself; the room the bar leaves is given
    // back by shrinking the window, so the client keeps its size.
    form->layout()->activate();
    const int change = client_height - client->height();
    form->resize(form->width(), form->height() + change);
}
