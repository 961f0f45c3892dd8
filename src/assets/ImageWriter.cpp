#include "assets/ImageWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

std::vector<u8> EncodeTga(u32 width, u32 height, u32 channels, const u8* pixels) {
  std::vector<u8> out;
  if (width == 0 || height == 0 || width > 65535 || height > 65535) return out;
  if (channels != 1 && channels != 3 && channels != 4) return out;
  out.assign(18, 0);
  out[2] = channels == 1 ? 3 : 2;  // uncompressed greyscale or true colour
  out[12] = static_cast<u8>(width & 0xFF);
  out[13] = static_cast<u8>(width >> 8);
  out[14] = static_cast<u8>(height & 0xFF);
  out[15] = static_cast<u8>(height >> 8);
  out[16] = static_cast<u8>(channels * 8);
  out[17] = channels == 4 ? 8 : 0;  // alpha bits; origin bottom left
  out.reserve(18 + static_cast<size_t>(width) * height * channels);
  for (u32 row = height; row-- > 0;) {
    const u8* p = pixels + static_cast<size_t>(row) * width * channels;
    if (channels == 1) {
      out.insert(out.end(), p, p + width);
      continue;
    }
    for (u32 x = 0; x < width; ++x, p += channels) {
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
      if (channels == 4) out.push_back(p[3]);
    }
  }
  return out;
}

namespace {

// libjpeg's default error handler ends the process; this one returns to the encoder instead.
struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

void JpegErrorExit(j_common_ptr info) {
  JpegError* error = reinterpret_cast<JpegError*>(info->err);
  std::longjmp(error->back, 1);
}

void JpegSilent(j_common_ptr, int) {}

struct JpegOutput {
  unsigned char* memory = nullptr;  // malloc'ed by libjpeg's memory destination
  unsigned long size = 0;
};

}  // namespace

std::vector<u8> EncodeJpeg(u32 width, u32 height, u32 channels, const u8* pixels, int quality,
                           bool progressive) {
  std::vector<u8> out;
  if (width == 0 || height == 0 || width > 65500 || height > 65500) return out;
  if (channels != 1 && channels != 3 && channels != 4) return out;

  jpeg_compress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegErrorExit;
  error.manager.emit_message = JpegSilent;
  // The output buffer lives on the heap so that its pointer is still valid after a long jump
  // (automatic variables changed after setjmp are not).
  std::unique_ptr<JpegOutput> output(new JpegOutput());
  if (setjmp(error.back)) {
    jpeg_destroy_compress(&info);
    std::free(output->memory);
    return std::vector<u8>();
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &output->memory, &output->size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = static_cast<int>(channels);
  info.in_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 3 ? JCS_RGB : JCS_CMYK;
  // The defaults pick the file's colour space from the input's; for CMYK that includes the Adobe
  // marker.
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<size_t>(info.next_scanline) * width *
                                                     channels);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  out.assign(output->memory, output->memory + output->size);
  jpeg_destroy_compress(&info);
  std::free(output->memory);
  return out;
}

namespace {

void PutBigEndian32(std::vector<u8>& out, u32 v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<u8>(v >> shift));
}

u32 Crc32(const u8* data, size_t size) {
  u32 crc = ~0u;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutChunk(std::vector<u8>& out, const char* type, const std::vector<u8>& data) {
  PutBigEndian32(out, static_cast<u32>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::vector<u8> EncodePng(u32 width, u32 height, u32 channels, const u8* pixels) {
  std::vector<u8> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<u8> header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  // 8 bits a channel, RGB (2) or RGBA (6), deflate, no filter set, no interlace.
  header.insert(header.end(), {8, static_cast<u8>(channels == 4 ? 6 : 2), 0, 0, 0});
  PutChunk(png, "IHDR", header);

  // Each row: filter type 0 (none), then its pixels.
  const size_t rowBytes = static_cast<size_t>(width) * channels;
  std::vector<u8> raw;
  raw.reserve((rowBytes + 1) * height);
  for (u32 y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), pixels + y * rowBytes, pixels + (y + 1) * rowBytes);
  }
  // zlib stream: header, stored blocks of at most 65535 bytes, Adler-32 of the raw bytes.
  std::vector<u8> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<u8>(n));
    z.push_back(static_cast<u8>(n >> 8));
    z.push_back(static_cast<u8>(~n));
    z.push_back(static_cast<u8>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
  } while (at < raw.size());
  u32 a = 1, b = 0;
  for (u8 v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian32(z, (b << 16) | a);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}
