#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

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
  std::vector<OInputEvent> events;
  int resizes = 0, deactivations = 0, activations = 0;
};

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event Mouse(Uint32 type, int x, int y, Uint8 button = 0) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = x;
    e.motion.y = y;
    e.motion.state = SDL_BUTTON_LMASK;
  } else {
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
  }
  return e;
}

SDL_Event WindowEvent(Uint8 kind, int w = 0, int h = 0) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = kind;
  e.window.data1 = w;
  e.window.data2 = h;
  return e;
}

}  // namespace

TEST(Input, KeysButtonsAndText) {
  // What each SDL event becomes: the first event handed on (type and key code or button row) and
  // the character that follows it, if any (0 for none); count 0 for what is not input.
  const struct {
    SDL_Event sdl;
    size_t count;
    u32 type;
    u32 code;  // key code, or button row for buttons
    u16 character;
    const char* what;
  } cases[] = {
      {Key(SDL_KEYDOWN, SDLK_a), 1, EV_KEYDOWN, 'A', 0, "letters are their upper-case code"},
      {Key(SDL_KEYUP, SDLK_5), 1, EV_KEYUP, '5', 0, "digits"},
      {Key(SDL_KEYDOWN, SDLK_RETURN), 2, EV_KEYDOWN, 13, 13, "Enter is also a character"},
      {Key(SDL_KEYDOWN, SDLK_BACKSPACE), 2, EV_KEYDOWN, 8, 8, "Backspace edits names"},
      {Key(SDL_KEYDOWN, SDLK_ESCAPE), 2, EV_KEYDOWN, 27, 27, "Esc"},
      {Key(SDL_KEYDOWN, SDLK_RCTRL), 1, EV_KEYDOWN, 17, 0, "either Ctrl is 17"},
      {Key(SDL_KEYDOWN, SDLK_LEFT), 1, EV_KEYDOWN, 37, 0, "arrows"},
      {Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT), 0, 0, 0, 0, "Alt combinations are the system's"},
      {Key(SDL_KEYDOWN, SDLK_F10), 0, 0, 0, 0, "F10 is the system's"},
      {Mouse(SDL_MOUSEBUTTONDOWN, 10, 20, SDL_BUTTON_LEFT), 1, EV_BUTTONDOWN, 0, 0, "left"},
      {Mouse(SDL_MOUSEBUTTONDOWN, 10, 20, SDL_BUTTON_RIGHT), 1, EV_BUTTONDOWN, 2, 0, "right"},
      {Mouse(SDL_MOUSEBUTTONUP, 11, 21, SDL_BUTTON_RIGHT), 1, EV_BUTTONUP, 2, 0, "release"},
      {Mouse(SDL_MOUSEBUTTONDOWN, 1, 1, SDL_BUTTON_X1), 0, 0, 0, 0, "extra buttons"},
  };
  Recorder w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    w.events.clear();
    w.Dispatch(c.sdl);
    ASSERT_EQ(w.events.size(), c.count);
    if (c.count == 0) continue;
    EXPECT_EQ(w.events[0].type, c.type);
    EXPECT_EQ(c.type >= EV_BUTTONDOWN ? w.events[0].button : w.events[0].key, c.code);
    if (c.count == 2) {
      EXPECT_EQ(w.events[1].type, EV_CHAR);
      EXPECT_EQ(w.events[1].key, c.character);
    }
  }
  // A key reports the last mouse position (the release above at 11, 21), held buttons are in
  // the flags, and motion deltas are signed 16-bit changes since the previous mouse event.
  w.events.clear();
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_SPACE));
  EXPECT_EQ(w.events.at(0).x, 11);
  EXPECT_EQ(w.events.at(0).y, 21);
  w.Dispatch(Mouse(SDL_MOUSEMOTION, 1, 25));
  EXPECT_EQ(static_cast<i16>(w.events.at(1).dx), -10);
  EXPECT_EQ(static_cast<i16>(w.events.at(1).dy), 4);
  EXPECT_EQ(w.events.at(1).keyFlags & MK_LBUTTON, MK_LBUTTON);

  // Typed text becomes one character per Windows-1252 byte; what it cannot hold is dropped.
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  // a, euro sign, e-acute, a CJK character
  SDL_strlcpy(text.text.text, "a\xE2\x82\xAC\xC3\xA9\xE4\xB8\xAD", sizeof text.text.text);
  w.events.clear();
  w.Dispatch(text);
  ASSERT_EQ(w.events.size(), 3u);
  EXPECT_EQ(w.events[0].type, EV_CHAR);
  EXPECT_EQ(w.events[0].key, 'a');
  EXPECT_EQ(w.events[1].key, 0x80);
  EXPECT_EQ(w.events[2].key, 0xE9);
}

TEST(Input, WindowEvents) {
  Recorder w;
  w.Dispatch(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 200));
  EXPECT_EQ(w.width, 320);
  EXPECT_EQ(w.resizes, 1);
  // Minimising calls Deactivate (an override that skips the base leaves active at 1) and shows
  // the pointer; restoring activates, hides the pointer again and resizes.
  w.Dispatch(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_EQ(w.deactivations, 1);
  EXPECT_EQ(w.active, 1);
  EXPECT_EQ(w.pointerCounter, 0);
  w.active = 0;
  w.Dispatch(WindowEvent(SDL_WINDOWEVENT_RESTORED));
  EXPECT_EQ(w.activations, 1);
  EXPECT_EQ(w.active, 1);
  EXPECT_EQ(w.resizes, 2);
  EXPECT_EQ(w.pointerCounter, -2);
  // The base Deactivate clears active.
  OGLWindow plain;
  plain.Dispatch(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_EQ(plain.active, 0);
}
