#pragma once
// A placed frame as OpenGL holds it: sixteen floats, column-major, handed to glLoadMatrixf and
// glMultMatrixf unchanged. Elements 0..2 are the local X axis ("right"), 4..6 the local Y axis
// ("up"), 8..10 the local Z axis, 12..14 the position; 3, 7, 11 are 0 and 15 is 1. The axes may
// carry a length, which then acts as a scale.
#include "scene/Vector.h"
#include "core/Types.h"

struct OMatrix {
  // Identity.
  OMatrix();

  void SetIdentity();
  // Column i (0 X axis, 1 Y axis, 2 Z axis, 3 position) as a vector.
  OVector Column(int i) const { return {m[4 * i], m[4 * i + 1], m[4 * i + 2]}; }
  void SetColumn(int i, const OVector& v) {
    m[4 * i] = v.x;
    m[4 * i + 1] = v.y;
    m[4 * i + 2] = v.z;
  }
  OVector XAxis() const { return Column(0); }
  OVector YAxis() const { return Column(1); }
  OVector ZAxis() const { return Column(2); }
  OVector Position() const { return Column(3); }
  void SetPosition(const OVector& p) { SetColumn(3, p); }

  // this x other, as affine frames: the bottom row of the result is (0, 0, 0, 1).
  OMatrix Multiply(const OMatrix& other) const;
  OMatrix operator*(const OMatrix& other) const { return Multiply(other); }
  // Rotation part times the point plus the position.
  OVector TransformPoint(const OVector& p) const;
  // Rotation part times the direction (no position).
  OVector TransformDirection(const OVector& d) const;
  // Transposed rotation part times the direction: a world direction into the local frame (exact
  // for frames whose axes have length 1).
  OVector InverseRotate(const OVector& d) const;
  // Determinant of the 3 x 3 part: negative for a frame that mirrors.
  f32 Determinant() const;
  // The inverse of TransformPoint for any frame (scaled or sheared too): false, and `out`
  // untouched, for a frame that flattens space.
  bool InverseTransformPoint(const OVector& p, OVector& out) const;

  f32 m[16];
};

// Where a world point falls in a viewport of viewport[2] x viewport[3] pixels, seen through the
// modelview `view` and the full 4 x 4 `projection` (as the GL keeps them): out[0], out[1] in
// pixels from the viewport's lower left corner, out[2] z in normalised device coordinates
// (-1..1). False, with `out` untouched, for a point at or behind the eye.
bool ProjectToViewport(const OMatrix& view, const OMatrix& projection, const i32 viewport[4],
                       const OVector& world, f32 out[3]);
