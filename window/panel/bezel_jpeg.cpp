#include "window/panel/bezel_jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct jpeg_failure {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

// The library's default reaction to a damaged file ends the program; here
// the decode is abandoned instead and the caller gets a null image.
void leave_decode(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<jpeg_failure*>(info->err)->escape, 1);
}

void keep_quiet(j_common_ptr)
{
}

// The jump back from leave_decode lands in this frame, so it changes no
// local object of its own after setjmp: the picture goes to *out.
bool decode_into(const unsigned char* data, std::size_t size, QImage* out)
{
    jpeg_decompress_struct info;
    jpeg_failure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = leave_decode;
    failure.manager.output_message = keep_quiet;
    if (setjmp(failure.escape) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage decode_jpeg(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return QImage();
    QImage image;
    if (!decode_into(data, size, &image))
        return QImage();
    return image;
}
