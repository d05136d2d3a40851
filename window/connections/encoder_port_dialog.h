// Options > Encoder Port...: choose the serial port the encoder's sentences
// go to (a listed port, or any path such as a pseudo-terminal's /dev/pts/3)
// and its rate; connect and disconnect. Modeless, so the instrument runs on
// while it is open.
#pragma once
#include "window/connections/state_dialog.h"

class EncoderPort;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class EncoderPortDialog : public StateDialog {
public:
    EncoderPortDialog(EncoderPort* port, QWidget* parent);

    QListWidget* PortList;
    QPushButton* RefreshButton;
    QLineEdit* PathEdit;
    QComboBox* BaudBox;
    QLabel* StateLabel;
    QPushButton* ConnectButton;
    QPushButton* DisconnectButton;
    QPushButton* CloseButton;

    // Lists the serial ports the system knows now.
    void refresh_ports();
    void ConnectClick();
    void DisconnectClick();

private:
    void show_state() override;

    EncoderPort* port;
};
