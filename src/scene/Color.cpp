#include "scene/Color.h"

#include <GL/gl.h>

void OColor3::Set(f32 nr, f32 ng, f32 nb) {
  r = nr;
  g = ng;
  b = nb;
}

void OColor3::Apply() const { glColor3f(r, g, b); }

void OColor4::Apply() const { glColor4f(r, g, b, a); }

void OColor4::SetWithAlpha(f32 nr, f32 ng, f32 nb, f32 na) {
  Set(nr, ng, nb);
  if (na >= 0.0f) a = na;
}
