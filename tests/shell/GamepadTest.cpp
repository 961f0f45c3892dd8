// A gamepad as the player plugs it in: SDL's virtual joystick stands in for the device, and the
// window turns what it does into the keys the screens know.
#include <gtest/gtest.h>

#include <SDL.h>

#include <utility>
#include <vector>

#include "shell/GLWindow.h"
#include "support/VirtualPad.h"

namespace {

class PadWindow : public OGLWindow {
public:
  bool HandleInput(const OInputEvent& e) override {
    if (e.type != EV_CHAR) keys.emplace_back(e.type, e.key);
    return false;
  }
  void FocusLost() override { ++focusLost; }
  std::vector<std::pair<u32, u16>> keys;
  int focusLost = 0;
};

// Every event SDL has for us, through the window's own translation.
void Pump(PadWindow& w) {
  SDL_PumpEvents();
  SDL_Event e;
  while (SDL_PollEvent(&e)) w.Dispatch(e);
}

}  // namespace

// Plugged in while the game runs: the d-pad and the stick are arrows (the stick with a dead zone),
// A is Enter, B is Esc, Start is Pause; two pads both count; unplugging one pauses the game
// and lets go of the arrow its stick held.
TEST(Gamepad, VirtualPadDrivesTheKeys) {
  PadWindow w;
  ASSERT_TRUE(w.StartGamepads()) << SDL_GetError();
  const int index = AttachVirtualPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  Pump(w);
  ASSERT_EQ(w.GamepadCount(), 1) << "the virtual pad is no game controller";
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  ASSERT_NE(stick, nullptr);

  const struct {
    int button;
    u16 key;
  } buttons[] = {{SDL_CONTROLLER_BUTTON_A, VK_RETURN},
                 {SDL_CONTROLLER_BUTTON_B, VK_ESCAPE},
                 {SDL_CONTROLLER_BUTTON_START, VK_PAUSE},
                 {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
                 {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN}};
  for (const auto& b : buttons) {
    w.keys.clear();
    SDL_JoystickSetVirtualButton(stick, b.button, 1);
    Pump(w);
    SDL_JoystickSetVirtualButton(stick, b.button, 0);
    Pump(w);
    EXPECT_EQ(w.keys, (std::vector<std::pair<u32, u16>>{{EV_KEYDOWN, b.key}, {EV_KEYUP, b.key}}))
        << "button " << b.button;
  }

  // A small push is no key; a full push right holds Right until the stick comes back.
  w.keys.clear();
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 6000);
  Pump(w);
  EXPECT_TRUE(w.keys.empty());
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  Pump(w);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 12000);  // inside: still held
  Pump(w);
  EXPECT_EQ(w.keys, (std::vector<std::pair<u32, u16>>{{EV_KEYDOWN, VK_RIGHT}}));

  // A second pad joins; the first one unplugged with its stick pushed: the game pauses, the arrow
  // is let go, the second pad stays.
  const int second = AttachVirtualPad();
  ASSERT_GE(second, 0);
  Pump(w);
  EXPECT_EQ(w.GamepadCount(), 2);
  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(index);
  Pump(w);
  EXPECT_EQ(w.focusLost, 1);
  EXPECT_EQ(w.keys.back(), std::make_pair(EV_KEYUP, VK_RIGHT));
  EXPECT_EQ(w.GamepadCount(), 1);
  SDL_JoystickDetachVirtual(second > index ? second - 1 : second);
  Pump(w);
  EXPECT_EQ(w.GamepadCount(), 0);
}
