#pragma once
// Placing 3D controls and models of a menu screen under a point of its 512 x 512 overlay.
#include "scene/Camera.h"
#include "scene/Object3D.h"
#include "core/Types.h"

// The view pixel (y up) of an overlay coordinate: trunc(v / (512 / view size)).
inline u16 OverlayToPixel(f32 v, f32 viewSize) {
  return static_cast<u16>(v / (512.0f / viewSize));
}

// Puts the object on the plane z under the overlay point (vx, vy). The pixel is taken in the
// camera's own view size, which is the window's from the first frame at a size on; a screen
// entered right after a display change, before any frame at the new size, is placed correctly.
inline void PlaceAtOverlayPoint(O3D& object, f32 vx, f32 vy, f32 z, const OCamera& camera) {
  object.PlaceAtScreenPoint(OverlayToPixel(vx, camera.viewWidth),
                            OverlayToPixel(vy, camera.viewHeight), z, camera);
}
