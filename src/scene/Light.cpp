#include "scene/Light.h"

#include <GL/gl.h>

OLight::OLight(i32 index) : index(index) {}

void OLight::Apply() const {
  const GLenum light = GL_LIGHT0 + index;
  glLightfv(light, GL_AMBIENT, ambient);
  glLightfv(light, GL_DIFFUSE, diffuse);
  glLightfv(light, GL_SPECULAR, specular);
  if (positional) {
    const f32 position[4] = {matrix.m[12], matrix.m[13], matrix.m[14], matrix.m[15]};
    glLightfv(light, GL_POSITION, position);
  }
  glEnable(GL_LIGHTING);
  glEnable(light);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer);
}

void OLight::Disable() const { glDisable(GL_LIGHT0 + index); }

void OLight::SetPosition(f32 x, f32 y, f32 z) {
  O3D::SetPosition(x, y, z);
  positional = 1;
}

void OLight::SetColor(u32 pname, f32 r, f32 g, f32 b, f32 a) {
  f32* target = nullptr;
  if (pname == GL_AMBIENT) target = ambient;
  if (pname == GL_DIFFUSE) target = diffuse;
  if (pname == GL_SPECULAR) target = specular;
  if (target == nullptr) return;
  target[0] = r;
  target[1] = g;
  target[2] = b;
  target[3] = a;
}
