#include "window/connections/flight_sim_link_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "window/connections/flight_sim_link.h"

namespace {

constexpr int PORT_MIN = 1;
constexpr int PORT_MAX = 65535;

QString link_explanation()
{
    return QStringLiteral(
        "The simulator sends one line per frame: pressure altitude (ft), vertical speed (ft/s), "
        "indicated airspeed (kt) and its elapsed time (s), comma-separated. A slider moved by hand "
        "takes that input from the link until you give it back.");
}

}  // namespace

FlightSimLinkDialog::FlightSimLinkDialog(FlightSimLink* flight_link, QWidget* parent)
    : StateDialog("FlightSimLinkDialog", QStringLiteral("Flight Simulator Link"), parent), link(flight_link)
{

    AddressEdit = new QLineEdit(QStringLiteral("127.0.0.1"), this);
    AddressEdit->setObjectName(QStringLiteral("AddressEdit"));
    AddressEdit->setToolTip(QStringLiteral("127.0.0.1 takes lines from this computer only; name another of its "
                                           "addresses (or 0.0.0.0) to take them from the network"));
    PortBox = new QSpinBox(this);
    PortBox->setObjectName(QStringLiteral("PortBox"));
    PortBox->setRange(PORT_MIN, PORT_MAX);
    PortBox->setValue(FlightSimLink::DEFAULT_PORT);
    StateLabel = state_line("StateLabel");
    ListenButton = button("ListenButton", QStringLiteral("&Listen"));
    StopButton = button("StopButton", QStringLiteral("&Stop"));
    GiveBackButton = button("GiveBackButton", QStringLiteral("&Give Sliders Back"));
    CloseButton = button("CloseButton", QStringLiteral("Close"));

    auto* explanation = new QLabel(link_explanation(), this);
    explanation->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Address:"), AddressEdit);
    form->addRow(QStringLiteral("&UDP port:"), PortBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ListenButton);
    buttons->addWidget(StopButton);
    buttons->addWidget(GiveBackButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(StateLabel);
    layout->addLayout(buttons);

    connect(ListenButton, &QPushButton::clicked, this, [this] { ListenClick(); });
    connect(StopButton, &QPushButton::clicked, this, [this] { link->close(); });
    connect(GiveBackButton, &QPushButton::clicked, this, [this] {
        for (const sensor_input_info& input : sensor_inputs())
            link->give_back(input.input);
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(link, &FlightSimLink::state_changed, this, [this] { show_state(); });
    show_state();
}

void FlightSimLinkDialog::ListenClick()
{
    const QHostAddress address(AddressEdit->text().trimmed());
    refusal.clear();
    if (address.isNull())
        refusal = QStringLiteral("\"%1\" is not an IP address.").arg(AddressEdit->text().trimmed());
    else
        link->listen(address, quint16(PortBox->value()), &refusal);
    show_state();
}

void FlightSimLinkDialog::show_state()
{
    const bool listening = link->listening();
    ListenButton->setEnabled(!listening);
    StopButton->setEnabled(listening);
    AddressEdit->setEnabled(!listening);
    PortBox->setEnabled(!listening);
    if (listening)
        StateLabel->setText(link->status_text());
    else
        StateLabel->setText(refusal.isEmpty() ? QStringLiteral("Not listening.") : refusal);
}
