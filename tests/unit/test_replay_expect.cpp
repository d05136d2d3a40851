// Expectations: how a line is read, when it holds, and what the replay tool
// says and returns for passed, failed and unusable expectations.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/state.h"
#include "gfx/lcd.h"
#include "host/palette.h"
#include "picture/lcd_png.h"
#include "picture/lcd_gif.h"
#include "picture/lcd_png_compare.h"
#include "scenario/scenario_parse.h"
#include "test_replay_support.h"

namespace {

struct parse_case {
    const char* line;
    scenario_op op;
    long long number;
    long long high;
    const char* text;   // the value, sentence or file kept for later
    const char* error;  // nullptr when the line is good
};

const parse_case PARSE_CASES[] = {
    {"expect airspeed 144", scenario_op::expect_value, 0, 0, "144", nullptr},
    {"expect airspeed 100..200", scenario_op::expect_range, 100, 200, "100..200", nullptr},
    {"expect vertical_speed -800..+800", scenario_op::expect_range, -800, 800, "-800..+800", nullptr},
    {"expect current_screen screen_main  # comment", scenario_op::expect_value, 0, 0, "screen_main", nullptr},
    {"expect serial ALT 03250\\x0D", scenario_op::expect_serial, 0, 0, "ALT 03250\\x0D", nullptr},
    {"expect serial \\x23AL +00000T+25D1\\x0D", scenario_op::expect_serial, 0, 0, "\\x23AL +00000T+25D1\\x0D",
     nullptr},
    {"expect png pictures/menu.png", scenario_op::expect_png, 0, 0, "pictures/menu.png", nullptr},
    {"expect lamp red", scenario_op::expect_value, 0, 0, "red", nullptr},
    {"expect airspeed 200..100", scenario_op::none, 0, 0, "",
     "expect airspeed: range 200..100 has its minimum above its maximum"},
    {"expect serial_line 1..2", scenario_op::none, 0, 0, "", "expect serial_line: a range needs an integer field"},
    {"expect current_screen 1..2", scenario_op::none, 0, 0, "", "expect current_screen: a range needs an integer field"},
    {"expect warp_factor 9", scenario_op::none, 0, 0, "", "expect: unknown name \"warp_factor\""},
    {"expect airspeed", scenario_op::none, 0, 0, "", "expect airspeed: missing value"},
    {"expect", scenario_op::none, 0, 0, "", "expect: missing name (a field, serial, text or png)"},
    {"expect png", scenario_op::none, 0, 0, "", "expect png: missing file name"},
    {"expect png a.png b.png", scenario_op::none, 0, 0, "", "expect png: extra argument \"b.png\""},
    // A text quoted or bare, anywhere or at a start; inside quotes "at"
    // belongs to the text, and a bare text keeps a leading "at".
    {"expect text \"ALT SETUP\"", scenario_op::expect_text, TEXT_ANYWHERE, TEXT_ANYWHERE, "ALT SETUP", nullptr},
    {"expect text ALT SETUP  # selected", scenario_op::expect_text, TEXT_ANYWHERE, TEXT_ANYWHERE, "ALT SETUP",
     nullptr},
    {"expect text \"ALT SETUP\" at 88 50", scenario_op::expect_text, 88, 50, "ALT SETUP", nullptr},
    {"expect text ALT SETUP at 88 50", scenario_op::expect_text, 88, 50, "ALT SETUP", nullptr},
    {"expect text \"EXIT at 1 2\"", scenario_op::expect_text, TEXT_ANYWHERE, TEXT_ANYWHERE, "EXIT at 1 2", nullptr},
    {"expect text at 1 2", scenario_op::expect_text, TEXT_ANYWHERE, TEXT_ANYWHERE, "at 1 2", nullptr},
    {"expect text \"  Vne SPEED: \"", scenario_op::expect_text, TEXT_ANYWHERE, TEXT_ANYWHERE, "  Vne SPEED: ",
     nullptr},
    {"expect text \"\\x22A\\x22 \\x23\" at 0 0", scenario_op::expect_text, 0, 0, "\\x22A\\x22 \\x23", nullptr},
    {"expect text \"A\" at 65535 65535", scenario_op::expect_text, 65535, 65535, "A", nullptr},
    {"expect text \"A\" at +7 0", scenario_op::expect_text, 7, 0, "A", nullptr},
    {"print text", scenario_op::print_text, 0, 0, "", nullptr},
    {"print lcd  # the screen", scenario_op::print_lcd, 0, 0, "", nullptr},
    {"gif run.gif", scenario_op::gif, 1, 0, "run.gif", nullptr},
    {"gif run.gif 8", scenario_op::gif, 8, 0, "run.gif", nullptr},
    {"gif end", scenario_op::gif_end, 0, 0, "", nullptr},
    {"gif end.gif", scenario_op::gif, 1, 0, "end.gif", nullptr},
    {"wait 5", scenario_op::wait, 5, 0, "", nullptr},
    {"tick", scenario_op::tick, 1, 0, "", nullptr},
    {"png out.png 8", scenario_op::png, 8, 0, "out.png", nullptr},
    {"png out.png 1", scenario_op::png, 1, 0, "out.png", nullptr},
    {"png out.png 9", scenario_op::none, 0, 0, "", "png: scale 9 outside 1..8"},
    // Both ends of every range the language accepts (one step outside each
    // is refused in the bad-line table).
    {"expect airspeed 144..144", scenario_op::expect_range, 144, 144, "144..144", nullptr},
    {"altitude 0", scenario_op::input, 0, 0, "", nullptr},
    {"altitude 65535", scenario_op::input, 65535, 0, "", nullptr},
    {"vsi -6000", scenario_op::input, -6000, 0, "", nullptr},
    {"vsi 6000", scenario_op::input, 6000, 0, "", nullptr},
    {"asi 0", scenario_op::input, 0, 0, "", nullptr},
    {"asi 4096", scenario_op::input, 4096, 0, "", nullptr},
    {"tick 0", scenario_op::tick, 0, 0, "", nullptr},
    {"wait 1000000000", scenario_op::wait, 1000000000, 0, "", nullptr},
};

TEST(ScenarioParse, LinesAndTheirErrors)
{
    for (const parse_case& c : PARSE_CASES) {
        SCOPED_TRACE(c.line);
        scenario_command command;
        scenario_failure failure{};
        const bool ok = parse_scenario_line(c.line, command, failure);
        if (c.error != nullptr) {
            EXPECT_FALSE(ok);
            EXPECT_STREQ(failure.text, c.error);
            continue;
        }
        ASSERT_TRUE(ok) << failure.text;
        EXPECT_EQ(command.op, c.op);
        EXPECT_EQ(std::string(command.text), c.text);
        if (c.op == scenario_op::expect_range || c.op == scenario_op::wait || c.op == scenario_op::tick ||
            c.op == scenario_op::png || c.op == scenario_op::input || c.op == scenario_op::expect_text ||
            c.op == scenario_op::gif) {
            EXPECT_EQ(command.number, c.number);
            EXPECT_EQ(command.high, c.high);
        }
    }
}

struct run_case {
    const char* name;
    const char* script;
    int status;
    const char* out_tail;  // how standard output ends
    const char* err;       // standard error, exactly
};

// The altitude slider at 3250 ft, factory QNH, serial output on (format 0):
// the sentence carries the pressure altitude.
const run_case RUN_CASES[] = {
    {"all hold", "on\nasi 1000\nwait 20\nexpect airspeed 144\nexpect airspeed 140..150\nexpect lamp maroon\n",
     REPLAY_OK, "3 passed, 0 failed\n", ""},
    {"a failure goes on to the end",
     "on\nasi 1000\nwait 20\nexpect airspeed 145\nexpect airspeed 0..143\nexpect current_screen screen_main\n",
     REPLAY_EXPECTATION_FAILED, "1 passed, 2 failed\n",
     "ktr7-replay: line 4: expected airspeed=145, got 144\n"
     "ktr7-replay: line 5: expected airspeed=0..143, got 144\n"},
    {"a range holds at both its ends and nowhere outside",
     "on\nasi 1000\nwait 20\nexpect airspeed 144..144\nexpect airspeed 143..144\nexpect airspeed 144..145\n"
     "expect airspeed 145..146\nexpect airspeed 142..143\n",
     REPLAY_EXPECTATION_FAILED, "3 passed, 2 failed\n",
     "ktr7-replay: line 7: expected airspeed=145..146, got 144\n"
     "ktr7-replay: line 8: expected airspeed=142..143, got 144\n"},
    {"no sentence since on", "on\nwait 2\nexpect serial ALT 00000\\x0D\n", REPLAY_EXPECTATION_FAILED,
     "0 passed, 1 failed\n",
     "ktr7-replay: line 3: expected serial=ALT 00000\\x0D, got none (no sentence sent since on)\n"},
    {"the push key opens the main menu",
     "on\naltitude 3250\nwait 2\nkey push\npass 2\nexpect current_screen screen_main_menu\n", REPLAY_OK,
     "1 passed, 0 failed\n", ""},
    {"bad input stops the run", "on\nexpect airspeed 0\nexpect airspeed 9..1\nexpect airspeed 0\n", REPLAY_FAILED,
     "", "ktr7-replay: line 3: expect airspeed: range 9..1 has its minimum above its maximum\n"},
    {"no expectations, no tally", "on\nwait 1\n", REPLAY_OK, "", ""},
    // The main menu draws "MAIN MENU" in its title, and the selected entry's
    // caption as "ALT" at 88 50 over "SETUP" at 73 68.
    {"a text is a string or a run of strings, blanks aside",
     "on\nwait 2\nkey push\npass 2\nexpect text \"MAIN MENU\"\nexpect text ALT SETUP\n"
     "expect text \"ALT SETUP\" at 88 50\nexpect text \"  EXIT \" at 9 112\nexpect text MAIN MENU ALT\n",
     REPLAY_OK, "5 passed, 0 failed\n", ""},
    {"a text drawn elsewhere, or in part",
     "on\nwait 2\nkey push\npass 2\nexpect text ALT SETUP at 88 51\nexpect text \"ALT SETUP\" at 73 68\n"
     "expect text LT SETUP\nexpect text MENU\n",
     REPLAY_EXPECTATION_FAILED, "0 passed, 4 failed\n",
     "ktr7-replay: line 5: expected text \"ALT SETUP\" at 88 51, drawn at 88 50\n"
     "ktr7-replay: line 6: expected text \"ALT SETUP\" at 73 68, drawn at 88 50\n"
     "ktr7-replay: line 7: expected text \"LT SETUP\", not on the LCD, which shows \"K\", \"ova\", "
     "\"MAIN MENU\", \"ALT\", \"SETUP\", \"EXIT\"\n"
     "ktr7-replay: line 8: expected text \"MENU\", not on the LCD, which shows \"K\", \"ova\", "
     "\"MAIN MENU\", \"ALT\", \"SETUP\", \"EXIT\"\n"},
    {"the main display's strings, and none before a pass",
     "expect text \"1013\"\non\nwait 2\nexpect text \"1013\" at 50 110\nexpect text \"1014\"\n",
     REPLAY_EXPECTATION_FAILED, "1 passed, 2 failed\n",
     "ktr7-replay: line 1: expected text \"1013\", not on the LCD, which shows no text\n"
     "ktr7-replay: line 5: expected text \"1014\", not on the LCD, which shows \"+1\", \"+0\", \"fpm\", "
     "\"0\", \"mph\", \"0\", \"ft\", \"1013\", \"mB\", \"-1\"\n"},
};

TEST(ReplayExpect, StatusesAndReports)
{
    for (const run_case& c : RUN_CASES) {
        SCOPED_TRACE(c.name);
        const replay_result r = run_script(c.script);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.out.ends_with(c.out_tail)) << r.out;
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(ReplayExpect, TheLatestSentenceAsTheSerialLinesPrintIt)
{
    // Serial output on, as ALTITUDE SETUP would set it: 3250 ft at the
    // factory QNH goes out as its pressure altitude, 3250.
    run_script("on\naltitude 3250");
    st.serial_out = 1;
    struct sentence_case {
        uint8_t protocol;
        const char* expect;  // what follows "expect serial "
        bool holds;
    } cases[] = {
        {2, "ALT 03250\\x0D", true},
        {2, "ALT 03250", false},                       // the carriage return belongs to it
        {0, "\\x23AL +03250T+25D0\\x0D", false},  // a wrong checksum
        {5, "\\x02a=03250\\x03", true},              // control bytes escaped
    };
    for (const sentence_case& c : cases) {
        SCOPED_TRACE(c.expect);
        st.serial_protocol = c.protocol;
        const replay_result r = run_script(std::string("pass\nexpect serial ") + c.expect + "\n", false);
        EXPECT_EQ(r.status, c.holds ? REPLAY_OK : REPLAY_EXPECTATION_FAILED) << r.err;
    }
    // What the tool prints pastes back as an expectation: the serial line
    // and the printed field, '#' and carriage return included.
    st.serial_protocol = 0;
    const replay_result sent = run_script("pass\nprint serial_line\n", false);
    const std::string serial = sent.out.substr(0, sent.out.find('\n'));
    const std::string printed = sent.out.substr(sent.out.find("serial_line=") + 12);
    ASSERT_EQ(serial.rfind("serial \\x23AL", 0), 0u) << serial;
    const replay_result pasted = run_script("pass\nexpect " + serial + "\nexpect serial_line " + printed, false);
    EXPECT_EQ(pasted.status, REPLAY_OK) << pasted.err;
}

class ReplayPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("ktr7_expect_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string at(const char* name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(ReplayPicture, AMismatchWritesTheActualAndTheDiffBesideTheReference)
{
    const std::string ref = at("main.png");
    ASSERT_EQ(run_script("on\nasi 1000\nwait 20\npng " + ref + " 2\n").status, REPLAY_OK);
    // The same picture holds; the menu over it does not.
    const replay_result same = run_script("on\nasi 1000\nwait 20\nexpect png " + ref + "\n");
    EXPECT_EQ(same.status, REPLAY_OK) << same.err;
    const replay_result menu = run_script("on\nasi 1000\nwait 20\nkey push\npass 2\nexpect png " + ref + "\n");
    EXPECT_EQ(menu.status, REPLAY_EXPECTATION_FAILED);
    EXPECT_NE(menu.err.find("pixels differ, first at "), std::string::npos) << menu.err;
    EXPECT_NE(menu.err.find(" expected "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(at("main.actual.png")));
    EXPECT_TRUE(std::filesystem::exists(at("main.diff.png")));
    // The actual picture is the menu at the reference's scale: it holds.
    const replay_result actual =
        run_script("on\nasi 1000\nwait 20\nkey push\npass 2\nexpect png " + at("main.actual.png") + "\n");
    EXPECT_EQ(actual.status, REPLAY_OK) << actual.err;
}

TEST_F(ReplayPicture, UnusableReferencesAreBadInput)
{
    std::ofstream(at("text.png")) << "not a picture";
    ASSERT_EQ(run_script("on\npng " + at("small.png") + " 1\n").status, REPLAY_OK);
    struct bad_case {
        std::string path;
        const char* says;
    } cases[] = {{at("missing.png"), "No such file or directory"},
                 {at("text.png"), "not a PNG picture"},
                 {at("."), "unreadable"}};
    for (const bad_case& c : cases) {
        const replay_result r = run_script("on\nwait 1\nexpect png " + c.path + "\nwait 1\n");
        EXPECT_EQ(r.status, REPLAY_FAILED) << c.path;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.rfind("ktr7-replay: line 3: expect png: reference ", 0), 0u) << r.err;
    }
}

TEST_F(ReplayPicture, UpdateRewritesADifferingReferenceAtItsScale)
{
    const std::string ref = at("update.png");
    const std::string missing = at("new.png");
    ASSERT_EQ(run_script("on\nasi 1000\nwait 20\npng " + ref + " 2\n").status, REPLAY_OK);
    const std::string menu = "on\nasi 1000\nwait 20\nkey push\npass 2\nexpect png " + ref + "\nexpect png " + missing;
    replay_set_limits({true, SCENARIO_COUNT_MAX, true});
    const replay_result updated = run_script(menu + "\n");
    replay_set_limits(REPLAY_DEFAULT_LIMITS);
    EXPECT_EQ(updated.status, REPLAY_OK) << updated.err;
    EXPECT_NE(updated.out.find("updated " + ref + "\n"), std::string::npos) << updated.out;
    EXPECT_NE(updated.out.find("updated " + missing + "\n"), std::string::npos) << updated.out;
    // The next plain run holds, and each reference kept its own scale.
    const replay_result plain = run_script(menu + "\n");
    EXPECT_EQ(plain.status, REPLAY_OK) << plain.err;
    char why[256];
    picture_comparison twice, once;
    ASSERT_TRUE(compare_with_png(lcd_buffer, ref.c_str(), twice, why, sizeof why)) << why;
    ASSERT_TRUE(compare_with_png(lcd_buffer, missing.c_str(), once, why, sizeof why)) << why;
    EXPECT_EQ(twice.scale, 2);
    EXPECT_EQ(once.scale, PNG_SCALE_MIN);
}

TEST_F(ReplayPicture, OnePixelDifferingAtEachCornerIsSeen)
{
    run_script("on\nasi 1000\nwait 20\n");
    struct corner {
        int x, y;
    } corners[] = {{0, 0}, {LCD_WIDTH - 1, 0}, {0, LCD_HEIGHT - 1}, {LCD_WIDTH - 1, LCD_HEIGHT - 1}};
    for (int scale : {1, 3}) {
        for (const corner& c : corners) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " at " << c.x << "," << c.y);
            uint8_t changed[LCD_HEIGHT][LCD_WIDTH];
            memcpy(changed, lcd_buffer, sizeof changed);
            changed[c.y][c.x] = uint8_t(changed[c.y][c.x] == 9 ? 15 : 9);
            const std::string ref = at("corner.png");
            char why[256];
            ASSERT_TRUE(write_png_of(&changed[0][0], ref.c_str(), scale, why, sizeof why)) << why;
            picture_comparison result;
            ASSERT_TRUE(compare_with_png(lcd_buffer, ref.c_str(), result, why, sizeof why)) << why;
            EXPECT_EQ(result.differing, 1);
            EXPECT_EQ(result.first_x, c.x);
            EXPECT_EQ(result.first_y, c.y);
            EXPECT_EQ(result.got, lcd_buffer[c.y * LCD_WIDTH + c.x]);
        }
    }
}

// An LCD animation as a viewer shows it, decoded with giflib on its own:
// each frame the picture after drawing it over the one before, read back
// one LCD pixel per square of scale x scale, and its delay in hundredths.
struct gif_frame {
    std::vector<uint8_t> lcd;
    int delay;
    bool operator==(const gif_frame&) const = default;
};

std::vector<gif_frame> gif_frames(const std::string& path, int& scale)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr) << path << ": " << GifErrorString(error);
    if (gif == nullptr)
        return {};
    std::vector<gif_frame> frames;
    [&] {
        ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
        scale = gif->SWidth / LCD_WIDTH;
        ASSERT_EQ(gif->SWidth, LCD_WIDTH * scale);
        ASSERT_EQ(gif->SHeight, LCD_HEIGHT * scale);
        // The LCD's palette is the colour table.
        ASSERT_NE(gif->SColorMap, nullptr);
        ASSERT_EQ(gif->SColorMap->ColorCount, 256);
        for (int i = 0; i < 256; i++) {
            const GifColorType c = gif->SColorMap->Colors[i];
            ASSERT_EQ(uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue, lcd_palette[i] & 0xFFFFFF) << i;
        }
        std::vector<uint8_t> canvas(size_t(gif->SWidth) * gif->SHeight, 0);
        for (int i = 0; i < gif->ImageCount; i++) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            GraphicsControlBlock control{};
            ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
            ASSERT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
            ASSERT_LE(d.Left + d.Width, gif->SWidth);
            ASSERT_LE(d.Top + d.Height, gif->SHeight);
            for (int y = 0; y < d.Height; y++)
                memcpy(&canvas[size_t(d.Top + y) * gif->SWidth + d.Left], image.RasterBits + size_t(y) * d.Width,
                       size_t(d.Width));
            gif_frame frame{std::vector<uint8_t>(size_t(LCD_WIDTH) * LCD_HEIGHT), control.DelayTime};
            for (int y = 0; y < LCD_HEIGHT; y++)
                for (int x = 0; x < LCD_WIDTH; x++) {
                    const uint8_t index = canvas[size_t(y * scale) * gif->SWidth + x * scale];
                    for (int dy = 0; dy < scale; dy++)
                        for (int dx = 0; dx < scale; dx++)
                            ASSERT_EQ(canvas[size_t(y * scale + dy) * gif->SWidth + x * scale + dx], index);
                    frame.lcd[size_t(y) * LCD_WIDTH + x] = index;
                }
            frames.push_back(std::move(frame));
        }
    }();
    DGifCloseFile(gif, nullptr);
    return frames;
}

