#include "assets/ImageDecode.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr size_t TGA_HEADER_SIZE = 18;

// The two header templates the game accepts: everything zero except the image type.
constexpr u8 TGA_TRUE_COLOUR = 2;
constexpr u8 TGA_GREYSCALE = 3;

// ---- JPEG ---------------------------------------------------------------------------------------

// The error manager: libjpeg calls error_exit on a fatal error and must not return, so it jumps
// back into DecodeJpeg. Warnings that mean lost or garbled image data (a premature end, a bad
// Huffman code, a data segment cut short) make the decode fail too; the few that leave every pixel
// intact are let through (HarmlessWarning).
struct OJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
  bool hitEnd;     // the stream ran out and a fake end marker was supplied
  int damaging;    // warnings that cost image data
};

OJpegError& ErrorOf(j_common_ptr cinfo) { return *reinterpret_cast<OJpegError*>(cinfo->err); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  OJpegError& err = ErrorOf(cinfo);
  cinfo->err->format_message(cinfo, err.message);
  std::longjmp(err.back, 1);
}

// Warnings after which the picture is still whole: stray bytes between two markers (the next
// marker is found and decoding goes on) and header details libjpeg does not understand but skips.
// An unknown APPn or COM marker raises no warning at all.
bool HarmlessWarning(int code) {
  return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM ||
         code == JWRN_BOGUS_ICC;
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // Level -1 is a warning: keep the first damaging one as the reason; trace messages are ignored.
  if (level < 0) {
    OJpegError& err = ErrorOf(cinfo);
    cinfo->err->num_warnings++;
    if (HarmlessWarning(cinfo->err->msg_code)) return;
    if (err.damaging++ == 0) cinfo->err->format_message(cinfo, err.message);
  }
}

void OutputMessage(j_common_ptr) {}

// Memory source: the whole file is one buffer.
void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  // Asked for more than the file holds: the stream is truncated. An end-of-image marker lets the
  // decoder finish cleanly; the decode then fails on the recorded truncation.
  static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
  OJpegError& err = ErrorOf(reinterpret_cast<j_common_ptr>(cinfo));
  if (!err.hitEnd) {
    err.hitEnd = true;
    std::snprintf(err.message, sizeof err.message, "Premature end of JPEG file");
  }
  cinfo->src->next_input_byte = kEnd;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
    src->next_input_byte += src->bytes_in_buffer;
    src->bytes_in_buffer = 0;
    return;
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Runs the decode. The error manager jumps back to the setjmp here, skipping destructors, so
// every object with one (the row buffer, the pixels) belongs to the caller.
bool DecodeJpegInto(jpeg_decompress_struct& cinfo, jpeg_source_mgr& source, const u8* bytes,
                    size_t size, ODecodedImage& image, std::vector<u8>& row, OJpegError& err) {
  if (setjmp(err.back)) return false;
  jpeg_create_decompress(&cinfo);
  source.init_source = InitSource;
  source.fill_input_buffer = FillInputBuffer;
  source.skip_input_data = SkipInputData;
  source.resync_to_restart = jpeg_resync_to_restart;
  source.term_source = TermSource;
  source.next_input_byte = bytes;
  source.bytes_in_buffer = size;
  cinfo.src = &source;

  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > IMAGE_MAX_SIDE ||
      cinfo.image_height > IMAGE_MAX_SIDE) {
    std::snprintf(err.message, sizeof err.message, "JPEG of %ux%u pixels is not a texture",
                  static_cast<unsigned>(cinfo.image_width), static_cast<unsigned>(cinfo.image_height));
    return false;
  }
  jpeg_start_decompress(&cinfo);
  const u32 width = cinfo.output_width, height = cinfo.output_height;
  const u32 channels = static_cast<u32>(cinfo.output_components);
  if (channels != 1 && channels != 3 && channels != 4) {
    std::snprintf(err.message, sizeof err.message, "JPEG with %u channels", channels);
    return false;
  }
  const bool cmyk = channels == 4;
  const bool adobeInverted = cmyk && cinfo.saw_Adobe_marker;

  row.assign(static_cast<size_t>(width) * channels, 0);
  const u32 outChannels = channels == 1 ? 1 : 3;
  image.pixels.assign(static_cast<size_t>(width) * height * outChannels, 0);
  while (cinfo.output_scanline < height) {
    u32 y = cinfo.output_scanline;
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    u8* out = image.pixels.data() + static_cast<size_t>(y) * width * outChannels;
    if (!cmyk) {
      std::memcpy(out, row.data(), row.size());
      continue;
    }
    for (u32 x = 0; x < width; ++x) {
      const u8* p = row.data() + x * 4;
      // Adobe writes CMYK inverted (255 = no ink); plain CMYK has 0 = no ink.
      u32 c = adobeInverted ? p[0] : 255u - p[0], m = adobeInverted ? p[1] : 255u - p[1];
      u32 yl = adobeInverted ? p[2] : 255u - p[2], k = adobeInverted ? p[3] : 255u - p[3];
      out[x * 3 + 0] = static_cast<u8>(c * k / 255);
      out[x * 3 + 1] = static_cast<u8>(m * k / 255);
      out[x * 3 + 2] = static_cast<u8>(yl * k / 255);
    }
  }
  jpeg_finish_decompress(&cinfo);
  if (err.hitEnd || err.damaging > 0) return false;

  image.width = width;
  image.height = height;
  image.components = outChannels;
  image.bytesPerPixel = outChannels;
  image.format = outChannels == 1 ? PIXELS_LUMINANCE : PIXELS_RGB;
  return true;
}

}  // namespace

