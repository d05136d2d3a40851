#include "python/scenario_run.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "python/instrument.h"
#include "replay/replay.h"
#include "scenario/scenario_parse.h"

namespace {

// A stream held in memory; its lines once it is closed.
class captured_stream {
public:
    captured_stream() : file_(open_memstream(&text_, &size_)) {}
    ~captured_stream()
    {
        if (file_ != nullptr)
            fclose(file_);
        free(text_);
    }
    FILE* file() const { return file_; }

    std::vector<std::string> lines()
    {
        fclose(file_);
        file_ = nullptr;
        std::vector<std::string> all;
        std::string_view rest(text_ != nullptr ? text_ : "", size_);
        while (!rest.empty()) {
            const size_t end = rest.find('\n');
            all.emplace_back(rest.substr(0, end));
            rest = end == rest.npos ? std::string_view() : rest.substr(end + 1);
        }
        return all;
    }

private:
    char* text_ = nullptr;
    size_t size_ = 0;
    FILE* file_;
};

// "ktr7-replay: line N: ..." of the line that stopped the run: lines from N
// on did not run. 0 when no line stopped it.
long stopping_line(const std::vector<std::string>& messages)
{
    if (messages.empty())
        return 0;
    long line = 0;
    return sscanf(messages.back().c_str(), "ktr7-replay: line %ld:", &line) == 1 ? line : 0;
}

// On or off as the last on or off that ran left the instrument.
bool left_on(std::string_view script, long stopped_at)
{
    bool on = false;
    long number = 0;
    while (!script.empty() && (stopped_at == 0 || ++number < stopped_at)) {
        const size_t end = script.find('\n');
        scenario_command command;
        scenario_failure failure;
        if (parse_scenario_line(script.substr(0, end), command, failure)) {
            if (command.op == scenario_op::on)
                on = true;
            else if (command.op == scenario_op::off)
                on = false;
        }
        script = end == script.npos ? std::string_view() : script.substr(end + 1);
    }
    return on;
}

// "N passed, M failed", the last output line of a run with expectations.
void read_tally(scenario_result& result)
{
    if (!result.output.empty())
        sscanf(result.output.back().c_str(), "%ld passed, %ld failed", &result.passed, &result.failed);
}

}  // namespace

scenario_result run_scenario_text(instrument& owner, const std::string& script, const std::string& folder)
{
    owner.check_open();
    captured_stream out, err;
    if (out.file() == nullptr || err.file() == nullptr)
        throw std::runtime_error("cannot capture the scenario's output");
    replay_set_reference_folder(folder.c_str());
    scenario_result result;
    result.status = replay_run_text(script, out.file(), err.file());
    replay_set_reference_folder(nullptr);
    result.output = out.lines();
    result.messages = err.lines();
    if (result.status != REPLAY_FAILED)
        read_tally(result);
    owner.forget_serial();
    owner.set_running(left_on(script, result.status == REPLAY_FAILED ? stopping_line(result.messages) : 0));
    return result;
}
