#include "scene/Matrix.h"

OMatrix::OMatrix() { SetIdentity(); }

void OMatrix::SetIdentity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

OMatrix OMatrix::Multiply(const OMatrix& o) const {
  OMatrix r;
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 3; ++row) {
      f32 s = 0.0f;
      for (int k = 0; k < 4; ++k) s += m[4 * k + row] * o.m[4 * col + k];
      r.m[4 * col + row] = s;
    }
    r.m[4 * col + 3] = col == 3 ? 1.0f : 0.0f;
  }
  return r;
}

OVector OMatrix::TransformPoint(const OVector& p) const {
  return TransformDirection(p) + Position();
}

OVector OMatrix::TransformDirection(const OVector& d) const {
  return {m[0] * d.x + m[4] * d.y + m[8] * d.z, m[1] * d.x + m[5] * d.y + m[9] * d.z,
          m[2] * d.x + m[6] * d.y + m[10] * d.z};
}

OVector OMatrix::InverseRotate(const OVector& d) const {
  return {XAxis().Dot(d), YAxis().Dot(d), ZAxis().Dot(d)};
}
