#pragma once
// Writers for the two picture formats the game reads: uncompressed TGA and JPEG. The content
// compiler makes every texture with them; the benchmarks and the tests make their sample files
// with them too, so there is one JPEG writer in the project.
// Pixels are given top row first, as one looks at the picture, tightly packed, 8 bits a channel.
#include <vector>

#include "core/Types.h"

// An uncompressed TGA of 1 (grey, image type 3, 8 bits a pixel), 3 (RGB) or 4 (RGBA) channels
// (image type 2, 24 or 32 bits), stored the usual way: bottom row first, blue-green-red(-alpha), no
// identification field, no colour map, origin (0, 0). A grey picture loads as a one-byte-a-texel
// texture, a quarter of what the same picture costs in colour. Returns an empty vector for a size
// of 0 or above 65535, or for another channel count.
std::vector<u8> EncodeTga(u32 width, u32 height, u32 channels, const u8* pixels);

// A JPEG of 1 (grey), 3 (RGB) or 4 (CMYK, with the Adobe marker, as image editors write it)
// channels at quality 1..100, baseline unless `progressive`, rows written in the order given (a
// JPEG is always top row first). Returns an empty vector when the encoder refuses the input (bad
// size or channel count). No time stamps or other varying data: the same pixels give the same
// bytes.
std::vector<u8> EncodeJpeg(u32 width, u32 height, u32 channels, const u8* pixels, int quality,
                           bool progressive = false);

// A PNG of `channels` 3 (RGB) or 4 (RGBA) bytes a pixel, rows top first: 8 bits a channel, no
// filtering, the image data in stored (uncompressed) deflate blocks, so no compression library
// is needed. For the desktop icons and the tools' charts; the game itself reads no PNG.
std::vector<u8> EncodePng(u32 width, u32 height, u32 channels, const u8* pixels);
