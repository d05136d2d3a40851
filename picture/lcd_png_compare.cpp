#include "picture/lcd_png_compare.h"

#include <png.h>

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/lcd.h"
#include "picture/lcd_png.h"
#include "host/palette.h"

namespace {

constexpr int RGB = 3;

void set_reason(char* why, size_t cap, const char* reason)
{
    if (cap > 0)
        snprintf(why, cap, "%s", reason);
}

uint32_t rgb_at(const std::vector<uint8_t>& pixels, int width, int x, int y)
{
    const uint8_t* p = pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * RGB;
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

// The reference as 8-bit RGB; false with a reason for bad input.
bool read_rgb(const char* path, std::vector<uint8_t>& pixels, int& width, int& height, char* why, size_t cap)
{
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        set_reason(why, cap, strerror(errno));
        return false;
    }
    png_byte signature[8] = {};
    const size_t got = fread(signature, 1, sizeof signature, file);
    if (got != sizeof signature || png_sig_cmp(signature, 0, sizeof signature) != 0) {
        set_reason(why, cap, ferror(file) ? "unreadable" : "not a PNG picture");
        fclose(file);
        return false;
    }
    rewind(file);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file)) {
        set_reason(why, cap, image.message[0] ? image.message : "unreadable PNG");
        fclose(file);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    int scale = 0;
    if (!reference_scale(width, height, scale, why, cap)) {
        png_image_free(&image);
        fclose(file);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    pixels.assign(PNG_IMAGE_SIZE(image), 0);
    const bool ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    if (!ok)
        set_reason(why, cap, image.message[0] ? image.message : "unreadable PNG");
    png_image_free(&image);
    fclose(file);
    return ok;
}

bool write_rgb(const char* path, const std::vector<uint8_t>& pixels, int width, int height, char* why, size_t cap)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path, 0, pixels.data(), 0, nullptr))
        return true;
    set_reason(why, cap, image.message[0] ? image.message : "cannot write");
    return false;
}

// "dir/name.png" -> "dir/name" + suffix.
void beside(const char* path, const char* suffix, char* out, size_t cap)
{
    const char* slash = strrchr(path, '/');
    const char* dot = strrchr(path, '.');
    const size_t stem = dot != nullptr && (slash == nullptr || dot > slash) ? size_t(dot - path) : strlen(path);
    snprintf(out, cap, "%.*s%s", int(stem), path, suffix);
}

// The two mismatch pictures beside path; their names go to actual_path and
// diff_path (capacity path_cap each).
bool write_mismatch_pictures(const uint8_t* buffer, const char* path, const picture_comparison& result,
                             char* actual_path, char* diff_path, size_t path_cap, char* why, size_t cap)
{
    beside(path, ".actual.png", actual_path, path_cap);
    beside(path, ".diff.png", diff_path, path_cap);
    if (!write_png_of(buffer, actual_path, result.scale, why, cap))
        return false;
    const std::vector<uint8_t>& reference = result.reference;
    const int scale = result.scale;
    // Differing pixels in red over the reference at a third of its brightness.
    std::vector<uint8_t> diff(reference.size());
    for (int y = 0; y < result.height; y++)
        for (int x = 0; x < result.width; x++) {
            const size_t at = (size_t(y) * size_t(result.width) + size_t(x)) * RGB;
            const uint32_t want = lcd_palette[buffer[(y / scale) * LCD_WIDTH + x / scale]] & 0xFFFFFF;
            if (rgb_at(reference, result.width, x, y) != want) {
                diff[at] = 255;
                diff[at + 1] = 0;
                diff[at + 2] = 0;
            } else {
                for (int c = 0; c < RGB; c++)
                    diff[at + size_t(c)] = uint8_t(reference[at + size_t(c)] / 3);
            }
        }
    return write_rgb(diff_path, diff, result.width, result.height, why, cap);
}

}  // namespace

bool compare_with_png(const uint8_t* buffer, const char* path, picture_comparison& result, char* why, size_t cap)
{
    result = picture_comparison{};
    if (!read_rgb(path, result.reference, result.width, result.height, why, cap))
        return false;
    return compare_lcd_with_rgb(buffer, result.reference.data(), result.width, result.height, result, why, cap);
}

const char* reference_path(const char* folder, const char* path, char* out, size_t cap)
{
    if (folder == nullptr || folder[0] == '\0' || path[0] == '/')
        snprintf(out, cap, "%s", path);
    else if (folder[strlen(folder) - 1] == '/')
        snprintf(out, cap, "%s%s", folder, path);
    else
        snprintf(out, cap, "%s/%s", folder, path);
    return out;
}

int check_lcd_against_png(const uint8_t* buffer, const char* path, char* report, size_t cap)
{
    picture_comparison result;
    if (!compare_with_png(buffer, path, result, report, cap))
        return -1;
    if (result.differing == 0)
        return 1;
    static char actual[PATH_MAX + 32], diff[PATH_MAX + 32];
    char why[160];
    if (!write_mismatch_pictures(buffer, path, result, actual, diff, sizeof actual, why, sizeof why)) {
        snprintf(actual, sizeof actual, "no pictures (%s)", why);
        diff[0] = '\0';
    }
    static char wrote[2 * sizeof actual + 8];
    snprintf(wrote, sizeof wrote, "wrote %s %s", actual, diff);
    describe_lcd_difference(path, result, wrote, report, cap);
    return 0;
}
