#include "effects/QuadBatch.h"

#include <GL/gl.h>

void OQuadBatch::Begin() { vertices.clear(); }

void OQuadBatch::Add(f32 x, f32 y, f32 z, f32 s, f32 u, f32 v, f32 w, const f32 colour[4]) {
  const f32 r = colour[0], g = colour[1], b = colour[2], a = colour[3];
  vertices.push_back({u, v, r, g, b, a, x - s, y - s, z});
  vertices.push_back({u + w, v, r, g, b, a, x + s, y - s, z});
  vertices.push_back({u + w, v + w, r, g, b, a, x + s, y + s, z});
  vertices.push_back({u, v + w, r, g, b, a, x - s, y + s, z});
}

void OQuadBatch::Draw() {
  if (vertices.empty()) return;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  const GLsizei stride = sizeof(Vertex);
  // Only the three arrays of the squares feed the draw.
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].u);
  glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
  glVertexPointer(3, GL_FLOAT, stride, &vertices[0].x);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  const ONearestTexels nearest;
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
  glPopClientAttrib();
}

ONearestTexels::ONearestTexels() {
  GLint min = 0, mag = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  minify = min;
  magnify = mag;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

ONearestTexels::~ONearestTexels() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
}

OQuadBatch& OQuadBatch::Shared() {
  static OQuadBatch batch;
  return batch;
}
