// The replay's output: serial lines and their escaping, the LCD drawn as
// text, the PNG and the dump of the LCD buffer.
#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "gfx/lcd.h"
#include "host/palette.h"
#include "host/pass.h"
#include "scenario/escape.h"
#include "scenario/lcd_art.h"
#include "scenario/lcd_text.h"
#include "test_replay_support.h"

namespace {

struct escape_case { std::string in; const char* out; };

const escape_case escape_cases[] = {
    {"", ""}, {"ALT 01234", "ALT 01234"}, {" ~", " ~"}, {"a\\b", "a\\x5Cb"}, {"\r", "\\x0D"}, {"\n\t", "\\x0A\\x09"},
    {std::string("\x1F\x20\x7E\x7F", 4), "\\x1F ~\\x7F"}, {"\x80\xFF", "\\x80\\xFF"},
    {"\x02" "a=01234\x03", "\\x02a=01234\\x03"}, {std::string("a\0b", 3), "a\\x00b"},
    {"\xAB\xCD\xEF", "\\xAB\\xCD\\xEF"},
};

// Two upper-case hex digits.
std::string hex_byte(unsigned b)
{
    char hex[3];
    snprintf(hex, sizeof hex, "%02X", b & 0xFF);
    return hex;
}

class Escape : public testing::TestWithParam<escape_case> {};

TEST_P(Escape, WritesUpperCaseHex)
{
    const escape_case& c = GetParam();
    char out[escaped_capacity(16)];
    size_t n = escape_bytes(c.in.data(), c.in.size(), out, sizeof out);
    EXPECT_STREQ(out, c.out);
    EXPECT_EQ(n, strlen(c.out));
}

INSTANTIATE_TEST_SUITE_P(Replay, Escape, testing::ValuesIn(escape_cases));

TEST(ReplayEscape, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; b++) {
        char in = char(b), out[8];
        escape_bytes(&in, 1, out, sizeof out);
        const bool plain = b >= 0x20 && b <= 0x7E && b != '\\' && b != '#';
        EXPECT_EQ(std::string(out), plain ? std::string(1, in) : "\\x" + hex_byte(b)) << b;
    }
}

TEST(ReplayEscape, TruncatesAtAWholeEscape)
{
    char out[7];
    EXPECT_EQ(escape_bytes("ab\rcd", 5, out, sizeof out), 2u + 4u);
    EXPECT_STREQ(out, "ab\\x0D");
    char small[5];
    EXPECT_EQ(escape_bytes("a\r", 2, small, sizeof small), 1u);
    EXPECT_STREQ(small, "a");
}

// The terminal colours of the screens' colours: the cube's corners for
// white, red, green and yellow; the grey ramp's 8 + 10 i nearest the
// caption grey 0x70 (112: 108, i = 10) and icon grey 0x55 (85: 88, i = 8).
TEST(ReplayLcdArt, ColoursAndCharacters)
{
    struct colour_case { uint8_t index; int terminal; char plain; } cases[] = {
        {0, 16, ' '}, {15, 231, '#'}, {9, 196, '='}, {10, 46, '*'}, {11, 226, '%'}, {229, 242, '+'}, {7, 240, 'o'},
    };
    for (const colour_case& c : cases) {
        EXPECT_EQ(terminal_colour(c.index), c.terminal) << int(c.index);
        EXPECT_EQ(lcd_art_character(c.index), c.plain) << int(c.index);
    }
}

