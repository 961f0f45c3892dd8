#include "ui/controls/Control2D.h"

#include <GL/gl.h>

O2D::O2D() : frameColour(1, 1, 1, 1), fillColour(1, 1, 1, 1) {
  frameColour.SetWithAlpha(0.0f, 0.0f, 0.0f, 1.0f);
  fillColour.SetWithAlpha(0.5f, 0.5f, 0.5f, 1.0f);
}

void O2D::SetPosition(i16 nx, i16 ny) {
  x = nx;
  y = ny;
}

void O2D::SetSize(i16 nw, i16 nh) {
  w = nw;
  h = nh;
}

void O2D::DrawFill() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  fillColour.SetAlpha(0.75f);
  fillColour.Apply();
  glRectf(x, y + h, x + w, y);
}

void O2D::DrawFrame() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  frameColour.Apply();
  glLineWidth(frameWidth);
  glBegin(GL_LINE_LOOP);
  glVertex2f(x, y);
  glVertex2f(x + w, y);
  glVertex2f(x + w, y + h);
  glVertex2f(x, y + h);
  glEnd();
}
