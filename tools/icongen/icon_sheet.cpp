// ktr7-iconsheet: draws the eight icons with the instrument's own decoder and
// writes them side by side, enlarged, to a PNG for looking at.
//
//   ktr7-iconsheet OUTPUT_PNG [SCALE]     (SCALE defaults to 4)
//
// Four icons per row in store order, on the LCD's black, with grey gutters.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfx/icons.h"
#include "gfx/lcd.h"
#include "gfx/rle.h"
#include "host/palette.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: %s OUTPUT_PNG [SCALE]\n", argv[0]);
        return 2;
    }
    int scale = argc == 3 ? atoi(argv[2]) : 4;
    if (scale < 1 || scale > 16) {
        fprintf(stderr, "scale must be 1..16\n");
        return 2;
    }
    const uint8_t* const icons[] = {icon_exclamation, icon_question,     icon_alt_setup,
                                    icon_vsi_setup,   icon_asi_setup,    icon_timers_setup,
                                    icon_misc_setup,  icon_adc_values};
    const int columns = 4, rows = 2, size = 50, gutter = 2 * scale;
    const int cell = size * scale;
    const int width = columns * cell + (columns + 1) * gutter;
    const int height = rows * cell + (rows + 1) * gutter;
    const uint32_t gutter_colour = 0x404040;

    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (int i = 0; i < width * height; i++) {
        rgb[i * 3 + 0] = uint8_t(gutter_colour >> 16);
        rgb[i * 3 + 1] = uint8_t(gutter_colour >> 8);
        rgb[i * 3 + 2] = uint8_t(gutter_colour);
    }
    for (int k = 0; k < 8; k++) {
        lcd_clear();
        draw_rle_image(0, 0, icons[k]);
        int left = gutter + (k % columns) * (cell + gutter);
        int top = gutter + (k / columns) * (cell + gutter);
        for (int y = 0; y < cell; y++)
            for (int x = 0; x < cell; x++) {
                uint32_t c = lcd_palette[lcd_buffer[(y / scale) * LCD_WIDTH + x / scale]];
                uint8_t* p = &rgb[(size_t(top + y) * width + left + x) * 3];
                p[0] = uint8_t(c >> 16);
                p[1] = uint8_t(c >> 8);
                p[2] = uint8_t(c);
            }
    }

    FILE* f = fopen(argv[1], "wb");
    if (!f) {
        perror(argv[1]);
        return 1;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        fprintf(stderr, "%s: PNG write failed\n", argv[1]);
        fclose(f);
        return 1;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, &rgb[size_t(y) * width * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return 0;
}
