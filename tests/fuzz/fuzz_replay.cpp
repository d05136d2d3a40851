// libFuzzer target for the replay tool's scenario parser and executor. Every
// input must end with status 0 and no message, or with status 1 (an
// expectation failed) or 2 (a bad line) and its messages, each a
// "ktr7-replay: line N: ..." line; nothing may crash or hang.
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
        return 0;
    }
    if (status != REPLAY_EXPECTATION_FAILED && status != REPLAY_FAILED)
        abort();  // no status the tool has
    // Every line said (as far as the buffer holds them) names its line.
    const char* end = message + (size_t(length) < sizeof message ? size_t(length) : sizeof message - 1);
    if (length == 0)
        abort();  // a failure without a message
    for (const char* line = message; line < end;) {
        if (size_t(end - line) >= 18 && strncmp(line, "ktr7-replay: line ", 18) != 0)
            abort();  // a message that names no line
        const char* newline = static_cast<const char*>(memchr(line, '\n', size_t(end - line)));
        if (newline == nullptr)
            break;
        line = newline + 1;
    }
    return 0;
}
