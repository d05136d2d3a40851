// Shared by the replay tests: run a script through the replay library and
// capture what it writes.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/state.h"
#include "host/pass.h"
#include "host/sensor_inputs.h"
#include "replay/replay.h"

struct replay_result {
    int status;
    std::string out;
    std::string err;
};

// Captures everything written to a FILE*.
class captured_stream {
public:
    captured_stream() : file_(open_memstream(&data_, &size_)) {}
    ~captured_stream()
    {
        if (file_)
            fclose(file_);
        free(data_);
    }
    captured_stream(const captured_stream&) = delete;
    captured_stream& operator=(const captured_stream&) = delete;

    FILE* file() const { return file_; }
    std::string text()
    {
        fflush(file_);
        return std::string(data_, size_);
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    FILE* file_;
};

// From program start (fresh = true) or from the state the previous script
// left (fresh = false).
inline replay_result run_script(std::string_view script, bool fresh = true)
{
    captured_stream out, err;
    int status = fresh ? replay_run_text(script, out.file(), err.file())
                       : replay_execute_text(script, out.file(), err.file());
    return {status, out.text(), err.text()};
}

// Serial output switched on behind the replay's back (the setup screens do
// it in use), then the script run on. At the factory QNH and calibration the
// encoder sends the altitude slider's position.
inline replay_result passes_with_serial(uint8_t protocol, int32_t altitude, std::string_view script)
{
    run_script("on");
    st.serial_out = 1, st.serial_protocol = protocol;
    host_set_altitude(altitude);
    return run_script(script, false);
}

// The script read line by line from a stream, as from a scenario file.
inline replay_result run_stream(std::string script)
{
    FILE* in = fmemopen(script.data(), script.size(), "r");
    if (in == nullptr)
        return {-1, "", "fmemopen failed"};
    captured_stream out, err;
    const int status = replay_run(in, "test", out.file(), err.file());
    fclose(in);
    return {status, out.text(), err.text()};
}
