// The TGA decoder of the textures.
#include "FuzzSupport.h"
#include "assets/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  ODecodedImage image;
  if (!DecodeTga(data, size, image)) return 0;
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  FUZZ_CHECK(image.pixels.size() == size_t{image.width} * image.height * image.components);
  return 0;
}
