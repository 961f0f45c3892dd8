#include "Png.h"

#include <fstream>

#include "assets/ImageWriter.h"

bool WritePng(const std::string& path, i32 width, i32 height, const std::vector<u8>& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3) return false;
  const std::vector<u8> bytes =
      EncodePng(static_cast<u32>(width), static_cast<u32>(height), 3, rgb.data());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
