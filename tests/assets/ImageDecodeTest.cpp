// Decoding TGA and JPEG files into pixels, and refusing everything else without reading beyond
// the bytes or ending the process; the game's own picture writers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ImageTestSupport.h"
#include "assets/ImageDecode.h"
#include "assets/ImageWriter.h"

using namespace image_test;

namespace {

bool Near(int a, int b, int tolerance = 6) { return std::abs(a - b) <= tolerance; }

std::string RgbJpeg(u32 w, u32 h, bool progressive = false) {
  const u8 red[3] = {230, 20, 20}, blue[3] = {20, 20, 230};
  return MakeJpeg(w, h, 3, TwoBandsRgb(w, h, red, blue), 95, progressive);
}

}  // namespace

// 24 bits: blue-green-red swapped to red-green-blue, rows in file order (the descriptor's
// top-left-origin bit does not flip them), bytes after the pixels ignored. (32 bits and greyscale
// are the writer's round trip below.) Every other kind, and damage, is refused.
TEST(ImageDecode, TgaTrueColourReadAndOtherKindsRefused) {
  ODecodedImage img;
  std::string bgr = PixelBytes(18);
  for (u8 descriptor : {0x00, 0x20}) {
    const std::string file = MakeTga(2, 3, 2, 24, bgr, descriptor) + "footer";
    ASSERT_TRUE(DecodeTga(AsBytes(file), file.size(), img));
    EXPECT_EQ(img.format, PIXELS_RGB);
    ASSERT_EQ(img.pixels.size(), 18u);
    for (size_t i = 0; i < 18; ++i) {
      EXPECT_EQ(img.pixels[i], static_cast<u8>(bgr[i / 3 * 3 + 2 - i % 3])) << i;
    }
  }

  std::string px = PixelBytes(4 * 4 * 4);
  std::string withId = MakeTga(2, 4, 4, 24, px);
  withId[0] = 1;
  const struct {
    std::string file;
    const char* what;
  } cases[] = {
      {MakeTga(2, 4, 4, 16, px), "true colour at 16 bits"},
      {MakeTga(10, 4, 4, 24, px), "run-length encoded"},
      {MakeTga(1, 4, 4, 8, px), "colour-mapped"},
      {withId, "an image id field (or any colour map field)"},
      {MakeTga(2, 4, 4, 24, px.substr(0, 4 * 4 * 3 - 1)), "one pixel byte missing"},
      {MakeTga(2, 4, 4, 24, "").substr(0, 17), "shorter than a header"},
      {MakeTga(2, 65535, 65535, 32, px), "a huge header over a few bytes: no allocation"},
      {MakeTga(2, 0, 4, 24, px), "no pixels at all"},
  };
  for (const auto& c : cases) {
    ODecodedImage img;
    EXPECT_FALSE(DecodeTga(AsBytes(c.file), c.file.size(), img)) << c.what;
    EXPECT_TRUE(img.pixels.empty()) << c.what;
  }
  EXPECT_FALSE(DecodeTga(nullptr, 0, img));
}

