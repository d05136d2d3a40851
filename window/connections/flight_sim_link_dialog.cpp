#include "window/connections/flight_sim_link_dialog.h"

#include <QComboBox>
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
        "FlightGear sends one line per frame: pressure altitude (ft), vertical speed (ft/s), "
        "indicated airspeed (kt) and its elapsed time (s), comma-separated, and takes the QNH back on its "
        "generic input socket. X-Plane is asked for the same four values from a port of this window's own, "
        "and takes the QNH in inHg. A slider moved by hand takes that input from the link until you give it "
        "back.");
}

}  // namespace

FlightSimLinkDialog::FlightSimLinkDialog(FlightSimLink* flight_link, QWidget* parent)
    : StateDialog("FlightSimLinkDialog", QStringLiteral("Flight Simulator Link"), parent), link(flight_link)
{
    SimulatorBox = new QComboBox(this);
    SimulatorBox->setObjectName(QStringLiteral("SimulatorBox"));
    SimulatorBox->addItems({QStringLiteral("FlightGear"), QStringLiteral("X-Plane")});
    AddressEdit = new QLineEdit(QStringLiteral("127.0.0.1"), this);
    AddressEdit->setObjectName(QStringLiteral("AddressEdit"));
    AddressEdit->setToolTip(QStringLiteral("127.0.0.1 takes lines from this computer only; name another of its "
                                           "addresses (or 0.0.0.0) to take them from the network"));
    PortBox = new QSpinBox(this);
    PortBox->setObjectName(QStringLiteral("PortBox"));
    PortBox->setRange(PORT_MIN, PORT_MAX);
    PortBox->setValue(FlightSimLink::DEFAULT_PORT);
    QnhEdit = new QLineEdit(QStringLiteral("127.0.0.1:%1").arg(FlightSimLink::DEFAULT_QNH_PORT), this);
    QnhEdit->setObjectName(QStringLiteral("QnhEdit"));
    QnhEdit->setToolTip(QStringLiteral("FlightGear's --generic=socket,in,... address and port"));
    RecordEdit = new QLineEdit(this);
    RecordEdit->setObjectName(QStringLiteral("RecordEdit"));
    RecordEdit->setPlaceholderText(QStringLiteral("no recording"));
    RecordEdit->setToolTip(QStringLiteral("A file for what the link takes, one line each, for ktr7-replay --link"));
    StateLabel = state_line("StateLabel");
    ListenButton = button("ListenButton", QStringLiteral("&Listen"));
    StopButton = button("StopButton", QStringLiteral("&Stop"));
    GiveBackButton = button("GiveBackButton", QStringLiteral("&Give Sliders Back"));
    CloseButton = button("CloseButton", QStringLiteral("Close"));

    auto* explanation = new QLabel(link_explanation(), this);
    explanation->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("S&imulator:"), SimulatorBox);
    form->addRow(QStringLiteral("&Address:"), AddressEdit);
    form->addRow(QStringLiteral("&UDP port:"), PortBox);
    form->addRow(QStringLiteral("&QNH to:"), QnhEdit);
    form->addRow(QStringLiteral("&Record to:"), RecordEdit);
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
    connect(SimulatorBox, &QComboBox::currentIndexChanged, this, [this] { simulator_chosen(); });
    connect(link, &FlightSimLink::state_changed, this, [this] { show_state(); });
    show_state();
}

void FlightSimLinkDialog::simulator_chosen()
{
    const bool xplane = SimulatorBox->currentIndex() == 1;
    PortBox->setValue(xplane ? XPLANE_PORT : FlightSimLink::DEFAULT_PORT);
    show_state();
}

void FlightSimLinkDialog::ListenClick()
{
    const QHostAddress address(AddressEdit->text().trimmed());
    const bool xplane = SimulatorBox->currentIndex() == 1;
    const QString qnh_to = QnhEdit->text().trimmed();
    const qsizetype colon = qnh_to.lastIndexOf(QLatin1Char(':'));
    const QHostAddress qnh_address(qnh_to.left(colon));
    bool port_ok = false;
    const int qnh_port = qnh_to.mid(colon + 1).toInt(&port_ok);
    refusal.clear();
    if (address.isNull()) {
        refusal = QStringLiteral("\"%1\" is not an IP address.").arg(AddressEdit->text().trimmed());
    } else if (!xplane && (colon < 0 || qnh_address.isNull() || !port_ok || qnh_port < PORT_MIN || qnh_port > PORT_MAX)) {
        refusal = QStringLiteral("\"%1\" is not an address and port such as 127.0.0.1:5506.").arg(qnh_to);
    } else {
        if (!xplane)
            link->set_qnh_target(qnh_address, quint16(qnh_port));
        const bool open = xplane ? link->subscribe(address, quint16(PortBox->value()), &refusal)
                                 : link->listen(address, quint16(PortBox->value()), &refusal);
        if (open && !RecordEdit->text().trimmed().isEmpty() && !link->record_to(RecordEdit->text().trimmed(), &refusal))
            link->close();
    }
    show_state();
}

void FlightSimLinkDialog::show_state()
{
    const bool listening = link->listening();
    ListenButton->setEnabled(!listening);
    StopButton->setEnabled(listening);
    SimulatorBox->setEnabled(!listening);
    AddressEdit->setEnabled(!listening);
    PortBox->setEnabled(!listening);
    QnhEdit->setEnabled(!listening && SimulatorBox->currentIndex() == 0);
    RecordEdit->setEnabled(!listening);
    if (listening)
        StateLabel->setText(link->status_text());
    else
        StateLabel->setText(refusal.isEmpty() ? QStringLiteral("Not listening.") : refusal);
}