std::string file_text(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string READY = KTR7_SOURCE_DIR "/scenarios/";

// A ready scenario's animation, frame by frame against the committed one.
TEST_F(ReplayPicture, TheSetupTourAnimationFrameByFrame)
{
    const std::string gif = at("tour.gif");
    replay_set_reference_folder(READY.c_str());
    const replay_result r = run_script("gif " + gif + "\n" + file_text(READY + "setup_tour.scn"));
    replay_set_reference_folder(nullptr);
    ASSERT_EQ(r.status, REPLAY_OK) << r.err;
    int scale = 0, golden_scale = 0;
    const std::vector<gif_frame> frames = gif_frames(gif, scale);
    const std::vector<gif_frame> golden = gif_frames(KTR7_SOURCE_DIR "/tests/scenarios/gifs/setup_tour.gif", golden_scale);
    EXPECT_EQ(scale, 1);
    EXPECT_EQ(golden_scale, 1);
    ASSERT_EQ(frames.size(), golden.size());
    for (size_t i = 0; i < frames.size(); i++) {
        EXPECT_EQ(frames[i].delay, golden[i].delay) << "frame " << i;
        EXPECT_TRUE(frames[i].lcd == golden[i].lcd) << "frame " << i;
    }
    // "wait 20" is the tour's only time: its 20 ticks. The tour ends on the
    // main display as the last of them found it, so the end adds no frame.
    int hundredths = 0;
    for (const gif_frame& f : frames)
        hundredths += f.delay;
    EXPECT_EQ(hundredths, 20 * GIF_TICK_HUNDREDTHS);
    EXPECT_TRUE(frames.back().lcd == std::vector<uint8_t>(lcd_buffer, lcd_buffer + LCD_WIDTH * LCD_HEIGHT));
}

// The demonstration flight's animation holds, in order, the pictures the
// scenario compares the LCD with where a tick finds them: after a "wait",
// and at the end. DETECT and the TIMERS page are drawn by passes that no
// tick follows before the next key, so no frame shows them, as no one
// watching the window in real time would see them either.
TEST_F(ReplayPicture, TheDemoFlightAnimationShowsItsPictures)
{
    const std::string gif = at("demo.gif");
    replay_set_reference_folder(READY.c_str());
    const replay_result r = run_script("gif " + gif + " 2\n" + file_text(READY + "demo_flight.scn"));
    replay_set_reference_folder(nullptr);
    ASSERT_EQ(r.status, REPLAY_OK) << r.err;
    int scale = 0;
    const std::vector<gif_frame> frames = gif_frames(gif, scale);
    EXPECT_EQ(scale, 2);
    size_t next = 0;
    for (const char* name : {"takeoff", "climb", "cruise", "caution", "descent", "max_values"}) {
        const std::string picture = READY + "pictures/demo_" + name + ".png";
        size_t found = next;
        for (char why[256]; found < frames.size(); found++) {
            picture_comparison same;
            ASSERT_TRUE(compare_with_png(frames[found].lcd.data(), picture.c_str(), same, why, sizeof why)) << why;
            if (same.differing == 0)
                break;
        }
        EXPECT_LT(found, frames.size()) << name << " is no frame after the one before";
        next = found < frames.size() ? found + 1 : next;
    }
    EXPECT_TRUE(frames.back().lcd == std::vector<uint8_t>(lcd_buffer, lcd_buffer + LCD_WIDTH * LCD_HEIGHT));
    // Equal frames are one: no two in a row are alike.
    for (size_t i = 1; i < frames.size(); i++)
        EXPECT_FALSE(frames[i].lcd == frames[i - 1].lcd) << "frame " << i;
}

TEST_F(ReplayPicture, OneAnimationAtATimeAndEachWritten)
{
    const std::string first = at("first.gif"), second = at("second.gif");
    const replay_result twice = run_script("on\ngif " + first + "\nwait 3\ngif " + second + "\n");
    EXPECT_EQ(twice.status, REPLAY_FAILED);
    EXPECT_EQ(twice.err, "ktr7-replay: line 4: gif: \"" + first + "\" is being recorded (end it with \"gif end\")\n");
    // The run's end wrote the first: the first tick found the LCD as program
    // start left it, black; the next two the main display of the passes.
    int scale = 0;
    const std::vector<gif_frame> three_ticks = gif_frames(first, scale);
    ASSERT_EQ(three_ticks.size(), 2u);
    EXPECT_EQ(three_ticks[0], (gif_frame{std::vector<uint8_t>(LCD_WIDTH * LCD_HEIGHT, 0), 10}));
    EXPECT_EQ(three_ticks[1].delay, 20);
    EXPECT_TRUE(three_ticks[1].lcd == std::vector<uint8_t>(lcd_buffer, lcd_buffer + LCD_WIDTH * LCD_HEIGHT));
    // "gif end" ends one, and another may follow.
    const replay_result each = run_script("on\nwait 1\ngif " + first + " 8\nwait 2\ngif end\ngif " + second +
                                          "\ngif end\n");
    EXPECT_EQ(each.status, REPLAY_OK) << each.err;
    const std::vector<gif_frame> two_ticks = gif_frames(first, scale);
    EXPECT_EQ(scale, 8);
    ASSERT_EQ(two_ticks.size(), 1u);
    EXPECT_EQ(two_ticks[0].delay, 20);
    const std::vector<gif_frame> no_tick = gif_frames(second, scale);
    ASSERT_EQ(no_tick.size(), 1u);
    EXPECT_EQ(no_tick[0].delay, GIF_TICK_HUNDREDTHS);
    EXPECT_TRUE(no_tick[0].lcd == two_ticks[0].lcd);
}

TEST(ReferencePath, RelativeFromTheScenarioFolderAbsoluteAsWritten)
{
    struct path_case {
        const char* folder;  // the scenario's folder; null or empty for standard input
        const char* path;
        const char* resolved;
    } cases[] = {
        {nullptr, "menu.png", "menu.png"},
        {"", "pictures/menu.png", "pictures/menu.png"},
        {"/srv/ktr7/scenarios", "pictures/menu.png", "/srv/ktr7/scenarios/pictures/menu.png"},
        {"scenarios", "menu.png", "scenarios/menu.png"},
        {"/", "menu.png", "/menu.png"},
        {"/srv/ktr7/scenarios", "/tmp/menu.png", "/tmp/menu.png"},
        {nullptr, "/tmp/menu.png", "/tmp/menu.png"},
    };
    for (const path_case& c : cases) {
        char out[256];
        EXPECT_STREQ(reference_path(c.folder, c.path, out, sizeof out), c.resolved) << c.path;
    }
}

}  // namespace
