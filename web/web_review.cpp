#include "web/web_review.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "host/palette.h"
#include "review/review_html.h"
#include "review/review_recorder.h"
#include "session/session.h"
#include "web/web_main.h"

namespace {

// An LCD frame drawn on a canvas of the page and taken back as a PNG data:
// URI (the browser's deflate), in memory from malloc that the caller frees.
EM_JS(char*, canvas_png_uri, (const uint8_t* frame, const uint32_t* palette, int width, int height, int scale), {
    const canvas = document.createElement("canvas");
    canvas.width = width * scale;
    canvas.height = height * scale;
    const context = canvas.getContext("2d");
    const image = context.createImageData(canvas.width, canvas.height);
    for (let y = 0; y < canvas.height; y++)
        for (let x = 0; x < canvas.width; x++) {
            const index = HEAPU8[frame + Math.floor(y / scale) * width + Math.floor(x / scale)];
            const colour = HEAPU32[(palette >> 2) + index];
            const at = (y * canvas.width + x) * 4;
            image.data[at] = colour >> 16 & 255;
            image.data[at + 1] = colour >> 8 & 255;
            image.data[at + 2] = colour & 255;
            image.data[at + 3] = 255;
        }
    context.putImageData(image, 0, 0);
    const uri = canvas.toDataURL("image/png");
    const length = lengthBytesUTF8(uri) + 1;
    const out = _malloc(length);
    stringToUTF8(uri, out, length);
    return out;
});

bool browser_picture(const uint8_t* frame, int scale, std::string& data_uri, std::string& why)
{
    char* uri = canvas_png_uri(frame, lcd_palette, LCD_WIDTH, LCD_HEIGHT, scale);
    data_uri = uri;
    free(uri);
    if (data_uri.rfind("data:image/png", 0) != 0) {
        why = "the browser made no PNG";
        return false;
    }
    return true;
}

review_recorder& recorder()
{
    static review_recorder follower(page_session());
    return follower;
}

// Follows the page's session from the page's start.
[[maybe_unused]] const bool following = (recorder(), true);

std::string page;

}  // namespace

double web_review_ticks()
{
    return double(recorder().ticks());
}

const char* web_review_page(const char* script, const char* style, const char* name)
{
    page = review_html(recorder().review(), name, "the KTR-7 simulator's web page", {script, style}, browser_picture);
    return page.c_str();
}