bool DecodeTga(const u8* bytes, size_t size, ODecodedImage& image) {
  image = ODecodedImage();
  if (!bytes || size < TGA_HEADER_SIZE) return false;
  u8 type = bytes[2];
  if (type != TGA_TRUE_COLOUR && type != TGA_GREYSCALE) return false;
  for (size_t i = 0; i < 12; ++i)
    if (i != 2 && bytes[i] != 0) return false;

  u32 depth = bytes[16];
  u32 format, components;
  if (type == TGA_TRUE_COLOUR && depth == 32) {
    format = PIXELS_RGBA;
    components = 4;
  } else if (type == TGA_TRUE_COLOUR) {
    format = PIXELS_RGB;
    components = 3;
  } else {
    format = PIXELS_LUMINANCE;
    components = 1;
  }
  if (depth != components * 8) return false;

  u32 width = bytes[12] | static_cast<u32>(bytes[13]) << 8;
  u32 height = bytes[14] | static_cast<u32>(bytes[15]) << 8;
  if (width == 0 || height == 0) return false;
  size_t count = static_cast<size_t>(width) * height * components;
  if (size - TGA_HEADER_SIZE < count) return false;

  image.pixels.assign(bytes + TGA_HEADER_SIZE, bytes + TGA_HEADER_SIZE + count);
  if (components >= 3)
    for (size_t i = 0; i < count; i += components) std::swap(image.pixels[i], image.pixels[i + 2]);
  image.width = width;
  image.height = height;
  image.format = format;
  image.components = components;
  image.bytesPerPixel = components;
  return true;
}

bool DecodeJpeg(const u8* bytes, size_t size, ODecodedImage& image, std::string* error) {
  image = ODecodedImage();
  if (!bytes || size == 0) {
    if (error) *error = "empty JPEG file";
    return false;
  }
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  jpeg_source_mgr source;
  std::memset(&source, 0, sizeof source);
  OJpegError err;
  std::memset(&err, 0, sizeof err);
  cinfo.err = jpeg_std_error(&err.manager);
  err.manager.error_exit = ErrorExit;
  err.manager.emit_message = EmitMessage;
  err.manager.output_message = OutputMessage;

  std::vector<u8> row;
  bool ok = DecodeJpegInto(cinfo, source, bytes, size, image, row, err);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) {
    image = ODecodedImage();
    if (error) *error = err.message;
  }
  return ok;
}

bool IsJpegPath(const std::string& path) { return path.find(".jpg") != std::string::npos; }

bool DecodeImage(const std::string& path, const u8* bytes, size_t size, ODecodedImage& image,
                 std::string* error) {
  if (IsJpegPath(path)) return DecodeJpeg(bytes, size, image, error);
  if (DecodeTga(bytes, size, image)) return true;
  if (error) *error = "not an uncompressed 8, 24 or 32 bit TGA";
  return false;
}
