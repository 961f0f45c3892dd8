#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "ModelTestSupport.h"
#include "assets/DepthShell.h"
#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelFormat.h"
#include "assets/ModelObject.h"
#include "core/Exception.h"
#include "support/TestSupport.h"

namespace {

class ModelTest : public ::testing::Test {
protected:
  void SetUp() override { GetModelCache().detail = 2; }
  ScratchDir dir;
  MessageRecorder messages;
};

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

using Triangle = std::array<f32, 9>;

// A model file built quad by quad: each quad is two triangles (a, b, c) and (a, c, d).
struct Builder {
  OModelFile file;

  Builder() { file.texCoords.push_back({0.0f, 0.0f}); }

  // Corners given in the order that winds them.
  void Quad(size_t object, const std::array<std::array<f32, 3>, 4>& c) {
    if (file.objects.size() <= object) file.objects.resize(object + 1);
    i32 v[4];
    for (int k = 0; k < 4; ++k) {
      file.vertices.push_back({c[k][0], c[k][1], c[k][2]});
      v[k] = static_cast<i32>(file.vertices.size());
    }
    for (const auto& t : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
      OModelFileFace f;
      for (int k = 0; k < 3; ++k) f.corners[k].vertex = v[t[k]];
      file.objects[object].faces.push_back(f);
    }
  }
  // A quad in the plane x = `x` over y0..y1 and z0..z1, wound positively round +X (facing +X)
  // or, with `back`, the other way.
  void QuadX(size_t object, f32 x, f32 y0, f32 y1, f32 z0, f32 z1, bool back = false) {
    if (back) Quad(object, {{{x, y0, z0}, {x, y0, z1}, {x, y1, z1}, {x, y1, z0}}});
    else Quad(object, {{{x, y0, z0}, {x, y1, z0}, {x, y1, z1}, {x, y0, z1}}});
  }
  void QuadZ(size_t object, f32 z, f32 x0, f32 x1, f32 y0, f32 y1) {
    Quad(object, {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}});
  }
};

std::vector<Triangle> Triangles(const std::vector<f32>& positions) {
  std::vector<Triangle> out;
  for (size_t i = 0; i + 9 <= positions.size(); i += 9) {
    Triangle t;
    std::copy(positions.begin() + static_cast<long>(i), positions.begin() + static_cast<long>(i) + 9, t.begin());
    out.push_back(t);
  }
  return out;
}

}  // namespace

// Normals are generated per vertex from the faces, whatever the file says about normals.
TEST_F(ModelTest, NormalGeneration) {
  // Every cube corner points out along its own diagonal (averaged, not one face's), unit long.
  OModelData smooth;
  smooth.SetGeometry(CubeFile(0));
  ASSERT_EQ(smooth.normalCount, 8u);
  for (int i = 0; i < 8; ++i) {
    const f32* n = &smooth.normals[3 * i];
    const f32* v = &smooth.vertices[3 * i];
    EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-5f);
    for (int c = 0; c < 3; ++c) EXPECT_GT(n[c] * v[c], 0.1f) << "vertex " << i;
  }
  // A file with normal indices (nine per triangle) yields exactly the same normals.
  OModelFile withIndices;
  const std::vector<unsigned char> bytes = CubeBytes(36);
  ASSERT_TRUE(ReadZmod(bytes.data(), bytes.size(), withIndices));
  OModelData nine;
  nine.SetGeometry(withIndices);
  EXPECT_EQ(nine.normals, smooth.normals);

  // A degenerate triangle and a vertex on no face leave zero normals, never NaN.
  OModelFile odd;
  odd.vertices = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {5, 5, 5}};
  odd.texCoords = {{0, 0}};
  odd.objects.resize(1);
  odd.objects[0].faces.resize(1);
  for (int k = 0; k < 3; ++k) odd.objects[0].faces[0].corners[k] = {k + 1, 1, 0};
  OModelData degenerate;
  degenerate.SetGeometry(odd);
  for (f32 v : degenerate.normals) EXPECT_EQ(v, 0.0f);
}

