#include <gtest/gtest.h>

#include <cstring>

#include "ModelTestSupport.h"
#include "assets/ModelData.h"
#include "assets/ModelFormat.h"

namespace {

// The cube in two objects (six and six triangles), with texture names.
OModelFile SampleModel(u32 normalCount) {
  OModelFile m = CubeFile(normalCount, 2);
  m.texture = "Brick.Tga";
  m.texture2 = "B";
  m.objects[0].material.diffuse[1] = 0.25f;
  return m;
}

void PutU32(std::vector<unsigned char>& b, size_t at, u32 v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

bool Read(const std::vector<unsigned char>& b, OModelFile& out) {
  return ReadZmod(b.data(), b.size(), out);
}

}  // namespace

// The writer's bytes are what the header table says, and the reader gives the model back; an
// empty model too.
TEST(ModelFormat, RoundTripAndLayout) {
  for (u32 normalCount : {0u, 5u}) {
    OModelFile m = SampleModel(normalCount);
    std::vector<unsigned char> bytes = WriteZmod(m);
    const size_t k = normalCount ? 9 : 6;
    // 64 header + 8 vertices + 4 texcoords + 2 object heads + 12 triangles of k indices
    EXPECT_EQ(bytes.size(), 64 + 96 + 32 + 120 + 12 * k * 4) << "k = " << k;
    EXPECT_EQ(std::memcmp(bytes.data(), "ZMOD3D", 6), 0);
    EXPECT_EQ(bytes[12], 1);   // lastObjectIndex = objects - 1
    EXPECT_EQ(bytes[28], 12);  // faceCount over all objects

    OModelFile back;
    ASSERT_TRUE(Read(bytes, back));
    EXPECT_EQ(back.texture, "Brick.Tga");
    EXPECT_EQ(back.texture2, "B");
    EXPECT_FLOAT_EQ(back.objects[0].material.diffuse[1], 0.25f);
    ASSERT_EQ(back.objects.size(), 2u);
    EXPECT_EQ(back.objects[1].faces[0].corners[2].texCoord, 3);
    // Normal indices travel only with k = 9.
    EXPECT_EQ(back.objects[1].faces[0].corners[2].normal, normalCount ? 1 : 0);
    EXPECT_EQ(WriteZmod(back), bytes);  // stable second round
  }
  // No objects: any negative lastObjectIndex reads as none, unless a face is claimed.
  std::vector<unsigned char> bytes = WriteZmod(OModelFile{});
  OModelFile back;
  PutU32(bytes, 12, 0x80000000u);
  ASSERT_TRUE(Read(bytes, back));
  EXPECT_TRUE(back.objects.empty());
  PutU32(bytes, 28, 1);
  EXPECT_FALSE(Read(bytes, back));
}

// Every cut of a valid file fails cleanly (under a sanitizer: no byte past the cut is read);
// trailing bytes are ignored.
TEST(ModelFormat, Truncations) {
  for (u32 normalCount : {0u, 1u}) {
    std::vector<unsigned char> bytes = WriteZmod(SampleModel(normalCount));
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);  // so ASan sees the end
      OModelFile back;
      EXPECT_FALSE(ReadZmod(part.data(), part.size(), back)) << "cut at " << cut;
    }
    bytes.push_back(0xEE);
    OModelFile back;
    EXPECT_TRUE(Read(bytes, back));
  }
  OModelFile back;
  EXPECT_FALSE(ReadZmod(nullptr, 0, back));
}

// Counts that claim more than the bytes hold fail before any allocation of that size; indices
// outside their tables fail, while the normal index, which indexes nothing, is taken as it is.
TEST(ModelFormat, DamagedCountsAndIndices) {
  const std::vector<unsigned char> good = WriteZmod(SampleModel(1));
  // The first object's face count and, after its head, its first index.
  const size_t objectFaces = ZMOD_HEADER_SIZE + 96 + 32 + 4;
  const size_t first = ZMOD_HEADER_SIZE + 96 + 32 + ZMOD_OBJECT_HEAD_SIZE;
  const struct {
    size_t offset;
    u32 value;
    bool ok;
    const char* what;
  } cases[] = {
      {12, 0x7FFFFFFFu, false, "lastObjectIndex at the top of the range"},
      {16, 0xFFFFFFFFu, false, "vertexCount wrapping 12 x count in 32 bits"},
      {16, 0x15555556u, false, "vertexCount whose 12 x count wraps to a small number"},
      {20, 0xFFFFFFFFu, false, "texCoordCount"},
      {28, 0xFFFFFFFFu, false, "faceCount above the objects' sum"},
      {28, 11u, false, "faceCount below the objects' sum"},
      {objectFaces, 0xFFFFFFFFu, false, "objectFaceCount"},
      {objectFaces, 0x2AAAAAABu, false, "objectFaceCount wrapping 24 x count"},
      {first, 0, false, "vertex index 0 (indices are 1-based)"},
      {first, 9, false, "vertex index one past the table"},
      {first, 0xFFFFFFFFu, false, "negative vertex index"},
      {first, 8, true, "last vertex"},
      {first + 4, 0, false, "texture coordinate index 0"},
      {first + 4, 5, false, "texture coordinate index past the table"},
      {first + 8, 1000, true, "normal index out of any range"},
  };
  for (const auto& c : cases) {
    std::vector<unsigned char> bytes = good;
    PutU32(bytes, c.offset, c.value);
    OModelFile back;
    EXPECT_EQ(Read(bytes, back), c.ok) << c.what;
  }
}

// Geometry built from whatever the reader accepts of a damaged file has a normal per vertex.
TEST(ModelFormat, GeometryFromDamagedFiles) {
  const std::vector<unsigned char> good = WriteZmod(SampleModel(3));
  u32 seed = 12345;
  auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> bytes = good;
    for (int i = 0, flips = 1 + next() % 4; i < flips; ++i)
      bytes[next() % bytes.size()] = static_cast<unsigned char>(next());
    bytes.resize(next() % (bytes.size() + 1));
    OModelFile back;
    if (!Read(bytes, back)) continue;
    OModelData geometry;
    geometry.SetGeometry(back);
    ASSERT_EQ(geometry.normals.size(), back.vertices.size() * 3);
  }
}
