#include "ui/controls/TextStack.h"

#include <GL/gl.h>

#include "scene/Camera.h"
#include "scene/Font.h"
#include "shell/RenderWindow.h"

OTextStack::OTextStack(OFont* font, u32 id, bool tabStop, f32 scale)
    : OControl(id, tabStop), current(items.end()), font(font), scale(scale) {
  x = 0;
  y = 0;
}

void OTextStack::FitToCurrent() {
  const i16 textWidth = (font != nullptr && HasCurrent())
                            ? static_cast<i16>(font->TextWidth(current->second))
                            : 0;
  SetSize(textWidth, 32);
}

void OTextStack::AddItem(const std::string& itemText, i32 key) {
  for (const auto& item : items) {
    if (item.second == itemText) return;
  }
  items[key] = itemText;
  current = items.find(key);
  FitToCurrent();
}

void OTextStack::SetValue(i32 key) {
  current = items.find(key);
  FitToCurrent();
}

i32 OTextStack::GetValue() const { return HasCurrent() ? current->first : -1; }

void OTextStack::Previous() {
  if (items.empty()) return;
  if (current == items.begin() || current == items.end()) current = items.end();
  --current;
  FitToCurrent();
}

bool OTextStack::Activate() { return Step(1); }

bool OTextStack::Step(i32 direction) {
  if (direction < 0) {
    Previous();
  } else {
    Next();
  }
  if (!HasCurrent()) return false;
  return SendCommand(commandId, static_cast<u32>(current->first));
}

void OTextStack::Next() {
  if (items.empty()) return;
  if (HasCurrent()) ++current;
  if (current == items.end()) current = items.begin();
  FitToCurrent();
}

void OTextStack::Highlight() {
  pulsing = true;
  highlighted = 1;
}

void OTextStack::Unhighlight() {
  pulsing = false;
  highlighted = 0;
}

bool OTextStack::HitTest(const OInputEvent& event) {
  f32 vx = 0.0f, vy = 0.0f;
  if (!OverlayPoint(event, vx, vy)) return false;
  return x <= vx && vx < x + w * scale && y <= vy && vy < y + h * scale;
}

bool OTextStack::HandleInput(const OInputEvent& event) {
  if (event.type != EV_BUTTONDOWN || event.button != 0) return false;
  Next();
  Highlight();
  // An empty selector has no key to report.
  if (!HasCurrent()) return false;
  return SendCommand(commandId, static_cast<u32>(current->first));
}

void OTextStack::Draw() {
  const u16 vw = owner ? owner->overlayWidth : 512;
  const u16 vh = owner ? owner->overlayHeight : 512;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  Ortho2D(vw, vh);
  glTranslatef(x, y, 0.0f);
  glEnable(GL_TEXTURE_2D);
  if (font != nullptr && HasCurrent()) {
    font->PrintClipped(static_cast<u16>(w), current->second, scale, pulsing);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
