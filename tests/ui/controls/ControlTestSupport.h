#pragma once
// A screen that records the commands its controls send, and input events made to measure.
#include <functional>
#include <utility>
#include <vector>

#include "shell/RenderWindow.h"
#include "support/InputEvents.h"

namespace ui_test {

class CommandScreen : public ORenderWindow {
public:
  explicit CommandScreen(i16 w = 512, i16 h = 512) : ORenderWindow(SCREEN_OPTIONS) {
    SetSize(w, h);
  }
  bool OnCommand(u32 commandId, u32 parameter) override {
    commands.emplace_back(commandId, parameter);
    if (onCommand) onCommand();
    return true;
  }
  std::vector<std::pair<u32, u32>> commands;
  std::function<void()> onCommand;  // also called with each command, to look at the sender
};

inline OInputEvent Mouse(u32 type, u16 x, u16 y, u32 button = 0) {
  OInputEvent e = MakeEvent(type, 0, x, y);
  e.button = button;
  return e;
}

// On a 512 x 512 window, the window pixel of overlay point (vx, vy).
inline OInputEvent At(u32 type, u16 vx, u16 vy, u32 button = 0) {
  return Mouse(type, vx, static_cast<u16>(512 - vy), button);
}

}  // namespace ui_test
