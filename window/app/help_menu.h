// The Help menu: the keyboard and mouse map of the instrument's keys and
// knob, the scenario language's manual (compiled in from docs/scenarios.md)
// and About (version, the licence of the LCD's font).
#pragma once
#include <QMenu>

class QAction;
class QDialog;

class HelpMenu : public QMenu {
    Q_OBJECT

public:
    // Dialogs open over window.
    explicit HelpMenu(QWidget* window);

    QAction* KeyboardMap1;     // Help > Keyboard and Mouse
    QAction* ScenarioManual1;  // Help > Scenario Language
    QAction* About1;           // Help > About

    void show_keyboard_map();
    void show_scenario_manual();  // a window of its own, made on first use
    void show_about();

    QDialog* manual = nullptr;

private:
    QWidget* window;
};
