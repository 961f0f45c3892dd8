#include "effects/SpriteBatch.h"

// Point sprites and their size by distance are core in OpenGL 2.0; the game links to 1.1 and
// uses them only where the context's version says they are there.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

#include "effects/QuadBatch.h"
#include "scene/ContextSerial.h"

namespace {
// Close to zero, for the terms of a matrix that a square-on view leaves at zero.
bool Small(f32 v) { return std::fabs(v) < 1e-4f; }
}  // namespace

void OSpriteBatch::Begin() { dots.clear(); }

void OSpriteBatch::Add(f32 x, f32 y, f32 z, const f32 colour[4]) {
  dots.push_back({colour[0], colour[1], colour[2], colour[3], x, y, z});
}

void OSpriteBatch::Draw(f32 halfSide) {
  if (dots.empty()) return;
  squares.clear();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  f32 view[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  GLfloat sizes[2] = {1.0f, 1.0f};
  glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, sizes);
  // A sprite is a square of the screen, the size of the square it stands for when the square
  // faces the eye: a view that only moves and scales x and y alike, and a perspective without
  // skew whose pixels are square. Its size in pixels is then `across` over the eye's distance.
  // (A mirrored axis turns the square over, which a round dot does not show.)
  const f32 scale = std::fabs(view[0]);
  const f32 pixelsY = projection[5] * static_cast<f32>(viewport[3]);
  const f32 pixelsX = projection[0] * static_cast<f32>(viewport[2]);
  const f32 across = halfSide * scale * pixelsY;
  const bool squareOn = Small(view[1]) && Small(view[2]) && Small(view[4]) && Small(view[6]) &&
                        Small(view[8]) && Small(view[9]) && Small(scale - std::fabs(view[5])) &&
                        Small(scale - std::fabs(view[10])) && Small(projection[15]) &&
                        Small(projection[4]) && Small(projection[8]) && Small(projection[9]) &&
                        std::fabs(std::fabs(pixelsX) - pixelsY) < 1e-3f * pixelsY;
  const bool sprites = squareOn && across > 0.0f && GLVersionAtLeast(2);
  size_t kept = 0;
  for (const Dot& d : dots) {
    // The eye's distance along the view axis, by which the GL scales a sprite as the view
    // scales the square (a GL may take the straight distance instead: then sparks away from the
    // view's centre come out a little smaller, at most a sixth at its corners).
    const f32 depth = -(view[2] * d.x + view[6] * d.y + view[10] * d.z + view[14]);
    const f32 pixels = depth > 0.0f ? across / depth : 0.0f;
    // Sprites of a pixel or less, or larger than the GL draws, would differ from the square; so
    // would one reaching past the viewport's edge, which the GL drops whole once its centre has
    // left the view, where a square shows the part still in it.
    bool inside = false;
    if (sprites && pixels > 1.0f && pixels <= sizes[1]) {
      const f32 eyeX = view[0] * d.x + view[4] * d.y + view[8] * d.z + view[12];
      const f32 eyeY = view[1] * d.x + view[5] * d.y + view[9] * d.z + view[13];
      const f32 x = (projection[0] * eyeX / depth + 1.0f) * 0.5f * static_cast<f32>(viewport[2]);
      const f32 y = (projection[5] * eyeY / depth + 1.0f) * 0.5f * static_cast<f32>(viewport[3]);
      const f32 half = pixels * 0.5f;
      inside = x - half >= 0.0f && y - half >= 0.0f && x + half <= static_cast<f32>(viewport[2]) &&
               y + half <= static_cast<f32>(viewport[3]);
    }
    if (inside) {
      dots[kept++] = d;
    } else {
      squares.push_back(d);
    }
  }
  dots.resize(kept);

  if (!dots.empty()) {
    const ONearestTexels nearest;
    glPushAttrib(GL_POINT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glPointSize(across);
    const GLfloat byDistance[3] = {0.0f, 0.0f, 1.0f};
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, byDistance);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glEnable(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    glDisable(GL_POINT_SMOOTH);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    const GLsizei stride = sizeof(Dot);
    glColorPointer(4, GL_FLOAT, stride, &dots[0].r);
    glVertexPointer(3, GL_FLOAT, stride, &dots[0].x);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(dots.size()));
    glPopClientAttrib();
    // The texture environment's sprite switch belongs to the point state put back here.
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_FALSE);
    glPopAttrib();
  }
  if (!squares.empty()) {
    OQuadBatch& batch = OQuadBatch::Shared();
    batch.Begin();
    for (const Dot& d : squares) {
      const f32 colour[4] = {d.r, d.g, d.b, d.a};
      batch.Add(d.x, d.y, d.z, halfSide, 0.0f, 0.0f, 1.0f, colour);
    }
    batch.Draw();
  }
}

OSpriteBatch& OSpriteBatch::Shared() {
  static OSpriteBatch batch;
  return batch;
}
