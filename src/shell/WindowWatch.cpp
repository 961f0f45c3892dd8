#include "shell/WindowWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>

#include <atomic>
#include <string>

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

// Atomic, so that nothing depends on which thread's Xlib call reads the error.
std::atomic<Display*> watchedDisplay{nullptr};
std::atomic<unsigned long> watchedWindow{0};
std::atomic<bool> lost{false};
std::atomic<int> lostError{0};  // 0: the window's destruction was seen as an event
std::atomic<int> lostRequest{0};
XErrorHandler previousHandler = nullptr;
// The GLX extension's first error code on the watched display (-1: none). Its errors 2
// (GLXBadDrawable) and 12 (GLXBadWindow) say what BadDrawable and BadWindow say.
std::atomic<int> glxErrorBase{-1};

bool SaysGone(int code) {
  const int glx = glxErrorBase.load();
  return code == BadWindow || code == BadDrawable ||
         (glx >= 0 && (code == glx + 2 || code == glx + 12));
}

// Called with Xlib's display lock held: no Xlib calls here, only notes for the loop.
int OnXError(Display* display, XErrorEvent* error) {
  const bool ours = display == watchedDisplay.load() && error->resourceid != 0 &&
                    error->resourceid == watchedWindow.load();
  if (ours && SaysGone(error->error_code)) {
    if (!lost.exchange(true)) {
      lostError = error->error_code;
      lostRequest = error->request_code;
    }
    return 0;
  }
  // Errors on anything else are faults of ours: whoever handled them before (SDL's handler,
  // which puts the desktop's mode back and hands on to Xlib's, which ends the process) does.
  return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

// The connection itself was closed from the other end (another program had the server drop us,
// or the server went). Xlib marks the display dead, so that every later call returns at once,
// and the loop ends as after a close.
void OnConnectionLost(Display*, void*) {
  if (!lost.exchange(true)) lostError = -1;
}
XIOErrorHandler previousIOHandler = nullptr;
// Xlib's own handler ends the process; for our display it is only told, and the exit handler
// above follows.
int OnIOError(Display* display) {
  if (display == watchedDisplay.load()) return 0;
  return previousIOHandler != nullptr ? previousIOHandler(display) : 0;
}

}  // namespace

// Xlib's own XGetGeometry, answering with a size of 1 x 1 when it fails. The GL driver asks the
// window's size before drawing, many times a frame; when the window has just been destroyed under
// us it takes the failed answer's sizes, which Xlib leaves unwritten, as they are and draws into
// buffers of a made-up size until memory is corrupt. The frame drawn into a 1 x 1 picture instead
// is harmless, and the loop ends before the next. Exported from the program (see CMakeLists.txt),
// so that it stands in for Xlib's in the driver's calls too.
extern "C" Status XGetGeometry(Display* display, Drawable drawable, Window* root, int* x, int* y,
                               unsigned int* width, unsigned int* height, unsigned int* border,
                               unsigned int* depth) {
  using Real = Status (*)(Display*, Drawable, Window*, int*, int*, unsigned int*, unsigned int*,
                          unsigned int*, unsigned int*);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XGetGeometry"));
  *x = *y = 0;
  *width = *height = 1;
  *border = 0;
  *depth = 0;
  return real != nullptr ? real(display, drawable, root, x, y, width, height, border, depth) : 0;
}

void WatchWindow(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
      info.subsystem != SDL_SYSWM_X11) {
    watchedWindow = 0;
    return;
  }
  int opcode = 0, event = 0, errorBase = -1;
  if (!XQueryExtension(info.info.x11.display, "GLX", &opcode, &event, &errorBase)) errorBase = -1;
  glxErrorBase = errorBase;
  watchedDisplay = info.info.x11.display;
  watchedWindow = info.info.x11.window;
  lost = false;
  // The window's destruction comes as an X event too: the only word of it while nothing is drawn
  // (a minimised game presents nothing, so no request fails).
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  // Installed once over SDL's, which it hands the other errors to. SDL puts its own back when
  // the video subsystem closes; a later start installs ours again.
  XSetIOErrorExitHandler(info.info.x11.display, OnConnectionLost, nullptr);
  XIOErrorHandler beforeIO = XSetIOErrorHandler(OnIOError);
  if (beforeIO != OnIOError) previousIOHandler = beforeIO;
  XErrorHandler before = XSetErrorHandler(OnXError);
  if (before != OnXError) previousHandler = before;
}

void ForgetWindow() {
  Display* display = watchedDisplay.load();
  // The errors of the last requests on the window (its destruction among them, when it was
  // already gone) come in now, while it is still watched, and not when SDL closes the display
  // after putting the fatal handler back.
  if (display != nullptr && watchedWindow.load() != 0) XSync(display, False);
  watchedWindow = 0;
}

void NoteWindowEvent(const SDL_Event& event) {
  if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr ||
      event.syswm.msg->subsystem != SDL_SYSWM_X11)
    return;
  const XEvent& x = event.syswm.msg->msg.x11.event;
  if (x.type == DestroyNotify && x.xdestroywindow.window != 0 &&
      x.xdestroywindow.window == watchedWindow.load())
    lost = true;
}

bool WindowLost() { return lost.load(); }

std::string WindowLossText() {
  if (!lost.load()) return "";
  const int code = lostError.load();
  if (code == -1) return "the connection to the display was closed by another program";
  const std::string how = code == 0 ? "" :
      " (X error " + std::to_string(code) + " on request " + std::to_string(lostRequest.load()) +
      ")";
  return "the window was destroyed by another program" + how;
}

#else

void WatchWindow(SDL_Window*) {}
void ForgetWindow() {}
void NoteWindowEvent(const SDL_Event&) {}
bool WindowLost() { return false; }
std::string WindowLossText() { return ""; }

#endif
