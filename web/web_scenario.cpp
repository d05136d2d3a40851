// Scenarios played live in the web page: the one executor every host runs,
// on the page's session and its clock. The executor follows the session's
// ticks and passes itself; the page shows the report lines as they come and
// the result when the run ends. The page writes no files: png, dump and gif
// are refused; expect png compares with the pictures handed over before the run
// through the shared comparison, and reports as the other hosts do.
#include "web/web_scenario.h"

#include <emscripten.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flight/flight.h"
#include "host/lcd_rgb_compare.h"
#include "scenario/expect.h"
#include "session/scenario_executor.h"
#include "web/web_flight.h"
#include "web/web_main.h"

// The page's side, in scenario.js (Module.ktr7Page).
EM_JS(void, page_report, (const char* line, int failed),
      { Module.ktr7Page.report(UTF8ToString(line), failed !== 0); });
EM_JS(void, page_finished, (int status), { Module.ktr7Page.finished(status); });
// Reads the flight file of a "flight" line with web_flight_read; 0 with why
// set when the page has no such file.
EM_JS(int, page_read_flight, (const char* path, char* why, int cap),
      { return Module.ktr7Page.readFlight(UTF8ToString(path), why, cap); });

namespace {

constexpr int RGBA = 4, RGB = 3;
constexpr int WHY_CAPACITY = 512;
constexpr const char* NO_FILES = "the page writes no files";
constexpr const char* NOT_CHOSEN = "not available in the page (choose it together with the scenario)";

struct reference_picture {
    std::vector<uint8_t> rgb;
    int width = 0;
    int height = 0;
    std::string unusable;  // why it cannot serve; "" when it can
};

std::map<std::string, reference_picture> references;

class page_lender final : public scenario_lender {
public:
    bool lends_files() const override { return true; }

    bool write_png(const char*, const uint8_t*, int, std::string& why) override
    {
        why = NO_FILES;
        return false;
    }

    bool write_dump(const char*, const uint8_t*, std::string& why) override
    {
        why = NO_FILES;
        return false;
    }

    std::unique_ptr<lcd_recording> record_gif(instrument_session&, const char*, int, std::string& why) override
    {
        why = NO_FILES;
        return nullptr;
    }

    picture_check check_png(const char* path, const uint8_t* frame, std::string& text) override
    {
        const auto found = references.find(path);
        const std::string named = std::string("reference \"") + quoted_path(path).text + "\": ";
        if (found == references.end()) {
            text = named + NOT_CHOSEN;
            return picture_check::unusable;
        }
        const reference_picture& picture = found->second;
        char why[WHY_CAPACITY];
        lcd_difference difference;
        if (!picture.unusable.empty()) {
            text = named + picture.unusable;
            return picture_check::unusable;
        }
        if (!compare_lcd_with_rgb(frame, picture.rgb.data(), picture.width, picture.height, difference, why,
                                  sizeof why)) {
            text = named + why;
            return picture_check::unusable;
        }
        if (difference.differing == 0)
            return picture_check::equal;
        char report[EXPECT_REPORT_CAPACITY];
        const std::string after = std::string("no pictures (") + NO_FILES + ")";
        describe_lcd_difference(path, difference, after.c_str(), report, sizeof report);
        text = report;
        return picture_check::differs;
    }

    bool lends_flights() const override { return true; }

    std::unique_ptr<flight> read_flight(const char* path, std::string& error, std::string& warning) override
    {
        char why[WHY_CAPACITY] = "";
        if (page_read_flight(path, why, int(sizeof why)) == 0) {
            error = why[0] != '\0' ? why : web_flight_message();
            return nullptr;
        }
        warning = web_flight_message();
        return take_read_flight();
    }
};

class page_output final : public scenario_output {
public:
    void printed(const char* line) override { page_report(line, 0); }

    void failed(long line, const char* message) override
    {
        page_report(("line " + std::to_string(line) + ": " + message).c_str(), 1);
    }

    void warned(long line, const char* message) override
    {
        page_report(("line " + std::to_string(line) + ": " + message).c_str(), 0);
    }

    void ended(int status) override { page_finished(status); }
};

page_lender lender;
page_output output;

scenario_executor& executor()
{
    static scenario_executor live(page_session(), page_display(), lender, output, scenario_clock::live);
    return live;
}

const scenario_failure_line* failure(int i)
{
    const std::vector<scenario_failure_line>& failures = executor().result().failures;
    return i >= 0 && size_t(i) < failures.size() ? &failures[size_t(i)] : nullptr;
}

}  // namespace

extern "C" {

void web_scenario_start(const char* script, int length)
{
    executor().stop();
    executor().run(std::string_view(script, length > 0 ? size_t(length) : 0));
}

void web_scenario_stop()
{
    executor().stop();
}

int web_scenario_playing()
{
    return executor().playing() ? 1 : 0;
}

int web_scenario_line()
{
    return int(executor().line());
}

int web_scenario_status()
{
    return executor().result().status;
}

int web_scenario_passed()
{
    return int(executor().result().tally.passed);
}

int web_scenario_failed()
{
    return int(executor().result().tally.failed);
}

int web_scenario_failures()
{
    return int(executor().result().failures.size());
}

int web_scenario_failure_line(int i)
{
    const scenario_failure_line* f = failure(i);
    return f ? int(f->line) : 0;
}

const char* web_scenario_failure_text(int i)
{
    const scenario_failure_line* f = failure(i);
    return f ? f->message.c_str() : "";
}

int web_scenario_stopped_at()
{
    return int(executor().result().stopped_at);
}

void web_references_clear()
{
    references.clear();
}

void web_reference_add(const char* name, const uint8_t* rgba, int width, int height)
{
    reference_picture& picture = references[name];
    picture = reference_picture{};
    picture.width = width;
    picture.height = height;
    const size_t pixels = width > 0 && height > 0 ? size_t(width) * size_t(height) : 0;
    picture.rgb.resize(pixels * RGB);
    for (size_t i = 0; i < pixels; i++)
        for (int c = 0; c < RGB; c++)
            picture.rgb[i * RGB + size_t(c)] = rgba[i * RGBA + size_t(c)];
}

void web_reference_unusable(const char* name, const char* why)
{
    reference_picture& picture = references[name];
    picture = reference_picture{};
    picture.unusable = why;
}

}  // extern "C"
