#include "scene/StillPicture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "scene/ContextSerial.h"
#include "scene/PictureState.h"


namespace {
void Push(std::vector<f32>& out, GLenum name, int count) {
  f32 v[16];
  glGetFloatv(name, v);
  out.insert(out.end(), v, v + count);
}

// Whether the current context takes textures of any size (OpenGL 2.0, or the extension).
bool AnySizeTextures() {
  if (GLVersionAtLeast(2)) return true;
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return extensions != nullptr && std::strstr(extensions, "GL_ARB_texture_non_power_of_two") != nullptr;
}
// Reads a depth rectangle of the viewport (pixels from its lower left corner). Rows of floats
// are whole words, so the pack alignment of 4 adds no padding.
std::vector<f32> ReadDepthRect(i32 x, i32 y, i32 w, i32 h) {
  std::vector<f32> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(viewport[0] + x, viewport[1] + y, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, out.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  return out;
}

// Writes a depth rectangle read by ReadDepthRect back at pixel (x, y) of the viewport and puts
// back every state it changes. Pixels written by DrawPixels are fragments like any other:
// nothing may texture, fog or test them (the values go in through a test that always passes,
// since depth is only written with the test on), and no colour is written.
void WriteDepthRect(i32 x, i32 y, i32 w, i32 h, const f32* data) {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_PIXEL_MODE_BIT |
               GL_CURRENT_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_ALWAYS);
  glDepthMask(GL_TRUE);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_LIGHTING);
  glPixelZoom(1.0f, 1.0f);
  GLint unpackAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  // Identity matrices put the raster position on the viewport's corner exactly; a bitmap of no
  // size then moves it by whole pixels.
  PushIdentityViews();
  glRasterPos2f(-1.0f, -1.0f);
  if (x != 0 || y != 0) glBitmap(0, 0, 0.0f, 0.0f, static_cast<f32>(x), static_cast<f32>(y), nullptr);
  glDrawPixels(w, h, GL_DEPTH_COMPONENT, GL_FLOAT, data);
  PopIdentityViews();
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPopAttrib();
}
}  // namespace

std::vector<f32> OStillPicture::ReadGeneration(u64 generation) {
  std::vector<f32> s;
  for (int shift = 0; shift < 64; shift += 16) s.push_back(static_cast<f32>((generation >> shift) & 0xFFFF));
  return s;
}

std::vector<f32> OStillPicture::ReadState(u64 generation) const {
  std::vector<f32> s = ReadGeneration(generation);
  s.reserve(128);
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
  // How a fragment's texel and colour become a pixel: the texture environment and blending.
  const bool textured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
  s.push_back(textured ? 1.0f : 0.0f);
  if (textured) {
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    s.push_back(static_cast<f32>(env));
    if (env == GL_BLEND) {
      f32 c[4];
      glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
      s.insert(s.end(), c, c + 4);
    }
  }
  const bool blend = glIsEnabled(GL_BLEND) == GL_TRUE;
  s.push_back(blend ? 1.0f : 0.0f);
  if (blend) {
    Push(s, GL_BLEND_SRC, 1);
    Push(s, GL_BLEND_DST, 1);
  }
  const bool alphaTest = glIsEnabled(GL_ALPHA_TEST) == GL_TRUE;
  s.push_back(alphaTest ? 1.0f : 0.0f);
  if (alphaTest) {
    Push(s, GL_ALPHA_TEST_FUNC, 1);
    Push(s, GL_ALPHA_TEST_REF, 1);
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
  seen = ReadState(generation);
  return !state.empty() && seen == state;
}

bool OStillPicture::Capture(u64 generation, bool atOnce) {
  // The picture belongs to the state the owner asked about before drawing it: drawing may leave
  // other state behind (a colour, a texture), and a picture keyed by that would never match the
  // next frame's question, taken again every other frame at the cost of a read-back.
  const std::vector<f32> generationOnly = ReadGeneration(generation);
  const bool askedFirst = seen.size() >= generationOnly.size() &&
                          std::equal(generationOnly.begin(), generationOnly.end(), seen.begin());
  std::vector<f32> now = askedFirst ? std::move(seen) : ReadState(generation);
  seen.clear();
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
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  if (!MakeTexture()) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    Forget();
    return false;
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0], viewport[1], width, height);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  state.swap(now);
  return true;
}

bool OStillPicture::MakeTexture() {
  // A name kept from an earlier context is not ours in this one: it died with its context.
  if (texture != 0 && textureContext != GLContextSerial()) texture = 0;
  if (texture != 0 && textureWidth >= width && textureHeight >= height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    return true;
  }
  DeleteTexture();
  // A texture of the picture's own size where the GL takes any size: a power-of-two one holds a
  // third again as many texels at 1024x768, memory the driver fills for nothing.
  i32 w = width, h = height;
  if (!AnySizeTextures()) {
    w = h = 1;
    while (w < width) w *= 2;
    while (h < height) h *= 2;
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  if (w > largest || h > largest) return false;
  texture = NewPictureTexture(w, h);
  textureContext = GLContextSerial();
  textureWidth = w;
  textureHeight = h;
  return true;
}

void OStillPicture::DeleteTexture() {
  if (texture != 0 && textureContext == GLContextSerial()) {
    GLuint name = texture;
    glDeleteTextures(1, &name);
  }
  texture = 0;
  textureWidth = textureHeight = 0;
}

OStillPicture::~OStillPicture() { DeleteTexture(); }

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
  WriteDepthRect(depthX, depthY, depthWidth, depthHeight, depth.data());
}

void OStillPicture::Restore() const {
  if (state.empty() || texture == 0) return;
  // One square over the viewport with the picture's texels on its pixel centres. Copying inside
  // the GL costs far less than sending the pixels down again every frame. As with any fragment,
  // nothing may light, fog, blend, test or modulate it.
  PushPictureState();
  glDisable(GL_DEPTH_TEST);  // which also leaves the depth buffer unwritten
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  PushIdentityViews();
  const f32 s = static_cast<f32>(width) / static_cast<f32>(textureWidth);
  const f32 t = static_cast<f32>(height) / static_cast<f32>(textureHeight);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(s, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(s, t);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, t);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  PopIdentityViews();
  glPopAttrib();
}

void OStillPicture::Forget() {
  state.clear();
  seen.clear();
  lastOffer.clear();
  depth.clear();
  depth.shrink_to_fit();
  DeleteTexture();
  width = height = 0;
}
