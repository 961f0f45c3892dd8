#include "shell/GLWindow.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

#include "core/Clock.h"
#include "core/Config.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/RunOptions.h"
#include "core/Text.h"
#include "scene/ContextSerial.h"
#include "shell/WindowWatch.h"

namespace {

// The quit message carries its code in an SDL user event of our own type.
Uint32 QuitEventType() {
  static Uint32 type = SDL_RegisterEvents(1);
  return type;
}

void PostQuit(int code) {
  SDL_Event e{};
  e.type = QuitEventType();
  e.user.code = code;
  SDL_PushEvent(&e);
}

// SDL keycodes to the virtual-key numbers the game tests for; 0 for keys the game never sees.
u16 VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<u16>('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<u16>('0' + (k - SDLK_0));
  if (k >= SDLK_F1 && k <= SDLK_F9) return static_cast<u16>(VK_F1 + (k - SDLK_F1));
  switch (k) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_F12: return 123;
    default: return 0;  // F10 and Alt are system keys, never input
  }
}

// Keys that the platform also delivers as characters.
bool IsCharacterKey(u16 vk) {
  return vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE;
}

u16 ModifierFlags() {
  SDL_Keymod mod = SDL_GetModState();
  u16 flags = 0;
  if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
  if (mod & KMOD_CTRL) flags |= MK_CONTROL;
  return flags;
}

u16 ButtonFlags(Uint32 sdlMask) {
  u16 flags = 0;
  if (sdlMask & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
  if (sdlMask & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
  if (sdlMask & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
  return flags;
}

// Our button number (0 left, 1 middle, 2 right) and MK bit; false for other buttons.
bool MapButton(Uint8 sdlButton, u32& button, u16& bit) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = 0; bit = MK_LBUTTON; return true;
    case SDL_BUTTON_MIDDLE: button = 1; bit = MK_MBUTTON; return true;
    case SDL_BUTTON_RIGHT: button = 2; bit = MK_RBUTTON; return true;
    default: return false;
  }
}

void ShutdownError(const char* text) { ShowMessage(text, "SHUTDOWN ERROR", MB_ICON_INFORMATION); }

// The desktop's modal box. SDL opens it without a window of ours, so it works before Create and
// after a failed one.
void DesktopMessageBox(const std::string& text, const std::string& title, u32 icon) {
  Uint32 flags = icon == MB_ICON_INFORMATION ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
  SDL_ShowSimpleMessageBox(flags, Cp1252ToUtf8(title).c_str(), Cp1252ToUtf8(text).c_str(), nullptr);
}

}  // namespace

bool IsVisibleVideoDriver(const char* driver, const char* requested) {
  if (driver == nullptr) return false;
  static const char* const kUnseen[] = {"offscreen", "dummy", "evdev"};
  for (const char* name : kUnseen) {
    if (std::strcmp(driver, name) == 0)
      return requested != nullptr && strcasecmp(requested, driver) == 0;
  }
  return true;
}

bool IsSoftwareRenderer(const char* renderer) {
  if (!renderer) return false;
  static const char* const kGeneric[] = {"GDI Generic", "softpipe", "Software Rasterizer",
                                         "Mesa X11"};
  for (const char* name : kGeneric) {
    size_t n = std::strlen(name);
    for (const char* p = renderer; *p; ++p)
      if (strncasecmp(p, name, n) == 0) return true;
  }
  return false;
}

OGLWindow::OGLWindow()
    : modes{{640, 480}, {800, 600}, {1024, 768}},
      resolutionIndex(1),
      colorBits(32),
      depthBits(16),
      stencilBits(0),
      accumBits(0),
      fullscreen(0),
      fps(0),
      width(0),
      height(0),
      active(1),
      mouseX(0),
      mouseY(0),
      pointerCounter(0),
      window(nullptr),
      context(nullptr),
      videoStarted(false),
      fullscreenActive(false),
      buttonsDown(0),
      previousFrame(0),
      frameMsSum(0),
      frameCount(0) {
  SetPlatformMessageBox(DesktopMessageBox);
}