TEST(ReplayLcdArt, TwoRowsACellInColourOrPlain)
{
    std::vector<uint8_t> frame(LCD_WIDTH * LCD_HEIGHT, 0);
    const auto at = [&](int x, int y) -> uint8_t& { return frame[size_t(y) * LCD_WIDTH + x]; };
    at(0, 0) = 15, at(0, 1) = 9;  // white over red, then black
    const std::string half = "\xE2\x96\x80";
    std::string black;
    for (int x = 1; x < LCD_WIDTH; x++)
        black += half;
    EXPECT_EQ(lcd_art_line(frame.data(), 0, lcd_art_style::colour),
              "\x1B[38;5;231;48;5;196m" + half + "\x1B[38;5;16;48;5;16m" + black + "\x1B[0m");
    // Plain: the cell of two colours shows the rarer round it. A white dot
    // on black is '#'; a black dot in a yellow box is ' ' in the '%'.
    at(0, 1) = 0, at(7, 3) = 15;
    for (int y = 4; y < 8; y++)
        for (int x = 0; x < 10; x++)
            at(x, y) = 11;
    at(4, 4) = 0;
    EXPECT_EQ(lcd_art_line(frame.data(), 0, lcd_art_style::plain), "#" + std::string(LCD_WIDTH - 1, ' '));
    EXPECT_EQ(lcd_art_line(frame.data(), 1, lcd_art_style::plain), "       #" + std::string(LCD_WIDTH - 8, ' '));
    EXPECT_EQ(lcd_art_line(frame.data(), 2, lcd_art_style::plain), "%%%% %%%%%" + std::string(LCD_WIDTH - 10, ' '));
    EXPECT_EQ(lcd_art_line(frame.data(), LCD_HEIGHT / 2 - 1, lcd_art_style::plain), std::string(LCD_WIDTH, ' '));
}

// print lcd is in colour only on a terminal, and not where NO_COLOR is set
// to anything (an empty NO_COLOR is unset).
TEST(ReplayLcdArt, ColourOnlyOnATerminalWithoutNoColor)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    const char* given = getenv("NO_COLOR");
    const std::string kept = given != nullptr ? given : "";
    const struct {
        const char* no_color;  // nullptr: unset
        int fd;
        lcd_art_style style;
    } rows[] = {
        {nullptr, terminal, lcd_art_style::colour}, {"", terminal, lcd_art_style::colour},
        {"1", terminal, lcd_art_style::plain},      {nullptr, pipe_ends[1], lcd_art_style::plain},
        {"", pipe_ends[1], lcd_art_style::plain},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.no_color == nullptr ? "unset" : r.no_color);
        if (r.no_color == nullptr)
            unsetenv("NO_COLOR");
        else
            setenv("NO_COLOR", r.no_color, 1);
        EXPECT_EQ(lcd_art_style_for(r.fd), r.style) << (r.fd == terminal ? "terminal" : "pipe");
    }
    if (given != nullptr)
        setenv("NO_COLOR", kept.c_str(), 1);
    else
        unsetenv("NO_COLOR");
    for (int fd : {master, terminal, pipe_ends[0], pipe_ends[1]})
        close(fd);
}

