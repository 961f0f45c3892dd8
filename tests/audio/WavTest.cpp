#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "audio/Wav.h"

using namespace audiotest;

// Where the samples are in files laid out as real tools write them; damaged sizes cut to what the
// file holds and to whole frames; what cannot be played as PCM refused rather than played as noise.
// 8-bit unsigned at 22050 Hz reaches the output format (44100 Hz, 16-bit stereo): silence (128)
// stays silence, the length doubles. (16-bit mono is the sound player's whole-effect test.)
TEST(Wav, FindsTheSamplesOrRefusesTheFileAndConvertsWhatItFinds) {
  const std::string samples = Samples16({1, 2, 3, 4}), data = Chunk("data", samples);
  const std::string mono = Fmt(1, 1, 44100, 16);
  auto with = [&data](const std::string& fmt) { return Riff(Chunk("fmt ", fmt) + data); };
  auto declaring = [](const std::string& fmt, u32 size, const std::string& bytes) {
    std::string file = Riff(Chunk("fmt ", fmt)) + "data";
    Put32(file, size);
    return file + bytes;
  };
  std::string extensible = Fmt(0xFFFE, 2, 44100, 16);
  Put16(extensible, 22);
  Put16(extensible, 16);
  Put32(extensible, 3);
  extensible += std::string("\x01\x00", 2) + std::string(14, '\x11');  // sub-format PCM
  const struct {
    std::string file;
    bool ok;
    size_t offset, size;
    const char* what;
  } cases[] = {
      {with(mono), true, 44, 8, "the canonical 44-byte header"},
      {Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16)) + Chunk("LIST", "INFOabc") + data), true, 60, 8,
       "a chunk of odd size before the data: padded and skipped"},
      {Riff(Chunk("data", "abcde") + Chunk("fmt ", Fmt(1, 1, 8000, 8) + std::string(2, '\0'))), true,
       20, 5, "data before an 18-byte format: 8-bit frames"},
      {Riff(Chunk("fmt ", extensible) + data), true, 68, 8, "extensible format of PCM"},
      {declaring(mono, 1000, Samples16({5, 6, 7})), true, 44, 6, "declares 1000 bytes, holds 6"},
      {declaring(Fmt(1, 2, 44100, 16), 7, "1234567"), true, 44, 4, "7 bytes: one stereo frame"},
      {Riff(Chunk("fmt ", mono) + Chunk("junk", "xx", 0xFFFFFFFFL) + data), false, 0, 0,
       "a chunk claiming 4 GB hides the data"},
      {with(Fmt(3, 1, 44100, 32)), false, 0, 0, "float"},
      {with(Fmt(1, 1, 44100, 24)), false, 0, 0, "24-bit"},
      {with(Fmt(1, 6, 44100, 16)), false, 0, 0, "six channels"},
      {with(Fmt(1, 2, 44100, 16, 2)), false, 0, 0, "a frame size that is not the format's"},
      {with(Fmt(1, 1, 0, 16)), false, 0, 0, "no rate"},
      {with(mono.substr(0, 14)), false, 0, 0, "a short format"},
      {Riff(Chunk("fmt ", mono)), false, 0, 0, "no data"},
      {Riff(Chunk("fmt ", mono) + Chunk("data", "")), false, 0, 0, "empty data"},
      {Riff(data), false, 0, 0, "no format"},
      {std::string("RIFF\x10\0\0\0AVI LIST", 16), false, 0, 0, "not a WAVE"},
  };
  for (const auto& c : cases) {
    OWavInfo info;
    ASSERT_EQ(ParseWav(reinterpret_cast<const u8*>(c.file.data()), c.file.size(), info), c.ok)
        << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(info.formatTag, 1) << c.what;
    EXPECT_EQ(info.dataOffset, c.offset) << c.what;
    EXPECT_EQ(info.dataSize, c.size) << c.what;
  }
  OWavInfo info;
  EXPECT_FALSE(ParseWav(nullptr, 100, info));

  std::vector<u8> out;
  const std::string file =
      Riff(Chunk("fmt ", Fmt(1, 1, 22050, 8)) + Chunk("data", std::string(2000, '\x80')));
  ASSERT_TRUE(ParseWav(reinterpret_cast<const u8*>(file.data()), file.size(), info));
  ASSERT_TRUE(ConvertWavToOutput(reinterpret_cast<const u8*>(file.data()), info, out));
  EXPECT_NEAR(static_cast<double>(out.size()) / 4.0, 4000.0, 64.0);
  const i16* s = reinterpret_cast<const i16*>(out.data());
  EXPECT_EQ(std::count(s, s + out.size() / 2, 0), static_cast<long>(out.size() / 2));
}
