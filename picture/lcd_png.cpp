#include "picture/lcd_png.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/lcd.h"
#include "host/palette.h"

namespace {

struct png_failure {
    char message[128];
};

void on_png_error(png_structp png, png_const_charp message)
{
    auto* failure = static_cast<png_failure*>(png_get_error_ptr(png));
    // A failed fwrite leaves its reason in errno; libpng's own text is vaguer.
    if (errno != 0)
        snprintf(failure->message, sizeof failure->message, "%s", strerror(errno));
    else
        snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

// Only a regular file is removed after a failed write: a device or a pipe
// named on the command line is none of the replay's business.
bool is_regular(FILE* file)
{
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

void set_reason(char* why, size_t cap, const char* reason)
{
    if (cap > 0)
        snprintf(why, cap, "%s", reason);
}

// Closes a file written so far with result ok; a close that fails is a
// failed write too. A failed regular file is removed.
bool close_written(FILE* file, const char* path, bool regular, bool ok, char* why, size_t cap)
{
    if (fclose(file) != 0 && ok) {
        set_reason(why, cap, strerror(errno));
        ok = false;
    }
    if (!ok && regular)
        remove(path);
    return ok;
}

// Where the PNG's bytes go: a file, or the end of a byte vector.
struct png_sink {
    FILE* file = nullptr;
    std::vector<uint8_t>* memory = nullptr;
};

void append_to_memory(png_structp png, png_bytep data, png_size_t length)
{
    auto* memory = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    memory->insert(memory->end(), data, data + length);
}

void flush_memory(png_structp) {}

// Everything libpng needs, written between setjmp and the end so that nothing
// with a destructor lies on the stack a longjmp crosses.
bool encode(const png_sink& sink, const uint8_t* buffer, int scale, png_failure& failure)
{
    static uint8_t row[LCD_WIDTH * PNG_SCALE_MAX];
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, on_png_error, on_png_warning);
    if (png == nullptr) {
        set_reason(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        set_reason(failure.message, sizeof failure.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (sink.memory != nullptr)
        png_set_write_fn(png, sink.memory, append_to_memory, flush_memory);
    else
        png_init_io(png, sink.file);
    const png_uint_32 width = png_uint_32(LCD_WIDTH) * png_uint_32(scale);
    const png_uint_32 height = png_uint_32(LCD_HEIGHT) * png_uint_32(scale);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; i++) {
        palette[i].red = png_byte(lcd_palette[i] >> 16 & 0xFF);
        palette[i].green = png_byte(lcd_palette[i] >> 8 & 0xFF);
        palette[i].blue = png_byte(lcd_palette[i] & 0xFF);
    }
    png_set_PLTE(png, info, palette, 256);
    png_write_info(png, info);
    for (unsigned y = 0; y < LCD_HEIGHT; y++) {
        const uint8_t* source = buffer + y * LCD_WIDTH;
        for (unsigned x = 0; x < LCD_WIDTH; x++)
            memset(row + x * unsigned(scale), source[x], size_t(scale));
        for (int repeat = 0; repeat < scale; repeat++)
            png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool write_lcd_png(const char* path, int scale, char* why, size_t cap)
{
    return write_png_of(lcd_buffer, path, scale, why, cap);
}

bool write_png_of(const uint8_t* buffer, const char* path, int scale, char* why, size_t cap)
{
    if (scale < PNG_SCALE_MIN || scale > PNG_SCALE_MAX) {
        set_reason(why, cap, "scale outside 1..8");
        return false;
    }
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        set_reason(why, cap, strerror(errno));
        return false;
    }
    const bool regular = is_regular(file);
    png_failure failure{};
    errno = 0;
    const bool ok = encode(png_sink{file, nullptr}, buffer, scale, failure);
    if (!ok)
        set_reason(why, cap, failure.message);
    return close_written(file, path, regular, ok, why, cap);
}

bool png_in_memory(const uint8_t* buffer, int scale, std::vector<uint8_t>& out, char* why, size_t cap)
{
    out.clear();
    if (scale < PNG_SCALE_MIN || scale > PNG_SCALE_MAX) {
        set_reason(why, cap, "scale outside 1..8");
        return false;
    }
    png_failure failure{};
    errno = 0;
    if (encode(png_sink{nullptr, &out}, buffer, scale, failure))
        return true;
    set_reason(why, cap, failure.message);
    out.clear();
    return false;
}

bool write_lcd_dump(const char* path, char* why, size_t cap)
{
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        set_reason(why, cap, strerror(errno));
        return false;
    }
    const bool regular = is_regular(file);
    const bool ok = fwrite(lcd_buffer, 1, sizeof lcd_buffer, file) == sizeof lcd_buffer;
    if (!ok)
        set_reason(why, cap, strerror(errno));
    return close_written(file, path, regular, ok, why, cap);
}
