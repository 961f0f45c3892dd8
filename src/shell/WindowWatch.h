#pragma once
// X errors on the game's own window. Another program may destroy the window under us (a tool
// that destroys windows, a window manager that gives up waiting on a close); the X server then
// refuses the next picture presented to it, and Xlib's own handler would print the error and end
// the process with status 1 before the player's files are saved. Watched, a window lost this way
// counts as closed: the main loop ends as after a close and the process saves and exits 0. So does
// a connection the server drops (xkill). Every other X error stays as fatal as it was. Nothing is
// watched on video drivers other than X11.
#include <string>

struct SDL_Window;
union SDL_Event;

// Watches this window from now on (the one watched before no longer); call after each window is
// made.
void WatchWindow(SDL_Window* window);
// Call after the watched window is destroyed: waits for the X server's answers to what was asked
// of it, errors included, then watches none.
void ForgetWindow();
// Takes the window system's own events (SDL_SYSWMEVENT): the watched window's destruction is one.
void NoteWindowEvent(const SDL_Event& event);
// The watched window's destruction was seen, or an error on it said that it no longer exists.
bool WindowLost();
// The X error that told of the loss, for the run log; "" while the window is there.
std::string WindowLossText();
