#pragma once
// Decoding the game's two picture formats into pixels, without any OpenGL: plain functions from
// the bytes of a file to rows of pixels, so that they can be tested and fuzzed without a window.
#include <cstddef>
#include <string>
#include <vector>

#include "core/Types.h"

// Pixel layouts, with the numeric values of the matching OpenGL formats.
constexpr u32 PIXELS_RGB = 6407;        // GL_RGB
constexpr u32 PIXELS_RGBA = 6408;       // GL_RGBA
constexpr u32 PIXELS_LUMINANCE = 6409;  // GL_LUMINANCE

// The JPEG decoder accepts no side longer than this: no texture the game can show is larger, and a
// damaged header must not make it allocate gigabytes. (A TGA must hold all its pixels, which
// bounds it by the file's own size.)
constexpr u32 IMAGE_MAX_SIDE = 8192;

// The pixels of one decoded picture file, ready for a texture upload.
struct ODecodedImage {
  u32 width = 0;          // pixels
  u32 height = 0;         // pixels
  u32 format = 0;         // PIXELS_*
  u32 components = 0;     // 1, 3 or 4 bytes per pixel in `pixels`
  u32 bytesPerPixel = 0;  // of the source file (TGA); the same as components
  // Rows in file order (TGA: as stored, usually bottom row first; JPEG: top row first).
  std::vector<u8> pixels;
};

// Uncompressed TGA: type 2 true-colour at 24 bits (RGB) or 32 bits (RGBA, alpha kept), or type 3
// greyscale at 8 bits. No image id, no colour map, origin (0,0); the descriptor byte is ignored
// so rows keep their file order. Blue-green-red pixels come out red-green-blue. False for any other
// kind, depth, a zero side, or a file shorter than its header says.
bool DecodeTga(const u8* bytes, size_t size, ODecodedImage& image);

// Baseline or progressive JPEG. Greyscale gives PIXELS_LUMINANCE, colour gives PIXELS_RGB; a
// four-channel (CMYK) file is converted to PIXELS_RGB. False, with the decoder's message in
// `error` when given, for a corrupt or truncated stream: the decoder never ends the process.
bool DecodeJpeg(const u8* bytes, size_t size, ODecodedImage& image, std::string* error = nullptr);

// Paths holding ".jpg" anywhere, in exactly these letters, are JPEG; every other path is TGA.
bool IsJpegPath(const std::string& path);

// Decodes by path: the JPEG or the TGA decoder as IsJpegPath chooses.
bool DecodeImage(const std::string& path, const u8* bytes, size_t size, ODecodedImage& image,
                 std::string* error = nullptr);
