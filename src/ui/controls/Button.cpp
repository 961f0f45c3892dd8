#include "ui/controls/Button.h"

OButton::OButton(u32 id, bool tabStop) : OControl3D(id, tabStop) {}

void OButton::Draw() { OModel::Draw(); }

bool OButton::HitTest(const OInputEvent& event) {
  if (disabled) return false;
  return OControl3D::HitTest(event);
}

void OButton::Highlight() {
  ShowObject(1, true);
  highlighted = 1;
}

void OButton::Unhighlight() {
  ShowObject(0, true);
  highlighted = 0;
}

bool OButton::Focusable() const { return !disabled; }

bool OButton::Activate() {
  OnPressed();
  const bool result = SendCommand(commandId, 1);
  OnReleased();
  return result;
}

void OButton::OnPressed() {}

void OButton::OnReleased() {}

bool OButton::HandleInput(const OInputEvent& event) {
  switch (event.type) {
    case EV_CHAR:
      if (event.key == VK_RETURN) {
        OnPressed();
        const bool result = SendCommand(commandId, 1);
        OnReleased();
        return result;
      }
      return true;
    case EV_MOUSEMOVE:
      if (pressState != 0) pressState = OControl3D::HitTest(event) ? 1 : 2;
      return true;
    case EV_BUTTONDOWN:
      if (event.button == 0) {
        pressState = 1;
        OnPressed();
      }
      return true;
    case EV_BUTTONUP:
      if (pressState == 1) {
        const bool result = SendCommand(commandId, 1);
        OnReleased();
        pressState = 0;
        return result;
      }
      pressState = 0;
      return true;
    default:
      return false;
  }
}
