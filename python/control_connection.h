// A connection to the control socket of a live window (ktr7-sim --control):
// one scenario line sent at a time, its answer read up to the final "ok" or
// "error N: MESSAGE". Errors are Python's: ConnectionError for a lost or
// closed connection, TimeoutError when no answer came in time, and Ctrl-C
// while waiting closes the connection (its answer would come out of step).
#pragma once
#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <vector>

// The window takes lines up to this long (without their '\n').
constexpr size_t CONTROL_LINE_MAX = 16384;

struct control_answer {
    std::vector<std::string> printed;  // the lines it printed, in order, the serial lines left out
    std::vector<std::string> serial;   // the sentences the passes sent meanwhile, unescaped
    bool ok = true;
    long line = 0;        // "error N: ...": the line's number in the connection (0: none)
    std::string message;  // and what the replay tool would say of it
};

class control_connection {
public:
    // path: a socket file, or a bare name (no '/') under $XDG_RUNTIME_DIR.
    // timeout in seconds, negative for none: how long connecting waits for
    // another client to leave, and an answer may take beyond its line's time.
    control_connection(const std::string& path, double timeout);
    ~control_connection();
    control_connection(const control_connection&) = delete;
    control_connection& operator=(const control_connection&) = delete;

    const std::string& path() const { return path_; }
    double timeout() const { return timeout_; }
    bool is_open() const { return fd_ >= 0; }
    void close();
    // ConnectionError once closed.
    void check_open() const;

    // Sends one line (no line break in it) and reads its answer, waiting the
    // timeout beyond seconds, what the line itself takes in the window.
    control_answer exchange(std::string_view line, double seconds);

private:
    void open_socket();
    void send_all(std::string_view bytes);
    // The next line the window sent, without its line break.
    std::string next_line(double deadline, std::string_view sent);
    [[noreturn]] void lost(const std::string& why);

    std::string path_;
    double timeout_;
    int fd_ = -1;
    std::string received_;
};

// Escaped text (as print and serial lines write it: \xHH for a byte) back
// to its bytes.
std::string unescaped(std::string_view text);
