// The textures' TGA and JPEG decoders, both given every input (the seeds tell the programs apart).
#include <string>

#include "FuzzSupport.h"
#include "assets/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  std::string error;
  for (const bool jpeg : {false, true}) {
    ODecodedImage image;
    if (!(jpeg ? DecodeJpeg(data, size, image, &error) : DecodeTga(data, size, image))) continue;
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(!jpeg || (image.width <= IMAGE_MAX_SIDE && image.height <= IMAGE_MAX_SIDE));
    FUZZ_CHECK(image.pixels.size() == size_t{image.width} * image.height * image.components);
  }
  return 0;
}
