// Animated GIFs of the LCD. The LCD's palette is the file's colour table, so
// every frame holds the LCD's indices exactly. Frames come one tick (100 ms)
// at a time; a frame equal to the one before only lengthens its delay. The
// file is written as the frames come: each when the next different one
// arrives (or at close), as the rectangle that changed, drawn over what the
// frame before left. The animation loops.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct GifFileType;

// A GIF delay counts hundredths of a second: a tick is ten.
constexpr int GIF_TICK_HUNDREDTHS = 10;

class lcd_gif_writer {
public:
    lcd_gif_writer() = default;
    // Closes an open file without a word about failure.
    ~lcd_gif_writer();
    lcd_gif_writer(const lcd_gif_writer&) = delete;
    lcd_gif_writer& operator=(const lcd_gif_writer&) = delete;

    // Creates path for frames at scale (GIF_SCALE_MIN..GIF_SCALE_MAX device
    // pixels a side per LCD pixel); false with why set.
    bool open(const char* path, int scale, std::string& why);
    bool is_open() const { return gif_ != nullptr; }
    // The LCD (LCD_WIDTH x LCD_HEIGHT indices) as it showed for ticks ticks
    // (at least one); false with why set once the file could not be written.
    bool add(const uint8_t* frame, long ticks, std::string& why);
    // Whether frame equals the newest frame added.
    bool same_as_newest(const uint8_t* frame) const;
    // Writes the last frame and the trailer, and closes the file; false with
    // why set. Without a frame added the file holds one black frame.
    bool close(std::string& why);
    // Frames of the file, the one waiting for its delay included.
    long frames() const { return frames_; }

private:
    bool write_pending(std::string& why);
    bool failed(std::string& why);

    GifFileType* gif_ = nullptr;
    int scale_ = 1;
    std::vector<uint8_t> shown_;    // the picture as the frames written leave it
    std::vector<uint8_t> pending_;  // the newest frame, written when its delay is known
    long pending_ticks_ = 0;
    long frames_ = 0;
    std::vector<uint8_t> line_;     // one scaled row
};
