#pragma once
// The game's one window: display mode, OpenGL context, the main loop and the translation of
// platform events into OInputEvent. It knows nothing of screens, sound or rules; the application
// overrides the eight virtual slots to receive frames, input and activation changes.
#include <string>
#include <vector>

#include "core/Input.h"
#include "core/Types.h"
#include "shell/ShellSettings.h"

struct SDL_Window;
union SDL_Event;

// The smallest side a window may be dragged to, pixels.
constexpr int MIN_WINDOW_SIDE = 64;

class OGLWindow {
public:
  OGLWindow();
  // Restores the desktop display mode, releases the context and destroys the window; tear-down
  // failures show "SHUTDOWN ERROR" boxes and tear-down goes on.
  virtual ~OGLWindow();
  OGLWindow(const OGLWindow&) = delete;
  OGLWindow& operator=(const OGLWindow&) = delete;

  // The eight slots, in their fixed order.
  virtual void Present();                  // swap front and back buffers
  virtual void Frame(u32 elapsedMs);       // one frame; elapsedMs may be 0
  virtual void Resize();                   // after width/height changed
  virtual void Deactivate();               // active = 0
  virtual void Activate();                 // active = 1
  virtual bool Load();                     // true
  virtual void Unload();                   // called by Run when the loop ends
  virtual bool HandleInput(const OInputEvent& event);  // false

  // Opens the window described by the configuration (which overrides width, height and
  // fullscreen given here), with its context current. Throws OSoftwareGL for a software-only
  // OpenGL. False, with the reason in `failure`, when there is no display (SDL's windowless
  // drivers count as none unless SDL_VIDEODRIVER names them) or the window or its context cannot
  // be made; the window and context steps show their "Error" boxes as well.
  bool Create(const std::string& className, const std::string& title, int width, int height,
              bool fullscreen);
  // The main loop: one platform event per pass, or a frame when none waits. Returns the quit code.
  int Run();

  bool CreateGLWindow();
  bool SetupPixelFormat();
  void ReleaseGL();
  void DestroyGLWindow();
  void ShowAndFocus();
  bool MakeCurrent();
  // Switches between the window and desktop full screen in place: the context survives. Stores
  // the new size and calls Resize. False without a window or when the platform refused.
  bool SetFullscreen(bool on);
  // Full screen in the display mode of that size, in place: the window and its context stay.
  // Stores the new size and calls Resize. False, and nothing changed, without a window or
  // context, when the display does not list the size, or when the platform refused the switch.
  bool SetFullscreenSize(int modeWidth, int modeHeight);
  // Alt+Enter, F11: the window, or full screen at its chosen size (SetFullscreenSize, else
  // SetFullscreen), then DisplayModeChanged.
  void ToggleFullscreen();
  // Whether the window covers the display now.
  bool IsFullscreen() const;
  // Whether it covers it in a display mode of its own (not the desktop's): leaving such a mode or
  // choosing another re-creates the window and its context.
  bool IsModeSwitched() const { return fullscreenActive; }
  // The sizes display 0 lists for full screen, as the platform reports them (repeats included).
  std::vector<ODisplayMode> ListedSizes() const;
  // The desktop's own size; 0 x 0 when the platform does not say.
  ODisplayMode DesktopSize() const;
  // V-sync on or off on the context as it is (no new one); stores the choice in shellSettings.
  void SetVsync(bool on);
  // Called after Alt+Enter or F11 switched the display (the application saves the choice).
  virtual void DisplayModeChanged();
  // The window lost the keyboard focus (another window came to the front). Nothing here.
  virtual void FocusLost();
  // Restored (true) or minimised; sets active to restore and shows the system pointer.
  void Minimize(bool restore);
  // Posts the quit message with code 0; Run ends when it takes it.
  void Quit();

  // The display's refresh rate in Hz, 60 when it does not say.
  int RefreshRate() const;
  // Waits out the rest of the frame period (nothing while v-sync paces the swap).
  void Pace();
  // Milliseconds between frames the loop keeps to itself; 0 while the swap waits for v-sync.
  // Set by SetupPixelFormat.
  double framePeriodMs = 0.0;

