#include "window/app/status_bar.h"

#include <QLabel>
#include <QPainter>

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    EncoderPortLabel = new QLabel(this);
    EncoderPortLabel->setObjectName(QStringLiteral("EncoderPortLabel"));
    EncoderPortLabel->setWordWrap(true);
    addWidget(EncoderPortLabel, 1);
    connect(this, &QStatusBar::messageChanged, this, &StatusBar::height_changed);
    keys_label = new QLabel(this);
    keys_label->setObjectName(QStringLiteral("keys_label"));
    keys_label->setToolTip(QStringLiteral("Where the arrow keys, \"+\", \"-\" and Return go. Click the bezel to give "
                                          "them to the instrument."));
    addPermanentWidget(keys_label);
    show_keys_holder(QStringLiteral("instrument"));
    scenario_label = new QLabel(QStringLiteral("Playing a scenario"), this);
    scenario_label->setObjectName(QStringLiteral("scenario_label"));
    scenario_label->hide();
    addPermanentWidget(scenario_label);
    animation_label = new QLabel(this);
    animation_label->setObjectName(QStringLiteral("animation_label"));
    animation_label->hide();
    addPermanentWidget(animation_label);
    LinkLabel = new QLabel(this);
    LinkLabel->setObjectName(QStringLiteral("LinkLabel"));
    LinkLabel->hide();
    addWidget(LinkLabel, 1);
}

void StatusBar::say(const QString& text)
{
    showMessage(text, MESSAGE_MS);
}

void StatusBar::show_link_state(const QString& text)
{
    if (LinkLabel->text() != text)
        LinkLabel->setText(text);
    LinkLabel->setVisible(!text.isEmpty());
}

void StatusBar::show_animation_frames(const QString& text)
{
    animation_label->setText(text);
    animation_label->setVisible(!text.isEmpty());
}

void StatusBar::show_scenario_playing(bool playing)
{
    scenario_label->setVisible(playing);
}

void StatusBar::show_keys_holder(const QString& holder)
{
    keys_label->setText(QStringLiteral("Keys: %1").arg(holder));
}

void StatusBar::show_encoder_port_state(const QString& text)
{
    if (EncoderPortLabel->text() == text)
        return;
    EncoderPortLabel->setText(text);
    emit height_changed();
}

namespace {

// One line of the bar, and the room around its text.
constexpr int LINE_HEIGHT = 19;
constexpr int TEXT_MARGIN = 4;

}  // namespace

int StatusBar::text_width(int width) const
{
    // What the permanent labels at the right leave.
    int beside = 0;
    for (const QLabel* permanent : {keys_label, LinkLabel, scenario_label, animation_label}) {
        if (permanent != nullptr && !permanent->isHidden())
            beside += permanent->sizeHint().width() + TEXT_MARGIN;
    }
    return qMax(1, width - beside - 2 * TEXT_MARGIN);
}

int StatusBar::needed_height(int width) const
{
    const QString message = currentMessage();
    const int room = text_width(width);
    const QRect message_room(0, 0, room, LINE_HEIGHT);
    const int text_height = message.isEmpty()
                                ? EncoderPortLabel->heightForWidth(room)
                                : fontMetrics().boundingRect(message_room, Qt::TextWordWrap, message).height();
    return qMax(LINE_HEIGHT, text_height + TEXT_MARGIN);
}

void StatusBar::paintEvent(QPaintEvent* event)
{
    const QString message = currentMessage();
    if (message.isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // The message as a whole, over as many lines as it takes.
    QPainter painter(this);
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(TEXT_MARGIN, 0, text_width(width()), height()),
                     Qt::AlignLeading | Qt::AlignVCenter | Qt::TextWordWrap, message);
}
