#include "files/scenario_files.h"

#include "flight/flight.h"
#include "files/session_gif.h"
#include "flight/flight_file.h"
#include "host/picture_scale.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"

namespace {

constexpr size_t WHY_CAPACITY = EXPECT_REPORT_CAPACITY;

// The animation of a run that touches no file.
class unwritten_gif final : public lcd_recording {
public:
    bool finish(std::string&) override { return true; }
};

}  // namespace

std::string scenario_files::resolved(const char* path) const
{
    std::string room(2 * SCENARIO_PATH_MAX + 2, '\0');
    return std::string(reference_path(folder_.c_str(), path, room.data(), room.size()));
}

bool scenario_files::write_png(const char* path, const uint8_t* frame, int scale, std::string& why)
{
    if (!touch_)
        return true;
    char text[WHY_CAPACITY];
    if (write_png_of(frame, path, scale, text, sizeof text))
        return true;
    why = text;
    return false;
}

bool scenario_files::write_dump(const char* path, const uint8_t*, std::string& why)
{
    if (!touch_)
        return true;
    char text[WHY_CAPACITY];
    if (write_lcd_dump(path, text, sizeof text))
        return true;
    why = text;
    return false;
}

scenario_lender::picture_check scenario_files::check_png(const char* path, const uint8_t* frame, std::string& text)
{
    if (!touch_)
        return picture_check::equal;
    const std::string name = resolved(path);
    char report[WHY_CAPACITY];
    if (update_) {
        picture_comparison same;
        const bool readable = compare_with_png(frame, name.c_str(), same, report, sizeof report);
        if (readable && same.differing == 0)
            return picture_check::equal;
        if (!write_png_of(frame, name.c_str(), readable ? same.scale : PNG_SCALE_MIN, report, sizeof report)) {
            text = std::string("cannot write \"") + quoted_path(path).text + "\": " + report;
            return picture_check::unusable;
        }
        text = name;
        return picture_check::updated;
    }
    const int result = check_lcd_against_png(frame, name.c_str(), report, sizeof report);
    if (result < 0) {
        text = std::string("reference \"") + quoted_path(path).text + "\": " + report;
        return picture_check::unusable;
    }
    if (result == 1)
        return picture_check::equal;
    text = report;
    return picture_check::differs;
}

std::unique_ptr<lcd_recording> scenario_files::record_gif(instrument_session& session, const char* path, int scale,
                                                          std::string& why)
{
    if (!touch_)
        return std::make_unique<unwritten_gif>();
    auto gif = std::make_unique<session_gif>(session, path, scale);
    if (gif->is_open())
        return gif;
    why = gif->why();
    return nullptr;
}

std::unique_ptr<flight> scenario_files::read_flight(const char* path, std::string& error, std::string& warning)
{
    if (!touch_) {
        error = "this run reads no files";
        return nullptr;
    }
    auto recorded = std::make_unique<flight>();
    if (!read_flight_file(resolved(path).c_str(), *recorded, error, warning))
        return nullptr;
    return recorded;
}
