#include "scene/Matrix.h"

#include <cmath>

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

f32 OMatrix::Determinant() const {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
         m[8] * (m[1] * m[6] - m[5] * m[2]);
}

bool OMatrix::InverseTransformPoint(const OVector& p, OVector& out) const {
  const f32 det = Determinant();
  if (!(std::fabs(det) > 1e-12f)) return false;
  // Row by row, the adjugate of the 3 x 3 part over the determinant.
  const f32 a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
  const f32 x = p.x - m[12], y = p.y - m[13], z = p.z - m[14];
  out.x = ((e * i - f * h) * x + (c * h - b * i) * y + (b * f - c * e) * z) / det;
  out.y = ((f * g - d * i) * x + (a * i - c * g) * y + (c * d - a * f) * z) / det;
  out.z = ((d * h - e * g) * x + (b * g - a * h) * y + (a * e - b * d) * z) / det;
  return true;
}

bool ProjectToViewport(const OMatrix& view, const OMatrix& projection, const i32 viewport[4],
                       const OVector& world, f32 out[3]) {
  const OVector e = view.TransformPoint(world);
  const f32* p = projection.m;
  const f32 w = p[3] * e.x + p[7] * e.y + p[11] * e.z + p[15];
  if (!(w > 1e-6f)) return false;
  out[0] = ((p[0] * e.x + p[4] * e.y + p[8] * e.z + p[12]) / w + 1.0f) * 0.5f *
           static_cast<f32>(viewport[2]);
  out[1] = ((p[1] * e.x + p[5] * e.y + p[9] * e.z + p[13]) / w + 1.0f) * 0.5f *
           static_cast<f32>(viewport[3]);
  out[2] = (p[2] * e.x + p[6] * e.y + p[10] * e.z + p[14]) / w;
  return true;
}
