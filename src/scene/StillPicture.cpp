#include "scene/StillPicture.h"

#include <GL/gl.h>

#include <cstddef>

namespace {
void Push(std::vector<f32>& out, GLenum name, int count) {
  f32 v[16];
  glGetFloatv(name, v);
  out.insert(out.end(), v, v + count);
}
}  // namespace

std::vector<f32> OStillPicture::ReadState(u32 generation) const {
  std::vector<f32> s;
  s.reserve(128);
  s.push_back(static_cast<f32>(generation & 0xFFFF));
  s.push_back(static_cast<f32>(generation >> 16));
  Push(s, GL_VIEWPORT, 4);
  Push(s, GL_PROJECTION_MATRIX, 16);
  Push(s, GL_MODELVIEW_MATRIX, 16);
  const bool lit = glIsEnabled(GL_LIGHTING) == GL_TRUE;
  s.push_back(lit ? 1.0f : 0.0f);
  if (lit) {
    Push(s, GL_LIGHT_MODEL_AMBIENT, 4);
    Push(s, GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    for (GLenum light = GL_LIGHT0; light < GL_LIGHT0 + 8; ++light) {
      if (!glIsEnabled(light)) continue;
      s.push_back(static_cast<f32>(light - GL_LIGHT0));
      f32 v[4];
      for (GLenum p : {GL_AMBIENT, GL_DIFFUSE, GL_POSITION}) {
        glGetLightfv(light, p, v);
        s.insert(s.end(), v, v + 4);
      }
    }
  }
  const bool fog = glIsEnabled(GL_FOG) == GL_TRUE;
  s.push_back(fog ? 1.0f : 0.0f);
  if (fog) {
    Push(s, GL_FOG_START, 1);
    Push(s, GL_FOG_END, 1);
    Push(s, GL_FOG_COLOR, 4);
  }
  return s;
}

bool OStillPicture::Matches(u32 generation) const {
  return !state.empty() && ReadState(generation) == state;
}

void OStillPicture::Capture(u32 generation) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
  if (width <= 0 || height <= 0) {
    Forget();
    return;
  }
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);  // RGBA rows are whole words anyway
  glReadPixels(viewport[0], viewport[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  state = ReadState(generation);
}

void OStillPicture::Restore() const {
  if (state.empty()) return;
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT);
  // Pixels written by DrawPixels are fragments like any other: nothing may test, texture, fog
  // or blend them, or they would not come back as they were read.
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_LIGHTING);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glPixelZoom(1.0f, 1.0f);
  GLint unpackAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  // The raster position of the viewport's lower left corner, through matrices that map the
  // viewport one to one.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopAttrib();
}

void OStillPicture::Forget() {
  state.clear();
  pixels.clear();
  pixels.shrink_to_fit();
  width = height = 0;
}
