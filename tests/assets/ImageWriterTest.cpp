// The TGA writer checked against the game's own decoder, and what both writers refuse.
#include <vector>

#include <gtest/gtest.h>

#include "assets/ImageDecode.h"
#include "assets/ImageWriter.h"

TEST(ImageWriter, RoundTripsThroughTheGameDecodersAndRefusesWhatItCannotStore) {
  // 2 x 2 RGBA, top row first as given to the writer. The TGA stores the bottom row first, the
  // usual order the game's texture coordinates expect; channels come back red-green-blue-alpha.
  const std::vector<u8> rgba = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};
  std::vector<u8> file = EncodeTga(2, 2, 4, rgba.data());
  ODecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_RGBA));
  std::vector<u8> expected(rgba.begin() + 8, rgba.end());
  expected.insert(expected.end(), rgba.begin(), rgba.begin() + 8);
  EXPECT_EQ(image.pixels, expected);

  // A grey picture becomes a greyscale file, bottom row first like the colour ones.
  const std::vector<u8> grey = {0, 64, 128, 255, 7, 9};
  file = EncodeTga(3, 2, 1, grey.data());
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), image));
  EXPECT_EQ(image.format, static_cast<u32>(PIXELS_LUMINANCE));
  EXPECT_EQ(image.pixels, std::vector<u8>({255, 7, 9, 0, 64, 128}));

  // (The JPEG writer makes every JPEG the decoder tests read: ImageDecode.JpegColourGreyAndCmyk
  // checks its rows, channels and colours.)
  const std::vector<u8> pixels(16 * 16 * 3, 30);
  // Sizes and layouts a header cannot state give no file instead of a broken one.
  EXPECT_TRUE(EncodeTga(0, 1, 3, pixels.data()).empty());
  EXPECT_TRUE(EncodeTga(70000, 1, 3, pixels.data()).empty());
  EXPECT_TRUE(EncodeTga(1, 1, 2, pixels.data()).empty());
  EXPECT_TRUE(EncodeJpeg(0, 8, 3, pixels.data(), 90).empty());
  EXPECT_TRUE(EncodeJpeg(8, 8, 2, pixels.data(), 90).empty());
}