// print text's line, pasted back after "expect text", holds.
TEST(ReplayText, APrintedLinePastesBackAsAnExpectation)
{
    struct quote_case { const char* text; const char* quoted; } quotes[] = {
        {"ALT SETUP", "\"ALT SETUP\""}, {"", "\"\""}, {"\"Q\" #1\\", "\"\\x22Q\\x22 \\x231\\x5C\""},
        {"21\xB0" "C", "\"21\\xB0C\""},
    };
    for (const quote_case& q : quotes)
        EXPECT_EQ(quoted_text(q.text), q.quoted);
    const replay_result menu = run_script("on\nwait 2\nkey push\npass 2\nprint text\n");
    ASSERT_EQ(menu.status, REPLAY_OK) << menu.err;
    std::string script = "on\nwait 2\nkey push\npass 2\n";
    for (size_t start = 0, end; (end = menu.out.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = menu.out.substr(start, end - start);
        script += "expect text " + line.substr(0, line.find(" size ")) + "\n";
    }
    const replay_result pasted = run_script(script);
    EXPECT_EQ(pasted.status, REPLAY_OK) << pasted.err;
    EXPECT_TRUE(pasted.out.ends_with("6 passed, 0 failed\n")) << pasted.out;
}

TEST(ReplaySerial, OneLinePerPassEscaped)
{
    replay_result r = passes_with_serial(0, 1234, "pass 3");
    std::string line = "serial \\x23AL +01234T+25DB\\x0D\n";  // the encoder's worked sentence
    EXPECT_EQ(r.status, REPLAY_OK);
    EXPECT_EQ(r.out, line + line + line);
}

TEST(ReplaySerial, ControlBytesOfTheSentenceEscaped)
{
    replay_result r = passes_with_serial(5, 456, "pass");
    EXPECT_EQ(r.out, "serial \\x02a=00456\\x03\n");
}

TEST(ReplaySerial, InterleavedWithPrintInOrder)
{
    replay_result r = passes_with_serial(3, 0, "print tick_counter\nwait 1\nprint serial_line\npass");
    EXPECT_EQ(r.out, "tick_counter=0\nserial ALT 00000\\x0D\nserial_line=ALT 00000\\x0D\nserial ALT 00000\\x0D\n");
}

TEST(ReplaySerial, NothingWhileSerialIsOff)
{
    replay_result r = run_script("on\nwait 30\npass 30");
    EXPECT_EQ(r.status, REPLAY_OK);
    EXPECT_EQ(r.out, "");
}

TEST(ReplaySerial, NothingWithoutPasses)
{
    replay_result r = passes_with_serial(0, 0, "tick 30\nprint serial_out");
    EXPECT_EQ(r.out, "serial_out=1\n");
}

// A scratch directory for the files a test writes.
class ReplayFiles : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("ktr7-replay-test-" + std::to_string(getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    // A pattern that tells every pixel and many palette entries apart.
    static void fill_pattern()
    {
        for (unsigned y = 0; y < LCD_HEIGHT; y++)
            for (unsigned x = 0; x < LCD_WIDTH; x++)
                lcd_buffer[y * LCD_WIDTH + x] = uint8_t(x * 7 + y * 13);
    }

    std::filesystem::path dir_;
};

struct png_contents {
    bool ok = false;
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    std::vector<png_color> palette;
    std::vector<uint8_t> pixels;
};

png_contents read_png(const std::string& path)
{
    png_contents result;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return result;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        result.ok = false;
        return result;
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    result.width = png_get_image_width(png, info);
    result.height = png_get_image_height(png, info);
    result.bit_depth = png_get_bit_depth(png, info);
    result.colour_type = png_get_color_type(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) & PNG_INFO_PLTE)
        result.palette.assign(palette, palette + entries);
    png_bytepp rows = png_get_rows(png, info);
    size_t row_bytes = png_get_rowbytes(png, info);
    for (png_uint_32 y = 0; y < result.height; y++)
        result.pixels.insert(result.pixels.end(), rows[y], rows[y] + row_bytes);
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(file);
    result.ok = true;
    return result;
}

TEST_F(ReplayFiles, PngHoldsTheBufferAndThePalette)
{
    replay_reset();
    fill_pattern();
    replay_result r = run_script("png " + path("lcd.png"), false);
    ASSERT_EQ(r.status, REPLAY_OK) << r.err;
    EXPECT_EQ(r.out, "");
    png_contents png = read_png(path("lcd.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, LCD_WIDTH);
    EXPECT_EQ(png.height, LCD_HEIGHT);
    EXPECT_EQ(png.bit_depth, 8);
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_PALETTE);
    ASSERT_EQ(png.palette.size(), 256u);
    for (int i = 0; i < 256; i++) {
        uint32_t rgb = uint32_t(png.palette[i].red) << 16 | uint32_t(png.palette[i].green) << 8 | png.palette[i].blue;
        EXPECT_EQ(rgb, lcd_palette[i]) << "entry " << i;
    }
    ASSERT_EQ(png.pixels.size(), sizeof lcd_buffer);
    EXPECT_EQ(0, memcmp(png.pixels.data(), lcd_buffer, sizeof lcd_buffer));
}

TEST_F(ReplayFiles, PngScaleRepeatsEachPixel)
{
    replay_reset();
    fill_pattern();
    const struct { unsigned scale, width, height; } sizes[] = {{2, 320, 256}, {3, 480, 384}, {8, 1280, 1024}};
    for (const auto& [scale, width, height] : sizes) {
        std::string file = path(("lcd" + std::to_string(scale) + ".png").c_str());
        ASSERT_EQ(run_script("png " + file + " " + std::to_string(scale), false).status, REPLAY_OK);
        png_contents png = read_png(file);
        ASSERT_TRUE(png.ok);
        ASSERT_EQ(png.width, width);
        ASSERT_EQ(png.height, height);
        ASSERT_EQ(png.pixels.size(), size_t(png.width) * png.height);
        size_t wrong = 0;
        for (png_uint_32 y = 0; y < png.height; y++)
            for (png_uint_32 x = 0; x < png.width; x++)
                wrong += png.pixels[y * png.width + x] != lcd_buffer[(y / scale) * LCD_WIDTH + x / scale];
        EXPECT_EQ(wrong, 0u) << "scale " << scale;
    }
}

TEST_F(ReplayFiles, PngOfARealScreen)
{
    // Whatever the main display draws after a pass is what the PNG shows.
    ASSERT_EQ(run_script("on\naltitude 1200\nasi 1500\nwait 12\npng " + path("main.png")).status, REPLAY_OK);
    png_contents png = read_png(path("main.png"));
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.pixels.size(), sizeof lcd_buffer);
    EXPECT_EQ(0, memcmp(png.pixels.data(), lcd_buffer, sizeof lcd_buffer));
}

TEST_F(ReplayFiles, DumpIsTheBufferRowMajor)
{
    replay_reset();
    fill_pattern();
    ASSERT_EQ(run_script("dump " + path("lcd.bin"), false).status, REPLAY_OK);
    EXPECT_EQ(std::filesystem::file_size(path("lcd.bin")), 20480u);
    std::vector<uint8_t> bytes(20480);
    FILE* file = fopen(path("lcd.bin").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fread(bytes.data(), 1, bytes.size() + 1, file), 20480u);
    fclose(file);
    for (unsigned y : {0u, 1u, 64u, 127u})
        for (unsigned x : {0u, 1u, 80u, 159u})
            EXPECT_EQ(bytes[y * 160 + x], uint8_t(x * 7 + y * 13)) << x << "," << y;
    EXPECT_EQ(0, memcmp(bytes.data(), lcd_buffer, bytes.size()));
}

TEST_F(ReplayFiles, DumpOverwritesAnOlderFile)
{
    FILE* file = fopen(path("old.bin").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> junk(30000, 0xAA);
    fwrite(junk.data(), 1, junk.size(), file);
    fclose(file);
    ASSERT_EQ(run_script("dump " + path("old.bin")).status, REPLAY_OK);
    EXPECT_EQ(std::filesystem::file_size(path("old.bin")), 20480u);
}

TEST_F(ReplayFiles, AnUnopenableFileIsReported)
{
    // A directory in place of the file.
    std::filesystem::create_directories(path("taken"));
    replay_result r = run_script("png " + path("taken") + "\ndump " + path("taken"));
    EXPECT_EQ(r.status, REPLAY_FAILED);
    EXPECT_EQ(r.err, "ktr7-replay: line 1: png: cannot write \"" + path("taken") + "\": Is a directory\n");
    EXPECT_TRUE(std::filesystem::is_directory(path("taken")));
}

// A file size limit makes the writes fail part-way, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit saved_;
    void (*old_handler_)(int);
};

TEST_F(ReplayFiles, AFailedWriteIsReportedAndRemoved)
{
    replay_reset();
    // Noise does not compress: the PNG is well over the limit.
    uint32_t seed = 12345;
    for (uint8_t& pixel : lcd_buffer) {
        seed = seed * 1103515245u + 12345u;
        pixel = uint8_t(seed >> 16);
    }
    replay_result png, dump;
    {
        FileSizeLimit limit(4096);
        png = run_script("png " + path("big.png") + " 4", false);
        dump = run_script("dump " + path("big.bin"), false);
    }
    EXPECT_EQ(png.status, REPLAY_FAILED);
    EXPECT_EQ(png.err, "ktr7-replay: line 1: png: cannot write \"" + path("big.png") + "\": File too large\n");
    EXPECT_FALSE(std::filesystem::exists(path("big.png")));
    EXPECT_EQ(dump.status, REPLAY_FAILED);
    EXPECT_EQ(dump.err, "ktr7-replay: line 1: dump: cannot write \"" + path("big.bin") + "\": File too large\n");
    EXPECT_FALSE(std::filesystem::exists(path("big.bin")));
}

}  // namespace
