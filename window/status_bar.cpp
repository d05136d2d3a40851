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
    connect(port, &EncoderPort::state_changed, this, &StatusBar::show_encoder_port_state);
    show_encoder_port_state();
}

void StatusBar::say(const QString& text)
{
    showMessage(text, MESSAGE_MS);
}

void StatusBar::show_encoder_port_state()
{
    const QString text = port->status_text();
    if (EncoderPortLabel->text() != text)
        EncoderPortLabel->setText(text);
}
