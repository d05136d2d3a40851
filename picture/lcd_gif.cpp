#include "picture/lcd_gif.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "gfx/lcd.h"
#include "host/palette.h"

namespace {

constexpr int COLOUR_BITS = 8;
// The longest delay one frame can carry (16 bits of hundredths), in ticks.
constexpr long MAX_FRAME_TICKS = 0xFFFF / GIF_TICK_HUNDREDTHS;
constexpr size_t LCD_PIXELS = size_t(LCD_WIDTH) * LCD_HEIGHT;

// The application extension that makes a browser loop the animation
// forever (a loop count of 0).
constexpr char LOOP_APPLICATION[] = "NETSCAPE2.0";
constexpr uint8_t LOOP_FOREVER[] = {1, 0, 0};

struct box {
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
};

// The smallest rectangle holding every pixel where a and b differ; a single
// pixel when none does (a frame that only carries time).
box changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    box r{LCD_WIDTH, LCD_HEIGHT, -1, -1};
    for (int y = 0; y < LCD_HEIGHT; y++) {
        const uint8_t* pa = a.data() + y * LCD_WIDTH;
        const uint8_t* pb = b.data() + y * LCD_WIDTH;
        if (memcmp(pa, pb, LCD_WIDTH) == 0)
            continue;
        r.top = std::min(r.top, y);
        r.bottom = y;
        for (int x = 0; x < LCD_WIDTH; x++)
            if (pa[x] != pb[x]) {
                r.left = std::min(r.left, x);
                r.right = std::max(r.right, x);
            }
    }
    if (r.right < 0)
        return box{};
    return r;
}

}  // namespace

lcd_gif_writer::~lcd_gif_writer()
{
    if (gif_ != nullptr)
        EGifCloseFile(gif_, nullptr);
}

bool lcd_gif_writer::failed(std::string& why)
{
    why = GifErrorString(gif_->Error);
    if (why.empty())
        why = "the GIF could not be written";
    EGifCloseFile(gif_, nullptr);
    gif_ = nullptr;
    return false;
}

bool lcd_gif_writer::open(const char* path, int scale, std::string& why)
{
    // Created as the other pictures are: readable by all, as the umask allows.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = strerror(errno);
        return false;
    }
    int error = 0;
    gif_ = EGifOpenFileHandle(fd, &error);
    if (gif_ == nullptr) {
        why = GifErrorString(error);
        ::close(fd);
        return false;
    }
    scale_ = scale;
    shown_.assign(LCD_PIXELS, 0);
    pending_.clear();
    pending_ticks_ = 0;
    frames_ = 0;
    line_.resize(size_t(LCD_WIDTH) * scale);

    GifColorType colours[256];
    for (int i = 0; i < 256; i++)
        colours[i] = {GifByteType(lcd_palette[i] >> 16), GifByteType(lcd_palette[i] >> 8), GifByteType(lcd_palette[i])};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif_, true);
    const bool header = EGifPutScreenDesc(gif_, LCD_WIDTH * scale, LCD_HEIGHT * scale, COLOUR_BITS, 0, map) == GIF_OK &&
                        EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                        EGifPutExtensionBlock(gif_, int(strlen(LOOP_APPLICATION)), LOOP_APPLICATION) == GIF_OK &&
                        EGifPutExtensionBlock(gif_, int(sizeof LOOP_FOREVER), LOOP_FOREVER) == GIF_OK &&
                        EGifPutExtensionTrailer(gif_) == GIF_OK;
    GifFreeMapObject(map);
    return header || failed(why);
}

bool lcd_gif_writer::same_as_newest(const uint8_t* frame) const
{
    return !pending_.empty() && memcmp(pending_.data(), frame, LCD_PIXELS) == 0;
}

bool lcd_gif_writer::add(const uint8_t* frame, long ticks, std::string& why)
{
    if (gif_ == nullptr) {
        why = "the GIF is not open";
        return false;
    }
    ticks = std::max(ticks, 1L);
    if (same_as_newest(frame)) {
        pending_ticks_ += ticks;
        return true;
    }
    if (!pending_.empty() && !write_pending(why))
        return false;
    pending_.assign(frame, frame + LCD_PIXELS);
    pending_ticks_ = ticks;
    frames_++;
    return true;
}

bool lcd_gif_writer::write_pending(std::string& why)
{
    // The first frame is the whole picture; later ones only what changed.
    box area = frames_ == 1 ? box{0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1} : changed(shown_, pending_);
    for (long left = pending_ticks_; left > 0;) {
        const long ticks = std::min(left, MAX_FRAME_TICKS);
        left -= ticks;
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = int(ticks * GIF_TICK_HUNDREDTHS);
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        const int width = (area.right - area.left + 1) * scale_, height = (area.bottom - area.top + 1) * scale_;
        if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, int(length), extension) != GIF_OK ||
            EGifPutImageDesc(gif_, area.left * scale_, area.top * scale_, width, height, false, nullptr) != GIF_OK)
            return failed(why);
        for (int y = area.top; y <= area.bottom; y++) {
            const uint8_t* row = pending_.data() + y * LCD_WIDTH;
            for (int x = area.left; x <= area.right; x++)
                std::fill_n(line_.begin() + (x - area.left) * scale_, scale_, row[x]);
            for (int copy = 0; copy < scale_; copy++)
                if (EGifPutLine(gif_, line_.data(), width) != GIF_OK)
                    return failed(why);
        }
        // What is left of a delay too long for one frame: a pixel redrawn.
        area = box{};
    }
    shown_ = pending_;
    return true;
}

bool lcd_gif_writer::close(std::string& why)
{
    if (gif_ == nullptr) {
        why = "the GIF is not open";
        return false;
    }
    if (pending_.empty()) {
        pending_.assign(LCD_PIXELS, 0);
        pending_ticks_ = 1;
        frames_ = 1;
    }
    if (!write_pending(why))
        return false;
    int error = 0;
    const int closed = EGifCloseFile(gif_, &error);
    gif_ = nullptr;
    if (closed != GIF_OK) {
        why = error == E_GIF_ERR_CLOSE_FAILED ? strerror(errno) : GifErrorString(error);
        return false;
    }
    return true;
}
