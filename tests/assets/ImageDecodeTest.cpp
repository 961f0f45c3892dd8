// Decoding TGA and JPEG files into pixels, and refusing everything else without reading beyond
// the bytes or ending the process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ImageTestSupport.h"
#include "assets/ImageDecode.h"

using namespace image_test;

namespace {

bool Near(int a, int b, int tolerance = 6) { return std::abs(a - b) <= tolerance; }

std::string RgbJpeg(u32 w, u32 h, bool progressive = false) {
  const u8 red[3] = {230, 20, 20}, blue[3] = {20, 20, 230};
  return MakeJpeg(w, h, 3, TwoBandsRgb(w, h, red, blue), 95, progressive);
}

}  // namespace

TEST(ImageDecode, TgaTrueColourAndGreyscale) {
  ODecodedImage img;
  // 3x2 at 24 bits: blue-green-red swapped to red-green-blue, rows in file order (the
  // descriptor's top-left-origin bit does not flip them).
  std::string bgr = PixelBytes(18);
  for (u8 descriptor : {0x00, 0x20}) {
    ASSERT_TRUE(DecodeTga(AsBytes(MakeTga(2, 3, 2, 24, bgr, descriptor)), 36, img));
    EXPECT_EQ(img.format, PIXELS_RGB);
    ASSERT_EQ(img.pixels.size(), 18u);
    for (size_t i = 0; i < 18; ++i) {
      EXPECT_EQ(img.pixels[i], static_cast<u8>(bgr[i / 3 * 3 + 2 - i % 3])) << i;
    }
  }
  // 32 bits: RGBA with alpha kept last.
  std::string bgra = PixelBytes(2 * 2 * 4, 1);
  ASSERT_TRUE(DecodeTga(AsBytes(MakeTga(2, 2, 2, 32, bgra)), 18 + 16, img));
  EXPECT_EQ(img.format, PIXELS_RGBA);
  EXPECT_EQ(img.pixels[0], static_cast<u8>(bgra[2]));
  EXPECT_EQ(img.pixels[3], static_cast<u8>(bgra[3]));
  // Type 3 at 8 bits: luminance bytes unchanged; extra bytes after the pixels are ignored.
  std::string grey = PixelBytes(5 * 3, 2);
  std::string file = MakeTga(3, 5, 3, 8, grey) + "footer";
  ASSERT_TRUE(DecodeTga(AsBytes(file), file.size(), img));
  EXPECT_EQ(img.format, PIXELS_LUMINANCE);
  EXPECT_EQ(std::string(img.pixels.begin(), img.pixels.end()), grey);
}

TEST(ImageDecode, TgaOfOtherKindsIsRejected) {
  std::string px = PixelBytes(4 * 4 * 4);
  std::string withId = MakeTga(2, 4, 4, 24, px), withOrigin = withId;
  withId[0] = 1;
  withOrigin[8] = 1;
  const struct {
    std::string file;
    const char* what;
  } cases[] = {
      {MakeTga(2, 4, 4, 16, px), "true colour at 16 bits"},
      {MakeTga(3, 4, 4, 24, px), "greyscale at 24 bits"},
      {MakeTga(10, 4, 4, 24, px), "run-length encoded"},
      {MakeTga(1, 4, 4, 8, px), "colour-mapped"},
      {withId, "an image id field"},
      {withOrigin, "a colour map origin"},
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
  ODecodedImage img;
  EXPECT_FALSE(DecodeTga(nullptr, 0, img));
}

TEST(ImageDecode, JpegColourGreyAndCmyk) {
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
}

TEST(ImageDecode, CorruptJpegFailsAndReturns) {
  std::string good = RgbJpeg(32, 24);
  ODecodedImage img;
  std::string error;
  // Not a JPEG at all: the decoder's own message comes back.
  std::string junk = "this is not a picture";
  EXPECT_FALSE(DecodeJpeg(AsBytes(junk), junk.size(), img, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, img, &error));
  // Every truncation fails, even one that only loses the end marker.
  for (size_t n = 0; n < good.size(); n += (n < 40 ? 1 : 23)) {
    EXPECT_FALSE(DecodeJpeg(AsBytes(good), n, img, &error)) << n;
    EXPECT_TRUE(img.pixels.empty());
  }
  EXPECT_FALSE(DecodeJpeg(AsBytes(good), good.size() - 1, img, &error));
  // A header claiming 65500 x 65500 pixels is refused before any pixel buffer exists.
  std::string huge = good;
  size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 7] = static_cast<char>(0xFF);
  huge[sof + 6] = huge[sof + 8] = static_cast<char>(0xDC);
  EXPECT_FALSE(DecodeJpeg(AsBytes(huge), huge.size(), img, &error));
  // The intact file still decodes after all those failures (no state left behind).
  EXPECT_TRUE(DecodeJpeg(AsBytes(good), good.size(), img, &error)) << error;
}

// Warnings that leave every pixel in place do not cost the picture; those that mean lost or
// garbled data do.
TEST(ImageDecode, JpegWarningsFailOnlyWhenDataIsLost) {
  const std::string good = RgbJpeg(32, 24);
  const size_t eoi = good.rfind("\xFF\xD9");
  const size_t sos = good.find("\xFF\xDA");
  ASSERT_NE(eoi, std::string::npos);
  ASSERT_NE(sos, std::string::npos);
  // An application marker nobody knows, placed before the scan.
  const std::string app9("\xFF\xE9\x00\x06zzzz", 8);
  // A byte inside the entropy-coded data knocked into a marker: the segment ends early.
  std::string cutSegment = good;
  cutSegment[sos + 40] = static_cast<char>(0xFF);
  cutSegment[sos + 41] = static_cast<char>(0xD0 + 3);
  struct Case {
    const char* what;
    std::string file;
    bool loads;
  } cases[] = {
      {"stray bytes before the end marker", good.substr(0, eoi) + "junk" + good.substr(eoi), true},
      {"stray bytes before the scan", good.substr(0, sos) + "xy" + good.substr(sos), true},
      {"an unknown application marker", good.substr(0, sos) + app9 + good.substr(sos), true},
      {"image data cut by a marker", cutSegment, false},
      {"the end marker lost", good.substr(0, eoi), false},
  };
  for (const Case& c : cases) {
    ODecodedImage img;
    std::string error;
    EXPECT_EQ(DecodeJpeg(AsBytes(c.file), c.file.size(), img, &error), c.loads)
        << c.what << ": " << error;
    if (c.loads) {
      EXPECT_EQ(img.pixels.size(), 32u * 24 * 3) << c.what;
    }
  }
}
