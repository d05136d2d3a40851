// The link's side that keeps state: lines in, the newest good values out, and
// a count of everything refused, by reason. The window feeds it datagrams, the
// replay tool lines of a file; both then read the newest values at each tick.
#pragma once
#include <cstdint>
#include <string_view>

#include "link/link_line.h"

// An elapsed time further back than this is the simulator starting over (a
// reset, a new flight), not an old datagram arriving late.
constexpr double LINK_RESTART_SECONDS = 5.0;

struct link_counts {
    uint64_t lines = 0;     // every line read, good or not
    uint64_t accepted = 0;
    uint64_t refused = 0;
    uint64_t restarts = 0;  // the simulator's clock started over
    uint64_t by_fault[LINK_FAULT_KINDS] = {};
};

class link_stream {
public:
    // A datagram or a chunk of lines: each line (ended by '\n', the last one
    // also by the end of the bytes) read on its own.
    void feed(std::string_view bytes);
    // One line, without its line end.
    link_fault feed_line(std::string_view line);
    // Values read another way (a binary packet), with what that reading
    // found wrong (none when nothing): counted and checked as a line is.
    link_fault feed_values(const link_values& values, link_fault read_fault);

    bool has_values() const { return any_; }
    // The newest good values (held while nothing new and good arrives).
    const link_values& latest() const { return latest_; }
    const link_counts& counts() const { return counts_; }
    // Forgets the values and the counts (a new link).
    void reset();

private:
    link_values latest_{};
    bool any_ = false;
    link_counts counts_;
};
