#include "python/control_connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

#include "python/instrument.h"
#include "scenario/escape.h"

namespace py = pybind11;

namespace {

// Waiting is cut into slices this long, so that Ctrl-C is seen between them.
constexpr int WAIT_SLICE_MS = 100;
// How long connecting waits before it asks again while another client is connected.
constexpr auto BUSY_RETRY = std::chrono::milliseconds(20);
constexpr size_t READ_CHUNK = 65536;

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double deadline_after(double timeout, double seconds)
{
    return timeout < 0 ? std::numeric_limits<double>::infinity() : now() + timeout + seconds;
}

[[noreturn]] void raise_errno(int error, const std::string& path)
{
    errno = error;
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
}

[[noreturn]] void raise(PyObject* type, const std::string& text)
{
    PyErr_SetString(type, text.c_str());
    throw py::error_already_set();
}

std::string socket_path(const std::string& path)
{
    if (path.find('/') != path.npos)
        return path;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0')
        throw py::value_error("connect: \"" + path + "\" names no folder and XDG_RUNTIME_DIR is not set");
    return std::string(runtime) + "/" + path;
}

// "error N: MESSAGE" into answer; false for any other line.
bool error_line(const std::string& text, control_answer& answer)
{
    constexpr std::string_view ERROR = "error ";
    if (text.compare(0, ERROR.size(), ERROR) != 0)
        return false;
    char* end = nullptr;
    const long number = std::strtol(text.c_str() + ERROR.size(), &end, 10);
    if (end == text.c_str() + ERROR.size() || end[0] != ':' || end[1] != ' ')
        return false;
    answer.ok = false;
    answer.line = number;
    answer.message = end + 2;
    return true;
}

}  // namespace

std::string unescaped(std::string_view text)
{
    std::string bytes(text.size() + 1, '\0');
    bytes.resize(unescape_bytes(text, bytes.data(), bytes.size()));
    return bytes;
}

control_connection::control_connection(const std::string& path, double timeout)
    : path_(socket_path(path)), timeout_(timeout)
{
    sockaddr_un address{};
    if (path_.size() >= sizeof address.sun_path)
        throw py::value_error("connect: the socket's path is longer than " +
                              std::to_string(sizeof address.sun_path - 1) + " bytes: \"" + path_ + "\"");
    // One client at a time: while another is connected the window says so
    // and hangs up; ask again until the timeout.
    const double deadline = deadline_after(timeout, 0);
    for (;;) {
        open_socket();
        const control_answer greeting = exchange("", 0);
        if (greeting.ok)
            return;
        close();
        if (greeting.line != 0)
            raise(PyExc_ConnectionError, path_ + ": " + greeting.message);
        if (now() >= deadline)
            raise(PyExc_ConnectionError, path_ + ": " + greeting.message);
        {
            py::gil_scoped_release unlocked;
            std::this_thread::sleep_for(BUSY_RETRY);
        }
        check_python_signals();
    }
}

control_connection::~control_connection()
{
    close();
}

void control_connection::open_socket()
{
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        raise_errno(errno, path_);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        close();
        raise_errno(error, path_);
    }
}

void control_connection::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    received_.clear();
}

void control_connection::check_open() const
{
    if (fd_ < 0)
        raise(PyExc_ConnectionError, path_ + ": the connection to the window is closed");
}

void control_connection::lost(const std::string& why)
{
    close();
    raise(PyExc_ConnectionError, path_ + ": " + why);
}

void control_connection::send_all(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0)
            return;  // the window hung up: what it said before is still to be read
        bytes.remove_prefix(size_t(sent));
    }
}

std::string control_connection::next_line(double deadline, std::string_view sent)
{
    for (;;) {
        const size_t end = received_.find('\n');
        if (end != received_.npos) {
            std::string line = received_.substr(0, end);
            received_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        const double left = deadline - now();
        if (left <= 0) {
            close();
            char within[32];
            std::snprintf(within, sizeof within, "%g", timeout_);
            raise(PyExc_TimeoutError, path_ + ": no answer to \"" + std::string(sent.substr(0, 64)) + "\" within " +
                                          within + " s beyond its own time");
        }
        pollfd readable{fd_, POLLIN, 0};
        int ready = 0;
        {
            py::gil_scoped_release unlocked;
            ready = ::poll(&readable, 1, left < WAIT_SLICE_MS / 1000.0 ? int(std::ceil(left * 1000)) : WAIT_SLICE_MS);
        }
        try {
            check_python_signals();
        } catch (...) {
            close();  // the answer still to come would be taken for the next line's
            throw;
        }
        if (ready < 0 && errno != EINTR)
            lost(std::strerror(errno));
        if (ready <= 0)
            continue;
        char chunk[READ_CHUNK];
        const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            lost(std::strerror(errno));
        if (got == 0)
            lost("the window closed the connection");
        received_.append(chunk, size_t(got));
    }
}

control_answer control_connection::exchange(std::string_view line, double seconds)
{
    check_open();
    if (line.find('\n') != line.npos)
        throw py::value_error("a control line has no line break in it");
    if (line.size() > CONTROL_LINE_MAX)
        throw py::value_error("line longer than " + std::to_string(CONTROL_LINE_MAX) + " bytes");
    send_all(std::string(line) + "\n");
    const double deadline = deadline_after(timeout_, seconds);
    control_answer answer;
    constexpr std::string_view SERIAL = "serial ";
    for (;;) {
        std::string text = next_line(deadline, line);
        if (text == "ok" || error_line(text, answer))
            return answer;
        if (text.compare(0, SERIAL.size(), SERIAL) == 0)
            answer.serial.push_back(unescaped(std::string_view(text).substr(SERIAL.size())));
        else
            answer.printed.push_back(std::move(text));
    }
}
