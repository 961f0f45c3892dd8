#pragma once
// A light of the scene: GL_LIGHT0 + index with its colours, directional unless given a
// position. Applied after the camera, so its position is taken in the camera's frame.
#include "scene/Object3D.h"
#include "core/Types.h"

class OLight : public O3D {
public:
  explicit OLight(i32 index);

  // Sets the colours (and the position when positional), enables lighting and this light, and
  // sets the local-viewer model.
  void Apply() const;
  void Disable() const;
  // Places the light and makes it positional (w = 1).
  void SetPosition(f32 x, f32 y, f32 z);
  // pname is GL_AMBIENT, GL_DIFFUSE or GL_SPECULAR; any other value is ignored.
  void SetColor(u32 pname, f32 r, f32 g, f32 b, f32 a);

  i32 index;
  u8 positional = 0;
  f32 ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  f32 diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  f32 specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  i32 localViewer = 0;  // GL_LIGHT_MODEL_LOCAL_VIEWER
};
