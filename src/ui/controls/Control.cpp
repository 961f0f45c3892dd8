#include "ui/controls/Control.h"

#include <GL/gl.h>

#include "shell/RenderWindow.h"

OControl::OControl(u32 commandId, bool tabStop) : commandId(commandId), tabStop(tabStop ? 1 : 0) {}

bool OControl::HandleInput(const OInputEvent&) { return false; }

void OControl::Draw() {}

bool OControl::HitTest(const OInputEvent&) { return false; }

bool OControl::Attach() { return false; }

void OControl::Highlight() { highlighted = 1; }

void OControl::Unhighlight() { highlighted = 0; }

bool OControl::SendCommand(u32 id, u32 parameter) {
  if (owner == nullptr) return false;
  return owner->OnCommand(id, parameter);
}

bool OControl::OverlayPoint(const OInputEvent& event, f32& vx, f32& vy) const {
  if (owner == nullptr || owner->width <= 0 || owner->height <= 0) return false;
  // The ratios first, in single precision, then the product: the same rounding on every screen.
  const f32 rx = static_cast<f32>(owner->overlayWidth) / static_cast<f32>(owner->width);
  const f32 ry = static_cast<f32>(owner->overlayHeight) / static_cast<f32>(owner->height);
  vx = static_cast<f32>(event.x) * rx;
  vy = static_cast<f32>(static_cast<i32>(owner->height) - static_cast<i32>(event.y)) * ry;
  return true;
}

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
