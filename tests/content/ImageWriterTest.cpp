// The TGA and JPEG writers, checked against the game's own decoders.
#include <vector>

#include <gtest/gtest.h>

#include "assets/ImageDecode.h"
#include "assets/ImageWriter.h"

TEST(ImageWriter, TgaRoundTripsThroughTheGameDecoder) {
  // 3 x 2 RGBA, top row first as given to the writer.
  const std::vector<u8> pixels = {10, 20, 30, 40,   50, 60, 70, 80,   90, 100, 110, 120,
                                  130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240};
  std::vector<u8> file = EncodeTga(3, 2, 4, pixels.data());
  ASSERT_EQ(file.size(), 18u + 24u);
  ODecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_RGBA));
  // Stored bottom row first, the usual TGA order the game's texture coordinates expect; channels
  // come back red-green-blue-alpha.
  std::vector<u8> expected(pixels.begin() + 12, pixels.end());
  expected.insert(expected.end(), pixels.begin(), pixels.begin() + 12);
  EXPECT_EQ(image.pixels, expected);

  // RGB gives a 24-bit file.
  const std::vector<u8> rgb = {1, 2, 3, 4, 5, 6};
  file = EncodeTga(2, 1, 3, rgb.data());
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_RGB));
  EXPECT_EQ(image.pixels, rgb);

  // Sizes and layouts a TGA header cannot state are refused rather than written wrong.
  EXPECT_TRUE(EncodeTga(0, 1, 3, rgb.data()).empty());
  EXPECT_TRUE(EncodeTga(70000, 1, 3, rgb.data()).empty());
  EXPECT_TRUE(EncodeTga(1, 1, 2, rgb.data()).empty());
}

TEST(ImageWriter, JpegRoundTripsAndIsRepeatable) {
  // A 16 x 16 picture: red above, blue below, so row order shows.
  std::vector<u8> pixels(16 * 16 * 3);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      u8* p = &pixels[(y * 16 + x) * 3];
      p[0] = y < 8 ? 220 : 20;
      p[1] = 30;
      p[2] = y < 8 ? 20 : 220;
    }
  std::vector<u8> file = EncodeJpeg(16, 16, 3, pixels.data(), 95);
  ASSERT_FALSE(file.empty());
  ODecodedImage image;
  ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), image));
  // Top row first: the first decoded row is red, the last blue.
  EXPECT_GT(image.pixels[0], 180);
  EXPECT_LT(image.pixels[2], 70);
  EXPECT_LT(image.pixels[15 * 16 * 3], 70);
  EXPECT_GT(image.pixels[15 * 16 * 3 + 2], 180);
  // No time stamps: the same pixels give the same bytes, so content builds repeat exactly.
  EXPECT_EQ(EncodeJpeg(16, 16, 3, pixels.data(), 95), file);

  // Refused inputs give no file instead of a broken one.
  EXPECT_TRUE(EncodeJpeg(0, 8, 3, pixels.data(), 90).empty());
  EXPECT_TRUE(EncodeJpeg(8, 8, 4, pixels.data(), 90).empty());
}
