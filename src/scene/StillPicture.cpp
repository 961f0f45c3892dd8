#include "scene/StillPicture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

namespace {
void Push(std::vector<f32>& out, GLenum name, int count) {
  f32 v[16];
  glGetFloatv(name, v);
  out.insert(out.end(), v, v + count);
}

// Reads a rectangle of the viewport (pixels from its lower left corner) into `out`. Rows of RGBA
// bytes and of floats are whole words, so the pack alignment of 4 adds no padding.
void ReadRect(i32 x, i32 y, i32 w, i32 h, GLenum format, GLenum type, void* out) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(viewport[0] + x, viewport[1] + y, w, h, format, type, out);
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

std::vector<f32> ReadDepthRect(i32 x, i32 y, i32 w, i32 h) {
  std::vector<f32> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  ReadRect(x, y, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, out.data());
  return out;
}

// Writes a rectangle read by ReadRect back at pixel (x, y) of the viewport, colour or depth
// only, and puts back every state it changes. Pixels written by DrawPixels are fragments like
// any other: nothing may texture, fog, blend or test them (a depth value goes in through a test
// that always passes, since depth is only written with the test on), or they would not come
// back as they were read.
void WriteRect(i32 x, i32 y, i32 w, i32 h, GLenum format, GLenum type, const void* data) {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_PIXEL_MODE_BIT |
               GL_CURRENT_BIT);
  const bool depth = format == GL_DEPTH_COMPONENT;
  if (depth) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_TRUE);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  const GLboolean colour = depth ? GL_FALSE : GL_TRUE;
  glColorMask(colour, colour, colour, colour);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_LIGHTING);
  glPixelZoom(1.0f, 1.0f);
  GLint unpackAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  // Identity matrices put the raster position on the viewport's corner exactly; a bitmap of no
  // size then moves it by whole pixels.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  if (x != 0 || y != 0) glBitmap(0, 0, 0.0f, 0.0f, static_cast<f32>(x), static_cast<f32>(y), nullptr);
  glDrawPixels(w, h, format, type, data);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopAttrib();
}
}  // namespace

std::vector<f32> OStillPicture::ReadState(u64 generation) const {
  std::vector<f32> s;
  s.reserve(128);
  for (int shift = 0; shift < 64; shift += 16) s.push_back(static_cast<f32>((generation >> shift) & 0xFFFF));
  Push(s, GL_VIEWPORT, 4);
  Push(s, GL_PROJECTION_MATRIX, 16);
  Push(s, GL_MODELVIEW_MATRIX, 16);
  Push(s, GL_CURRENT_COLOR, 4);  // modulates whatever is textured without a colour of its own
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

bool OStillPicture::Matches(u64 generation) const {
  return !state.empty() && ReadState(generation) == state;
}

bool OStillPicture::Capture(u64 generation, bool atOnce) {
  std::vector<f32> now = ReadState(generation);
  if (!atOnce && now != lastOffer) {
    lastOffer.swap(now);
    return false;
  }
  lastOffer.clear();
  depth.clear();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
  if (width <= 0 || height <= 0) {
    Forget();
    return false;
  }
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  ReadRect(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  state.swap(now);
  return true;
}

void OStillPicture::CaptureDepth(i32 x, i32 y, i32 w, i32 h) {
  depth.clear();
  w = std::min(w + std::min(x, 0), width - std::max(x, 0));
  h = std::min(h + std::min(y, 0), height - std::max(y, 0));
  x = std::max(x, 0);
  y = std::max(y, 0);
  if (state.empty() || w <= 0 || h <= 0) return;
  depth = ReadDepthRect(x, y, w, h);
  depthX = x;
  depthY = y;
  depthWidth = w;
  depthHeight = h;
}

bool OStillPicture::DepthComesBack() const {
  if (depth.empty()) return true;
  RestoreDepth();
  return ReadDepthRect(depthX, depthY, depthWidth, depthHeight) == depth;
}

void OStillPicture::RestoreDepth() const {
  if (state.empty() || depth.empty()) return;
  WriteRect(depthX, depthY, depthWidth, depthHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
}

void OStillPicture::Restore() const {
  if (state.empty()) return;
  WriteRect(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

void OStillPicture::Forget() {
  state.clear();
  lastOffer.clear();
  depth.clear();
  depth.shrink_to_fit();
  pixels.clear();
  pixels.shrink_to_fit();
  width = height = 0;
}
