#pragma once
// Colours that apply themselves to OpenGL as the current vertex colour. Components 0..1.
#include "core/Types.h"

class OColor3 {
public:
  OColor3() = default;
  OColor3(f32 r, f32 g, f32 b) : r(r), g(g), b(b) {}
  virtual ~OColor3() = default;

  virtual void Set(f32 nr, f32 ng, f32 nb);
  // glColor3f.
  virtual void Apply() const;

  f32 r = 0.0f;
  f32 g = 0.0f;
  f32 b = 0.0f;
};

class OColor4 : public OColor3 {
public:
  OColor4() = default;
  OColor4(f32 r, f32 g, f32 b, f32 a) : OColor3(r, g, b), a(a) {}

  // glColor4f.
  void Apply() const override;
  // Sets the colour; the alpha only when a >= 0, so callers pass -1 to keep it.
  virtual void SetWithAlpha(f32 nr, f32 ng, f32 nb, f32 na);
  void SetAlpha(f32 na) { a = na; }
  void CopyFrom(const OColor4& o) { *this = o; }

  f32 a = 1.0f;
};