// One cached geometry per name, one reference per instance (copies too), gone with the last;
// loading another name into a sharing instance leaves the shared geometry alone. A missing or
// damaged file raises OFileNotFound and caches nothing; a wrong magic shows its message and loads
// on; a missing low-detail variant fails the detail change.
TEST_F(ModelTest, CacheSharingLifetimeAndLoadFailures) {
  ASSERT_TRUE(InstallArchive({Entry("Data/Models/Cube.Zmod", CubeBytes(0, 3)),
                              Entry("Data/Models/B.Zmod", CubeBytes(0, 2))}));
  OModelCache& cache = GetModelCache();
  OModel* a = new OModel;
  ASSERT_TRUE(a->Load("Cube.Zmod"));
  ASSERT_EQ(cache.Find("Cube.Zmod"), a->data);
  OModel* c = new OModel(*a);
  EXPECT_EQ(a->data->refCount, 2);
  delete a;
  EXPECT_EQ(cache.Find("Cube.Zmod"), c->data);  // still held by the copy
  EXPECT_EQ(c->data->refCount, 1);

  OModel sharer(*c);
  sharer.Load("B.Zmod");
  EXPECT_EQ(c->ObjectCount(), 3u);
  EXPECT_EQ(sharer.ObjectCount(), 2u);
  EXPECT_EQ(cache.Find("B.Zmod"), sharer.data);
  delete c;
  EXPECT_EQ(cache.Find("Cube.Zmod"), nullptr);

  std::vector<unsigned char> wrongMagic = CubeBytes();
  wrongMagic[0] = 'Q';
  std::vector<unsigned char> damaged = CubeBytes();
  damaged[16] = 200;  // vertexCount far beyond the file
  ASSERT_TRUE(InstallArchive({Entry("Data/Models/Wrong.Zmod", wrongMagic),
                              Entry("Data/Models/Damaged.Zmod", damaged)}));
  OModel wrong;
  EXPECT_TRUE(wrong.Load("Wrong.Zmod"));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, "Wrong model format.");
  EXPECT_EQ(wrong.ObjectCount(), 1u);

  for (const char* name : {"Missing.Zmod", "Damaged.Zmod"}) {
    OModel m;
    EXPECT_THROW(m.Load(name), OFileNotFound) << name;
    EXPECT_EQ(GetModelCache().Find(name), nullptr) << name;
    EXPECT_EQ(m.ObjectCount(), 0u) << name;
  }
  EXPECT_EQ(messages.Messages().size(), 1u);  // no further message for damage

  ASSERT_TRUE(InstallArchive({Entry("Data/Models/Hi/Only.Zmod", CubeBytes(0, 3))}));
  OModel only;
  only.data->useDetail = 1;
  only.Load("Only.Zmod");
  GetModelCache().detail = 1;
  EXPECT_FALSE(GetModelCache().ReloadDetail());
}

// Visibility is the instance's own (past the objects, object 0); scaling the shared geometry is
// seen by every instance, sizes and bounds following.
TEST_F(ModelTest, VisibilityScalingAndBounds) {
  OModelFile file = CubeFile(0, 3);
  for (OModelFileVertex& v : file.vertices) v.z = v.z * 2 + 1;  // z from -1 to 3
  ASSERT_TRUE(InstallArchive({Entry("Data/Models/Box.Zmod", WriteZmod(file))}));
  OModel a, unloaded;
  a.Load("Box.Zmod");
  EXPECT_EQ(a.ShowObject(5, true), 0u);
  OModel b(a);
  b.HideAll();
  EXPECT_EQ(a.visible[0], 1);
  EXPECT_EQ(unloaded.ShowObject(3, true), 0u);

  b.SetPosition(10, 0, 0);
  a.ScaleUniform(0.5f);
  a.ComputeSize();
  EXPECT_FLOAT_EQ(a.radius, 1.5f);
  ASSERT_TRUE(b.ComputeBounds());  // the other instance sees the halved geometry
  EXPECT_EQ(b.boxMin, OVector(9.5f, -0.5f, -0.5f)) << "the world box, at the position";
  b.ComputePickBox();
  EXPECT_EQ(b.obbCentre, OVector(0, 0, 0.5f)) << "the local centre";
  EXPECT_FALSE(unloaded.ComputeBounds());  // no vertices: no bounds, no scaling, no crash
  unloaded.FitMax(1, 1, 1);
}

