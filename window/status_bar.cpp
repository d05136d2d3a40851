#include "window/status_bar.h"

#include <QLabel>

#include "window/encoder_port.h"

StatusBar::StatusBar(const EncoderPort* port, QWidget* parent) : QStatusBar(parent), port(port)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    EncoderPortLabel = new QLabel(this);
    EncoderPortLabel->setObjectName(QStringLiteral("EncoderPortLabel"));
    addWidget(EncoderPortLabel, 1);
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
    LinkLabel = new QLabel(this);
    LinkLabel->setObjectName(QStringLiteral("LinkLabel"));
    LinkLabel->hide();
    addWidget(LinkLabel, 1);
    connect(port, &EncoderPort::state_changed, this, &StatusBar::show_encoder_port_state);
    show_encoder_port_state();
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

void StatusBar::show_scenario_playing(bool playing)
{
    scenario_label->setVisible(playing);
}

void StatusBar::show_keys_holder(const QString& holder)
{
    keys_label->setText(QStringLiteral("Keys: %1").arg(holder));
}

void StatusBar::show_encoder_port_state()
{
    const QString text = port->status_text();
    if (EncoderPortLabel->text() != text)
        EncoderPortLabel->setText(text);
}
