#include "window/connections/encoder_port_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTimer>
#include <QVBoxLayout>

#include "window/app/command_line.h"
#include "window/connections/encoder_port.h"

EncoderPortDialog::EncoderPortDialog(EncoderPort* encoder_port, QWidget* parent)
    : StateDialog("EncoderPortDialog", QStringLiteral("Encoder Port"), parent), port(encoder_port)
{

    PortList = new QListWidget(this);
    PortList->setObjectName(QStringLiteral("PortList"));
    RefreshButton = button("RefreshButton", QStringLiteral("&Refresh"));
    PathEdit = new QLineEdit(this);
    PathEdit->setObjectName(QStringLiteral("PathEdit"));
    PathEdit->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 or /dev/pts/3"));
    BaudBox = new QComboBox(this);
    BaudBox->setObjectName(QStringLiteral("BaudBox"));
    for (int rate : encoder_baud_rates())
        BaudBox->addItem(QString::number(rate), rate);
    StateLabel = state_line("StateLabel");
    ConnectButton = button("ConnectButton", QStringLiteral("&Connect"));
    DisconnectButton = button("DisconnectButton", QStringLiteral("&Disconnect"));
    CloseButton = button("CloseButton", QStringLiteral("Close"));

    auto* list_row = new QHBoxLayout;
    list_row->addWidget(PortList, 1);
    list_row->addWidget(RefreshButton, 0, Qt::AlignTop);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Port:"), PathEdit);
    form->addRow(QStringLiteral("&Baud rate:"), BaudBox);
    form->addRow(QStringLiteral("Line:"), new QLabel(QStringLiteral("8 data bits, no parity, 1 stop bit, no flow control"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ConnectButton);
    buttons->addWidget(DisconnectButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Serial ports:"), this));
    layout->addLayout(list_row);
    layout->addLayout(form);
    layout->addWidget(StateLabel);
    layout->addLayout(buttons);

    connect(RefreshButton, &QPushButton::clicked, this, [this] { refresh_ports(); });
    // A port the user picks (not the one the list makes current by itself)
    // goes into the path field.
    connect(PortList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> picked = PortList->selectedItems();
        if (!picked.isEmpty() && picked.first()->data(Qt::UserRole).isValid())
            PathEdit->setText(picked.first()->data(Qt::UserRole).toString());
    });
    connect(PortList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item->data(Qt::UserRole).isValid())
            ConnectClick();
    });
    connect(ConnectButton, &QPushButton::clicked, this, [this] { ConnectClick(); });
    connect(DisconnectButton, &QPushButton::clicked, this, [this] { DisconnectClick(); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { hide(); });
    connect(port, &EncoderPort::state_changed, this, [this] { show_state(); });

    PathEdit->setText(port->path());
    BaudBox->setCurrentIndex(BaudBox->findData(port->baud()));
    refresh_ports();
    show_state();
}

void EncoderPortDialog::refresh_ports()
{
    PortList->clear();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        QString text = info.systemLocation();
        const QString about = QStringList({info.description(), info.manufacturer()}).join(QLatin1Char(' ')).trimmed();
        if (!about.isEmpty())
            text += QStringLiteral("  ") + about;
        auto* item = new QListWidgetItem(text, PortList);
        item->setData(Qt::UserRole, info.systemLocation());
    }
    if (ports.isEmpty()) {
        auto* item = new QListWidgetItem(QStringLiteral("(no serial ports found; type a path below)"), PortList);
        item->setFlags(Qt::NoItemFlags);
    }
}

void EncoderPortDialog::ConnectClick()
{
    QString message;
    if (port->open_port(PathEdit->text(), BaudBox->currentData().toInt(), &message))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void EncoderPortDialog::DisconnectClick()
{
    port->close_port();
}

void EncoderPortDialog::show_state()
{
    StateLabel->setText(port->status_text());
    DisconnectButton->setEnabled(port->is_open());
}
