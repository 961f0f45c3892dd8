#include "assets/ImageWriter.h"

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
