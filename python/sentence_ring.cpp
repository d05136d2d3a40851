#include "python/sentence_ring.h"

#include <cstring>

namespace py = pybind11;

void sentence_ring::show_sentence(const char* line)
{
    std::array<char, SERIAL_LINE_SIZE>& slot = kept_[count_ % SERIAL_KEPT];
    const size_t length = strnlen(line, SERIAL_LINE_SIZE - 1);
    memcpy(slot.data(), line, length);
    slot[length] = '\0';
    count_++;
}

py::list sentence_ring::sentences() const
{
    py::list all;
    const uint64_t kept = count_ < SERIAL_KEPT ? count_ : SERIAL_KEPT;
    for (uint64_t i = count_ - kept; i < count_; i++) {
        const char* line = kept_[i % SERIAL_KEPT].data();
        all.append(py::reinterpret_steal<py::str>(PyUnicode_DecodeLatin1(line, py::ssize_t(strlen(line)), nullptr)));
    }
    return all;
}
