#pragma once
// One sub-mesh of a model (a brick's damage stage, a button's face...): a run of triangles of
// its model's face table, compiled into an OpenGL display list once so that drawing it costs one
// list call.
#include "scene/Object3D.h"
#include "core/Types.h"

class OModelData;

// Ambient, diffuse and specular RGBA and shininess, as the model file stores them. Kept with
// the object; never applied when drawing.
struct OModelMaterial {
  f32 ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  f32 diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  f32 specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  f32 shininess = 0.0f;
};

class OModelObject : public O3D {
public:
  // The object's triangles are owner.faces[firstFace .. firstFace + objectFaceCount).
  OModelObject(const OModelData* owner, u32 firstFace, u32 objectFaceCount);
  // Deletes the display list.
  ~OModelObject() override;
  OModelObject(const OModelObject&) = delete;
  OModelObject& operator=(const OModelObject&) = delete;

  // The display list when there is one, else the same triangles sent directly.
  void Draw() override;
  // Draws only the triangles the rasteriser could keep with the eye at `eye` (object units);
  // the others it would cull as facing the wrong way, so the picture is the same for less work.
  // `keep` is +1 when triangles wound counter-clockwise round the eye survive culling, -1 when
  // clockwise ones do. The triangles go into one display list per region of eye positions (below,
  // inside or above the object's bounds on each axis), made on first use.
  void DrawFacing(const f32 eye[3], i32 keep);
  // Compiles (without drawing) one triangle batch of normal, texture coordinate and vertex per
  // corner into a new display list.
  void BuildList();
  // Deletes the display lists (before the rendering context goes away); BuildList makes the
  // object's list anew, DrawFacing the others when next needed.
  void DeleteList();
  // The triangles in immediate mode, inside glBegin/glEnd; with a `keep` sign, only those that
  // MayKeep for eyes in `region`.
  void SendTriangles(i32 region = 0, i32 keep = 0) const;

  u32 list = 0;  // display list name, 0 when none
  u32 firstFace;
  u32 objectFaceCount;
  OModelMaterial material;
  u32 hasList = 0;  // 1 once `list` is built

private:
  // Whether some eye inside region `region` (0..26: 9 x + 3 y + z, each 0 below the bounds,
  // 1 across them, 2 above) could see triangle `face` (an index into the owner's faces) kept.
  bool MayKeep(u32 face, i32 region, i32 keep) const;
  // The vertex bounds and margin for the owner's current vertices; facing lists made for other
  // vertices are dropped. Done whenever the owner's vertexRevision has moved on, so no caller can
  // leave them stale.
  void ComputeBounds();
  void DeleteFacingLists();

  const OModelData* owner;
  u32 facingLists[2][27] = {};  // [keep < 0][region]: display list names, 0 when not made
  f32 boundsMin[3] = {0.0f, 0.0f, 0.0f};  // vertex bounds (object units) and the margin round
  f32 boundsMax[3] = {0.0f, 0.0f, 0.0f};  // them within which an eye counts as on the edge
  f32 margin = 0.0f;
  bool hasBounds = false;
  u32 boundsRevision = 0;  // the owner's vertexRevision the bounds and facing lists belong to
};