OGLWindow::~OGLWindow() {
  for (void* pad : gamepads) SDL_GameControllerClose(static_cast<SDL_GameController*>(pad));
  gamepads.clear();
  if (window && fullscreenActive) SDL_SetWindowFullscreen(window, 0);
  ReleaseGL();
  DestroyGLWindow();
  if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void OGLWindow::Present() {
  // A window destroyed under us takes no more pictures: each would only be refused again.
  if (window && !WindowLost()) SDL_GL_SwapWindow(window);
}
void OGLWindow::Frame(u32) {}
void OGLWindow::Resize() {}
void OGLWindow::Deactivate() { active = 0; }
void OGLWindow::Activate() { active = 1; }
bool OGLWindow::Load() { return true; }
void OGLWindow::Unload() {}
bool OGLWindow::HandleInput(const OInputEvent&) { return false; }

bool OGLWindow::Create(const std::string& cls, const std::string& ttl, int w, int h, bool full) {
  className = cls;
  title = ttl;
  fullscreen = full ? 1 : 0;
  width = static_cast<i16>(w);
  height = static_cast<i16>(h);

  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    failure = std::string("no display (") + SDL_GetError() + ")";
    ShowMessage("Can't register window class", "Error");
    return false;
  }
  videoStarted = true;
  // Without a display SDL falls back to a driver that draws nowhere: the game would run unseen
  // and never end. Such a driver is used only when asked for by name (as tests do).
  const char* driver = SDL_GetCurrentVideoDriver();
  // A busy X server can turn a connection away for a moment, most often right after a window
  // of ours closed (a display re-creation): SDL then falls back as if there were no display.
  // Where DISPLAY names one, it is asked again a few times, for at most about a second.
  const char* named = SDL_getenv("DISPLAY");
  for (int retry = 0; retry < 5 && named != nullptr && *named != '\0' &&
                      !IsVisibleVideoDriver(driver, SDL_GetHint(SDL_HINT_VIDEODRIVER));
       ++retry) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Delay(200);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) break;
    driver = SDL_GetCurrentVideoDriver();
  }
  if (!IsVisibleVideoDriver(driver, SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
    failure = named != nullptr && *named != '\0'
                  ? std::string("no display (DISPLAY=") + named + " cannot be opened)"
                  : std::string("no display (DISPLAY is not set)");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted = false;
    return false;
  }
  StartGamepads();  // a game without gamepad support still plays
  SDL_DisableScreenSaver();
  SDL_ShowCursor(pointerCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);

  modes[0] = {640, 480};
  modes[1] = {800, 600};
  modes[2] = {1024, 768};

  // The first of the configuration's four readers at start-up (see OModelCache's constructor
  // for why each reads it itself).
  OConfig& config = GetConfig();
  config.Load();
  if (config.resolutionIndex > 2) {
    config.Reset();
    config.Save();
  }
  resolutionIndex = static_cast<u8>(config.resolutionIndex);
  colorBits = static_cast<u8>(config.colorBits & 0xFF);
  fullscreen = config.fullscreen;
  shellSettings = LoadShellSettings(config.fileName);
  // The command line's choice for this run wins over the settings, which stay as they are.
  const ORunOptions& run = GetRunOptions();
  if (run.resolutionIndex >= 0 && run.resolutionIndex <= 2) {
    resolutionIndex = static_cast<u8>(run.resolutionIndex);
    // A size asked for on the command line is the window's size this time.
    shellSettings.windowWidth = modes[resolutionIndex].width;
    shellSettings.windowHeight = modes[resolutionIndex].height;
    sizeFromCommandLine = true;
  }
  if (run.fullscreen >= 0) fullscreen = run.fullscreen ? 1 : 0;

  if (!CreateGLWindow()) {
    failure = "the window cannot be created (" + std::string(SDL_GetError()) + ")";
    return false;
  }
  if (!SetupPixelFormat()) {
    failure = "no OpenGL context (" + std::string(SDL_GetError()) + ")";
    return false;
  }
  ShowAndFocus();
  return true;
}

