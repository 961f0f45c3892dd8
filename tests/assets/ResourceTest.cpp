// The resource archive: what the reader finds, what it unscrambles, and what it refuses to trust;
// what the writer and the archive tool refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "assets/ArchiveFormat.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "support/TestSupport.h"

using image_test::PixelBytes;

namespace {

struct RawRecord {
  u32 recordSize;
  u32 dataSize;
  u32 dataOffset;
  std::string nameField;  // plain bytes; scrambled when written
};

std::string Scrambled(std::string bytes) {
  Unscramble(reinterpret_cast<u8*>(&bytes[0]), bytes.size());
  return bytes;
}

// A header with the given count, then the records, any field a value no writer would produce;
// `tail` follows the directory.
std::string RawArchive(i32 entryCount, const std::vector<RawRecord>& records,
                       const std::string& tail = "") {
  std::string out(ARCHIVE_HEADER_SIZE, '\0');
  ArchiveWrite32(reinterpret_cast<u8*>(&out[ARCHIVE_COUNT_OFFSET]), static_cast<u32>(entryCount));
  for (const RawRecord& r : records) {
    u8 fixed[12];
    ArchiveWrite32(fixed, r.recordSize);
    ArchiveWrite32(fixed + 4, r.dataSize);
    ArchiveWrite32(fixed + 8, r.dataOffset);
    out.append(reinterpret_cast<const char*>(fixed), 12);
    out += Scrambled(r.nameField);
  }
  return out + tail;
}

std::vector<unsigned char> Bytes(const std::string& s) {
  return std::vector<unsigned char>(s.begin(), s.end());
}

std::string ReadString(OResource& r, const std::string& name) {
  std::unique_ptr<u8[]> bytes = r.Read(name);
  if (!bytes) return "<null>";
  return std::string(reinterpret_cast<const char*>(bytes.get()), r.GetSize(name));
}

}  // namespace

// Scrambling covers at most a file's first 2 KB; names are matched as the directory stores them,
// ignoring ASCII letter case only.
TEST(Resource, ScramblingAndNamesAsStored) {
  ScratchDir dir;
  std::string small = PixelBytes(100, 1), large = PixelBytes(5000, 2);
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"small", Bytes(small)}, {"large", Bytes(large)}}));
  OResource r;
  ASSERT_TRUE(r.Open());
  std::string file = ReadFile("Data/Resource.Tkr");
  const OResourceEntry& s = *r.index.at("small");
  const OResourceEntry& l = *r.index.at("large");
  // On disk: the small file is scrambled throughout, the large one only over its first 2 KB.
  EXPECT_EQ(file.substr(s.dataOffset, 100), Scrambled(small));
  EXPECT_EQ(file.substr(l.dataOffset, 2048), Scrambled(large.substr(0, 2048)));
  EXPECT_EQ(file.substr(l.dataOffset + 2048, 5000 - 2048), large.substr(2048));
  EXPECT_EQ(ReadString(r, "small"), small);
  EXPECT_EQ(ReadString(r, "large"), large);

  // Name fields: a name with bytes after its zero, and two case variants.
  std::vector<RawRecord> records = {
      {12 + 9, 3, 0, std::string("a/x\0junk!", 9)},
      {12 + 4, 4, 0, "Same"},
      {12 + 4, 5, 0, "SAME"},
  };
  for (RawRecord& rec : records) rec.dataOffset = 32 + 21 + 16 + 16;
  WriteFile("Data/Resource.Tkr", RawArchive(3, records, Scrambled("0123456789")));
  ASSERT_TRUE(r.Open());
  EXPECT_EQ(ReadString(r, "A/X"), "012");  // the name ends at its first zero byte
  // The later of two case variants wins under both spellings.
  EXPECT_EQ(r.GetSize("Same"), 5u);
  EXPECT_EQ(r.index.at("same")->name, "SAME");
  // No separator conversion and no trimming; a miss adds nothing to the index.
  EXPECT_EQ(r.Read("a\\x"), nullptr);
  EXPECT_EQ(r.GetSize(" same"), 0u);
  EXPECT_EQ(r.index.size(), 2u);
  EXPECT_EQ(r.DamagedRecords(), 0u);
}

