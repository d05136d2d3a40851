// The bezel picture, a JPEG compiled into the program, and its decoder.
#pragma once
#include <QImage>

#include <cstddef>

extern const unsigned char bezel_jpeg[];
extern const std::size_t bezel_jpeg_size;

// Decodes a baseline or progressive JPEG (grey or colour) into an RGB image;
// a null image if the data is not a JPEG or is damaged.
QImage decode_jpeg(const unsigned char* data, std::size_t size);
