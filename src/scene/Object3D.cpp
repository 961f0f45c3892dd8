#include "scene/Object3D.h"

#include <GL/gl.h>

#include <cmath>

#include "scene/Camera.h"

void O3D::Update(u32) {}

void O3D::Draw() {
  const GLboolean lit = glIsEnabled(GL_LIGHTING);
  glLineWidth(1.0f);
  glPushMatrix();
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glColor3f(1.0f, 0.0f, 0.0f);
  const OVector& a = boxMin;
  const OVector& b = boxMax;
  glBegin(GL_LINE_STRIP);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(b.x, a.y, a.z);
  glVertex3f(b.x, b.y, a.z);
  glVertex3f(a.x, b.y, a.z);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(a.x, a.y, b.z);
  glVertex3f(b.x, a.y, b.z);
  glVertex3f(b.x, b.y, b.z);
  glVertex3f(a.x, b.y, b.z);
  glVertex3f(a.x, a.y, b.z);
  glEnd();
  glBegin(GL_LINES);
  glVertex3f(a.x, b.y, a.z);
  glVertex3f(a.x, b.y, b.z);
  glVertex3f(b.x, a.y, a.z);
  glVertex3f(b.x, a.y, b.z);
  glVertex3f(b.x, b.y, a.z);
  glVertex3f(b.x, b.y, b.z);
  glEnd();
  if (lit) glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glLineWidth(1.0f);
  glPopMatrix();
}

void O3D::RotateX(f32 angle) {
  const f32 c = std::cos(angle), s = std::sin(angle);
  const OVector y = matrix.YAxis(), z = matrix.ZAxis();
  matrix.SetColumn(1, y * c + z * s);
  matrix.SetColumn(2, z * c - y * s);
}

void O3D::RotateY(f32 angle) {
  const f32 c = std::cos(angle), s = std::sin(angle);
  const OVector x = matrix.XAxis(), z = matrix.ZAxis();
  matrix.SetColumn(0, x * c - z * s);
  matrix.SetColumn(2, z * c + x * s);
}

void O3D::RotateZ(f32 angle) {
  const f32 c = std::cos(angle), s = std::sin(angle);
  const OVector x = matrix.XAxis(), y = matrix.YAxis();
  matrix.SetColumn(0, x * c + y * s);
  matrix.SetColumn(1, y * c - x * s);
}

void O3D::RotateAxis(f32 angle, const OVector& axis) {
  if (axis.IsZero()) return;
  const OVector k = axis.Normalized();
  const f32 c = std::cos(angle), s = std::sin(angle);
  for (int i = 0; i < 3; ++i) {
    const OVector v = matrix.Column(i);
    // Rodrigues: v cos + (k x v) sin + k (k . v)(1 - cos)
    matrix.SetColumn(i, v * c + k.Cross(v) * s + k * (k.Dot(v) * (1.0f - c)));
  }
}

void O3D::TurnTo(f32 x, f32 y, f32 z, const OVector& axis) {
  const OVector d = OVector(x, y, z) - Position();
  if (d.IsZero() || axis.IsZero()) return;
  const OVector rotationAxis = axis.Cross(d).Normalized();
  const f32 cosine = axis.Normalized().Dot(d.Normalized());
  f32 angle;
  if (cosine >= 1.0f) {
    angle = 0.0f;
  } else if (cosine <= -1.0f) {
    angle = 3.14159265358979f;
  } else {
    angle = std::acos(cosine);
  }
  RotateAxis(angle, rotationAxis);
}

void O3D::LookAt(f32 x, f32 y, f32 z) {
  const OVector pos = Position();
  const OVector target(x, y, z);
  if (target == pos) return;
  const OVector zAxis = (pos - target).Normalized();
  // World +Z made perpendicular to the new Z.
  OVector yAxis(-zAxis.x * zAxis.z, -zAxis.y * zAxis.z, 1.0f - zAxis.z * zAxis.z);
  OVector xAxis;
  if (yAxis.IsZero()) {
    xAxis = {1.0f, 0.0f, 0.0f};
    yAxis = {0.0f, 1.0f, 0.0f};
  } else {
    yAxis.Normalize();
    xAxis = yAxis.Cross(zAxis);
  }
  matrix.SetColumn(0, xAxis);
  matrix.SetColumn(1, yAxis);
  matrix.SetColumn(2, zAxis);
}

