// A Unix-domain stream socket that takes lines from one client at a time and
// sends it lines back, on the window's event loop. The socket file is made
// with mode 0600, takes the place of one that nobody listens on any more,
// and goes when the listener does. Lines are taken as the owner is ready
// for them: a client that sends faster waits in its own socket. A client
// that closes its sending side still gets the answers to what it sent
// before, so that "printf ... | socat - UNIX-CONNECT:PATH" works.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class LineSocket : public QObject {
    Q_OBJECT

public:
    // Bytes kept of what a client sent and the owner has not taken.
    static constexpr qsizetype RECEIVED_MAX = 64 * 1024;
    // Bytes kept of answers a client has not read; beyond, it is dropped.
    static constexpr qsizetype UNSENT_MAX = 4 * 1024 * 1024;

    // busy_line: what a second client is sent before it is closed.
    LineSocket(const QByteArray& busy_line, QObject* parent);
    ~LineSocket() override;
    LineSocket(const LineSocket&) = delete;
    LineSocket& operator=(const LineSocket&) = delete;

    // False with why set when it cannot (another program listens there, a
    // file that is no socket is there, the path is too long, ...).
    bool listen(const QString& path, QString& why);
    const QString& path() const { return where; }

    bool has_client() const { return client >= 0; }
    enum class taken {
        none,      // no whole line yet
        line,      // line is the next one, without its '\n'
        too_long,  // the next line is longer than longest bytes
        cut_off,   // the client stopped sending in the middle of a line
    };
    taken next_line(QByteArray& line, qsizetype longest);
    // The client sends nothing more, and every line it sent has been taken.
    bool input_ended() const;
    void send(const QByteArray& bytes);
    // Ends the connection, after what was sent when flush.
    void close_client(bool flush);

signals:
    void client_arrived();
    void lines_arrived();  // next_line may have a line now, or the input ended
    // The connection broke, or the client took no answers and was dropped.
    void client_lost(const QString& why);

private:
    void take_client();
    void read_client();
    void write_client();
    void forget_client();
    void watch_reading();

    int listener = -1;
    int client = -1;
    QString where;
    QByteArray busy;
    QSocketNotifier* accepting = nullptr;
    QSocketNotifier* reading = nullptr;
    QSocketNotifier* writing = nullptr;
    QByteArray received;
    QByteArray unsent;
    bool input_closed = false;  // the client has closed its sending side
    bool closing = false;       // close once unsent is out
};
