#include "scene/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {
// pi / 360: half a field of view in degrees, as radians.
constexpr f32 HALF_DEGREE = 0.00872664625997f;
}  // namespace

OCamera::OCamera(i32 width, i32 height, f32 fov, f32 nearPlane, f32 farPlane)
    : nearPlane(nearPlane),
      farPlane(farPlane),
      fieldOfView(fov),
      viewHeight(static_cast<f32>(height)),
      viewWidth(static_cast<f32>(width)) {}

f32 OCamera::FocalLength() const {
  return (viewHeight / 2.0f) / std::tan(fieldOfView * HALF_DEGREE);
}

void OCamera::Apply(i32 width, i32 height) {
  viewWidth = static_cast<f32>(width);
  viewHeight = static_cast<f32>(height);
  pickOffsetX = 0.0f;
  pickOffsetY = 0.0f;
  glViewport(viewportX, viewportY, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // A minimised window reports a zero height; keep the aspect finite.
  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
  gluPerspective(fieldOfView, aspect, nearPlane, farPlane);

  // Inverse of a rigid frame: the axes become rows, the translation -(axis . position).
  const OVector x = matrix.XAxis(), y = matrix.YAxis(), z = matrix.ZAxis();
  const OVector p = matrix.Position();
  f32* v = view.m;
  v[0] = x.x; v[4] = x.y; v[8] = x.z;  v[12] = -x.Dot(p);
  v[1] = y.x; v[5] = y.y; v[9] = y.z;  v[13] = -y.Dot(p);
  v[2] = z.x; v[6] = z.y; v[10] = z.z; v[14] = -z.Dot(p);
  v[3] = 0.0f; v[7] = 0.0f; v[11] = 0.0f; v[15] = 1.0f;
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(view.m);
  glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

OVector OCamera::PickRay(f32 x, f32 y) const {
  const OVector forward = -matrix.ZAxis();
  const f32 f = FocalLength();
  // Zero height or a degenerate field of view leave no plane to pick on: look straight ahead.
  if (!(f > 0.0f) || !std::isfinite(f)) return forward.Normalized();
  const f32 b = ((x + pickOffsetX) - viewWidth / 2.0f) / f;
  const f32 a = ((pickOffsetY - y) + viewHeight / 2.0f) / f;
  return (matrix.XAxis() * b + matrix.YAxis() * a + forward).Normalized();
}

void Ortho2D(u16 width, u16 height) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