// Colour, grey and CMYK come out as the game's layouts. Damage that leaves every pixel in place
// does not cost the picture; lost or garbled data, or a size no buffer should be made for, does,
// with the decoder's reason and no pixels.
TEST(ImageDecode, JpegColourGreyCmykAndDamage) {
  ODecodedImage img;
  std::string error;
  // Colour, top row first: the red band is at the start of the buffer.
  for (bool progressive : {false, true}) {
    std::string file = RgbJpeg(17, 10, progressive);
    ASSERT_TRUE(DecodeJpeg(AsBytes(file), file.size(), img, &error)) << error;
    EXPECT_EQ(img.format, PIXELS_RGB);
    ASSERT_EQ(img.pixels.size(), 17u * 10 * 3);
    EXPECT_TRUE(Near(img.pixels[0], 230) && Near(img.pixels[2], 20));
    size_t last = img.pixels.size() - 3;
    EXPECT_TRUE(Near(img.pixels[last], 20) && Near(img.pixels[last + 2], 230));
  }
  // Greyscale: one byte per pixel.
  std::vector<u8> grey(8 * 8, 77);
  std::string file = MakeJpeg(8, 8, 1, grey);
  ASSERT_TRUE(DecodeJpeg(AsBytes(file), file.size(), img, &error)) << error;
  EXPECT_EQ(img.format, PIXELS_LUMINANCE);
  ASSERT_EQ(img.pixels.size(), 64u);
  EXPECT_TRUE(Near(img.pixels[63], 77));
  // CMYK comes out as three bytes per pixel, never four components over a three-byte buffer.
  // Adobe files store ink inverted (255 = none): (255, 0, 255, 255) is magenta ink alone, so red
  // and blue stay and green goes.
  std::vector<u8> cmyk;
  for (int i = 0; i < 8 * 8; ++i) cmyk.insert(cmyk.end(), {255, 0, 255, 255});
  file = MakeJpeg(8, 8, 4, cmyk);
  ASSERT_TRUE(DecodeJpeg(AsBytes(file), file.size(), img, &error)) << error;
  EXPECT_EQ(img.format, PIXELS_RGB);
  ASSERT_EQ(img.pixels.size(), 8u * 8 * 3);
  EXPECT_TRUE(Near(img.pixels[0], 255) && Near(img.pixels[1], 0) && Near(img.pixels[2], 255))
      << int(img.pixels[0]) << " " << int(img.pixels[1]) << " " << int(img.pixels[2]);

  const std::string good = RgbJpeg(32, 24);
  const size_t eoi = good.rfind("\xFF\xD9"), sos = good.find("\xFF\xDA"), sof = good.find("\xFF\xC0");
  ASSERT_TRUE(eoi != std::string::npos && sos != std::string::npos && sof != std::string::npos);
  const std::string app9("\xFF\xE9\x00\x06zzzz", 8);  // an application marker nobody knows
  std::string cutSegment = good;  // a byte of the entropy-coded data knocked into a marker
  cutSegment[sos + 40] = static_cast<char>(0xFF);
  cutSegment[sos + 41] = static_cast<char>(0xD0 + 3);
  std::string huge = good;  // 65500 x 65500 pixels
  huge[sof + 5] = huge[sof + 7] = static_cast<char>(0xFF);
  huge[sof + 6] = huge[sof + 8] = static_cast<char>(0xDC);
  struct Case {
    const char* what;
    std::string file;
    bool loads;
  } cases[] = {
      {"stray bytes before the end marker", good.substr(0, eoi) + "junk" + good.substr(eoi), true},
      {"an unknown application marker", good.substr(0, sos) + app9 + good.substr(sos), true},
      {"image data cut by a marker", cutSegment, false},
      {"the end marker lost", good.substr(0, eoi), false},
      {"not a JPEG at all", "this is not a picture", false},
      {"a huge size, refused before any pixel buffer", huge, false},
      {"the intact file after all those failures: no state left behind", good, true},
  };
  for (const Case& c : cases) {
    ODecodedImage img;
    std::string error;
    EXPECT_EQ(DecodeJpeg(AsBytes(c.file), c.file.size(), img, &error), c.loads)
        << c.what << ": " << error;
    EXPECT_EQ(img.pixels.size(), c.loads ? 32u * 24 * 3 : 0u) << c.what;
    EXPECT_EQ(error.empty(), c.loads) << c.what;
  }
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, img, nullptr));
  for (size_t n = 0; n < good.size(); n += (n < 40 ? 1 : 23)) {
    EXPECT_FALSE(DecodeJpeg(AsBytes(good), n, img, nullptr)) << "cut at " << n;
    EXPECT_TRUE(img.pixels.empty());
  }
}

// The TGA writer read back by the game's decoder: bottom row first, as the game's texture
// coordinates expect, and channels back as red-green-blue-alpha; sizes and layouts a header
// cannot state give no file rather than a broken one. (Every JPEG above comes from the writer.)
TEST(ImageWriter, RoundTripsThroughTheDecoderAndRefusesWhatItCannotStore) {
  const std::vector<u8> rgba = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};
  std::vector<u8> file = EncodeTga(2, 2, 4, rgba.data());
  ODecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_RGBA));
  std::vector<u8> expected(rgba.begin() + 8, rgba.end());
  expected.insert(expected.end(), rgba.begin(), rgba.begin() + 8);
  EXPECT_EQ(image.pixels, expected);
  const std::vector<u8> grey = {0, 64, 128, 255, 7, 9};
  file = EncodeTga(3, 2, 1, grey.data());
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_LUMINANCE));
  EXPECT_EQ(image.pixels, std::vector<u8>({255, 7, 9, 0, 64, 128}));

  const std::vector<u8> pixels(16 * 16 * 3, 30);
  EXPECT_TRUE(EncodeTga(0, 1, 3, pixels.data()).empty());
  EXPECT_TRUE(EncodeTga(70000, 1, 3, pixels.data()).empty());
  EXPECT_TRUE(EncodeTga(1, 1, 2, pixels.data()).empty());
  EXPECT_TRUE(EncodeJpeg(0, 8, 3, pixels.data(), 90).empty());
  EXPECT_TRUE(EncodeJpeg(8, 8, 2, pixels.data(), 90).empty());
}
