// A modeless dialog for a connection of the window's (the encoder port, the
// flight simulator link): its state line is kept current while it is shown,
// so counts and rates move, and the instrument runs on while it is open.
#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

class StateDialog : public QDialog {
public:
    StateDialog(const char* name, const QString& title, QWidget* parent);

protected:
    // Brings the state line and the buttons up to date.
    virtual void show_state() = 0;
    // A button that leaves Return to the dialog's fields.
    QPushButton* button(const char* name, const QString& text);
    // The state line: wrapped, selectable.
    QLabel* state_line(const char* name);

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* refresh;  // keeps the state line current while shown
};
