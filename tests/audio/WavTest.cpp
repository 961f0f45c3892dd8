#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "audio/Wav.h"

using namespace audiotest;

namespace {
bool Parse(const std::string& file, OWavInfo& info) {
  return ParseWav(reinterpret_cast<const u8*>(file.data()), file.size(), info);
}
}  // namespace

// Where the samples are found in files laid out in the ways real tools write them.
TEST(Wav, FindsSamplesWhereverTheDataChunkIs) {
  OWavInfo info;
  const std::string samples = Samples16({1, 2, 3, 4});

  // canonical 44-byte header
  ASSERT_TRUE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16)) + Chunk("data", samples)), info));
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_EQ(info.dataSize, 8u);

  // extra chunks before the data (a LIST with an odd size, padded): they are skipped, not played
  const std::string list = Chunk("LIST", "INFOabc");  // 7 bytes + 1 pad
  ASSERT_TRUE(Parse(Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16)) + list + Chunk("data", samples)), info));
  EXPECT_EQ(info.dataOffset, 12u + 24u + 16u + 8u);
  EXPECT_EQ(info.dataSize, 8u);

  // an 18-byte format record (with its extra-size field) and data before format
  std::string fmt18 = Fmt(1, 1, 8000, 8) + std::string(2, '\0');
  ASSERT_TRUE(Parse(Riff(Chunk("data", "abcd") + Chunk("fmt ", fmt18)), info));
  EXPECT_EQ(info.dataOffset, 20u);
  EXPECT_EQ(info.bitsPerSample, 8);

  // extensible format whose sub-format is PCM
  std::string ext = Fmt(0xFFFE, 2, 44100, 16);
  Put16(ext, 22);
  Put16(ext, 16);
  Put32(ext, 3);
  ext += std::string("\x01\x00", 2) + std::string(14, '\x11');
  ASSERT_TRUE(Parse(Riff(Chunk("fmt ", ext) + Chunk("data", samples)), info));
  EXPECT_EQ(info.formatTag, 1);
}

// Damaged sizes are cut to what the file holds, never past its end, and to whole frames.
TEST(Wav, ShortAndOverlongDataChunks) {
  OWavInfo info;
  // declares 1000 bytes, holds 6: only the 6 are samples
  std::string file = Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16))) + "data";
  Put32(file, 1000);
  file += Samples16({5, 6, 7});
  ASSERT_TRUE(Parse(file, info));
  EXPECT_EQ(info.dataOffset + info.dataSize, file.size());
  EXPECT_EQ(info.dataSize, 6u);

  // stereo 16-bit with 7 bytes: one whole frame of 4 bytes
  file = Riff(Chunk("fmt ", Fmt(1, 2, 44100, 16))) + "data";
  Put32(file, 7);
  file += "1234567";
  ASSERT_TRUE(Parse(file, info));
  EXPECT_EQ(info.dataSize, 4u);

  // an unknown chunk claiming 4 GB before the data: nothing after it can be found
  file = Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16)) + Chunk("junk", "xx", 0xFFFFFFFFL) + Chunk("data", "ab"));
  EXPECT_FALSE(Parse(file, info));
}

// Files that cannot be played as PCM are refused rather than played as noise.
TEST(Wav, RefusesWhatCannotPlay) {
  OWavInfo info;
  const std::string data = Chunk("data", Samples16({1, 2, 3, 4}));
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(3, 1, 44100, 32)) + data), info));   // float
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(2, 1, 44100, 4, 256)) + data), info));  // ADPCM
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 44100, 24)) + data), info));  // 24-bit
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 6, 44100, 16)) + data), info));  // six channels
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 2, 44100, 16, 2)) + data), info));  // bad frame size
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 0, 16)) + data), info));      // no rate
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16))), info));         // no data
  EXPECT_FALSE(Parse(Riff(data), info));                                       // no format
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16)) + Chunk("data", "")), info));  // empty
  EXPECT_FALSE(Parse(Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16).substr(0, 14)) + data), info));  // short fmt
  EXPECT_FALSE(Parse(std::string("RIFF\x10\0\0\0AVI LIST", 16), info));
  EXPECT_FALSE(ParseWav(nullptr, 100, info));
}

// Samples reach the output format (44100 Hz, 16-bit stereo) with their values.
TEST(Wav, ConvertsToTheOutputFormat) {
  OWavInfo info;
  std::vector<u8> out;

  // 16-bit mono at the output rate: each sample on both channels, unchanged
  std::string file = Riff(Chunk("fmt ", Fmt(1, 1, 44100, 16)) + Chunk("data", Samples16({1000, -2000, 3})));
  ASSERT_TRUE(Parse(file, info));
  ASSERT_TRUE(ConvertWavToOutput(reinterpret_cast<const u8*>(file.data()), info, out));
  ASSERT_EQ(out.size(), 3u * 4u);
  const i16* s = reinterpret_cast<const i16*>(out.data());
  EXPECT_EQ(std::vector<i16>(s, s + 6), (std::vector<i16>{1000, 1000, -2000, -2000, 3, 3}));

  // 8-bit unsigned at 22050 Hz: silence (128) stays silence, the length doubles
  file = Riff(Chunk("fmt ", Fmt(1, 1, 22050, 8)) + Chunk("data", std::string(2000, '\x80')));
  ASSERT_TRUE(Parse(file, info));
  ASSERT_TRUE(ConvertWavToOutput(reinterpret_cast<const u8*>(file.data()), info, out));
  EXPECT_NEAR(static_cast<double>(out.size()) / 4.0, 4000.0, 64.0);
  s = reinterpret_cast<const i16*>(out.data());
  for (size_t i = 0; i < out.size() / 2; ++i) ASSERT_EQ(s[i], 0);
}
