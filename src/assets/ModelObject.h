#pragma once
// One sub-mesh of a model (a brick's damage stage, a button's face...): a run of triangles of
// its model's face table, compiled into an OpenGL display list once so that drawing it costs one
// list call.
#include "scene/Object3D.h"
#include "shell/Types.h"

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
  // Compiles (without drawing) one triangle batch of normal, texture coordinate and vertex per
  // corner into a new display list.
  void BuildList();
  // Deletes the display list (before the rendering context goes away); BuildList makes it anew.
  void DeleteList();
  // The triangles in immediate mode, inside glBegin/glEnd.
  void SendTriangles() const;

  u32 list = 0;  // display list name, 0 when none
  u32 firstFace;
  u32 objectFaceCount;
  OModelMaterial material;
  u32 hasList = 0;  // 1 once `list` is built

private:
  const OModelData* owner;
};
