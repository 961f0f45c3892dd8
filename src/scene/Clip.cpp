#include "scene/Clip.h"

#include <GL/gl.h>

OClip::OClip() : srcBlend(GL_SRC_ALPHA), dstBlend(GL_ONE_MINUS_SRC_ALPHA) {}

OClip::OClip(const OClip& other)
    : O3D(other),
      texture(other.texture),
      columns(other.columns),
      rows(other.rows),
      alpha(other.alpha),
      alphaRef(other.alphaRef),
      halfSize(other.halfSize),
      lastFrame(other.lastFrame),
      frameTime(other.frameTime),
      frame(0),
      srcBlend(other.srcBlend),
      dstBlend(other.dstBlend),
      colour(other.colour),
      faceCamera(other.faceCamera),
      loop(other.loop) {}

bool OClip::Load(const std::string& fileName, i32 frameWidth, i32 frameHeight, f32 newHalfSize,
                 f32 newAlpha, f32 newAlphaRef, i32 newFrameTime) {
  texture.Load(fileName);
  const i32 width = texture.image ? static_cast<i32>(texture.image->width) : 0;
  const i32 height = texture.image ? static_cast<i32>(texture.image->height) : 0;
  // A frame size of 0 or one larger than the sheet would leave no frame at all; such a sheet is
  // shown whole as a single frame.
  columns = frameWidth > 0 ? width / frameWidth : 0;
  rows = frameHeight > 0 ? height / frameHeight : 0;
  if (columns < 1) columns = 1;
  if (rows < 1) rows = 1;
  halfSize = newHalfSize;
  alpha = newAlpha;
  alphaRef = newAlphaRef;
  frameTime = newFrameTime;
  lastFrame = columns * rows - 1;
  frame = 0;
  life = 0;
  return true;
}

void OClip::Update(u32 elapsedMs) {
  if (life < 0) return;
  if (frame != lastFrame) {
    life += static_cast<i32>(elapsedMs);
    if (life > frameTime) {
      life = 0;
      ++frame;
    }
    return;
  }
  // The last frame has had its tick on screen.
  if (loop) {
    life = 0;
    frame = 0;
  } else {
    life = -1;
  }
}

f32 OClip::FrameU() const {
  // Frames run row by row; the modulo equals the mask by columns - 1 for the power-of-two widths
  // the game's sheets have, and stays right for any other.
  return static_cast<f32>(frame % columns) / static_cast<f32>(columns);
}

f32 OClip::FrameV() const {
  return static_cast<f32>(frame / columns) / static_cast<f32>(rows);
}

void OClip::Draw() {
  if (life < 0) return;
  texture.Bind();
  const bool blended = alpha != 0.0f;
  const bool tested = alphaRef != 0.0f;
  if (blended) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  colour.SetAlpha(alpha);
  colour.Apply();
  if (tested) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, alphaRef);
  }

  const f32 u = FrameU();
  const f32 v = FrameV();
  const f32 du = 1.0f / static_cast<f32>(columns);
  const f32 dv = 1.0f / static_cast<f32>(rows);
  const f32 s = halfSize;
  glPushMatrix();
  glMultMatrixf(matrix.m);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(u, v);
  glVertex3f(-s, -s, 0.0f);
  glTexCoord2f(u, v + dv);
  glVertex3f(-s, s, 0.0f);
  glTexCoord2f(u + du, v);
  glVertex3f(s, -s, 0.0f);
  glTexCoord2f(u + du, v + dv);
  glVertex3f(s, s, 0.0f);
  glEnd();
  glPopMatrix();

  if (blended) glDisable(GL_BLEND);
  if (tested) glDisable(GL_ALPHA_TEST);
}
