#pragma once
// A gamepad of SDL's own making for the tests that play without a real one: all the axes and
// buttons of a game controller, named "Test pad". Returns its joystick index, or -1 (SDL_GetError
// says why). Needs SDL's joystick subsystem started.
#include <SDL.h>

inline int AttachVirtualPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Test pad";
  return SDL_JoystickAttachVirtualEx(&desc);
}
