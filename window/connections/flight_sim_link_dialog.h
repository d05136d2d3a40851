// Options > Flight Simulator Link...: listen for a flight simulator's lines on
// a UDP port (127.0.0.1 unless the user names another address), stop, and give
// back to the link the inputs a hand on a slider took from it. Modeless, so
// the instrument runs on while it is open.
#pragma once
#include <QString>

#include "window/connections/state_dialog.h"

class FlightSimLink;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class FlightSimLinkDialog : public StateDialog {
public:
    FlightSimLinkDialog(FlightSimLink* link, QWidget* parent);

    QLineEdit* AddressEdit;
    QSpinBox* PortBox;
    QLabel* StateLabel;
    QPushButton* ListenButton;
    QPushButton* StopButton;
    QPushButton* GiveBackButton;  // every input back under the link's control
    QPushButton* CloseButton;

    void ListenClick();

private:
    void show_state() override;

    FlightSimLink* link;
    QString refusal;  // why the last Listen failed, until the next one
};
