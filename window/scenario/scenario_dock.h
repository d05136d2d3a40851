// The scenario played in the window, in a dock below it: the line being
// played and the scenario's time, each failure as it happens and the tally at
// the end. Also the file dialogs of Play Scenario and Record Scenario; a
// recording of a running instrument is asked about first, since it starts
// with a fresh switch-on.
#pragma once
#include <QDockWidget>

class QLabel;
class QPlainTextEdit;
class WindowScenario;

class ScenarioDock : public QDockWidget {
    Q_OBJECT

public:
    ScenarioDock(WindowScenario* scenario, QWidget* parent);

    QLabel* progress;        // "line 12 of 40, 3.2 s"
    QPlainTextEdit* report;  // the scenario's output: failures as they happen, print results
    QLabel* tally;           // failures so far; at the end "N passed, M failed"

    // Played to its end with nobody at the window (--exit-when-done): no
    // message boxes.
    void set_unattended(bool alone) { unattended = alone; }

    // File > Play Scenario...: a file chosen, then played.
    void choose_and_play();
    // File > Record Scenario...: a file chosen, then recorded; asks first
    // when the instrument is running (the recording switches it off).
    void choose_and_record(bool running);

private:
    void started(const QString& path, long lines);
    void moved(long line, quint64 ticks);
    void reported(const QString& text, bool failed);
    void ended(int status);

    WindowScenario* scenario;
    QString name;  // the file's name, without its folder
    long lines = 0;
    quint64 ticks_played = 0;
    int failures = 0;
    bool unattended = false;
};
