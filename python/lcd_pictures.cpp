#include "python/lcd_pictures.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host/palette.h"
#include "host/picture_scale.h"
#include "picture/lcd_png.h"
#include "picture/lcd_png_compare.h"
#include "python/language_values.h"
#include "session/session.h"

namespace py = pybind11;

namespace {

constexpr size_t WHY_CAPACITY = 512;
constexpr int RGB_CHANNELS = 3;

[[noreturn]] void raise_os_error(const std::string& text)
{
    PyErr_SetString(PyExc_OSError, text.c_str());
    throw py::error_already_set();
}

}  // namespace

py::array lcd_view(const uint8_t* frame, const py::handle& owner)
{
    py::array_t<uint8_t> view({py::ssize_t(LCD_HEIGHT), py::ssize_t(LCD_WIDTH)},
                              {py::ssize_t(LCD_WIDTH), py::ssize_t(1)}, frame, owner);
    // The instrument draws it; what Python wrote would be gone at the next pass.
    py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

py::array lcd_rgb(const uint8_t* frame)
{
    py::array_t<uint8_t> rgb({py::ssize_t(LCD_HEIGHT), py::ssize_t(LCD_WIDTH), py::ssize_t(RGB_CHANNELS)});
    uint8_t* out = rgb.mutable_data();
    for (size_t i = 0; i < size_t(LCD_WIDTH) * LCD_HEIGHT; i++) {
        const uint32_t colour = lcd_palette[frame[i]];
        *out++ = uint8_t(colour >> 16);
        *out++ = uint8_t(colour >> 8);
        *out++ = uint8_t(colour);
    }
    return rgb;
}

void lcd_png(const uint8_t* frame, const std::string& path, const py::handle& scale)
{
    const long long number = number_or_refused("png LCD.png", scale, PNG_SCALE_MIN, PNG_SCALE_MAX);
    char why[WHY_CAPACITY];
    if (!write_png_of(frame, path.c_str(), int(number), why, sizeof why))
        raise_os_error("png: cannot write \"" + path + "\": " + why);
}

py::bytes lcd_png_bytes(const uint8_t* frame, int scale)
{
    char path[] = "/tmp/ktr7-lcd-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        raise_os_error("cannot make a temporary file for the picture");
    close(fd);
    char why[WHY_CAPACITY];
    const bool written = write_png_of(frame, path, scale, why, sizeof why);
    std::string bytes;
    if (FILE* file = written ? fopen(path, "rb") : nullptr) {
        char block[4096];
        size_t n;
        while ((n = fread(block, 1, sizeof block, file)) > 0)
            bytes.append(block, n);
        fclose(file);
    }
    unlink(path);
    if (!written)
        raise_os_error(std::string("cannot write the picture: ") + why);
    return py::bytes(bytes);
}

void lcd_expect_png(const uint8_t* frame, const std::string& path)
{
    char report[WHY_CAPACITY + 2 * 4096];
    const int result = check_lcd_against_png(frame, path.c_str(), report, sizeof report);
    if (result < 0)
        raise_os_error("expect png: reference \"" + path + "\": " + report);
    if (result == 0) {
        PyErr_SetString(PyExc_AssertionError, report);
        throw py::error_already_set();
    }
}

long lcd_differing_pixels(const uint8_t* frame, const std::string& path)
{
    picture_comparison comparison;
    char why[WHY_CAPACITY];
    if (!compare_with_png(frame, path.c_str(), comparison, why, sizeof why))
        raise_os_error("expect png: reference \"" + path + "\": " + why);
    return comparison.differing;
}
