#include "assets/DepthShell.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "assets/ModelData.h"
#include "assets/ModelObject.h"

namespace {

// The triangles lying in one face of the bounding box and facing one way.
struct OPlaneGroup {
  std::vector<u32> faces;  // indices into data.faces
  double area = 0.0;       // summed, in the plane
  f32 lo[2] = {0.0f, 0.0f};  // the rectangle they cover: the two other axes, in order a+1, a+2
  f32 hi[2] = {0.0f, 0.0f};
};

const f32* Corner(const OModelData& data, const OFace& face, int c) {
  return data.vertices.data() + 3 * static_cast<size_t>(face.vertex[c]);
}

void Push(std::vector<f32>& out, const f32* p) { out.insert(out.end(), p, p + 3); }

}  // namespace

std::vector<f32> DepthShellTriangles(const OModelData& data, const std::vector<u8>& visible) {
  std::vector<u32> faces;
  const size_t vertexCount = data.vertices.size() / 3;
  const size_t objects = std::min(visible.size(), data.objects.size());
  for (size_t k = 0; k < objects; ++k) {
    if (visible[k] != 1) continue;
    const OModelObject* object = data.objects[k];
    for (u32 i = 0; i < object->objectFaceCount; ++i) {
      const u32 f = object->firstFace + i;
      if (f >= data.faces.size()) break;
      const OFace& face = data.faces[f];
      // A face naming a vertex the table does not have is left out, as drawing it would read
      // past the table.
      if (face.vertex[0] >= vertexCount || face.vertex[1] >= vertexCount || face.vertex[2] >= vertexCount)
        continue;
      faces.push_back(f);
    }
  }
  std::vector<f32> out;
  out.reserve(faces.size() * 9);
  if (faces.empty()) return out;

  f32 lo[3], hi[3];
  for (int a = 0; a < 3; ++a) lo[a] = hi[a] = Corner(data, data.faces[faces[0]], 0)[a];
  for (u32 f : faces)
    for (int c = 0; c < 3; ++c)
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], Corner(data, data.faces[f], c)[a]);
        hi[a] = std::max(hi[a], Corner(data, data.faces[f], c)[a]);
      }

  // Groups [axis][side: 0 at lo, 1 at hi][winding: 0 positive, 1 negative along the axis].
  OPlaneGroup groups[3][2][2];
  std::vector<u8> grouped(data.faces.size(), 0);
  for (u32 f : faces) {
    const OFace& face = data.faces[f];
    const f32* p[3] = {Corner(data, face, 0), Corner(data, face, 1), Corner(data, face, 2)};
    for (int a = 0; a < 3; ++a) {
      const f32 at = p[0][a];
      if (p[1][a] != at || p[2][a] != at || (at != lo[a] && at != hi[a])) continue;
      const int u = (a + 1) % 3, v = (a + 2) % 3;
      // The winding along the axis: the axis component of the triangle's normal, twice its area.
      const double cross = (static_cast<double>(p[1][u]) - p[0][u]) * (static_cast<double>(p[2][v]) - p[0][v]) -
                           (static_cast<double>(p[1][v]) - p[0][v]) * (static_cast<double>(p[2][u]) - p[0][u]);
      if (cross == 0.0) break;  // no area: stays as it is
      OPlaneGroup& g = groups[a][at == lo[a] ? 0 : 1][cross > 0.0 ? 0 : 1];
      for (int c = 0; c < 3; ++c) {
        const f32 cu = p[c][u], cv = p[c][v];
        if (g.faces.empty() && c == 0) {
          g.lo[0] = g.hi[0] = cu;
          g.lo[1] = g.hi[1] = cv;
        }
        g.lo[0] = std::min(g.lo[0], cu);
        g.hi[0] = std::max(g.hi[0], cu);
        g.lo[1] = std::min(g.lo[1], cv);
        g.hi[1] = std::max(g.hi[1], cv);
      }
      g.area += std::fabs(cross) * 0.5;
      g.faces.push_back(f);
      break;
    }
  }

  // A group whose triangles cover its rectangle exactly once is the rectangle.
  for (int a = 0; a < 3; ++a)
    for (int side = 0; side < 2; ++side)
      for (int w = 0; w < 2; ++w) {
        const OPlaneGroup& g = groups[a][side][w];
        if (g.faces.size() < 3) continue;
        const double rect = (static_cast<double>(g.hi[0]) - g.lo[0]) * (static_cast<double>(g.hi[1]) - g.lo[1]);
        // Written so that a damaged model's NaN corner (an area of NaN) never passes.
        if (!(rect > 0.0) || !(std::fabs(g.area - rect) <= rect * 1e-5)) continue;
        for (u32 f : g.faces) grouped[f] = 1;
        const int u = (a + 1) % 3, v = (a + 2) % 3;
        const f32 plane = side == 0 ? lo[a] : hi[a];
        f32 corners[4][3];
        const f32 cu[4] = {g.lo[0], g.hi[0], g.hi[0], g.lo[0]};
        const f32 cv[4] = {g.lo[1], g.lo[1], g.hi[1], g.hi[1]};
        for (int c = 0; c < 4; ++c) {
          corners[c][a] = plane;
          corners[c][u] = cu[c];
          corners[c][v] = cv[c];
        }
        // Corners 0-1-2-3 turn positively round the axis; the other winding runs them backwards.
        const int order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 3, 2, 0, 2, 1}};
        for (int c : order[w]) Push(out, corners[c]);
      }

  for (u32 f : faces) {
    if (grouped[f]) continue;
    for (int c = 0; c < 3; ++c) Push(out, Corner(data, data.faces[f], c));
  }
  return out;
}