void O3D::FaceTarget(const O3D& target) {
  const f32 lengths[3] = {matrix.XAxis().Length(), matrix.YAxis().Length(),
                          matrix.ZAxis().Length()};
  const OVector zAxis = (target.Position() - Position()).Normalized();
  const OVector up = target.matrix.YAxis();
  OVector yAxis = up - zAxis * up.Dot(zAxis);
  OVector xAxis;
  if (yAxis.IsZero()) {
    xAxis = {1.0f, 0.0f, 0.0f};
    yAxis = {0.0f, 1.0f, 0.0f};
  } else {
    yAxis.Normalize();
    xAxis = yAxis.Cross(zAxis);
  }
  matrix.SetColumn(0, xAxis * lengths[0]);
  matrix.SetColumn(1, yAxis * lengths[1]);
  matrix.SetColumn(2, zAxis * lengths[2]);
}

OMatrix O3D::WorldMatrix() const {
  OMatrix m = matrix;
  for (const O3D* p = parent; p != nullptr; p = p->parent) m = p->matrix * m;
  return m;
}

OVector O3D::WorldPosition() const { return WorldMatrix().Position(); }

void O3D::PlaceAtScreenPoint(u16 x, u16 y, f32 z, const OCamera& camera) {
  const f32 f = camera.FocalLength();
  if (!(f > 0.0f)) return;
  const f32 a = (y - camera.viewHeight / 2.0f) / f;
  const f32 b = (x - camera.viewWidth / 2.0f) / f;
  const OMatrix& cm = camera.matrix;
  const OVector d = cm.XAxis() * b + cm.YAxis() * a - cm.ZAxis();
  // A ray parallel to the plane never reaches it.
  if (d.z == 0.0f) return;
  const OVector eye = cm.Position();
  const f32 t = (z - eye.z) / d.z;
  SetPosition(eye.x + d.x * t, eye.y + d.y * t, z);
}

bool O3D::BoxesOverlap(const O3D& other) const {
  const OVector d = Position() - other.Position();
  return std::fabs(d.x) <= extent.x + other.extent.x &&
         std::fabs(d.y) <= extent.y + other.extent.y &&
         std::fabs(d.z) <= extent.z + other.extent.z;
}

namespace {
// Squared distance from c to the interval lo..hi along one axis (0 inside).
f32 OutsideSquared(f32 c, f32 lo, f32 hi) {
  if (c < lo) return (lo - c) * (lo - c);
  if (c > hi) return (c - hi) * (c - hi);
  return 0.0f;
}
}  // namespace

bool O3D::SphereHitsBox(O3D sphere) const {
  const OVector c = sphere.Position();
  const f32 d = OutsideSquared(c.x, boxMin.x, boxMax.x) + OutsideSquared(c.y, boxMin.y, boxMax.y) +
                OutsideSquared(c.z, boxMin.z, boxMax.z);
  return d <= sphere.radius * sphere.radius;
}

bool O3D::RayHitsBox(const OVector& point, const OVector& direction) const {
  const OMatrix world = WorldMatrix();
  const OVector p = world.InverseRotate(point - world.Position());
  const OVector d = world.InverseRotate(direction);
  const OVector f = p - obbCentre;
  const OVector& e = obbExtent;
  // Separating axes of a line and a box: the cross products of the line with X, Y and Z.
  if (std::fabs(f.y * d.z - f.z * d.y) > e.y * std::fabs(d.z) + e.z * std::fabs(d.y)) return false;
  if (std::fabs(f.z * d.x - f.x * d.z) > e.z * std::fabs(d.x) + e.x * std::fabs(d.z)) return false;
  if (std::fabs(f.x * d.y - f.y * d.x) > e.x * std::fabs(d.y) + e.y * std::fabs(d.x)) return false;
  return true;
}

bool O3D::Bounce(O3D& other) {
  const OVector delta = Position() - other.Position();
  const f32 s = delta.LengthSquared();
  if (s > 4.0f * radius * other.radius || s == 0.0f) return false;
  const OVector n = delta * (1.0f / std::sqrt(s));
  const f32 k = (velocity - other.velocity).Dot(n);
  velocity -= n * k;
  other.velocity += n * k;
  const OVector mid = (Position() + other.Position()) * 0.5f;
  SetPosition(mid + n * radius);
  other.SetPosition(mid - n * other.radius);
  return true;
}
