// What the window makes of SDL's events (keys, buttons, text, window changes, gamepads), and the
// timing of its main loop.
#include <gtest/gtest.h>

#include <SDL.h>

#include <utility>
#include <vector>

#include "core/Clock.h"
#include "shell/GLWindow.h"

namespace {

// A window that records what its procedure hands on, without any display.
class Recorder : public OGLWindow {
public:
  bool HandleInput(const OInputEvent& e) override {
    events.push_back(e);
    return false;
  }
  void Resize() override { ++resizes; }
  void Deactivate() override { ++deactivations; }
  void Activate() override { ++activations; }
  void FocusLost() override { ++focusLost; }
  // The keys handed on since the last call, as (type, key), characters left out.
  std::vector<std::pair<u32, u16>> TakeKeys() {
    std::vector<std::pair<u32, u16>> keys;
    for (const OInputEvent& e : events)
      if (e.type != EV_CHAR) keys.emplace_back(e.type, e.key);
    events.clear();
    return keys;
  }
  // Every event SDL has for us, through the window's own translation.
  void Pump() {
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Dispatch(e);
  }
  std::vector<OInputEvent> events;
  int resizes = 0, deactivations = 0, activations = 0, focusLost = 0;
};

// A gamepad of SDL's own making, named "Test pad": its joystick index, or -1 (SDL_GetError says
// why). Needs SDL's joystick subsystem started.
int AttachVirtualPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Test pad";
  return SDL_JoystickAttachVirtualEx(&desc);
}

SDL_Event Event(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = 0) {
  SDL_Event e = Event(type);
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event Button(Uint32 type, int x, int y, Uint8 button) {
  SDL_Event e = Event(type);
  e.button.button = button;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event WindowEvent(Uint8 kind, int w = 0, int h = 0) {
  SDL_Event e = Event(SDL_WINDOWEVENT);
  e.window.event = kind;
  e.window.data1 = w;
  e.window.data2 = h;
  return e;
}

u32 now = 0;
u32 step = 0;        // added on every clock read
int reads = 0;
int activateAt = -1;  // the clock read on which the window becomes active
OGLWindow* target = nullptr;

u32 FakeClock() {
  now += step;
  if (reads++ == activateAt && target) target->active = 1;
  return now;
}

// A window whose frames are recorded; it quits after a given number of frames.
class LoopWindow : public OGLWindow {
public:
  void Frame(u32 elapsed) override {
    elapsedSeen.push_back(elapsed);
    passesAtFrame.push_back(frameCount);
    if (static_cast<int>(elapsedSeen.size()) == quitAfter) Quit();
  }
  void Unload() override { ++unloads; }
  std::vector<u32> elapsedSeen;
  std::vector<i32> passesAtFrame;
  int quitAfter = 3;
  int unloads = 0;
};

class Loop : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    now = 1000;
    step = 0;
    reads = 0;
    activateAt = -1;
    target = nullptr;
    SetClock(FakeClock);
  }
  void TearDown() override {
    SetClock(nullptr);
    SDL_Quit();
  }
};

}  // namespace

