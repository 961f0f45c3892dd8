#pragma once
// A plane a*x + b*y + c*z + d = 0, used to tell on which side of a face a point lies.
#include "scene/Vector.h"
#include "core/Types.h"

struct OPlane {
  // The plane through `point` with the given normal (d = -normal . point).
  static OPlane FromNormalPoint(const OVector& normal, const OVector& point) {
    return {normal.x, normal.y, normal.z, -normal.Dot(point)};
  }
  // Signed distance in units of the normal's length; positive on the side the normal points to.
  f32 Distance(const OVector& p) const { return a * p.x + b * p.y + c * p.z + d; }
  // True when the two points lie strictly on opposite sides (a point on the plane is on neither).
  bool OppositeSides(const OVector& p, const OVector& q) const {
    return Distance(p) * Distance(q) < 0.0f;
  }

  f32 a = 0.0f;
  f32 b = 0.0f;
  f32 c = 0.0f;
  f32 d = 0.0f;
};
