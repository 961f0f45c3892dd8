#include "models/Mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "models/Atlas.h"

OV3 V3(f32 x, f32 y, f32 z) { return OV3{x, y, z}; }
OV3 operator+(OV3 a, OV3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
OV3 operator-(OV3 a, OV3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
OV3 operator*(OV3 a, f32 s) { return {a.x * s, a.y * s, a.z * s}; }
f32 Dot(OV3 a, OV3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
OV3 Cross(OV3 a, OV3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
f32 Length(OV3 a) { return std::sqrt(Dot(a, a)); }
OV3 Normalise(OV3 a) {
  f32 l = Length(a);
  return l > 0.0f ? a * (1.0f / l) : a;
}

OV3 OFrame::Point(OV3 p) const { return origin + ax * p.x + ay * p.y + az * p.z; }
OV3 OFrame::Dir(OV3 d) const { return ax * d.x + ay * d.y + az * d.z; }
bool OFrame::Mirrors() const { return Dot(Cross(ax, ay), az) < 0.0f; }
OFrame OFrame::Then(const OFrame& inner) const {
  OFrame r;
  r.origin = Point(inner.origin);
  r.ax = Dir(inner.ax);
  r.ay = Dir(inner.ay);
  r.az = Dir(inner.az);
  return r;
}

OFrame Translate(OV3 t) {
  OFrame f;
  f.origin = t;
  return f;
}
OFrame Scale(f32 sx, f32 sy, f32 sz) {
  OFrame f;
  f.ax = {sx, 0, 0};
  f.ay = {0, sy, 0};
  f.az = {0, 0, sz};
  return f;
}
OFrame RotateAbout(OV3 axis, f32 radians) {
  OV3 k = Normalise(axis);
  f32 c = std::cos(radians), s = std::sin(radians);
  auto rot = [&](OV3 v) { return v * c + Cross(k, v) * s + k * (Dot(k, v) * (1.0f - c)); };
  OFrame f;
  f.ax = rot({1, 0, 0});
  f.ay = rot({0, 1, 0});
  f.az = rot({0, 0, 1});
  return f;
}
OFrame MirrorZ() { return Scale(1, 1, -1); }

OPaint Solid(int colour, f32 shade) {
  OPaint p;
  p.kind = OPaint::SOLID;
  p.colour = colour;
  p.shade = shade;
  return p;
}
OPaint Baked(int colour, f32 low) {
  OPaint p;
  p.kind = OPaint::BAKED;
  p.colour = colour;
  p.bakeLow = low;
  return p;
}
OPaint Projected(OV3 boxMin, OV3 boxMax, f32 u0, f32 v0, f32 u1, f32 v1) {
  OPaint p;
  p.kind = OPaint::PROJECTED;
  p.boxMin = boxMin;
  p.boxMax = boxMax;
  p.rect[0] = u0;
  p.rect[1] = v0;
  p.rect[2] = u1;
  p.rect[3] = v1;
  return p;
}

namespace {

// The baked light of unlit models: from the upper right, in front of a viewer looking along +z.
const OV3 BAKE_LIGHT = Normalise(V3(0.35f, 0.6f, -0.75f));

f32 Ratio(f32 v, f32 lo, f32 hi) { return hi > lo ? (v - lo) / (hi - lo) : 0.5f; }

// Texture coordinates of point p (world) on a face of outward normal n (world).
void PaintUV(const OPaint& paint, OV3 localP, OV3 n, f32& s, f32& t) {
  if (paint.kind == OPaint::SOLID) {
    PaletteUV(paint.colour, paint.shade, s, t);
    return;
  }
  if (paint.kind == OPaint::BAKED) {
    f32 lit = std::max(0.0f, Dot(n, BAKE_LIGHT));
    f32 shade = paint.bakeLow + (1.15f - paint.bakeLow) * lit;
    PaletteUV(paint.colour, shade, s, t);
    return;
  }
  // Projected: the dominant axis of the normal picks the face. The mappings are chosen so that
  // the face toward the player (-z, seen through the game's mirrored camera) reads upright.
  const OV3& lo = paint.boxMin;
  const OV3& hi = paint.boxMax;
  f32 u = 0, v = 0;
  f32 axx = std::fabs(n.x), ayy = std::fabs(n.y), azz = std::fabs(n.z);
  if (axx >= ayy && axx >= azz) {
    u = n.x > 0 ? Ratio(localP.z, lo.z, hi.z) : 1.0f - Ratio(localP.z, lo.z, hi.z);
    v = Ratio(localP.y, lo.y, hi.y);
  } else if (ayy >= azz) {
    u = Ratio(localP.x, lo.x, hi.x);
    v = n.y > 0 ? Ratio(localP.z, lo.z, hi.z) : 1.0f - Ratio(localP.z, lo.z, hi.z);
  } else {
    u = n.z < 0 ? Ratio(localP.x, lo.x, hi.x) : 1.0f - Ratio(localP.x, lo.x, hi.x);
    v = Ratio(localP.y, lo.y, hi.y);
  }
  u = std::min(1.0f, std::max(0.0f, u));
  v = std::min(1.0f, std::max(0.0f, v));
  s = paint.rect[0] + (paint.rect[2] - paint.rect[0]) * u;
  t = paint.rect[1] + (paint.rect[3] - paint.rect[1]) * v;
}

}  // namespace

void OMeshObject::Polygon(const OFrame& f, const std::vector<OV3>& corners, const OPaint& paint) {
  if (corners.size() < 3) return;
  std::vector<OV3> world;
  for (OV3 c : corners) world.push_back(f.Point(c));
  if (f.Mirrors()) {
    std::reverse(world.begin(), world.end());
  }
  // Newell's normal of the (world) polygon; a degenerate polygon adds nothing.
  OV3 n{0, 0, 0};
  for (size_t i = 0; i < world.size(); ++i) n = n + Cross(world[i], world[(i + 1) % world.size()]);
  if (Length(n) < 1e-9f) return;
  n = Normalise(n);
  // Projection happens in the shape's own space so that a projected face maps its own box; the
  // normal used to choose the face is taken back into that space too.
  std::vector<OV3> local(corners);
  if (f.Mirrors()) std::reverse(local.begin(), local.end());
  OV3 ln{0, 0, 0};
  for (size_t i = 0; i < local.size(); ++i) ln = ln + Cross(local[i], local[(i + 1) % local.size()]);
  if (f.Mirrors()) ln = ln * -1.0f;
  ln = Normalise(ln);
  u32 base = static_cast<u32>(vertices.size());
  for (size_t i = 0; i < world.size(); ++i) {
    OMeshVertex v;
    v.p = world[i];
    PaintUV(paint, paint.kind == OPaint::BAKED ? world[i] : local[i],
            paint.kind == OPaint::BAKED ? n : ln, v.s, v.t);
    vertices.push_back(v);
  }
  for (size_t i = 1; i + 1 < world.size(); ++i) {
    OV3 e = Cross(world[i] - world[0], world[i + 1] - world[0]);
    if (Length(e) < 1e-12f) continue;  // a corner repeated: nothing to draw there
    AddTriangle(base, base + static_cast<u32>(i), base + static_cast<u32>(i + 1));
  }
}

void OMeshObject::Quad(const OFrame& f, OV3 a, OV3 b, OV3 c, OV3 d, const OPaint& paint) {
  Polygon(f, {a, b, c, d}, paint);
}

void OMeshObject::PolygonFacing(const OFrame& f, std::vector<OV3> corners, OV3 outward,
                                const OPaint& paint) {
  if (corners.size() < 3) return;
  OV3 n = Cross(corners[1] - corners[0], corners[2] - corners[0]);
  if (Dot(n, outward) < 0) std::reverse(corners.begin(), corners.end());
  Polygon(f, corners, paint);
}

u32 OMeshObject::AddVertex(OV3 p, f32 s, f32 t) {
  OMeshVertex v;
  v.p = p;
  v.s = s;
  v.t = t;
  vertices.push_back(v);
  return static_cast<u32>(vertices.size() - 1);
}

void OMeshObject::AddTriangle(u32 a, u32 b, u32 c) {
  triangles.push_back(a);
  triangles.push_back(b);
  triangles.push_back(c);
}

void OMeshObject::FlipWinding() {
  for (size_t i = 0; i + 2 < triangles.size(); i += 3) std::swap(triangles[i + 1], triangles[i + 2]);
}

OMeshObject& OMeshModel::NewObject() {
  objects.emplace_back();
  return objects.back();
}

OModelFile OMeshModel::ToFile() const {
  OModelFile file;
  file.texture = texture;
  file.normalCount = 0;  // the game makes its own normals
  // Every mesh vertex keeps its own position entry: the game averages normals over the faces
  // that share a position index, so sharing must stay exactly as the mesh has it. Texture
  // coordinates have no such meaning and are shared wherever they are equal.
  std::map<std::pair<f32, f32>, i32> texIndex;
  for (const OMeshObject& o : objects) {
    i32 base = static_cast<i32>(file.vertices.size());
    std::vector<i32> tex;
    for (const OMeshVertex& v : o.vertices) {
      file.vertices.push_back(OModelFileVertex{v.p.x, v.p.y, v.p.z});
      auto it = texIndex.find({v.s, v.t});
      if (it == texIndex.end()) {
        file.texCoords.push_back(OModelFileTexCoord{v.s, v.t});
        it = texIndex.emplace(std::make_pair(v.s, v.t), static_cast<i32>(file.texCoords.size())).first;
      }
      tex.push_back(it->second);
    }
    OModelFileObject fo;
    for (size_t i = 0; i + 2 < o.triangles.size(); i += 3) {
      OModelFileFace face;
      for (int c = 0; c < 3; ++c) {
        u32 local = o.triangles[i + c];
        face.corners[c].vertex = base + static_cast<i32>(local) + 1;
        face.corners[c].texCoord = tex[local];
        face.corners[c].normal = face.corners[c].vertex;
      }
      fo.faces.push_back(face);
    }
    file.objects.push_back(fo);
  }
  if (file.texCoords.empty()) file.texCoords.push_back(OModelFileTexCoord{});
  return file;
}

void Box(OMeshObject& o, const OFrame& f, OV3 a, OV3 b, const OPaint& paint, unsigned faces) {
  OV3 p000{a.x, a.y, a.z}, p100{b.x, a.y, a.z}, p010{a.x, b.y, a.z}, p110{b.x, b.y, a.z};
  OV3 p001{a.x, a.y, b.z}, p101{b.x, a.y, b.z}, p011{a.x, b.y, b.z}, p111{b.x, b.y, b.z};
  if (faces & BOX_NEG_Z) o.Quad(f, p000, p010, p110, p100, paint);
  if (faces & BOX_POS_Z) o.Quad(f, p001, p101, p111, p011, paint);
  if (faces & BOX_NEG_X) o.Quad(f, p000, p001, p011, p010, paint);
  if (faces & BOX_POS_X) o.Quad(f, p100, p110, p111, p101, paint);
  if (faces & BOX_NEG_Y) o.Quad(f, p000, p100, p101, p001, paint);
  if (faces & BOX_POS_Y) o.Quad(f, p010, p011, p111, p110, paint);
}

void BevelBox(OMeshObject& o, const OFrame& f, OV3 a, OV3 b, f32 bevel, const OPaint& paint) {
  f32 e = std::min({bevel, (b.x - a.x) * 0.45f, (b.y - a.y) * 0.45f, (b.z - a.z) * 0.45f});
  if (e <= 0.0f) {
    Box(o, f, a, b, paint);
    return;
  }
  // Corner point of the chamfered box: sign per axis (sx, sy, sz) and which axes are pulled in.
  auto P = [&](int sx, int sy, int sz, int inx, int iny, int inz) {
    OV3 p;
    p.x = sx > 0 ? b.x - e * inx : a.x + e * inx;
    p.y = sy > 0 ? b.y - e * iny : a.y + e * iny;
    p.z = sz > 0 ? b.z - e * inz : a.z + e * inz;
    return p;
  };
  // Faces: each major face is inset on its two tangent axes.
  for (int s = -1; s <= 1; s += 2) {
    // x faces
    OV3 c0 = P(s, -1, -1, 0, 1, 1), c1 = P(s, 1, -1, 0, 1, 1), c2 = P(s, 1, 1, 0, 1, 1),
        c3 = P(s, -1, 1, 0, 1, 1);
    if (s > 0) o.Quad(f, c0, c1, c2, c3, paint); else o.Quad(f, c0, c3, c2, c1, paint);
    // y faces
    c0 = P(-1, s, -1, 1, 0, 1);
    c1 = P(-1, s, 1, 1, 0, 1);
    c2 = P(1, s, 1, 1, 0, 1);
    c3 = P(1, s, -1, 1, 0, 1);
    if (s > 0) o.Quad(f, c0, c1, c2, c3, paint); else o.Quad(f, c0, c3, c2, c1, paint);
    // z faces
    c0 = P(-1, -1, s, 1, 1, 0);
    c1 = P(1, -1, s, 1, 1, 0);
    c2 = P(1, 1, s, 1, 1, 0);
    c3 = P(-1, 1, s, 1, 1, 0);
    if (s > 0) o.Quad(f, c0, c1, c2, c3, paint); else o.Quad(f, c0, c3, c2, c1, paint);
  }
  // Edge strips and corner triangles, each turned to face away from the box.
  auto Facing = [&](std::vector<OV3> pts, OV3 out) { o.PolygonFacing(f, pts, out, paint); };
  for (int s1 = -1; s1 <= 1; s1 += 2) {
    for (int s2 = -1; s2 <= 1; s2 += 2) {
      // Edges along x (varying y sign s1, z sign s2).
      Facing({P(-1, s1, s2, 1, 0, 1), P(1, s1, s2, 1, 0, 1), P(1, s1, s2, 1, 1, 0),
              P(-1, s1, s2, 1, 1, 0)},
             V3(0, static_cast<f32>(s1), static_cast<f32>(s2)));
      // Edges along y.
      Facing({P(s1, -1, s2, 0, 1, 1), P(s1, 1, s2, 0, 1, 1), P(s1, 1, s2, 1, 1, 0),
              P(s1, -1, s2, 1, 1, 0)},
             V3(static_cast<f32>(s1), 0, static_cast<f32>(s2)));
      // Edges along z.
      Facing({P(s1, s2, -1, 0, 1, 1), P(s1, s2, 1, 0, 1, 1), P(s1, s2, 1, 1, 0, 1),
              P(s1, s2, -1, 1, 0, 1)},
             V3(static_cast<f32>(s1), static_cast<f32>(s2), 0));
    }
  }
  for (int sx = -1; sx <= 1; sx += 2)
    for (int sy = -1; sy <= 1; sy += 2)
      for (int sz = -1; sz <= 1; sz += 2)
        Facing({P(sx, sy, sz, 0, 1, 1), P(sx, sy, sz, 1, 0, 1), P(sx, sy, sz, 1, 1, 0)},
               V3(static_cast<f32>(sx), static_cast<f32>(sy), static_cast<f32>(sz)));
}

void FramedBox(OMeshObject& o, const OFrame& f, OV3 a, OV3 b, f32 rim, f32 depth,
               const OPaint& paint, unsigned panelAxes) {
  const f32 lo[3] = {a.x, a.y, a.z}, hi[3] = {b.x, b.y, b.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (!(panelAxes & (1u << axis))) {
      // A plain face on each side of this axis.
      for (int side = -1; side <= 1; side += 2) {
        f32 c[4][3];
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        const f32 us[4] = {lo[u], hi[u], hi[u], lo[u]}, vs[4] = {lo[v], lo[v], hi[v], hi[v]};
        std::vector<OV3> corners;
        for (int k = 0; k < 4; ++k) {
          c[k][axis] = side > 0 ? hi[axis] : lo[axis];
          c[k][u] = us[k];
          c[k][v] = vs[k];
          corners.push_back(V3(c[k][0], c[k][1], c[k][2]));
        }
        f32 out[3] = {0, 0, 0};
        out[axis] = static_cast<f32>(side);
        o.PolygonFacing(f, corners, V3(out[0], out[1], out[2]), paint);
      }
      continue;
    }
    int u = (axis + 1) % 3, v = (axis + 2) % 3;
    for (int side = -1; side <= 1; side += 2) {
      f32 plane = side > 0 ? hi[axis] : lo[axis];
      f32 sunk = plane - static_cast<f32>(side) * depth;
      // A point of this face from its (u, v) coordinates and its height along the axis.
      auto P = [&](f32 pu, f32 pv, f32 h) {
        f32 c[3];
        c[axis] = h;
        c[u] = pu;
        c[v] = pv;
        return V3(c[0], c[1], c[2]);
      };
      auto Dir = [&](int which, f32 sign) {
        f32 c[3] = {0, 0, 0};
        c[which] = sign;
        return V3(c[0], c[1], c[2]);
      };
      OV3 out = Dir(axis, static_cast<f32>(side));
      f32 u0 = lo[u], u1 = hi[u], v0 = lo[v], v1 = hi[v];
      f32 iu0 = u0 + rim, iu1 = u1 - rim, iv0 = v0 + rim, iv1 = v1 - rim;
      // The rim: four strips round the panel.
      o.PolygonFacing(f, {P(u0, v0, plane), P(u1, v0, plane), P(iu1, iv0, plane), P(iu0, iv0, plane)}, out, paint);
      o.PolygonFacing(f, {P(u1, v0, plane), P(u1, v1, plane), P(iu1, iv1, plane), P(iu1, iv0, plane)}, out, paint);
      o.PolygonFacing(f, {P(u1, v1, plane), P(u0, v1, plane), P(iu0, iv1, plane), P(iu1, iv1, plane)}, out, paint);
      o.PolygonFacing(f, {P(u0, v1, plane), P(u0, v0, plane), P(iu0, iv0, plane), P(iu0, iv1, plane)}, out, paint);
      // The walls of the sunk panel face its middle; then the panel.
      o.PolygonFacing(f, {P(iu0, iv0, plane), P(iu1, iv0, plane), P(iu1, iv0, sunk), P(iu0, iv0, sunk)}, Dir(v, 1), paint);
      o.PolygonFacing(f, {P(iu0, iv1, plane), P(iu1, iv1, plane), P(iu1, iv1, sunk), P(iu0, iv1, sunk)}, Dir(v, -1), paint);
      o.PolygonFacing(f, {P(iu0, iv0, plane), P(iu0, iv1, plane), P(iu0, iv1, sunk), P(iu0, iv0, sunk)}, Dir(u, 1), paint);
      o.PolygonFacing(f, {P(iu1, iv0, plane), P(iu1, iv1, plane), P(iu1, iv1, sunk), P(iu1, iv0, sunk)}, Dir(u, -1), paint);
      o.PolygonFacing(f, {P(iu0, iv0, sunk), P(iu1, iv0, sunk), P(iu1, iv1, sunk), P(iu0, iv1, sunk)}, out, paint);
    }
  }
}

void Prism(OMeshObject& o, const OFrame& f, const std::vector<OV3>& outline, f32 z0, f32 z1,
           const OPaint& paint) {
  size_t n = outline.size();
  if (n < 3) return;
  std::vector<OV3> top, bottom;
  for (size_t i = 0; i < n; ++i) top.push_back(V3(outline[i].x, outline[i].y, z1));
  for (size_t i = n; i-- > 0;) bottom.push_back(V3(outline[i].x, outline[i].y, z0));
  o.Polygon(f, top, paint);
  o.Polygon(f, bottom, paint);
  for (size_t i = 0; i < n; ++i) {
    OV3 a = outline[i], b = outline[(i + 1) % n];
    o.Quad(f, V3(a.x, a.y, z0), V3(b.x, b.y, z0), V3(b.x, b.y, z1), V3(a.x, a.y, z1), paint);
  }
}

void Lathe(OMeshObject& o, const OFrame& f, const std::vector<OV3>& profile, int segments,
           bool smooth, const OPaint& paint, OBandPaint paintOf, const void* user) {
  if (profile.size() < 2 || segments < 3) return;
  const f32 TWO_PI = 6.28318530718f;
  bool flip = f.Mirrors();
  // Vertices are shared by (ring, segment, texture coordinate): bands of one colour join
  // smoothly, a change of colour leaves a seam.
  std::map<std::tuple<int, int, int, int>, u32> shared;
  auto Vertex = [&](int ring, int seg, const OPaint& p) -> u32 {
    int segWrapped = seg % segments;
    f32 ang = TWO_PI * static_cast<f32>(segWrapped) / static_cast<f32>(segments);
    OV3 local = V3(profile[ring].x * std::cos(ang), profile[ring].x * std::sin(ang), profile[ring].z);
    OV3 world = f.Point(local);
    // Outward normal from the profile's tangent at this ring (for baked light and projection).
    const OV3& next = profile[std::min(profile.size() - 1, static_cast<size_t>(ring) + 1)];
    const OV3& prev = profile[ring > 0 ? ring - 1 : 0];
    OV3 tangent = next - prev;
    OV3 ln = Normalise(V3(std::cos(ang) * tangent.z, std::sin(ang) * tangent.z, -tangent.x));
    f32 s = 0, t = 0;
    PaintUV(p, local, p.kind == OPaint::BAKED ? Normalise(f.Dir(ln)) : ln, s, t);
    auto key = std::make_tuple(ring, segWrapped, static_cast<int>(s * 65536.0f),
                               static_cast<int>(t * 65536.0f));
    auto it = shared.find(key);
    if (it != shared.end()) return it->second;
    u32 index = o.AddVertex(world, s, t);
    shared[key] = index;
    return index;
  };
  for (size_t band = 0; band + 1 < profile.size(); ++band) {
    if (!smooth) shared.clear();
    for (int seg = 0; seg < segments; ++seg) {
      OPaint p = paintOf ? paintOf(static_cast<int>(band), seg, user) : paint;
      u32 a = Vertex(static_cast<int>(band), seg, p);
      u32 b = Vertex(static_cast<int>(band), seg + 1, p);
      u32 c = Vertex(static_cast<int>(band) + 1, seg + 1, p);
      u32 d = Vertex(static_cast<int>(band) + 1, seg, p);
      auto Tri = [&](u32 i, u32 j, u32 k) {
        OV3 n = Cross(o.vertices[j].p - o.vertices[i].p, o.vertices[k].p - o.vertices[i].p);
        if (Length(n) < 1e-12f) return;
        if (flip) o.AddTriangle(i, k, j); else o.AddTriangle(i, j, k);
      };
      Tri(a, b, c);
      Tri(a, c, d);
    }
  }
}

void Sphere(OMeshObject& o, const OFrame& f, f32 radius, int segments, int rings,
            const OPaint& paint, OBandPaint paintOf, const void* user) {
  std::vector<OV3> profile;
  for (int i = 0; i <= rings; ++i) {
    f32 a = 3.14159265f * static_cast<f32>(i) / static_cast<f32>(rings);  // from the bottom pole
    profile.push_back(V3(radius * std::sin(a), 0, -radius * std::cos(a)));
  }
  Lathe(o, f, profile, segments, true, paint, paintOf, user);
}

void Cylinder(OMeshObject& o, const OFrame& f, f32 radius, f32 z0, f32 z1, int segments,
              const OPaint& paint) {
  Lathe(o, f, {V3(0, 0, z0), V3(radius, 0, z0)}, segments, false, paint);
  Lathe(o, f, {V3(radius, 0, z0), V3(radius, 0, z1)}, segments, true, paint);
  Lathe(o, f, {V3(radius, 0, z1), V3(0, 0, z1)}, segments, false, paint);
}

void Torus(OMeshObject& o, const OFrame& f, f32 R, f32 r, int segments, int sides,
           const OPaint& paint) {
  // The tube's cross-section, traversed so that the lathe's winding faces outward: from the
  // inner bottom, round the outside, back to the start.
  std::vector<OV3> profile;
  for (int i = 0; i <= sides; ++i) {
    f32 a = 6.28318530718f * static_cast<f32>(i) / static_cast<f32>(sides);
    profile.push_back(V3(R - r * std::cos(a), 0, -r * std::sin(a)));
  }
  Lathe(o, f, profile, segments, true, paint);
}
