// The replay's running path allocates nothing: passes, waits, ticks, keys,
// sliders and serial lines run on static state only.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/state.h"
#include "replay/replay.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(size_t size)
{
    allocations++;
    if (void* p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    free(p);
}
void operator delete[](void* p) noexcept
{
    free(p);
}
void operator delete(void* p, size_t) noexcept
{
    free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    free(p);
}

namespace {

TEST(ReplayAllocation, RunningAllocatesNothing)
{
    FILE* sink = fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    // Warm up: the stream's buffer, anything lazily set up.
    ASSERT_EQ(replay_run_text("on\nasi 2500\nvsi 900\nwait 3\nprint serial_line", sink, stderr), REPLAY_OK);
    st.serial_out = 1;
    ASSERT_EQ(replay_execute_text("pass", sink, stderr), REPLAY_OK);

    const char script[] =
        "wait 200\npass 200\ntick 50\nkey cw\npass\nkey ccw\npass\naltitude 3000\nasi 3000\nsensor fault\n"
        "wait 20\nsensor ok\nprint airspeed serial_line current_screen lamp speed_limits\n";
    long before = allocations.load();
    int status = replay_execute_text(script, sink, stderr);
    long during = allocations.load() - before;
    fclose(sink);
    EXPECT_EQ(status, REPLAY_OK);
    EXPECT_EQ(during, 0);
    // The counter itself works.
    before = allocations.load();
    ::operator delete(::operator new(16));
    EXPECT_EQ(allocations.load() - before, 1);
}

}  // namespace
