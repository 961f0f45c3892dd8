#include "objects/TrailPicture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "scene/ContextSerial.h"
#include "scene/PictureState.h"

void ComposeLayers(const u8* overBlack, const u8* overWhite, size_t pixels, u8* out) {
  for (size_t i = 0; i < pixels; ++i) {
    const u8* b = overBlack + 4 * i;
    const u8* w = overWhite + 4 * i;
    // Blending keeps the same share of whatever lies under the layers in each channel; the
    // three channels' readings differ only by rounding, so they are averaged.
    i32 kept = 0;
    for (int c = 0; c < 3; ++c) kept += std::max(0, w[c] - b[c]);
    const i32 cover = 255 - (kept + 1) / 3;
    u8* o = out + 4 * i;
    // The colour added never exceeds the share covered; rounding may make it seem to.
    for (int c = 0; c < 3; ++c) o[c] = static_cast<u8>(std::min<i32>(b[c], cover));
    o[3] = static_cast<u8>(cover);
  }
}

namespace {
i32 PowerOfTwoAbove(i32 v) {
  i32 p = 1;
  while (p < v) p *= 2;
  return p;
}
}  // namespace

OTrailPicture::~OTrailPicture() { Forget(); }

bool OTrailPicture::Holds(const std::vector<u8>& key) const {
  return !taken.empty() && taken == key && texturesContext == GLContextSerial();
}

void OTrailPicture::Forget() {
  taken.clear();
  if (texturesContext == GLContextSerial()) {
    const GLuint names[2] = {saved, picture};
    if (saved != 0) glDeleteTextures(2, names);
  }
  saved = picture = 0;
  textureWidth = textureHeight = 0;
}

bool OTrailPicture::MakeTextures(i32 w, i32 h) {
  // Names kept from an earlier context are not ours in this one: they died with it.
  if (saved != 0 && texturesContext != GLContextSerial()) saved = picture = 0;
  if (saved != 0 && textureWidth >= w && textureHeight >= h) return true;
  Forget();
  const i32 tw = PowerOfTwoAbove(w), th = PowerOfTwoAbove(h);
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  if (tw > largest || th > largest) return false;
  saved = NewPictureTexture(tw, th);
  picture = NewPictureTexture(tw, th);
  texturesContext = GLContextSerial();
  textureWidth = tw;
  textureHeight = th;
  return saved != 0 && picture != 0;
}

bool OTrailPicture::BeginTake(const OPixelRect& r) {
  GLint bits[3] = {};
  glGetIntegerv(GL_RED_BITS, &bits[0]);
  glGetIntegerv(GL_GREEN_BITS, &bits[1]);
  glGetIntegerv(GL_BLUE_BITS, &bits[2]);
  // A shallower buffer would round the colour and coverage too coarsely to stand for the copies.
  if (std::min({bits[0], bits[1], bits[2]}) < 8) return false;
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0 || r.x + r.w > viewport[2] ||
      r.y + r.h > viewport[3]) {
    return false;
  }
  GLint caller = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &caller);
  bound = static_cast<u32>(caller);
  if (!MakeTextures(r.w, r.h)) {
    glBindTexture(GL_TEXTURE_2D, bound);
    return false;
  }
  rect = r;
  const size_t bytes = static_cast<size_t>(r.w) * static_cast<size_t>(r.h) * 4;
  black.resize(bytes);
  white.resize(bytes);
  composed.resize(bytes);
  glBindTexture(GL_TEXTURE_2D, saved);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0] + r.x, viewport[1] + r.y, r.w, r.h);
  glBindTexture(GL_TEXTURE_2D, bound);
  // The copy as it looks, whatever of the picture lies in front of it where it is taken: the
  // copies are depth-tested where they are laid down.
  glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewport[0] + r.x, viewport[1] + r.y, r.w, r.h);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  return true;
}

void OTrailPicture::OverWhite() {
  glReadPixels(viewport[0] + rect.x, viewport[1] + rect.y, rect.w, rect.h, GL_BGRA,
               GL_UNSIGNED_BYTE, black.data());
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void OTrailPicture::EndTake() {
  glReadPixels(viewport[0] + rect.x, viewport[1] + rect.y, rect.w, rect.h, GL_BGRA,
               GL_UNSIGNED_BYTE, white.data());
  // The rectangle's pixels back as they were, inside the same scissor: nothing may light, fog,
  // blend, test or modulate them, and the depth buffer is left alone.
  PushPictureState();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, saved);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  PushIdentityViews();
  glBegin(GL_QUADS);
  Quad(rect, 0.0f);
  glEnd();
  PopIdentityViews();
  glPopAttrib();
  glPopAttrib();

  ComposeLayers(black.data(), white.data(), static_cast<size_t>(rect.w) * rect.h, composed.data());
  GLint unpack = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, picture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, rect.w, rect.h, GL_BGRA, GL_UNSIGNED_BYTE,
                  composed.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
  glBindTexture(GL_TEXTURE_2D, bound);
}

void OTrailPicture::Quad(const OPixelRect& at, f32 depth) const {
  // Pixel edges in the viewport's -1..1; texel centres then fall on pixel centres.
  const f32 x0 = 2.0f * static_cast<f32>(at.x) / static_cast<f32>(viewport[2]) - 1.0f;
  const f32 y0 = 2.0f * static_cast<f32>(at.y) / static_cast<f32>(viewport[3]) - 1.0f;
  const f32 x1 = 2.0f * static_cast<f32>(at.x + at.w) / static_cast<f32>(viewport[2]) - 1.0f;
  const f32 y1 = 2.0f * static_cast<f32>(at.y + at.h) / static_cast<f32>(viewport[3]) - 1.0f;
  const f32 s = static_cast<f32>(rect.w) / static_cast<f32>(textureWidth);
  const f32 t = static_cast<f32>(rect.h) / static_cast<f32>(textureHeight);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x0, y0, depth);
  glTexCoord2f(s, 0.0f);
  glVertex3f(x1, y0, depth);
  glTexCoord2f(s, t);
  glVertex3f(x1, y1, depth);
  glTexCoord2f(0.0f, t);
  glVertex3f(x0, y1, depth);
}

void OTrailPicture::Draw(const std::vector<OTrailCopy>& copies) const {
  if (taken.empty() || texturesContext != GLContextSerial() || copies.empty()) return;
  PushPictureState(true);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  // The picture's colour is already weighed by its coverage.
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glBindTexture(GL_TEXTURE_2D, picture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  PushIdentityViews();
  glBegin(GL_QUADS);
  for (const OTrailCopy& c : copies) {
    glColor4f(c.weight, c.weight, c.weight, c.weight);
    Quad({rect.x + c.dx, rect.y + c.dy, rect.w, rect.h}, c.depth);
  }
  glEnd();
  PopIdentityViews();
  glPopAttrib();
}
