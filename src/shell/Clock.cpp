#include "shell/Clock.h"

#include <SDL.h>

namespace {
OClockFn current = nullptr;
}

u32 GetTicks() { return current ? current() : SDL_GetTicks(); }

void SetClock(OClockFn clock) { current = clock; }