namespace {

// The first mode display 0 lists at that size; false when it lists none.
bool FindDisplayMode(int modeWidth, int modeHeight, SDL_DisplayMode& mode) {
  for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i) {
    SDL_DisplayMode candidate;
    if (SDL_GetDisplayMode(0, i, &candidate) == 0 && candidate.w == modeWidth &&
        candidate.h == modeHeight) {
      mode = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

bool OGLWindow::AwaitDrawableSize(int wantW, int wantH) {
  // The X server applies a mode change asynchronously: give it a moment to come through. The
  // wait ends as soon as it has; up to 5 s, as on a loaded machine 2 s may not be enough, and
  // falling back to the small mode for that would be wrong.
  int w = 0, h = 0;
  for (int tries = 0; tries < 500; ++tries) {
    SDL_PumpEvents();
    SDL_GL_GetDrawableSize(window, &w, &h);
    if (w == wantW && h == wantH) return true;
    SDL_Delay(10);
  }
  return false;
}

bool OGLWindow::SetFullscreenSize(int modeWidth, int modeHeight) {
  SDL_DisplayMode mode{};
  if (!window || !context || !FindDisplayMode(modeWidth, modeHeight, mode)) return false;
  int ww = 0, wh = 0;
  SDL_GetWindowSize(window, &ww, &wh);
  const bool wasWindow = !IsFullscreen();
  const bool maximised = (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0;
  if (SDL_SetWindowDisplayMode(window, &mode) != 0 ||
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0 ||
      !AwaitDrawableSize(modeWidth, modeHeight)) {
    // Back to what it was: the desktop's mode, and the window or desktop full screen.
    SDL_SetWindowFullscreen(window, wasWindow ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    return false;
  }
  // The window's size is remembered for the way back.
  if (wasWindow && !maximised) {
    shellSettings.windowWidth = ww;
    shellSettings.windowHeight = wh;
  }
  fullscreen = 1;
  fullscreenActive = true;
  StoreSize(modeWidth, modeHeight);
  Resize();
  return true;
}

bool OGLWindow::OpenFullscreen(int modeWidth, int modeHeight) {
  SDL_DisplayMode mode{};
  if (!FindDisplayMode(modeWidth, modeHeight, mode)) return false;

  window = SDL_CreateWindow(title.c_str(), 0, 0, modeWidth, modeHeight,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN |
                                SDL_WINDOW_ALLOW_HIGHDPI);
  if (!window) return false;
  if (SDL_SetWindowDisplayMode(window, &mode) != 0 ||
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
    DestroyGLWindow();
    return false;
  }
  if (!AwaitDrawableSize(modeWidth, modeHeight)) {
    SDL_SetWindowFullscreen(window, 0);
    DestroyGLWindow();
    return false;
  }
  fullscreenActive = true;
  return true;
}

bool OGLWindow::OpenDesktopFullscreen() {
  SDL_Rect bounds{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &bounds);
  window = SDL_CreateWindow(title.c_str(), bounds.x, bounds.y, bounds.w, bounds.h,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN_DESKTOP |
                                SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI |
                                SDL_WINDOW_RESIZABLE);
  return window != nullptr;
}

void OGLWindow::WindowedSize(int& w, int& h) const {
  w = shellSettings.windowWidth > 0 ? shellSettings.windowWidth : modes[resolutionIndex].width;
  h = shellSettings.windowHeight > 0 ? shellSettings.windowHeight : modes[resolutionIndex].height;
  // Never larger than the desktop's usable area, never smaller than a sliver.
  SDL_Rect usable{0, 0, 0, 0};
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
    w = std::min(w, usable.w);
    h = std::min(h, usable.h);
  }
  w = std::max(w, MIN_WINDOW_SIDE);
  h = std::max(h, MIN_WINDOW_SIDE);
}

void OGLWindow::OpenWindowed() {
  int w, h;
  WindowedSize(w, h);
  window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN |
                                SDL_WINDOW_ALLOW_HIGHDPI);
  if (window) SDL_SetWindowMinimumSize(window, MIN_WINDOW_SIDE, MIN_WINDOW_SIDE);
}

bool OGLWindow::CreateGLWindow() {
  if (resolutionIndex > 2) resolutionIndex = 1;
  // The pixel format: 32 bits are 8/8/8 colour, 16 bits are 5/6/5; no alpha channel.
  bool deep = colorBits != 16;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accumBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accumBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accumBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  fullscreenActive = false;
  if (fullscreen) {
    if (shellSettings.fullscreenWidth > 0 && shellSettings.fullscreenHeight > 0) {
      // A mode switch to a size the player chose; a refused one falls back once to 640x480.
      if (!OpenFullscreen(shellSettings.fullscreenWidth, shellSettings.fullscreenHeight)) {
        resolutionIndex = 0;
        if (OpenFullscreen(modes[0].width, modes[0].height)) {
          shellSettings.fullscreenWidth = modes[0].width;
          shellSettings.fullscreenHeight = modes[0].height;
        }
      }
    } else {
      OpenDesktopFullscreen();
    }
  }
  // Where full screen was refused, a window shows the whole picture.
  if (!window) OpenWindowed();

  if (!window) {
    width = modes[resolutionIndex].width;
    height = modes[resolutionIndex].height;
    ShowMessage("Can't create window", "Error");
    return false;
  }
  SDL_SetWindowData(window, "OGLWindow", this);
  WatchWindow(window);
  // What the window really is, not what was asked for.
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(window, &w, &h);
  StoreSize(w, h);
  return true;
}

bool OGLWindow::IsFullscreen() const {
  if (!window) return false;
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

std::vector<ODisplayMode> OGLWindow::ListedSizes() const {
  std::vector<ODisplayMode> sizes;
  if (!videoStarted) return sizes;
  for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0 && m.w <= 32767 && m.h <= 32767)
      sizes.push_back({static_cast<i16>(m.w), static_cast<i16>(m.h)});
  }
  return sizes;
}

ODisplayMode OGLWindow::DesktopSize() const {
  SDL_DisplayMode m{};
  if (!videoStarted || SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0 ||
      m.w > 32767 || m.h > 32767)
    return {0, 0};
  return {static_cast<i16>(m.w), static_cast<i16>(m.h)};
}

bool OGLWindow::SetFullscreen(bool on) {
  if (!window) return false;
  if (on == IsFullscreen()) {
    fullscreen = on ? 1 : 0;
    return true;
  }
  if (on) {
    // The window's size is remembered for the way back.
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED)) {
      shellSettings.windowWidth = w;
      shellSettings.windowHeight = h;
    }
  }
  // Desktop full screen keeps the context: no mode switch, nothing to upload again.
  if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  fullscreenActive = false;
  if (!on) {
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowResizable(window, SDL_TRUE);
    int w, h;
    WindowedSize(w, h);
    SDL_SetWindowSize(window, w, h);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  fullscreen = on ? 1 : 0;
  // The size events follow; the drawable may already have its new size.
  SDL_PumpEvents();
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(window, &dw, &dh);
  StoreSize(dw, dh);
  Resize();
  return true;
}

void OGLWindow::ToggleFullscreen() {
  // Both ways in place, the context kept. Full screen comes back as it was chosen: in its own
  // display mode when it has one the display lists, else at the desktop's size.
  if (IsFullscreen()) {
    SetFullscreen(false);
  } else if (shellSettings.fullscreenWidth <= 0 || shellSettings.fullscreenHeight <= 0 ||
             !SetFullscreenSize(shellSettings.fullscreenWidth, shellSettings.fullscreenHeight)) {
    SetFullscreen(true);
  }
  DisplayModeChanged();
}

void OGLWindow::DisplayModeChanged() {}

void OGLWindow::FocusLost() {}

bool OGLWindow::SetupPixelFormat() {
  if (!window) {
    ShowMessage("Can't select pixel format", "Error");
    return false;
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    ShowMessage("Can't create rendering content", "Error");
    return false;
  }
  CountGLContext();
  MakeCurrent();
  SetVsync(shellSettings.vsync);
  if (IsSoftwareRenderer(reinterpret_cast<const char*>(glGetString(GL_RENDERER))))
    throw OSoftwareGL();
  return true;
}

void OGLWindow::SetVsync(bool on) {
  shellSettings.vsync = on;
  if (!context) return;
  // A tear-free swap where the display offers it (refused on virtual displays, which is fine);
  // without one the loop keeps to the display's refresh rate itself.
  const bool synced = on && SDL_GL_SetSwapInterval(1) == 0;
  if (!on) SDL_GL_SetSwapInterval(0);
  framePeriodMs = synced ? 0.0 : 1000.0 / RefreshRate();
}

void OGLWindow::ReleaseGL() {
  if (context) {
    if (SDL_GL_MakeCurrent(window, nullptr) != 0) ShutdownError("Release Of DC And RC Failed.");
    SDL_GL_DeleteContext(context);
    context = nullptr;
  }
}

void OGLWindow::DestroyGLWindow() {
  if (window) {
    SDL_DestroyWindow(window);
    ForgetWindow();
    window = nullptr;
    fullscreenActive = false;
  }
}

void OGLWindow::ShowAndFocus() {
  if (!window) return;
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);  // refused without a window manager: harmless
}

