#include "python/scenario_run.h"

#include <cstring>

#include "files/scenario_files.h"
#include "python/instrument.h"
#include "scenario/escape.h"

namespace {

// The lines ktr7-replay would write: print's lines, the sentences as
// "serial ..." lines among them in the order the passes sent them, "updated
// FILE" and the tally on standard output; the failures and warnings, each
// "ktr7-replay: line N: ...", on standard error.
class collected_lines final : public scenario_output, public session_display {
public:
    explicit collected_lines(scenario_report& report) : report_(report) {}

    void printed(const char* line) override { report_.output.emplace_back(line); }
    void failed(long line, const char* message) override { said(line, message); }
    void warned(long line, const char* message) override { said(line, message); }

    // One line per sentence, escaped so that its carriage return and any
    // other control byte stay visible.
    void show_sentence(const char* line) override
    {
        char escaped[escaped_capacity(SERIAL_LINE_SIZE)];
        escape_bytes(line, strnlen(line, SERIAL_LINE_SIZE), escaped, sizeof escaped);
        report_.output.push_back(std::string("serial ") + escaped);
    }

private:
    void said(long line, const char* message)
    {
        report_.messages.push_back("ktr7-replay: line " + std::to_string(line) + ": " + message);
    }

    scenario_report& report_;
};

}  // namespace

scenario_report run_scenario_text(instrument& owner, const std::string& script, const std::string& folder)
{
    owner.check_open();
    instrument_session& session = owner.session();
    scenario_report report;
    collected_lines lines(report);
    scenario_files files;
    files.set_reference_folder(folder);
    frame_kept kept(owner);
    session.program_start();
    owner.forget_serial();
    scenario_executor executor(session, lines, files, lines, scenario_clock::immediate);
    const scenario_result& result = executor.run(script);
    report.status = result.status;
    report.passed = result.tally.passed;
    report.failed = result.tally.failed;
    report.stopped_at = result.stopped_at;
    return report;
}
