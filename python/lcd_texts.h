// What the LCD says and shows over time, for Python: the strings of an
// instrument's text log as ktr7.Text named tuples, their words as one
// string, and recordings of its LCD as animated GIFs.
#pragma once
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "files/session_gif.h"
#include "python/instrument.h"

// The fields of ktr7.Text, in order.
extern const char* const TEXT_FIELDS[];

// The strings on the LCD in reading order (top to bottom, left to right),
// empty ones left out, each a ktr7.Text made by text_type.
pybind11::list lcd_texts(instrument& inst, const pybind11::handle& text_type);
// Their words with one blank between: what expect text reads.
std::string lcd_text(instrument& inst);

// inst.gif(path, scale): records from its making until close() (or the end
// of a with block), as a scenario's gif ... gif end does.
class lcd_gif_recording {
public:
    // ValueError for a scale outside 1..8, OSError when path cannot be written.
    lcd_gif_recording(instrument& inst, const std::string& path, const pybind11::handle& scale);
    // Writes the file, if close() has not, without a word about failure.
    ~lcd_gif_recording();
    lcd_gif_recording(const lcd_gif_recording&) = delete;
    lcd_gif_recording& operator=(const lcd_gif_recording&) = delete;

    // Writes the file (once; later calls do nothing); OSError when it cannot.
    void close();
    bool closed() const { return gif_ == nullptr; }
    // The frames so far (a frame equal to the one before is not one more).
    long frames() const { return gif_ != nullptr ? gif_->frames() : frames_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::unique_ptr<session_gif> gif_;
    long frames_ = 0;
};
