#pragma once
// A minimal PNG writer for the playtest's charts: 8-bit RGB, no filtering, the image data in
// stored (uncompressed) deflate blocks, so no compression library is needed.
#include <string>
#include <vector>

#include "core/Types.h"

// Writes width x height pixels of RGB bytes, rows top first. False when the file cannot be
// written or the sizes do not match.
bool WritePng(const std::string& path, i32 width, i32 height, const std::vector<u8>& rgb);

// The bytes of such a file.
std::vector<u8> EncodePng(i32 width, i32 height, const std::vector<u8>& rgb);
