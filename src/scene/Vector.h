#pragma once
// The game's 3D vector: positions, directions and velocities in world units. No length is implied.
#include "core/Types.h"

struct OVector {
  OVector() = default;
  OVector(f32 x, f32 y, f32 z) : x(x), y(y), z(z) {}

  void Set(f32 nx, f32 ny, f32 nz) {
    x = nx;
    y = ny;
    z = nz;
  }
  OVector Add(const OVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
  OVector Sub(const OVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
  OVector Scale(f32 s) const { return {x * s, y * s, z * s}; }
  // this x other (right-handed).
  OVector Cross(const OVector& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
  }
  f32 Dot(const OVector& o) const { return x * o.x + y * o.y + z * o.z; }
  f32 LengthSquared() const { return Dot(*this); }
  f32 Length() const;
  // Makes the length 1; a zero-length vector is left unchanged.
  void Normalize();
  // A unit copy (zero stays zero).
  OVector Normalized() const {
    OVector v = *this;
    v.Normalize();
    return v;
  }
  bool IsZero() const { return x == 0.0f && y == 0.0f && z == 0.0f; }

  OVector operator+(const OVector& o) const { return Add(o); }
  OVector operator-(const OVector& o) const { return Sub(o); }
  OVector operator-() const { return {-x, -y, -z}; }
  OVector operator*(f32 s) const { return Scale(s); }
  OVector& operator+=(const OVector& o) { return *this = Add(o); }
  OVector& operator-=(const OVector& o) { return *this = Sub(o); }
  bool operator==(const OVector& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const OVector& o) const { return !(*this == o); }

  f32 x = 0.0f;
  f32 y = 0.0f;
  f32 z = 0.0f;
};
