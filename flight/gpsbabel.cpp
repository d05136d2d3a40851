#include "flight/gpsbabel.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <vector>

extern char** environ;

namespace {

const struct {
    const char* extension;
    const char* format;
} FORMATS[] = {
    {"kml", "kml"},        {"nmea", "nmea"},     {"nma", "nmea"},       {"fit", "garmin_fit"},
    {"tcx", "gtrnctr"},    {"crs", "gtrnctr"},   {"gdb", "gdb"},        {"gtm", "gtm"},
    {"json", "geojson"},   {"geojson", "geojson"}, {"plt", "ozi"},
};

// Enough of gpsbabel's complaint for one message line.
constexpr size_t ERROR_KEPT = 300;
constexpr size_t READ_PIECE = 65536;

struct pipe_pair {
    int fd[2] = {-1, -1};
    ~pipe_pair()
    {
        for (int f : fd)
            if (f >= 0)
                close(f);
    }
};

// Reads both pipes to their ends (neither can fill up and stall the child).
void drain(int out_fd, int err_fd, std::string& out, std::string& err)
{
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* into[2] = {&out, &err};
    char buffer[READ_PIECE];
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                if (i == 0 || into[i]->size() < ERROR_KEPT)
                    into[i]->append(buffer, size_t(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                open--;
            }
        }
    }
}

std::string first_line(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    if (line.size() > ERROR_KEPT)
        line.resize(ERROR_KEPT);
    return line;
}

}  // namespace

const char* gpsbabel_format_for(std::string_view file_name)
{
    const size_t slash = file_name.rfind('/');
    const size_t dot = file_name.rfind('.');
    if (dot == file_name.npos || (slash != file_name.npos && dot < slash))
        return nullptr;
    const std::string extension(file_name.substr(dot + 1));
    for (const auto& f : FORMATS)
        if (strcasecmp(extension.c_str(), f.extension) == 0)
            return f.format;
    return nullptr;
}

bool convert_with_gpsbabel(const char* format, const char* path, std::string& gpx, std::string& why,
                           bool waypoints_as_track, const char* program)
{
    // gpsbabel reads "-" as standard input: a file of that name goes as ./-.
    const std::string file = path[0] == '-' ? std::string("./") + path : std::string(path);
    std::vector<char*> argv = {const_cast<char*>(program), const_cast<char*>("-i"), const_cast<char*>(format),
                               const_cast<char*>("-f"), const_cast<char*>(file.c_str())};
    if (waypoints_as_track) {
        argv.push_back(const_cast<char*>("-x"));
        argv.push_back(const_cast<char*>("transform,trk=wpt"));
    }
    for (const char* word : {"-o", "gpx", "-F", "-"})
        argv.push_back(const_cast<char*>(word));
    argv.push_back(nullptr);
    pipe_pair out, err;
    if (pipe(out.fd) != 0 || pipe(err.fd) != 0) {
        why = std::string("cannot run gpsbabel: ") + strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out.fd[0]);
    posix_spawn_file_actions_addclose(&actions, err.fd[0]);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        why = spawned == ENOENT ? std::string("reading ") + format +
                                      " files needs the gpsbabel program, which is not installed "
                                      "(Debian package gpsbabel: apt-get install gpsbabel)"
                                : std::string("cannot run gpsbabel: ") + strerror(spawned);
        return false;
    }
    close(out.fd[1]);
    close(err.fd[1]);
    out.fd[1] = err.fd[1] = -1;
    std::string complaint;
    gpx.clear();
    drain(out.fd[0], err.fd[0], gpx, complaint);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        why = "gpsbabel could not read it as " + std::string(format);
        const std::string line = first_line(complaint);
        if (!line.empty())
            why += ": " + line;
        return false;
    }
    return true;
}
