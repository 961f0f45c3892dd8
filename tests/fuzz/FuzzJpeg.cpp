// The JPEG decoder of the textures.
#include <string>

#include "FuzzSupport.h"
#include "assets/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  ODecodedImage image;
  std::string error;
  if (!DecodeJpeg(data, size, image, &error)) return 0;
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  FUZZ_CHECK(image.width <= IMAGE_MAX_SIDE && image.height <= IMAGE_MAX_SIDE);
  FUZZ_CHECK(image.pixels.size() == size_t{image.width} * image.height * image.components);
  return 0;
}
