// What the passes Python runs hand their host: the encoder sentences, the
// newest SERIAL_KEPT of them kept in a ring made once, so that a pass
// allocates nothing. The lamp and the LCD are read from the session.
#pragma once
#include <pybind11/pybind11.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// SERIAL_LINE_SIZE: the room of one sentence as the instrument builds it.
#include "core/state.h"
#include "session/session.h"

// Instrument.serial keeps the newest this many sentences.
constexpr size_t SERIAL_KEPT = 10000;

class sentence_ring final : public session_display {
public:
    sentence_ring() : kept_(SERIAL_KEPT) {}

    void show_sentence(const char* line) override;

    // The kept sentences, oldest first, as str (bytes as Latin-1).
    pybind11::list sentences() const;
    // Every sentence shown since forget(), also those no longer kept.
    uint64_t count() const { return count_; }
    void forget() { count_ = 0; }

private:
    // count_ % SERIAL_KEPT is where the next one goes.
    std::vector<std::array<char, SERIAL_LINE_SIZE>> kept_;
    uint64_t count_ = 0;
};