TEST(Input, KeysButtonsTextWindowEventsAndGamepads) {
  // The first event handed on (type, and key code or button row) and the character after it (0
  // for none); count 0 for what is not input.
  const struct {
    SDL_Event sdl;
    size_t count;
    u32 type;
    u32 code;
    u16 character;
    const char* what;
  } cases[] = {
      {Key(SDL_KEYDOWN, SDLK_a), 1, EV_KEYDOWN, 'A', 0, "letters are their upper-case code"},
      {Key(SDL_KEYUP, SDLK_5), 1, EV_KEYUP, '5', 0, "digits"},
      {Key(SDL_KEYDOWN, SDLK_RETURN), 2, EV_KEYDOWN, 13, 13, "Enter is also a character"},
      {Key(SDL_KEYDOWN, SDLK_BACKSPACE), 2, EV_KEYDOWN, 8, 8, "Backspace edits names"},
      {Key(SDL_KEYDOWN, SDLK_RCTRL), 1, EV_KEYDOWN, 17, 0, "either Ctrl is 17"},
      {Key(SDL_KEYDOWN, SDLK_LEFT), 1, EV_KEYDOWN, 37, 0, "arrows"},
      {Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT), 0, 0, 0, 0, "Alt combinations are the system's"},
      {Key(SDL_KEYDOWN, SDLK_F10), 0, 0, 0, 0, "F10 is the system's"},
      {Button(SDL_MOUSEBUTTONDOWN, 10, 20, SDL_BUTTON_LEFT), 1, EV_BUTTONDOWN, 0, 0, "left"},
      {Button(SDL_MOUSEBUTTONDOWN, 10, 20, SDL_BUTTON_RIGHT), 1, EV_BUTTONDOWN, 2, 0, "right"},
      {Button(SDL_MOUSEBUTTONUP, 11, 21, SDL_BUTTON_RIGHT), 1, EV_BUTTONUP, 2, 0, "release"},
      {Button(SDL_MOUSEBUTTONDOWN, 1, 1, SDL_BUTTON_X1), 0, 0, 0, 0, "extra buttons"},
  };
  Recorder w;
  for (const auto& c : cases) {
    w.events.clear();
    w.Dispatch(c.sdl);
    ASSERT_EQ(w.events.size(), c.count) << c.what;
    if (c.count == 0) continue;
    EXPECT_EQ(w.events[0].type, c.type) << c.what;
    EXPECT_EQ(c.type >= EV_BUTTONDOWN ? w.events[0].button : w.events[0].key, c.code) << c.what;
    if (c.count == 2) {
      EXPECT_EQ(w.events[1].type, EV_CHAR) << c.what;
      EXPECT_EQ(w.events[1].key, c.character) << c.what;
    }
  }
  // A key reports the last mouse position (the release at 11, 21); motion deltas are signed
  // 16-bit changes since the previous mouse event, held buttons in the flags.
  w.events.clear();
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_SPACE));
  EXPECT_EQ(w.events.at(0).x, 11);
  EXPECT_EQ(w.events.at(0).y, 21);
  SDL_Event motion = Event(SDL_MOUSEMOTION);
  motion.motion.x = 1;
  motion.motion.y = 25;
  motion.motion.state = SDL_BUTTON_LMASK;
  w.Dispatch(motion);
  EXPECT_EQ(static_cast<i16>(w.events.at(1).dx), -10);
  EXPECT_EQ(static_cast<i16>(w.events.at(1).dy), 4);
  EXPECT_EQ(w.events.at(1).keyFlags & MK_LBUTTON, MK_LBUTTON);

  // Typed text, one character per Windows-1252 byte, what it cannot hold dropped: a, the euro
  // sign, e-acute, a CJK character.
  SDL_Event text = Event(SDL_TEXTINPUT);
  SDL_strlcpy(text.text.text, "a\xE2\x82\xAC\xC3\xA9\xE4\xB8\xAD", sizeof text.text.text);
  w.events.clear();
  w.Dispatch(text);
  ASSERT_EQ(w.events.size(), 3u);
  EXPECT_EQ(w.events[0].type, EV_CHAR);
  EXPECT_EQ(w.events[0].key, 'a');
  EXPECT_EQ(w.events[1].key, 0x80);
  EXPECT_EQ(w.events[2].key, 0xE9);

  // Minimising deactivates (an override that skips the base leaves `active` at 1; the base
  // clears it) and shows the pointer; restoring activates, hides the pointer again and resizes.
  Recorder win;
  win.Dispatch(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 200));
  EXPECT_EQ(win.width, 320);
  EXPECT_EQ(win.resizes, 1);
  win.Dispatch(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_EQ(win.deactivations, 1);
  EXPECT_EQ(win.active, 1);
  EXPECT_EQ(win.pointerCounter, 0);
  win.active = 0;
  win.Dispatch(WindowEvent(SDL_WINDOWEVENT_RESTORED));
  EXPECT_EQ(win.activations, 1);
  EXPECT_EQ(win.active, 1);
  EXPECT_EQ(win.resizes, 2);
  EXPECT_EQ(win.pointerCounter, -2);
  OGLWindow plain;
  plain.Dispatch(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_EQ(plain.active, 0);

  // A pad plugged in while the game runs (SDL's virtual joystick): the d-pad and the stick are
  // arrows, the stick with a dead zone; A is Enter, B Esc, Start Pause; two pads both count, and
  // unplugging one pauses the game and lets go of the arrow its stick held.
  ASSERT_TRUE(w.StartGamepads()) << SDL_GetError();
  const int index = AttachVirtualPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  w.Pump();
  ASSERT_EQ(w.GamepadCount(), 1) << "the virtual pad is no game controller";
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  ASSERT_NE(stick, nullptr);
  const struct {
    int button;
    u16 key;
  } buttons[] = {{SDL_CONTROLLER_BUTTON_A, VK_RETURN},
                 {SDL_CONTROLLER_BUTTON_B, VK_ESCAPE},
                 {SDL_CONTROLLER_BUTTON_START, VK_PAUSE},
                 {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT}};
  w.TakeKeys();
  for (const auto& b : buttons) {
    SDL_JoystickSetVirtualButton(stick, b.button, 1);
    w.Pump();
    SDL_JoystickSetVirtualButton(stick, b.button, 0);
    w.Pump();
    EXPECT_EQ(w.TakeKeys(), (std::vector<std::pair<u32, u16>>{{EV_KEYDOWN, b.key}, {EV_KEYUP, b.key}}))
        << "button " << b.button;
  }
  // A small push is no key; a full push right holds Right until the stick comes back.
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 6000);
  w.Pump();
  EXPECT_TRUE(w.TakeKeys().empty());
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  w.Pump();
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 12000);
  w.Pump();
  EXPECT_EQ(w.TakeKeys(), (std::vector<std::pair<u32, u16>>{{EV_KEYDOWN, VK_RIGHT}}));

  const int second = AttachVirtualPad();
  ASSERT_GE(second, 0);
  w.Pump();
  EXPECT_EQ(w.GamepadCount(), 2);
  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(index);
  w.Pump();
  EXPECT_EQ(w.focusLost, 1);
  EXPECT_EQ(w.TakeKeys().back(), std::make_pair(EV_KEYUP, VK_RIGHT));
  EXPECT_EQ(w.GamepadCount(), 1);
  SDL_JoystickDetachVirtual(second > index ? second - 1 : second);
  w.Pump();
  EXPECT_EQ(w.GamepadCount(), 0);
}

// Elapsed time is the whole milliseconds since the previous pass; quitting ends the loop after
// Unload. While inactive no frame runs, but every pass is counted and moves the previous-frame
// stamp, so the first frame after reactivation covers only the last idle pass.
TEST_F(Loop, ElapsedBetweenPassesAndInactivePasses) {
  step = 7;
  LoopWindow w;
  EXPECT_EQ(w.Run(), 0);
  EXPECT_EQ(w.elapsedSeen, (std::vector<u32>{7, 7, 7}));
  EXPECT_EQ(w.unloads, 1);

  step = 10;
  LoopWindow idle;
  idle.active = 0;
  idle.quitAfter = 1;
  target = &idle;
  activateAt = reads + 5;  // the first read is Run's start; four idle passes follow
  idle.Run();
  ASSERT_EQ(idle.elapsedSeen.size(), 1u);
  EXPECT_EQ(idle.elapsedSeen[0], 10u);
  EXPECT_EQ(idle.passesAtFrame[0], 5);  // four idle passes and this one
}