// The writer's bytes are what the header table says, and the reader gives the model back; an
// empty model too. Every cut of a valid file fails cleanly (under a sanitizer: no byte past the cut
// is read), while trailing bytes are ignored. Counts that claim more than the bytes hold fail before
// any allocation of that size; indices outside their tables fail, while the normal index, which
// indexes nothing, is taken as it is, and the geometry built from it has a normal per vertex.
TEST(ModelFormat, RoundTripLayoutAndDamagedFiles) {
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
    ASSERT_TRUE(ReadZmod(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.texture, "Brick.Tga");
    EXPECT_EQ(back.texture2, "B");
    EXPECT_FLOAT_EQ(back.objects[0].material.diffuse[1], 0.25f);
    ASSERT_EQ(back.objects.size(), 2u);
    EXPECT_EQ(back.objects[1].faces[0].corners[2].texCoord, 3);
    // Normal indices travel only with k = 9.
    EXPECT_EQ(back.objects[1].faces[0].corners[2].normal, normalCount ? 1 : 0);
    EXPECT_EQ(WriteZmod(back), bytes);  // stable second round
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);  // so ASan sees the end
      EXPECT_FALSE(ReadZmod(part.data(), part.size(), back)) << "cut at " << cut;
    }
    bytes.push_back(0xEE);
    EXPECT_TRUE(ReadZmod(bytes.data(), bytes.size(), back));
  }
  // No objects: any negative lastObjectIndex reads as none, unless a face is claimed.
  std::vector<unsigned char> bytes = WriteZmod(OModelFile{});
  OModelFile back;
  PutU32(bytes, 12, 0x80000000u);
  ASSERT_TRUE(ReadZmod(bytes.data(), bytes.size(), back));
  EXPECT_TRUE(back.objects.empty());
  PutU32(bytes, 28, 1);
  EXPECT_FALSE(ReadZmod(bytes.data(), bytes.size(), back));
  EXPECT_FALSE(ReadZmod(nullptr, 0, back));

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
      {first, 0, false, "vertex index 0 (indices are 1-based, none negative)"},
      {first, 9, false, "vertex index one past the table"},
      {first, 8, true, "last vertex"},
      {first + 4, 0, false, "texture coordinate index 0"},
      {first + 4, 5, false, "texture coordinate index past the table"},
      {first + 8, 1000, true, "normal index out of any range"},
  };
  for (const auto& c : cases) {
    std::vector<unsigned char> bytes = good;
    PutU32(bytes, c.offset, c.value);
    ASSERT_EQ(ReadZmod(bytes.data(), bytes.size(), back), c.ok) << c.what;
    if (!c.ok) continue;
    OModelData geometry;
    geometry.SetGeometry(back);
    EXPECT_EQ(geometry.normals.size(), back.vertices.size() * 3) << c.what;
  }
}

// The cage's walls as the depth pass sees them: bounds 0..4 x 0..2 x 0..3.
TEST(DepthShell, TilesOfABoundingFaceBecomeOneRectangleAndEverythingElseStays) {
  Builder b;
  // x = 0: four tiles facing +X cover it (2 x 3) whole: one rectangle.
  b.QuadX(0, 0, 0, 1, 0, 1);
  b.QuadX(0, 0, 1, 2, 0, 1);
  b.QuadX(0, 0, 0, 1, 1, 3);
  b.QuadX(0, 0, 1, 2, 1, 3);
  // x = 4: three of four tiles, a gap: kept as they are.
  b.QuadX(0, 4, 0, 1, 0, 1, true);
  b.QuadX(0, 4, 1, 2, 0, 1, true);
  b.QuadX(0, 4, 0, 1, 1, 3, true);
  // z = 0: a frame round an opening (the cage's mouth): kept, or the mouth would close.
  b.QuadZ(0, 0, 0, 4, 0, 0.5f);
  b.QuadZ(0, 0, 0, 4, 1.5f, 2);
  b.QuadZ(0, 0, 0, 1, 0.5f, 1.5f);
  b.QuadZ(0, 0, 3, 4, 0.5f, 1.5f);
  // z = 3: two panels overlapping: they do not tile it.
  b.QuadZ(0, 3, 0, 3, 0, 2);
  b.QuadZ(0, 3, 1, 4, 0, 2);
  // Trim standing off the x = 0 wall, and its face against the wall (wound the other way).
  b.QuadX(0, 0.5f, 0.5f, 1.5f, 1, 2);
  b.QuadX(0, 0, 0.5f, 1.5f, 1, 2, true);
  b.QuadX(1, 0, 0, 2, 0, 3);  // a hidden object's panel over x = 0: not drawn, not counted

  OModelData data;
  data.SetGeometry(b.file);
  const std::vector<u8> visible = {1, 0, 0};
  const std::vector<Triangle> input = Triangles(DepthShellTriangles(data, {1, 1, 0}));
  ASSERT_EQ(input.size(), 32u);  // with the hidden object shown, its panel spoils the tiling: all stay
  const std::vector<Triangle> out = Triangles(DepthShellTriangles(data, visible));

  // The tiles of x = 0 give way to two triangles, everything else there corner for corner (that
  // the merged walls leave the depth of the whole ones is the cages' content test).
  for (size_t i = 8; i < 30; ++i) EXPECT_EQ(std::count(out.begin(), out.end(), input[i]), 1);
  ASSERT_EQ(out.size(), 22u + 2);

  // A corner that is not a number (a damaged file) spoils its wall's tiling: nothing merged.
  OModelData broken;
  broken.SetGeometry(b.file);
  broken.vertices[3 * broken.faces[broken.objects[0]->firstFace].vertex[1] + 1] = std::nanf("");
  EXPECT_EQ(Triangles(DepthShellTriangles(broken, visible)).size(), out.size() + 6);

  // A triangle naming a vertex the table lacks is left out rather than read past the table.
  data.faces[data.objects[0]->firstFace + 26].vertex[1] = 100000;
  EXPECT_EQ(Triangles(DepthShellTriangles(data, visible)).size(), out.size() - 1);
  EXPECT_TRUE(DepthShellTriangles(data, {0, 0}).empty());
}
