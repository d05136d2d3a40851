// ktr7-replay [SCENARIO]: the instrument without a window, driven by a
// scenario file or standard input.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/picture_scale.h"
#include "replay/replay.h"
#include "replay/replay_flight.h"
#include "replay/replay_link.h"
#include "host/version.h"

namespace {

// The run's status, unless its output could not be written.
int with_output_flushed(int status)
{
    if (fflush(stdout) != 0 || ferror(stdout)) {
        fprintf(stderr, "ktr7-replay: cannot write standard output: %s\n", strerror(errno));
        return REPLAY_FAILED;
    }
    return status;
}

// --gif-every takes up to an hour of ticks.
constexpr long GIF_EVERY_MAX = 36000;

// A whole number in low..high.
bool whole_number(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = nullptr;
    const char* flight_path = nullptr;
    const char* csv_path = nullptr;
    const char* report_path = nullptr;
    const char* link_path = nullptr;
    const char* gif_path = nullptr;
    long gif_every = 1, gif_scale = GIF_SCALE_MIN;
    bool gif_tuned = false;
    replay_limits limits = REPLAY_DEFAULT_LIMITS;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            fputs(replay_usage, stdout);
            return fflush(stdout) == 0 ? REPLAY_OK : REPLAY_FAILED;
        }
        if (strcmp(arg, "--version") == 0) {
            fputs("ktr7-replay " KTR7_VERSION "\n", stdout);
            return fflush(stdout) == 0 ? REPLAY_OK : REPLAY_FAILED;
        }
        if (strcmp(arg, "--update") == 0) {
            limits.update_pictures = true;
            continue;
        }
        if (strcmp(arg, "--gif-every") == 0 || strcmp(arg, "--gif-scale") == 0) {
            const bool every = strcmp(arg, "--gif-every") == 0;
            const long high = every ? GIF_EVERY_MAX : GIF_SCALE_MAX;
            if (i + 1 == argc || !whole_number(argv[i + 1], 1, high, every ? gif_every : gif_scale)) {
                fprintf(stderr, "ktr7-replay: %s takes a whole number, 1..%ld (see ktr7-replay --help)\n", arg, high);
                return REPLAY_FAILED;
            }
            i++;
            gif_tuned = true;
            continue;
        }
        if (strcmp(arg, "--gif") == 0) {
            if (i + 1 == argc) {
                fprintf(stderr, "ktr7-replay: %s needs a file name (see ktr7-replay --help)\n", arg);
                return REPLAY_FAILED;
            }
            gif_path = argv[++i];
            continue;
        }
        if (strcmp(arg, "--flight") == 0 || strcmp(arg, "--csv") == 0 || strcmp(arg, "--link") == 0 ||
            strcmp(arg, "--report") == 0) {
            if (i + 1 == argc) {
                fprintf(stderr, "ktr7-replay: %s needs a file name (see ktr7-replay --help)\n", arg);
                return REPLAY_FAILED;
            }
            (arg[2] == 'f' ? flight_path : arg[2] == 'c' ? csv_path : arg[2] == 'r' ? report_path : link_path) = argv[++i];
            continue;
        }
        if (arg[0] == '-' && arg[1] != '\0') {
            fprintf(stderr, "ktr7-replay: unknown option \"%s\" (see ktr7-replay --help)\n", arg);
            return REPLAY_FAILED;
        }
        if (path != nullptr) {
            fprintf(stderr, "ktr7-replay: more than one scenario given (see ktr7-replay --help)\n");
            return REPLAY_FAILED;
        }
        path = arg;
    }

    if (csv_path != nullptr && flight_path == nullptr) {
        fprintf(stderr, "ktr7-replay: --csv writes the trace of a --flight (see ktr7-replay --help)\n");
        return REPLAY_FAILED;
    }
    if (report_path != nullptr && flight_path == nullptr) {
        fprintf(stderr, "ktr7-replay: --report writes the review of a --flight (see ktr7-replay --help)\n");
        return REPLAY_FAILED;
    }
    if (gif_path != nullptr && flight_path == nullptr) {
        fprintf(stderr, "ktr7-replay: --gif records the LCD over a --flight (see ktr7-replay --help)\n");
        return REPLAY_FAILED;
    }
    if (gif_tuned && gif_path == nullptr) {
        fprintf(stderr, "ktr7-replay: --gif-every and --gif-scale go with --gif (see ktr7-replay --help)\n");
        return REPLAY_FAILED;
    }
    replay_set_flight_gif(gif_path, int(gif_every), int(gif_scale));
    if (link_path != nullptr) {
        if (path != nullptr || flight_path != nullptr) {
            fprintf(stderr, "ktr7-replay: --link plays a link's lines alone (see ktr7-replay --help)\n");
            return REPLAY_FAILED;
        }
        FILE* lines = strcmp(link_path, "-") == 0 ? stdin : fopen(link_path, "r");
        if (lines == nullptr) {
            fprintf(stderr, "ktr7-replay: %s: cannot read: %s\n", link_path, strerror(errno));
            return REPLAY_FAILED;
        }
        const int status = replay_link_report(lines, lines == stdin ? "standard input" : link_path, stdout, stderr);
        if (lines != stdin)
            fclose(lines);
        return with_output_flushed(status);
    }
    if (flight_path != nullptr) {
        if (path != nullptr) {
            fprintf(stderr, "ktr7-replay: --flight plays a flight, not a scenario (see ktr7-replay --help)\n");
            return REPLAY_FAILED;
        }
        int status = replay_flight_report(flight_path, csv_path, stdout, stderr, report_path);
        return with_output_flushed(status);
    }

    FILE* in = stdin;
    const char* name = "standard input";
    if (path != nullptr && strcmp(path, "-") != 0) {
        in = fopen(path, "r");
        if (in == nullptr) {
            fprintf(stderr, "ktr7-replay: %s: cannot read: %s\n", path, strerror(errno));
            return REPLAY_FAILED;
        }
        name = path;
    }

    replay_set_limits(limits);
    // A scenario's reference pictures lie beside it.
    if (in != stdin) {
        char folder[4096];
        snprintf(folder, sizeof folder, "%s", path);
        char* slash = strrchr(folder, '/');
        if (slash != nullptr) {
            slash[slash == folder ? 1 : 0] = '\0';
            replay_set_reference_folder(folder);
        }
    }
    int status = replay_run(in, name, stdout, stderr);
    if (in != stdin)
        fclose(in);
    return with_output_flushed(status);
}
