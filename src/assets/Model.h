#pragma once
// A placed, drawable instance of a model file: bricks, balls, the bat, bonus capsules, rockets
// and 3D buttons are all OModels. The geometry is shared with every other instance of the same
// model name; each instance has its own frame, draw scale, transparency and per-object
// visibility (a brick shows one damage stage, a button one state).
#include <string>
#include <vector>

#include "scene/Object3D.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OModelData;

class OModel : public O3D {
public:
  // Identity frame, opaque, blend (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), scales 1, and an empty
  // geometry of its own on which the owner may set the loading options before Load.
  OModel();
  // Shares the geometry and copies the visibility, name, draw scale, bounds, position, radius,
  // alpha, tint and blend factors (not the rotation; the draw scale is off until SetScale).
  OModel(const OModel& other);
  OModel& operator=(const OModel&) = delete;
  // Releases the geometry; the last instance's release removes it from the model cache.
  ~OModel() override;

  // Takes the cached geometry of that name, or loads it from "Data/Models/" (or the high or low
  // detail folder when the geometry's useDetail is set) and caches it. Every object starts
  // visible. Returns true or throws OFileNotFound (missing or damaged file, missing texture).
  bool Load(const std::string& modelName);
  // Display lists for every object of the shared geometry.
  void BuildLists();
  // Binds the texture, applies the frame (and draw scale), and draws every visible object:
  // opaque in white when alpha is 0, else unlit, in the tint, blended and without depth writes.
  void Draw() override;
  // Draw, leaving out of opaque objects the triangles that culling would drop anyway for an eye
  // at `eye` (in the frame the model is placed in); `keep` as CulledKeepSign gives it. The same
  // picture for less work; translucent models are drawn whole.
  void DrawFacing(const OVector& eye, i32 keep);
  // Applies the frame (and draw scale) and sends `positions` (x, y, z per corner, three corners a
  // triangle, model units) as bare triangles: no texture, colour or normal of their own. For a
  // pass that wants the model's surfaces alone, such as its depth.
  void DrawPositions(const std::vector<f32>& positions) const;

  // A scale applied when drawing only; (1, 1, 1) turns it off.
  void SetScale(f32 x, f32 y, f32 z);
  // Multiplies the shared vertices and object positions: every instance of the model sees it.
  void ScaleData(f32 x, f32 y, f32 z);
  // radius *= s and ScaleData (s, s, s).
  void ScaleUniform(f32 s);
  // Scales the shared vertices so that the largest x, y and z become a, b and c. An axis whose
  // largest value is 0 is left as it is.
  void FitMax(f32 a, f32 b, f32 c);
  // radius = the largest absolute vertex coordinate (0 without vertices).
  void ComputeSize();
  // localMin/localMax from the vertices, extent = their difference, and the world box at the
  // current position (no rotation or scale). False when there are no vertices.
  bool ComputeBounds();
  // Widens lo..hi (viewport pixels, x and y) to take in the corners of the local box where the
  // model stands, under ProjectToViewport. False, with lo and hi partly widened, when a corner
  // lies at or behind the eye: the model may then cover anything.
  bool ViewportBounds(const OMatrix& view, const OMatrix& projection, const i32 viewport[4],
                      f32 lo[2], f32 hi[2]) const;
  // The picking box: half the vertex bounds' size and their centre.
  void ComputePickBox();

  void SetAlpha(f32 a) { alpha = a; }
  void SetBlend(u32 src, u32 dst) {
    blendSrc = src;
    blendDst = dst;
  }
  void HideAll();
  // Shows object `index` (hiding the others first when exclusive) and returns the object count;
  // an index past the objects shows object 0 and returns 0.
  u32 ShowObject(u32 index, bool exclusive);
  u32 ObjectCount() const;

  u32 blendSrc;         // blend factors of the translucent path
  u32 blendDst;
  u8 scaled = 0;        // 1: drawScale is applied
  f32 drawScale[3] = {1.0f, 1.0f, 1.0f};
  std::string name;     // the model name given to Load
  OModelData* data;     // one reference
  std::vector<u8> visible;  // one byte per object (1 drawn), plus one spare
  OVector localMin, localMax;  // vertex bounds, model units
  f32 alpha = 0.0f;     // 0 opaque; else the translucent alpha
  f32 tint[3] = {1.0f, 1.0f, 1.0f};  // colour of the translucent path (0..1)

protected:
  // Object k on the translucent path, inside the state that path sets up: the model's matrix,
  // lighting and depth writes off, blending by (blendSrc, blendDst), (tint, alpha) as the current
  // colour. An override may lay the object down another way as long as it leaves that state so.
  virtual void DrawTranslucentObject(size_t k);

private:
  // Draw's work; opaque objects through DrawFacing when `eye` (model units) is given.
  void DrawObjects(const f32* eye, i32 keep);
};

// For the current culling state and modelview: +1 when triangles wound counter-clockwise round
// the eye survive culling, -1 when clockwise ones do, 0 when culling is off (or drops both).
i32 CulledKeepSign();
// The eye of the current modelview, in the frame the modelview starts from; false when the
// modelview flattens space.
bool EyeOfView(OVector& eye);
