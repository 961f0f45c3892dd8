#include "ui/controls/CheckBox.h"

OCheckBox::OCheckBox(u32 id) : OControl3D(id, false) {}

void OCheckBox::Draw() { OModel::Draw(); }

bool OCheckBox::Attach() {
  OControl3D::Attach();
  if (ticked) {
    ShowObject(1, false);
  } else {
    ShowObject(0, true);
  }
  return true;
}

bool OCheckBox::Activate() {
  ticked = !ticked;
  if (ticked) {
    ShowObject(1, false);
    return SendCommand(commandId, CHECK_TICKED);
  }
  ShowObject(0, true);
  return SendCommand(commandId, CHECK_CLEARED);
}

bool OCheckBox::HandleInput(const OInputEvent& event) {
  switch (event.type) {
    case EV_MOUSEMOVE:
      if (pressState != 0) pressState = HitTest(event) ? 1 : 2;
      return true;
    case EV_BUTTONDOWN:
      if (event.button == 0) pressState = 1;
      return true;
    case EV_BUTTONUP: {
      const bool wasPressed = pressState == 1;
      pressState = 0;
      if (!wasPressed) return true;
      return Activate();
    }
    default:
      return false;
  }
}