bool OGLWindow::MakeCurrent() {
  return window && context && SDL_GL_MakeCurrent(window, context) == 0;
}

void OGLWindow::Minimize(bool restore) {
  if (window) {
    if (restore)
      SDL_RestoreWindow(window);
    else
      SDL_MinimizeWindow(window);
  }
  active = restore ? 1 : 0;
  ShowPointer(true);
}

void OGLWindow::Quit() { PostQuit(0); }

void OGLWindow::ShowPointer(bool show) {
  pointerCounter += show ? 1 : -1;
  // Before the video subsystem is up (or after it is gone) there is no pointer to change: the
  // counter is applied when the window is created.
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(pointerCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void OGLWindow::GetDrawableSize(int& w, int& h) const {
  w = h = 0;
  if (window) SDL_GL_GetDrawableSize(window, &w, &h);
}

void OGLWindow::StoreSize(int w, int h) {
  // A minimised or collapsing window may report nothing: keep a size every divisor can use.
  width = static_cast<i16>(std::max(std::min(w, 32767), 1));
  height = static_cast<i16>(std::max(std::min(h, 32767), 1));
}

void OGLWindow::ToDrawable(i32 x, i32 y, u16& outX, u16& outY) const {
  // On high-density displays the pointer comes in window units and the picture in pixels.
  int ww = 0, wh = 0, dw = 0, dh = 0;
  if (window) {
    SDL_GetWindowSize(window, &ww, &wh);
    SDL_GL_GetDrawableSize(window, &dw, &dh);
  }
  if (ww > 0 && wh > 0 && dw > 0 && dh > 0 && (ww != dw || wh != dh)) {
    x = static_cast<i32>(static_cast<i64>(x) * dw / ww);
    y = static_cast<i32>(static_cast<i64>(y) * dh / wh);
  }
  outX = static_cast<u16>(x);
  outY = static_cast<u16>(y);
}

void OGLWindow::CountFrame(u32 elapsedMs) {
  frameMsSum += static_cast<i32>(elapsedMs);
  frameCount += 1;
  if (frameMsSum >= 1000) {
    fps = static_cast<f32>(1000.0 / (static_cast<double>(frameMsSum) / frameCount));
    frameMsSum = 0;
    frameCount = 0;
  }
}

int OGLWindow::RefreshRate() const {
  SDL_DisplayMode mode{};
  const int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
  if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate >= 20 &&
      mode.refresh_rate <= 1000) {
    return mode.refresh_rate;
  }
  return 60;
}

void OGLWindow::Pace() {
  if (framePeriodMs <= 0.0) return;
  const double now = static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 /
                     static_cast<double>(SDL_GetPerformanceFrequency());
  nextFrameAt += framePeriodMs;
  // Far behind (a slow frame, a stop in a debugger) or never started: count from now, rather
  // than racing to catch up.
  if (nextFrameAt < now - framePeriodMs || nextFrameAt > now + 2 * framePeriodMs) nextFrameAt = now;
  if (nextFrameAt > now) SDL_Delay(static_cast<Uint32>(nextFrameAt - now));
}

int OGLWindow::Run() {
  previousFrame = static_cast<double>(GetTicks());
  int code = 0;
  for (;;) {
    // A window destroyed by another program ends the game as a close does.
    if (WindowLost()) {
      LogNote(WindowLossText());
      std::fprintf(stderr, "brikon3d: %s\n", WindowLossText().c_str());
      break;
    }
    SDL_Event e;
    // SDL ends each pump cycle with an empty poll even when an event was pushed during it (a
    // quit posted by the last dispatch); look for the quit message before running a frame.
    if (SDL_PollEvent(&e) ||
        SDL_PeepEvents(&e, 1, SDL_GETEVENT, QuitEventType(), QuitEventType()) > 0) {
      if (e.type == QuitEventType()) {
        code = e.user.code;
        break;
      }
      Dispatch(e);
      continue;
    }
    double now = static_cast<double>(GetTicks());
    u32 elapsed = static_cast<u32>(static_cast<i64>(now - previousFrame));
    CountFrame(elapsed);
    if (active == 1) Frame(elapsed);
    previousFrame = now;
    // Never faster than the display shows (menus would otherwise keep a core busy); a
    // minimised window waits as long between its idle passes.
    Pace();
  }
  Unload();
  return code;
}

bool OGLWindow::StartGamepads() {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    return false;
  for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i) {
    if (!SDL_IsGameController(i)) continue;
    SDL_GameController* pad = SDL_GameControllerOpen(i);
    bool known = false;
    for (void* p : gamepads) known = known || p == pad;
    if (pad && !known) gamepads.push_back(pad);
  }
  return true;
}

