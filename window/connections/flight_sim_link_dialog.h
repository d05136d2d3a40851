// Options > Flight Simulator Link...: the simulator (FlightGear, whose lines
// arrive on a UDP port, 127.0.0.1 unless the user names another address, and
// which takes the QNH on its generic input socket; or X-Plane, asked at its
// address and port), a file to record what the link takes, start and stop,
// and give back to the link the inputs a hand on a slider took from it.
// Modeless, so the instrument runs on while it is open.
#pragma once
#include <QString>

#include "window/connections/state_dialog.h"

class FlightSimLink;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class FlightSimLinkDialog : public StateDialog {
public:
    FlightSimLinkDialog(FlightSimLink* link, QWidget* parent);

    QComboBox* SimulatorBox;  // FlightGear, X-Plane
    QLineEdit* AddressEdit;   // FlightGear: where to listen; X-Plane: its address
    QSpinBox* PortBox;
    QLineEdit* QnhEdit;       // FlightGear's input socket, ADDRESS:PORT
    QLineEdit* RecordEdit;    // empty: no recording
    QLabel* StateLabel;
    QPushButton* ListenButton;
    QPushButton* StopButton;
    QPushButton* GiveBackButton;  // every input back under the link's control
    QPushButton* CloseButton;

    void ListenClick();

private:
    void show_state() override;
    void simulator_chosen();

    FlightSimLink* link;
    QString refusal;  // why the last Listen failed, until the next one
};
