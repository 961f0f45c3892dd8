// The resource archive: what the reader finds, what it unscrambles, and what it refuses to trust.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ArchiveTestSupport.h"
#include "support/TestSupport.h"
#include "assets/ArchiveDirectory.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"

using namespace archive_test;

namespace {

std::string Pattern(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + seed * 7 + i / 256) & 0xFF);
  return s;
}

std::string ReadString(OResource& r, const std::string& name) {
  std::unique_ptr<u8[]> bytes = r.Read(name);
  if (!bytes) return "<null>";
  return std::string(reinterpret_cast<const char*>(bytes.get()), r.GetSize(name));
}

}  // namespace

TEST(Resource, NamesMatchIgnoringAsciiCaseOnly) {
  ScratchDir dir;
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"Data/Textures/Menu.jpg", Bytes("menu")},
                                                 {"Data/Music/01_Popcorn.Xm", Bytes("xm")}}));
  OResource r;
  ASSERT_TRUE(r.Open());
  // Both letter cases reach the one entry.
  EXPECT_EQ(ReadString(r, "DATA/TEXTURES/MENU.JPG"), "menu");
  EXPECT_EQ(ReadString(r, "data/textures/menu.jpg"), "menu");
  EXPECT_EQ(r.index.at("data/textures/menu.jpg")->name, "Data/Textures/Menu.jpg");
  // No separator conversion and no trimming.
  EXPECT_EQ(r.Read("Data\\Textures\\Menu.jpg"), nullptr);
  EXPECT_EQ(r.GetSize(" Data/Textures/Menu.jpg"), 0u);
  EXPECT_EQ(r.GetSize("Menu.jpg"), 0u);
  // A miss adds nothing to the index and leaves lastSize alone.
  EXPECT_EQ(r.index.size(), 2u);
  EXPECT_EQ(r.lastSize, 4);
}

TEST(Resource, ScramblingCoversAtMostTheFirst2048Bytes) {
  ScratchDir dir;
  std::string small = Pattern(100, 1), large = Pattern(5000, 2);
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
  // Read gives back the originals, and lastSize follows the latest read.
  EXPECT_EQ(ReadString(r, "small"), small);
  EXPECT_EQ(r.lastSize, 100);
  EXPECT_EQ(ReadString(r, "large"), large);
  EXPECT_EQ(r.lastSize, 5000);
  // The header the writer chose is kept as read.
  EXPECT_EQ(std::memcmp(r.header, ARCHIVE_TAG, sizeof ARCHIVE_TAG), 0);
}

TEST(Resource, DirectoryRecordsAsStored) {
  ScratchDir dir;
  std::string data = "0123456789";
  u32 base = 32;
  // Name fields: trailing zeros, a name with bytes after its zero, and two case variants.
  std::vector<RawRecord> records = {
      {12 + 8, 3, 0, std::string("abc\0\0\0\0\0", 8)},
      {12 + 7, 2, 0, std::string("x\0junk!", 7)},
      {12 + 4, 4, 0, "Same"},
      {12 + 4, 5, 0, "SAME"},
      {12 + 0, 1, 0, ""},
  };
  u32 dirSize = 0;
  for (const RawRecord& rec : records) dirSize += rec.recordSize;
  for (RawRecord& rec : records) rec.dataOffset = base + dirSize;
  WriteFile("Data/Resource.Tkr", RawArchive(5, records, Scrambled(data)));

  OResource r;
  ASSERT_TRUE(r.Open());
  // The name ends at its first zero byte.
  ASSERT_EQ(r.index.count("abc"), 1u);
  EXPECT_EQ(r.index.at("abc")->recordSize, 20u);
  EXPECT_EQ(ReadString(r, "abc"), "012");
  EXPECT_EQ(r.index.count("x"), 1u);
  // The later of two case variants wins under both spellings.
  EXPECT_EQ(r.GetSize("same"), 5u);
  EXPECT_EQ(r.GetSize("Same"), 5u);
  EXPECT_EQ(r.index.at("same")->name, "SAME");
  // A record with an empty name field is the empty name.
  EXPECT_EQ(r.GetSize(""), 1u);
  EXPECT_EQ(r.index.size(), 4u);
  EXPECT_EQ(r.DamagedRecords(), 0u);
}

TEST(Resource, EmptyAndMissingArchives) {
  {
    // A count of 0 or below is an empty archive, even with records after the header.
    for (i32 count : {0, -1, -2147483647 - 1}) {
      ScratchDir dir;
      WriteFile("Data/Resource.Tkr", RawArchive(count, {{16, 0, 0, "name"}}));
      OResource r;
      EXPECT_TRUE(r.Open()) << count;
      EXPECT_TRUE(r.index.empty()) << count;
    }
  }
  {
    // A file shorter than its header opens with nothing in it.
    ScratchDir dir;
    WriteFile("Data/Resource.Tkr", "short");
    OResource r;
    EXPECT_TRUE(r.Open());
    EXPECT_TRUE(r.index.empty());
  }
  {
    // No archive at all: reported on standard output at Open; every read is null.
    ScratchDir dir;
    OResource r;
    testing::internal::CaptureStdout();
    bool opened = r.Open();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(opened);
    EXPECT_EQ(out, "File was not opened\n");
    EXPECT_EQ(r.Read("anything"), nullptr);
    EXPECT_EQ(r.lastSize, -1);
  }
  {
    // The archive vanishing after the index was built: the read reports it and yields null.
    ScratchDir dir;
    ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"a", Bytes("aaa")}}));
    OResource r;
    ASSERT_TRUE(r.Open());
    std::remove("Data/Resource.Tkr");
    testing::internal::CaptureStdout();
    EXPECT_EQ(r.Read("a"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File was not opened\n");
  }
}

