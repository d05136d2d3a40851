// Options > Encoder Port...: choose the serial port the encoder's sentences
// go to (a listed port, or any path such as a pseudo-terminal's /dev/pts/3)
// and its rate; connect and disconnect. Modeless, so the instrument runs on
// while it is open.
#pragma once
#include <QDialog>

class EncoderPort;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

class EncoderPortDialog : public QDialog {
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

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void show_state();

    EncoderPort* port;
    QTimer* counts;  // keeps the sent and skipped counts current while shown
};