void OGLWindow::PadKey(u16 vk, bool down) {
  OInputEvent ev;
  ev.type = down ? EV_KEYDOWN : EV_KEYUP;
  ev.key = vk;
  ev.x = mouseX;
  ev.y = mouseY;
  HandleInput(ev);
  if (down && IsCharacterKey(vk)) {
    ev.type = EV_CHAR;
    HandleInput(ev);
  }
}

void OGLWindow::DispatchGamepad(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which);
      bool known = false;
      for (void* p : gamepads) known = known || p == pad;
      if (pad && !known) gamepads.push_back(pad);
      return;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      for (auto it = gamepads.begin(); it != gamepads.end(); ++it) {
        SDL_GameController* pad = static_cast<SDL_GameController*>(*it);
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == e.cdevice.which) {
          SDL_GameControllerClose(pad);
          gamepads.erase(it);
          break;
        }
      }
      // The stick's arrows are let go, and a game in play waits for the player.
      const u16 arrows[4] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
      for (int i = 0; i < 4; ++i)
        if (stickKeys & (1 << i)) PadKey(arrows[i], false);
      stickKeys = 0;
      FocusLost();
      return;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      u16 vk = 0;
      switch (e.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: vk = VK_LEFT; break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: vk = VK_RIGHT; break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: vk = VK_UP; break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: vk = VK_DOWN; break;
        case SDL_CONTROLLER_BUTTON_A: vk = VK_RETURN; break;
        case SDL_CONTROLLER_BUTTON_B: vk = VK_ESCAPE; break;
        case SDL_CONTROLLER_BUTTON_START: vk = VK_PAUSE; break;
        default: return;
      }
      PadKey(vk, e.type == SDL_CONTROLLERBUTTONDOWN);
      return;
    }
    case SDL_CONTROLLERAXISMOTION: {
      // The stick as arrows, with a wide dead zone and a lower release point so that a stick
      // resting near the edge of it does not flutter.
      const bool horizontal = e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX;
      if (!horizontal && e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return;
      const int v = e.caxis.value;
      const u8 negBit = horizontal ? 1 : 4, posBit = horizontal ? 2 : 8;
      const u16 negKey = horizontal ? VK_LEFT : VK_UP, posKey = horizontal ? VK_RIGHT : VK_DOWN;
      auto set = [this](u8 bit, u16 key, bool on) {
        const bool was = (stickKeys & bit) != 0;
        if (on == was) return;
        stickKeys = static_cast<u8>(on ? (stickKeys | bit) : (stickKeys & ~bit));
        PadKey(key, on);
      };
      const int press = 16000, release = 8000;
      set(negBit, negKey, (stickKeys & negBit) ? v < -release : v < -press);
      set(posBit, posKey, (stickKeys & posBit) ? v > release : v > press);
      return;
    }
    default:
      return;
  }
}

