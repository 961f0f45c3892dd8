#include <gtest/gtest.h>

#include <cmath>

#include "assets/Model.h"
#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelFormat.h"
#include "assets/ModelObject.h"
#include "ModelTestSupport.h"
#include "core/Exception.h"
#include "support/TestSupport.h"

namespace {

void ExpectVec(const OVector& v, f32 x, f32 y, f32 z, const std::string& what = "") {
  EXPECT_NEAR(v.x, x, 1e-5f) << what;
  EXPECT_NEAR(v.y, y, 1e-5f) << what;
  EXPECT_NEAR(v.z, z, 1e-5f) << what;
}

class ModelTest : public ::testing::Test {
protected:
  void SetUp() override { GetModelCache().detail = 2; }
  ScratchDir dir;
  MessageRecorder messages;
};

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
// loading another name into a sharing instance leaves the shared geometry alone.
TEST_F(ModelTest, CacheSharingAndLifetime) {
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
}

// A missing or damaged file raises OFileNotFound and caches nothing; a wrong magic shows its
// message and loads on; a missing low-detail variant fails the detail change.
TEST_F(ModelTest, LoadFailures) {
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
  ExpectVec(b.boxMin, 9.5f, -0.5f, -0.5f, "world box at the position");
  b.ComputePickBox();
  ExpectVec(b.obbCentre, 0, 0, 0.5f, "local centre");
  EXPECT_FALSE(unloaded.ComputeBounds());  // no vertices: no bounds, no scaling, no crash
  unloaded.FitMax(1, 1, 1);
}