// Damaged or empty directories: what can be located is readable, the rest reads as missing, and
// nothing is allocated on a record's word.
TEST(Resource, DamagedDirectoriesAreNotTrusted) {
  const u32 two = 32 + 2 * 13, three = 32 + 3 * 13;
  const struct {
    std::string file;
    std::vector<std::pair<std::string, std::string>> readable;
    std::vector<std::string> missing;
    const char* what;
  } cases[] = {
      {RawArchive(0, {{16, 0, 0, "name"}}), {}, {"name"}, "count 0 with a record after it"},
      {RawArchive(-2147483647 - 1, {{16, 0, 0, "name"}}), {}, {"name"}, "negative count"},
      {"short", {}, {"a"}, "shorter than its header"},
      {RawArchive(1000, {{13, 1, two, "a"}, {13, 1, two + 1, "b"}}, Scrambled("xy")),
       {{"a", "x"}, {"b", "y"}}, {}, "more records promised than held"},
      {RawArchive(3, {{13, 0, 0, "a"}, {11, 0, 0, ""}, {13, 0, 0, "c"}}), {}, {"c"},
       "a record size below 12 ends the directory"},
      {RawArchive(3, {{13, 3, three, "g"}, {13, 100, three, "p"}, {13, 0x10, 0xFFFFFFF8u, "w"}},
                  Scrambled("ok!")),
       {{"g", "ok!"}}, {"p", "w"}, "data past the end, also by 32-bit wrap-around"},
      {RawArchive(0x7FFFFFFF, {{0xFFFFFFFFu, 0, 0, "n"}}), {}, {"n"},
       "a 4 GB name field and a count of 2^31-1 in a tiny file"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteFile("Data/Resource.Tkr", c.file);
    OResource r;
    ASSERT_TRUE(r.Open()) << c.what;
    for (const auto& [name, bytes] : c.readable) EXPECT_EQ(ReadString(r, name), bytes) << c.what;
    for (const std::string& name : c.missing) {
      EXPECT_EQ(r.Read(name), nullptr) << c.what;
      EXPECT_EQ(r.GetSize(name), 0u) << c.what;
    }
  }
  {
    // The archive replaced by a shorter one after indexing: the read yields null rather than
    // bytes that were never read.
    ScratchDir dir;
    ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"a", Bytes(PixelBytes(3000, 3))}}));
    OResource r;
    ASSERT_TRUE(r.Open());
    std::string file = ReadFile("Data/Resource.Tkr");
    WriteFile("Data/Resource.Tkr", file.substr(0, file.size() - 10));
    EXPECT_EQ(r.Read("a"), nullptr);
  }
  // No archive at all: reported on standard output at Open; every read is null.
  ScratchDir dir;
  OResource r;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(r.Open());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "File was not opened\n");
  EXPECT_EQ(r.Read("anything"), nullptr);
}

// The writer refuses what it cannot store. The archive tool: pack, list and extract give a folder
// back byte for byte; extraction refuses absolute names and "..", never writing outside the
// destination, while safe neighbours come out.
TEST(ArchiveWriter, RefusesWhatItCannotStoreAndTheToolWritesNothingOutside) {
  ScratchDir dir;
  // A folder that does not exist: false, and no partial file anywhere.
  EXPECT_FALSE(WriteArchive("Nowhere/Resource.Tkr", {{"a", Bytes("x")}}));
  EXPECT_FALSE(FileExists("Nowhere"));
  // A name with a zero byte could never be found again: refused, and an existing archive is
  // left as it was.
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"a", Bytes("x")}}));
  std::string before = ReadFile("Data/Resource.Tkr");
  EXPECT_FALSE(WriteArchive("Data/Resource.Tkr", {{std::string("a\0b", 3), Bytes("y")}}));
  EXPECT_EQ(ReadFile("Data/Resource.Tkr"), before);

  const std::string tkr = "'" BRIKON_BINARY_DIR "/tools/tkr/tkr' ";
  const std::string big = PixelBytes(70000, 4);
  std::string out;
  ASSERT_EQ(RunCommand("mkdir -p root/Textures && touch root/Empty"), 0);
  WriteFile("root/Textures/Font.Tga", big);
  ASSERT_EQ(RunCommand(tkr + "pack Data/Resource.Tkr root", &out), 0) << out;
  ASSERT_EQ(RunCommand(tkr + "list Data/Resource.Tkr", &out), 0) << out;
  EXPECT_NE(out.find("Textures/Font.Tga"), std::string::npos) << out;
  EXPECT_NE(out.find("Empty"), std::string::npos) << out;
  ASSERT_EQ(RunCommand(tkr + "extract Data/Resource.Tkr out", &out), 0) << out;
  EXPECT_EQ(ReadFile("out/Textures/Font.Tga"), big);
  EXPECT_TRUE(FileExists("out/Empty"));

  ASSERT_TRUE(WriteArchive("evil.Tkr", {{"../escaped", Bytes("x")},
                                        {dir.Path() + "/absolute", Bytes("x")},
                                        {"fine/file", Bytes("ok")}}));
  EXPECT_EQ(RunCommand(tkr + "extract evil.Tkr inner", &out), 1);
  EXPECT_NE(out.find("refusing to extract ../escaped"), std::string::npos) << out;
  EXPECT_FALSE(FileExists("escaped"));
  EXPECT_FALSE(FileExists("absolute"));
  EXPECT_EQ(ReadFile("inner/fine/file"), "ok");
}