  // Adds one pass to the frame-rate accumulators; fps is recomputed once a second's worth is in.
  void CountFrame(u32 elapsedMs);
  // The window procedure: turns one platform event into input and window callbacks.
  void Dispatch(const SDL_Event& event);
  // Gamepads: opens the ones plugged in (again, later ones come as events); false when the
  // platform has no game controller support.
  bool StartGamepads();
  // One gamepad event as keys: d-pad and left stick as the arrows, A as Enter, B as Esc, Start
  // as Pause. A gamepad unplugged calls FocusLost (a game pauses) and lets its keys go.
  void DispatchGamepad(const SDL_Event& event);
  // Gamepads open now.
  int GamepadCount() const { return static_cast<int>(gamepads.size()); }

  // Moves the pointer's show/hide counter by one; the system pointer shows while it is >= 0.
  void ShowPointer(bool show);

  // The window's drawable size as the platform reports it (0x0 without a window).
  void GetDrawableSize(int& w, int& h) const;
  bool HasWindow() const { return window != nullptr; }
  // The video subsystem is up: there is a display to show a window or a box on.
  bool HasVideo() const { return videoStarted; }
  bool HasContext() const { return context != nullptr; }

  std::string className;
  std::string title;
  std::string failure;  // why the last Create returned false
  ODisplayMode modes[3];
  u8 resolutionIndex;
  u8 colorBits;
  u8 depthBits;
  u8 stencilBits;
  u8 accumBits;
  u8 fullscreen;
  f32 fps;
  i16 width;
  i16 height;
  u8 active;
  // Full-screen size (0 x 0: the desktop's own, no mode switch), the window's remembered size
  // (0 x 0: resolutionIndex's mode), v-sync, frame rate, mouse sensitivity; read by Create.
  OShellSettings shellSettings;
  // The window's size came from the command line: it is this run's only, and the size saved at
  // exit stays the one the settings file had.
  bool sizeFromCommandLine = false;

  // Last mouse position, reported in key events too (window pixels).
  u16 mouseX;
  u16 mouseY;
  // Pointer show/hide counter (0 shown, below 0 hidden).
  int pointerCounter;

protected:
  // Opens a full-screen window at mode index; false when the display has no such mode or the
  // drawable does not come out at its size.
  bool OpenFullscreen(int modeWidth, int modeHeight);
  // Waits (up to 5 s) for the window's drawable to come out at that size; false when it did not.
  bool AwaitDrawableSize(int w, int h);
  bool OpenDesktopFullscreen();
  // A decorated, resizable window centred on the desktop at WindowedSize.
  void OpenWindowed();
  // The size the window opens at: the remembered one, else the mode's, within the desktop.
  void WindowedSize(int& w, int& h) const;
  void StoreSize(int w, int h);
  // A pointer position from window units to drawable pixels (they differ on high-density
  // displays).
  void ToDrawable(i32 x, i32 y, u16& outX, u16& outY) const;

  SDL_Window* window;
  void* context;
  bool videoStarted;
  bool fullscreenActive;
  u16 buttonsDown;  // MK_ bits of the mouse buttons held
  double previousFrame;
  double nextFrameAt = 0.0;  // when the next frame may start, performance-counter ms
  // A virtual key held by a gamepad, sent as key-down/key-up pairs.
  void PadKey(u16 vk, bool down);
  std::vector<void*> gamepads;  // open SDL_GameController handles
  u8 stickKeys = 0;             // arrows the left stick holds: 1 left, 2 right, 4 up, 8 down
  i32 frameMsSum;
  i32 frameCount;
};

// Whether SDL's video driver shows a window somewhere: the windowless drivers (offscreen, dummy)
// only when `requested` (the SDL_VIDEODRIVER hint) names them.
bool IsVisibleVideoDriver(const char* driver, const char* requested);

// True when the OpenGL renderer string names a generic software rasteriser too slow to play on.
bool IsSoftwareRenderer(const char* renderer);
