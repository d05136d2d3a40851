// The live window under remote control: scenario lines from one client at a
// time on a Unix-domain socket (mode 0600). Each line runs against the
// window's session through the scenario executor, on the window's own clock
// (a "wait 10" takes a second), acting on the window as it is, with no
// program start. Its answer is the lines it printed, the encoder sentences
// its passes sent ("serial ..."), then one last line: "ok", or
// "error N: message" with N the line's number in the connection. A line too
// long ends the connection; a client that goes leaves the window as it was,
// the line it sent last stopped where it was.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

#include "files/scenario_files.h"
#include "session/scenario_executor.h"

class LineSocket;
class RunLoop;

class ControlSocket : public QObject, private session_observer, private scenario_output {
    Q_OBJECT

public:
    // A line longer than this ends the connection.
    static constexpr qsizetype LONGEST_LINE = 16384;

    ControlSocket(RunLoop* loop, QObject* parent);
    ~ControlSocket() override;

    // Where --control SOCKET listens: a name without '/' under
    // $XDG_RUNTIME_DIR, anything else as given. Empty, with why set, when
    // there is no such place.
    static QString socket_path(const QString& given, QString& why);

    // Listens at path; false with why set when it cannot.
    bool listen(const QString& path, QString& why);
    QString path() const;

public slots:
    // An encoder sentence of a pass (terminator included).
    void sentence(const char* line);

signals:
    // A line for the status bar.
    void message(const QString& text);

private:
    void client_arrived();
    // Plays the lines received, one after another, until one waits for the
    // window's time; a few at a time, so the window's events go on.
    void play_lines();
    // Plays them once it is safe to: between two passes.
    void play_soon();
    void play_due_line();
    // Ends the connection (after the answers sent) and what runs for it;
    // said goes to the status bar.
    void end_client(const QString& said, const QByteArray& last_answer = {});
    void hold_time();

    void session_ticked() override;
    void session_passed() override;
    void session_switched(bool on) override;

    void printed(const char* line) override;
    void failed(long line, const char* message) override;
    void warned(long line, const char* message) override;
    void line_played(long line) override;

    QPointer<RunLoop> loop;  // the window's parts may go before this one
    std::shared_ptr<instrument_session> session;
    scenario_files files;
    scenario_executor executor;
    LineSocket* socket;
    bool connected = false;
    QByteArray answer;   // the answer of the line being played, without its last line
    QByteArray failure;  // "error N: ..." of the line being played, if it failed
    bool in_play_lines = false;
    bool play_queued = false;
    bool line_due = false;  // lines to play after the next tick or pass
};
