// libFuzzer target for the replay tool's scenario parser and executor. Every
// input must end with status 0, or with status 2 and exactly one
// "ktr7-replay: line N: ..." message; nothing may crash or hang.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "replay/replay.h"

namespace {

FILE* sink()
{
    static FILE* f = fopen("/dev/null", "w");
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // No files from fuzzed png/dump lines, and counts small enough to finish.
    replay_set_limits({false, 2000});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char message[4096];
    FILE* err = fmemopen(message, sizeof message, "w");
    int status = replay_run_text(std::string_view(reinterpret_cast<const char*>(data), size), sink(), err);
    long length = ftell(err);
    fclose(err);
    if (status == REPLAY_OK) {
        if (length != 0)
            abort();  // a message without a failure
    } else if (status != REPLAY_FAILED || strncmp(message, "ktr7-replay: line ", 18) != 0 ||
               memchr(message, '\n', size_t(length)) != message + length - 1) {
        abort();  // a failure without its one message line
    }
    return 0;
}
