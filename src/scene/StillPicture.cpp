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
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);  // RGBA rows are whole words anyway
  glReadPixels(viewport[0], viewport[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  state.swap(now);
  return true;
}

namespace {
// Identity matrices and the raster position at pixel (x, y) of the viewport, exactly: the
// viewport's corner through the matrices, then moved by whole pixels (a bitmap of no size).
void PlaceRaster(i32 x, i32 y) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);
  if (x != 0 || y != 0) glBitmap(0, 0, 0.0f, 0.0f, static_cast<f32>(x), static_cast<f32>(y), nullptr);
}

void PutBackMatrices() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
}  // namespace

namespace {
std::vector<f32> ReadDepthRect(i32 x, i32 y, i32 w, i32 h) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<f32> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(viewport[0] + x, viewport[1] + y, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, out.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  return out;
}
}  // namespace

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
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_PIXEL_MODE_BIT |
               GL_CURRENT_BIT);
  // Depth is only written with the test on; every value goes in as it is.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_ALWAYS);
  glDepthMask(GL_TRUE);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_LIGHTING);
  glPixelZoom(1.0f, 1.0f);
  GLint unpackAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  PlaceRaster(depthX, depthY);
  glDrawPixels(depthWidth, depthHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  PutBackMatrices();
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopAttrib();
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
  PlaceRaster(0, 0);
  glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  PutBackMatrices();
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopAttrib();
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
