#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "assets/DepthShell.h"
#include "assets/ModelData.h"
#include "assets/ModelFormat.h"
#include "assets/ModelObject.h"

namespace {

using Triangle = std::array<f32, 9>;

// A model file built quad by quad: each quad is two triangles (a, b, c) and (a, c, d).
struct Builder {
  OModelFile file;

  Builder() { file.texCoords.push_back({0.0f, 0.0f}); }

  i32 Vertex(f32 x, f32 y, f32 z) {
    file.vertices.push_back({x, y, z});
    return static_cast<i32>(file.vertices.size());
  }
  // Corners given in the order that winds them.
  void Quad(size_t object, const std::array<std::array<f32, 3>, 4>& c) {
    if (file.objects.size() <= object) file.objects.resize(object + 1);
    i32 v[4];
    for (int k = 0; k < 4; ++k) v[k] = Vertex(c[k][0], c[k][1], c[k][2]);
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

// The X component of (b - a) x (c - a): twice the area, signed by the winding round +X.
f32 CrossX(const Triangle& t) { return (t[4] - t[1]) * (t[8] - t[2]) - (t[5] - t[2]) * (t[7] - t[1]); }

}  // namespace

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

  // The tiles of x = 0 are gone, everything else there corner for corner; the other two
  // triangles make the wall in its plane, at its full size, wound as its tiles were.
  std::vector<Triangle> kept;
  for (size_t i = 8; i < 30; ++i) kept.push_back(input[i]);
  for (const Triangle& t : kept) EXPECT_EQ(std::count(out.begin(), out.end(), t), 1);
  ASSERT_EQ(out.size(), kept.size() + 2);
  f32 area = 0;
  for (const Triangle& t : out) {
    if (std::count(kept.begin(), kept.end(), t) != 0) continue;
    EXPECT_TRUE(t[0] == 0 && t[3] == 0 && t[6] == 0);
    EXPECT_GT(CrossX(t), 0.0f);
    area += CrossX(t) / 2;
    for (int c = 0; c < 3; ++c) {
      EXPECT_TRUE(t[3 * c + 1] == 0 || t[3 * c + 1] == 2);
      EXPECT_TRUE(t[3 * c + 2] == 0 || t[3 * c + 2] == 3);
    }
  }
  EXPECT_FLOAT_EQ(area, 6.0f);

  // A corner that is not a number (a damaged file) spoils its wall's tiling: nothing merged.
  OModelData broken;
  broken.SetGeometry(b.file);
  broken.vertices[3 * broken.faces[broken.objects[0]->firstFace].vertex[1] + 1] = std::nanf("");
  EXPECT_EQ(Triangles(DepthShellTriangles(broken, visible)).size(), out.size() + 6);

  // A triangle naming a vertex the table lacks is left out rather than read past the table.
  data.faces[data.objects[0]->firstFace + 26].vertex[1] = 100000;
  EXPECT_EQ(Triangles(DepthShellTriangles(data, visible)).size(), out.size() - 1);
  // Nothing shown, nothing to draw.
  EXPECT_TRUE(DepthShellTriangles(data, {0, 0}).empty());
}
