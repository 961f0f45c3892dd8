#include "scene/Vector.h"

#include <cmath>

f32 OVector::Length() const { return std::sqrt(LengthSquared()); }

void OVector::Normalize() {
  f32 len = Length();
  if (len == 0.0f) return;
  x /= len;
  y /= len;
  z /= len;
}
