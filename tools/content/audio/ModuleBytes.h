#pragma once
// Byte-level helpers shared by the module writers: little- and big-endian integers, fixed-width
// text fields, and patching a value written earlier (offsets known only later).
#include <cstdint>
#include <string>
#include <vector>

class OModuleBytes {
public:
  void U8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
  void U16(unsigned v) { U8(v & 0xFF); U8((v >> 8) & 0xFF); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void U16BE(unsigned v) { U8((v >> 8) & 0xFF); U8(v & 0xFF); }
  // `text` cut or padded with zero bytes to exactly `width` bytes.
  void Text(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
  }
  void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
  void PatchU16(size_t at, unsigned v) {
    bytes[at] = static_cast<unsigned char>(v & 0xFF);
    bytes[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
  }
  void PatchU32(size_t at, std::uint32_t v) {
    PatchU16(at, v & 0xFFFF);
    PatchU16(at + 2, v >> 16);
  }
  size_t Size() const { return bytes.size(); }

  std::vector<unsigned char> bytes;
};
