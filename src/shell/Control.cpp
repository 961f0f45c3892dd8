#include "shell/Control.h"

#include "shell/RenderWindow.h"

OControl::OControl(u32 commandId, bool tabStop) : commandId(commandId), tabStop(tabStop ? 1 : 0) {}

bool OControl::HandleInput(const OInputEvent&) { return false; }

void OControl::Draw() {}

bool OControl::HitTest(const OInputEvent&) { return false; }

bool OControl::Attach() { return false; }

void OControl::Highlight() { highlighted = 1; }

void OControl::Unhighlight() { highlighted = 0; }

bool OControl::Focusable() const { return true; }

bool OControl::Activate() { return false; }

bool OControl::Step(i32) { return false; }

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