void OGLWindow::Dispatch(const SDL_Event& e) {
  OInputEvent ev;
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      DispatchGamepad(e);
      return;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Keycode sym = e.key.keysym.sym;
      const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
      if ((enter && (e.key.keysym.mod & KMOD_ALT)) || sym == SDLK_F11) {
        // Alt+Enter and F11 switch between window and full screen on any screen; held keys
        // repeat, and a repeat must not switch back.
        if (e.type == SDL_KEYDOWN && !e.key.repeat) ToggleFullscreen();
        return;
      }
      if (e.key.keysym.mod & KMOD_ALT) return;  // system keys
      u16 vk = VirtualKey(e.key.keysym.sym);
      if (vk == 0) return;
      ev.type = e.type == SDL_KEYDOWN ? EV_KEYDOWN : EV_KEYUP;
      ev.key = vk;
      ev.keyFlags = static_cast<u16>(buttonsDown | ModifierFlags());  // Shift+Tab
      ev.x = mouseX;
      ev.y = mouseY;
      HandleInput(ev);
      if (e.type == SDL_KEYDOWN && IsCharacterKey(vk)) {
        ev.type = EV_CHAR;
        HandleInput(ev);
      }
      return;
    }
    case SDL_TEXTINPUT: {
      std::string bytes = Utf8ToCp1252(e.text.text);
      for (unsigned char c : bytes) {
        if (c < 32) continue;  // control characters come from their keys
        ev.type = EV_CHAR;
        ev.key = c;
        ev.x = mouseX;
        ev.y = mouseY;
        HandleInput(ev);
      }
      return;
    }
    case SDL_MOUSEMOTION: {
      u16 x, y;
      ToDrawable(e.motion.x, e.motion.y, x, y);
      ev.type = EV_MOUSEMOVE;
      ev.keyFlags = static_cast<u16>(ButtonFlags(e.motion.state) | ModifierFlags());
      ev.x = x;
      ev.y = y;
      ev.dx = static_cast<u16>(x - mouseX);
      ev.dy = static_cast<u16>(y - mouseY);
      mouseX = x;
      mouseY = y;
      HandleInput(ev);
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      u32 button;
      u16 bit;
      if (!MapButton(e.button.button, button, bit)) return;
      bool down = e.type == SDL_MOUSEBUTTONDOWN;
      buttonsDown = down ? (buttonsDown | bit) : (buttonsDown & ~bit);
      ToDrawable(e.button.x, e.button.y, mouseX, mouseY);
      ev.type = down ? EV_BUTTONDOWN : EV_BUTTONUP;
      ev.button = button;
      ev.keyFlags = static_cast<u16>(buttonsDown | ModifierFlags());
      ev.x = mouseX;
      ev.y = mouseY;
      // Keep receiving mouse events while a button is held outside the window.
      SDL_CaptureMouse(buttonsDown ? SDL_TRUE : SDL_FALSE);
      HandleInput(ev);
      return;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_RESTORED: {
          ShowPointer(false);
          Activate();
          active = 1;
          ShowPointer(false);
          int w = width, h = height;
          if (window) SDL_GL_GetDrawableSize(window, &w, &h);
          StoreSize(w, h);
          Resize();
          return;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
          ShowPointer(true);
          Deactivate();
          return;
        case SDL_WINDOWEVENT_MAXIMIZED: {
          ShowPointer(false);
          active = 1;
          ShowPointer(false);
          int w = width, h = height;
          if (window) SDL_GL_GetDrawableSize(window, &w, &h);
          StoreSize(w, h);
          Resize();
          return;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          ShowPointer(false);
          // The event's size is in window units; the picture is drawn at the drawable's.
          int w = e.window.data1, h = e.window.data2;
          if (window) SDL_GL_GetDrawableSize(window, &w, &h);
          StoreSize(w, h);
          Resize();
          // A window the player sized is the size it comes back with.
          if (window && !IsFullscreen() &&
              !(SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED)) {
            SDL_GetWindowSize(window, &shellSettings.windowWidth, &shellSettings.windowHeight);
          }
          return;
        }
        case SDL_WINDOWEVENT_FOCUS_LOST:
          FocusLost();
          return;
        case SDL_WINDOWEVENT_CLOSE:
          Quit();
          return;
        default:
          return;
      }
    case SDL_QUIT:
      Quit();
      return;
    case SDL_SYSWMEVENT:
      NoteWindowEvent(e);
      return;
    default:
      return;
  }
}