TEST(Resource, DamagedDirectoriesAreNotTrusted) {
  {
    // More records promised than the file holds: the complete ones are usable.
    ScratchDir dir;
    u32 dataAt = 32 + 2 * 13;
    WriteFile("Data/Resource.Tkr",
              RawArchive(1000, {{13, 1, dataAt, "a"}, {13, 1, dataAt + 1, "b"}}, Scrambled("xy")));
    OResource r;
    ASSERT_TRUE(r.Open());
    EXPECT_EQ(ReadString(r, "a"), "x");
    EXPECT_EQ(ReadString(r, "b"), "y");
    EXPECT_EQ(r.DamagedRecords(), 1u);
  }
  {
    // A record size below 12 ends the directory: nothing after it can be located.
    ScratchDir dir;
    WriteFile("Data/Resource.Tkr",
              RawArchive(3, {{13, 0, 0, "a"}, {11, 0, 0, ""}, {13, 0, 0, "c"}}));
    OResource r;
    ASSERT_TRUE(r.Open());
    EXPECT_EQ(r.index.size(), 1u);
    EXPECT_EQ(r.GetSize("c"), 0u);
  }
  {
    // Data reaching past the end of the file (also through 32-bit wrap-around) reads as missing;
    // its neighbours stay readable.
    ScratchDir dir;
    std::vector<RawRecord> recs = {{13, 3, 0, "g"}, {13, 100, 0, "p"}, {13, 0x10, 0xFFFFFFF8u, "w"}};
    u32 dataAt = static_cast<u32>(32 + 3 * 13);
    recs[0].dataOffset = dataAt;
    recs[1].dataOffset = dataAt;
    WriteFile("Data/Resource.Tkr", RawArchive(3, recs, Scrambled("ok!")));
    OResource r;
    ASSERT_TRUE(r.Open());
    EXPECT_EQ(ReadString(r, "g"), "ok!");
    EXPECT_EQ(r.Read("p"), nullptr);
    EXPECT_EQ(r.GetSize("p"), 0u);
    EXPECT_EQ(r.Read("w"), nullptr);
    EXPECT_EQ(r.DamagedRecords(), 2u);
  }
  {
    // A name field claiming 4 GB and a count of 2^31-1 in a tiny file: nothing is allocated by
    // them (this would throw or take ages otherwise).
    ScratchDir dir;
    WriteFile("Data/Resource.Tkr", RawArchive(0x7FFFFFFF, {{0xFFFFFFFFu, 0, 0, "n"}}));
    OResource r;
    ASSERT_TRUE(r.Open());
    EXPECT_TRUE(r.index.empty());
  }
  {
    // The archive replaced by a shorter one after indexing: the read yields null rather than
    // bytes that were never read.
    ScratchDir dir;
    ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"a", Bytes(Pattern(3000, 3))}}));
    OResource r;
    ASSERT_TRUE(r.Open());
    std::string file = ReadFile("Data/Resource.Tkr");
    WriteFile("Data/Resource.Tkr", file.substr(0, file.size() - 10));
    EXPECT_EQ(r.Read("a"), nullptr);
  }
}

TEST(Resource, ListingSurvivesMutatedArchives) {
  // Random damage anywhere in a valid archive: every record the lister calls trusted lies inside
  // the bytes, and nothing crashes or over-allocates.
  std::vector<unsigned char> good;
  ASSERT_TRUE(BuildArchive({{"Data/Textures/A.Tga", Bytes(Pattern(300, 4))},
                            {"Data/Models/B", Bytes(Pattern(2500, 5))},
                            {"c", Bytes("")}},
                           good));
  u32 state = 12345;
  auto next = [&]() { return state = state * 1103515245u + 12345u, (state >> 8) & 0xFFFFFF; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> bytes = good;
    int changes = 1 + next() % 4;
    for (int c = 0; c < changes; ++c) bytes[next() % bytes.size()] = static_cast<u8>(next());
    if (round % 5 == 0) bytes.resize(next() % bytes.size());
    OArchiveDirectory dir = ListArchive(bytes.data(), bytes.size());
    for (const OArchiveRecord& rec : dir.records) {
      if (rec.trusted) {
        EXPECT_LE(std::uint64_t(rec.dataOffset) + rec.dataSize, bytes.size());
      }
      EXPECT_GE(rec.recordSize, 12u);
    }
    EXPECT_LE(dir.records.size(), bytes.size() / 12);
  }
}

TEST(ArchiveWriter, RefusesWhatItCannotStore) {
  ScratchDir dir;
  // A name with a zero byte could never be found again.
  EXPECT_FALSE(WriteArchive("Data/Bad.Tkr", {{std::string("a\0b", 3), Bytes("x")}}));
  EXPECT_FALSE(FileExists("Data/Bad.Tkr"));
  // A folder that does not exist: false, and no partial file anywhere.
  EXPECT_FALSE(WriteArchive("Nowhere/Resource.Tkr", {{"a", Bytes("x")}}));
  EXPECT_FALSE(FileExists("Nowhere"));
  // A failed write leaves an existing archive as it was.
  ASSERT_TRUE(WriteArchive("Data/Resource.Tkr", {{"a", Bytes("x")}}));
  std::string before = ReadFile("Data/Resource.Tkr");
  EXPECT_FALSE(WriteArchive("Data/Resource.Tkr", {{std::string("\0", 1), Bytes("y")}}));
  EXPECT_EQ(ReadFile("Data/Resource.Tkr"), before);
  // An empty archive is valid.
  ASSERT_TRUE(WriteArchive("Data/Empty.Tkr", {}));
  OResource r("Data/Empty.Tkr");
  EXPECT_TRUE(r.Open());
  EXPECT_TRUE(r.index.empty());
}
