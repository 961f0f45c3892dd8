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

SDL_Event Motion(int x, int y, Uint32 state = 0) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  e.motion.state = state;
  return e;
}

SDL_Event Button(Uint32 type, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.button = button;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event Text(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
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

TEST(Input, KeysAndCharacters) {
  Recorder w;
  // A key before any mouse event reports position (0,0); letters are their upper-case code.
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_a));
  ASSERT_EQ(w.events.size(), 1u);
  EXPECT_EQ(w.events[0].type, EV_KEYDOWN);
  EXPECT_EQ(w.events[0].key, 'A');
  EXPECT_EQ(w.events[0].x, 0);
  w.Dispatch(Key(SDL_KEYUP, SDLK_5));
  EXPECT_EQ(w.events.at(1).type, EV_KEYUP);
  EXPECT_EQ(w.events.at(1).key, '5');

  // Virtual keys the game tests for; Enter, Backspace, Tab and Esc also arrive as characters,
  // after their key-down.
  const struct {
    SDL_Keycode sym;
    u16 code;
    bool alsoChar;
  } keys[] = {{SDLK_RETURN, 13, true},   {SDLK_KP_ENTER, 13, true}, {SDLK_BACKSPACE, 8, true},
              {SDLK_TAB, 9, true},      {SDLK_ESCAPE, 27, true},   {SDLK_RCTRL, 17, false},
              {SDLK_LEFT, 37, false},   {SDLK_F1, 112, false}};
  for (const auto& k : keys) {
    w.events.clear();
    w.Dispatch(Key(SDL_KEYDOWN, k.sym));
    ASSERT_EQ(w.events.size(), k.alsoChar ? 2u : 1u) << k.code;
    EXPECT_EQ(w.events[0].key, k.code);
    if (k.alsoChar) {
      EXPECT_EQ(w.events[1].type, EV_CHAR);
      EXPECT_EQ(w.events[1].key, k.code);
    }
  }

  // System keys are not input: Alt combinations and F10.
  w.events.clear();
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT));
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_F10));
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_LALT));
  EXPECT_TRUE(w.events.empty());

  // Typed text becomes one character per Windows-1252 byte; what it cannot hold is dropped.
  w.Dispatch(Text("a\xE2\x82\xAC\xC3\xA9\xE4\xB8\xAD"));  // a, euro sign, e-acute, a CJK character
  ASSERT_EQ(w.events.size(), 3u);
  EXPECT_EQ(w.events[0].type, EV_CHAR);
  EXPECT_EQ(w.events[0].key, 'a');
  EXPECT_EQ(w.events[1].key, 0x80);
  EXPECT_EQ(w.events[2].key, 0xE9);
}

TEST(Input, MouseRows) {
  Recorder w;
  w.Dispatch(Motion(100, 50, SDL_BUTTON_LMASK));
  ASSERT_EQ(w.events.size(), 1u);
  EXPECT_EQ(w.events[0].type, EV_MOUSEMOVE);
  EXPECT_EQ(w.events[0].dx, 100);
  EXPECT_EQ(w.events[0].keyFlags & MK_LBUTTON, MK_LBUTTON);
  // Deltas are signed 16-bit changes since the previous mouse event.
  w.Dispatch(Motion(90, 55));
  EXPECT_EQ(static_cast<i16>(w.events[1].dx), -10);
  EXPECT_EQ(static_cast<i16>(w.events[1].dy), 5);

  // Button rows: 0 left, 1 middle, 2 right, down 6 and up 7; the position is stored.
  const std::pair<Uint8, u32> buttons[] = {{SDL_BUTTON_LEFT, 0}, {SDL_BUTTON_MIDDLE, 1},
                                           {SDL_BUTTON_RIGHT, 2}};
  for (auto [sdl, ours] : buttons) {
    w.events.clear();
    w.Dispatch(Button(SDL_MOUSEBUTTONDOWN, sdl, 10, 20));
    w.Dispatch(Button(SDL_MOUSEBUTTONUP, sdl, 11, 21));
    ASSERT_EQ(w.events.size(), 2u);
    EXPECT_EQ(w.events[0].type, EV_BUTTONDOWN);
    EXPECT_EQ(w.events[0].button, ours);
    EXPECT_NE(w.events[0].keyFlags, 0);  // the pressed button is in the flags
    EXPECT_EQ(w.events[1].type, EV_BUTTONUP);
    EXPECT_EQ(w.events[1].keyFlags, 0);  // released
    EXPECT_EQ(w.events[1].y, 21);
  }
  // Extra buttons are not input.
  w.events.clear();
  w.Dispatch(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1));
  EXPECT_TRUE(w.events.empty());
  // A key after mouse events reports the last mouse position, and the next motion's delta is
  // measured from the button event's position.
  w.Dispatch(Key(SDL_KEYDOWN, SDLK_SPACE));
  EXPECT_EQ(w.events.at(0).x, 11);
  w.Dispatch(Motion(15, 21));
  EXPECT_EQ(w.events.at(1).dx, 4);
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
