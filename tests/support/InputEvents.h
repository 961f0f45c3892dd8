#pragma once
// Input events made to measure, as the window hands them on: x and y in window pixels, y down.
#include "core/Input.h"

inline OInputEvent MakeEvent(u32 type, u16 key = 0, u16 x = 0, u16 y = 0) {
  OInputEvent e;
  e.type = type;
  e.key = key;
  e.x = x;
  e.y = y;
  return e;
}
