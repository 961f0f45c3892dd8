#pragma once
// A plain triangle mesh for building the game's models in code, and the shapes they are made of.
// A model is a list of objects (damage stages, button states, ...); each object owns its vertices
// (position and texture coordinate together) and triangles. Faces that must look sharp get their
// own vertices, because the game turns vertices into normals by averaging over the triangles that
// share a vertex index; surfaces that must look round (spheres, tubes) share theirs.
#include <string>
#include <vector>

#include "assets/ModelFormat.h"
#include "core/Types.h"

struct OV3 {
  f32 x = 0.0f, y = 0.0f, z = 0.0f;
};
OV3 V3(f32 x, f32 y, f32 z);
OV3 operator+(OV3 a, OV3 b);
OV3 operator-(OV3 a, OV3 b);
OV3 operator*(OV3 a, f32 s);
f32 Dot(OV3 a, OV3 b);
OV3 Cross(OV3 a, OV3 b);
f32 Length(OV3 a);
OV3 Normalise(OV3 a);  // (0,0,0) stays (0,0,0)

// A placement: local (x, y, z) goes to origin + x*ax + y*ay + z*az. A frame with a negative
// determinant mirrors; shapes built through it reverse their winding so that faces still point
// outward.
struct OFrame {
  OV3 Point(OV3 p) const;
  OV3 Dir(OV3 d) const;
  bool Mirrors() const;
  OFrame Then(const OFrame& inner) const;  // this frame applied after `inner`

  OV3 origin{0, 0, 0};
  OV3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
};
OFrame Translate(OV3 t);
OFrame Scale(f32 sx, f32 sy, f32 sz);
OFrame RotateAbout(OV3 axis, f32 radians);
OFrame MirrorZ();  // (x, y, z) -> (x, y, -z)

// How a face gets its texture coordinates.
struct OPaint {
  enum Kind { SOLID, BAKED, PROJECTED } kind = SOLID;
  int colour = 0;       // SOLID, BAKED: palette colour (Atlas.h)
  f32 shade = 1.0f;     // SOLID: brightness factor (1 = the colour as lit by the game)
  f32 bakeLow = 0.45f;  // BAKED: brightness of a face turned away from the baked light
  OV3 boxMin, boxMax;   // PROJECTED: the region whose faces map onto `rect`
  f32 rect[4] = {0, 0, 1, 1};  // PROJECTED: u0, v0, u1, v1
};
OPaint Solid(int colour, f32 shade = 1.0f);
// Shading baked into the texture coordinates for models the game draws unlit; the light comes
// from above, right and in front of a viewer looking along +z.
OPaint Baked(int colour, f32 low = 0.45f);
// Each face maps onto `rect` by its own axis: a face of the box shows the whole rectangle.
OPaint Projected(OV3 boxMin, OV3 boxMax, f32 u0 = 0, f32 v0 = 0, f32 u1 = 1, f32 v1 = 1);

struct OMeshVertex {
  OV3 p;
  f32 s = 0.0f, t = 0.0f;
};

// One object of a model: its own vertices and triangles (indices into `vertices`, 0-based,
// counter-clockwise seen from outside).
class OMeshObject {
public:
  // A flat convex polygon, corners counter-clockwise seen from outside; fan-triangulated.
  void Polygon(const OFrame& f, const std::vector<OV3>& corners, const OPaint& paint);
  void Quad(const OFrame& f, OV3 a, OV3 b, OV3 c, OV3 d, const OPaint& paint);
  // A flat convex polygon in either order, turned to face `outward` (local space).
  void PolygonFacing(const OFrame& f, std::vector<OV3> corners, OV3 outward, const OPaint& paint);
  // Vertices shared between triangles (for smooth surfaces): the caller adds them and then
  // triangles by index.
  u32 AddVertex(OV3 p, f32 s, f32 t);
  void AddTriangle(u32 a, u32 b, u32 c);
  void FlipWinding();

  std::vector<OMeshVertex> vertices;
  std::vector<u32> triangles;  // three per triangle
};

// A whole model: the texture it names (empty for none) and its objects in order.
struct OMeshModel {
  OMeshObject& NewObject();
  OModelFile ToFile() const;  // one shared vertex and texture-coordinate table, 1-based faces

  std::string texture;  // name under "Data/Textures/", at most 15 characters
  std::vector<OMeshObject> objects;
};

// Shapes. Each one is placed through `f`, built in local coordinates.
// The faces of a box, in the order Box lays them down.
enum : unsigned {
  BOX_NEG_Z = 1, BOX_POS_Z = 2, BOX_NEG_X = 4, BOX_POS_X = 8, BOX_NEG_Y = 16, BOX_POS_Y = 32,
  BOX_Z_FACES = BOX_NEG_Z | BOX_POS_Z, BOX_ALL_FACES = 63
};
// The faces of `faces` only, in that order: a box can be split between objects.
void Box(OMeshObject& o, const OFrame& f, OV3 min, OV3 max, const OPaint& paint,
         unsigned faces = BOX_ALL_FACES);
// A box with its 12 edges and 8 corners cut off by `bevel` (local units).
void BevelBox(OMeshObject& o, const OFrame& f, OV3 min, OV3 max, f32 bevel, const OPaint& paint);
// A cube-like box whose faces each hold a panel sunk `depth` into it, framed by a rim of width
// `rim`: a framed look for 18 triangles a face. Only the faces across the axes in `panelAxes`
// (bit 0 x, 1 y, 2 z) get panels; the others are plain (2 triangles).
void FramedBox(OMeshObject& o, const OFrame& f, OV3 min, OV3 max, f32 rim, f32 depth,
               const OPaint& paint, unsigned panelAxes = 7);
// A prism: the convex polygon `outline` (x, y, counter-clockwise) extruded from z0 to z1.
void Prism(OMeshObject& o, const OFrame& f, const std::vector<OV3>& outline, f32 z0, f32 z1,
           const OPaint& paint);
// A surface of revolution about local z: `profile` holds (radius in x, height in z) points from
// the bottom to the top; `segments` around. Bands share vertices when `smooth`. `paintOf` gives
// the paint of band b (profile b..b+1) and segment s; null paints everything with `paint`.
using OBandPaint = OPaint (*)(int band, int segment, const void* user);
void Lathe(OMeshObject& o, const OFrame& f, const std::vector<OV3>& profile, int segments,
           bool smooth, const OPaint& paint, OBandPaint paintOf = nullptr,
           const void* user = nullptr);
void Sphere(OMeshObject& o, const OFrame& f, f32 radius, int segments, int rings,
            const OPaint& paint, OBandPaint paintOf = nullptr, const void* user = nullptr);
// A closed cylinder along local z from z0 to z1.
void Cylinder(OMeshObject& o, const OFrame& f, f32 radius, f32 z0, f32 z1, int segments,
              const OPaint& paint);
// A ring about local z: tube of radius r around a circle of radius R.
void Torus(OMeshObject& o, const OFrame& f, f32 R, f32 r, int segments, int sides,
           const OPaint& paint);
