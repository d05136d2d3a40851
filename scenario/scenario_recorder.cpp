#include "scenario/scenario_recorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

enum class pending_kind { none, tick, pass };

struct recording {
    FILE* file = nullptr;
    pending_kind pending = pending_kind::none;
    long long count = 0;
    char error[160] = "";
};

recording rec;

void write_failed()
{
    snprintf(rec.error, sizeof rec.error, "%s", strerror(errno ? errno : EIO));
    fclose(rec.file);
    rec.file = nullptr;
}

void write_line(const char* line)
{
    if (rec.file == nullptr)
        return;
    errno = 0;
    if (fprintf(rec.file, "%s\n", line) < 0 || fflush(rec.file) != 0)
        write_failed();
}

void write_pending()
{
    if (rec.pending == pending_kind::none)
        return;
    char line[48];
    snprintf(line, sizeof line, "%s %lld", rec.pending == pending_kind::tick ? "tick" : "pass", rec.count);
    rec.pending = pending_kind::none;
    rec.count = 0;
    write_line(line);
}

void count(pending_kind kind)
{
    if (rec.file == nullptr)
        return;
    if (rec.pending != kind)
        write_pending();
    rec.pending = kind;
    rec.count++;
}

}  // namespace

bool recorder_start(const char* path, const char* version, char* why, size_t cap)
{
    recorder_stop();
    rec = recording{};
    rec.file = fopen(path, "w");
    if (rec.file == nullptr) {
        snprintf(why, cap, "%s", strerror(errno));
        return false;
    }
    char when[32];
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    char header[160];
    snprintf(header, sizeof header,
             "# Recorded by ktr7-sim %s on %s.\n"
             "# Play it back with: ktr7-replay FILE, or ktr7-sim --play FILE",
             version, when);
    write_line(header);
    if (rec.file == nullptr) {
        snprintf(why, cap, "%s", rec.error);
        return false;
    }
    return true;
}

void recorder_stop()
{
    if (rec.file == nullptr)
        return;
    write_pending();
    if (rec.file != nullptr && fclose(rec.file) != 0)
        snprintf(rec.error, sizeof rec.error, "%s", strerror(errno));
    rec.file = nullptr;
}

bool recorder_active()
{
    return rec.file != nullptr;
}

void recorder_event(const char* line)
{
    if (rec.file == nullptr)
        return;
    write_pending();
    write_line(line);
}

void recorder_tick()
{
    count(pending_kind::tick);
}

void recorder_pass()
{
    count(pending_kind::pass);
}

const char* recorder_error()
{
    return rec.error;
}
