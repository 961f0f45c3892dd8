#pragma once
// The game's own input record: what every screen and control receives for a key, character or
// mouse event.
#include "core/Types.h"

constexpr u32 EV_CHAR = 1;
constexpr u32 EV_KEYDOWN = 2;
constexpr u32 EV_KEYUP = 3;
constexpr u32 EV_MOUSEMOVE = 4;  // 4..7 is the mouse group; 5 is never produced
constexpr u32 EV_BUTTONDOWN = 6;
constexpr u32 EV_BUTTONUP = 7;

// Key-state flags of mouse events (which buttons and modifiers are down).
constexpr u16 MK_LBUTTON = 1;
constexpr u16 MK_RBUTTON = 2;
constexpr u16 MK_SHIFT = 4;
constexpr u16 MK_CONTROL = 8;
constexpr u16 MK_MBUTTON = 16;

// Virtual-key codes the game tests for; letters and digits are their upper-case ASCII codes.
constexpr u16 VK_BACK = 8;
constexpr u16 VK_TAB = 9;
constexpr u16 VK_RETURN = 13;
constexpr u16 VK_SHIFT = 16;
constexpr u16 VK_CONTROL = 17;
constexpr u16 VK_PAUSE = 19;
constexpr u16 VK_ESCAPE = 27;
constexpr u16 VK_SPACE = 32;
constexpr u16 VK_END = 35;
constexpr u16 VK_HOME = 36;
constexpr u16 VK_LEFT = 37;
constexpr u16 VK_UP = 38;
constexpr u16 VK_RIGHT = 39;
constexpr u16 VK_DOWN = 40;
constexpr u16 VK_DELETE = 46;
constexpr u16 VK_F1 = 112;
constexpr u16 VK_F3 = 114;

struct OInputEvent {
  u32 type = 0;
  u32 button = 0;  // 0 left, 1 middle, 2 right (button events)
  u16 keyFlags = 0;
  u16 key = 0;  // character (EV_CHAR, Windows-1252) or virtual key (EV_KEYDOWN, EV_KEYUP)
  u16 x = 0;    // window pixels, origin top left, y downwards; last mouse position for keys
  u16 y = 0;
  u16 dx = 0;  // EV_MOUSEMOVE only: signed 16-bit change since the previous mouse event
  u16 dy = 0;
};
