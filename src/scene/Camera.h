#pragma once
// The viewer: a perspective camera looking along its own -Z, and the mouse picking ray. Also the
// orthographic set-up of every screen's 2D overlay.
#include "scene/Matrix.h"
#include "scene/Object3D.h"
#include "core/Types.h"

class OCamera : public O3D {
public:
  // At the origin with identity axes. width and height in pixels, fov the vertical field of view
  // in degrees, nearPlane and farPlane in world units (the game uses 60, 1, 1024).
  OCamera(i32 width, i32 height, f32 fov, f32 nearPlane, f32 farPlane);

  // Sets the viewport (width x height at viewportX, viewportY) and the projection, loads the inverse of the camera's frame as the
  // model-view matrix and enables lighting and depth testing. Moving the camera takes effect at
  // the next call. Zeroes the picking offsets.
  void Apply(i32 width, i32 height);
  // Unit world direction of the ray through the window point (x, y), y counted downward from the
  // top (mouse coordinates). A degenerate view (zero height) gives the viewing direction.
  OVector PickRay(f32 x, f32 y) const;
  // The field of view as a focal length in pixels: (viewHeight / 2) / tan(fov / 2).
  f32 FocalLength() const;

  OMatrix view;        // built by Apply: the inverse of the rigid frame
  OMatrix projection;  // read back from OpenGL by Apply
  f32 nearPlane;
  f32 farPlane;
  f32 fieldOfView;     // degrees, vertical
  f32 viewHeight;      // pixels
  f32 viewWidth;       // pixels
  f32 pickOffsetX = 0.0f;  // pixels added to picking coordinates
  f32 pickOffsetY = 0.0f;
  // Lower-left corner of the viewport Apply sets, window pixels from the bottom left: the screens
  // draw into the overlay's place in a window of another shape.
  i32 viewportX = 0;
  i32 viewportY = 0;
};

// 2D drawing in pixels with the origin at the bottom left: no lighting, no depth test,
// glOrtho(0, width, 0, height, -1, 1) and an identity model-view.
void Ortho2D(u16 width, u16 height);
