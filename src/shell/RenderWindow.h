#pragma once
// The base of every screen of the game (main menu, game, options, help, high scores, episode
// selection). A screen draws a background picture on a 512 x 512 overlay placed in the window by
// the application (shell/OverlayLayout.h); mouse events reach it in that place's pixels. It owns its
// controls, draws them, and routes input to them: by the pointer on screens without tab stops,
// and by the Tab key plus the pointer on screens with tab stops.
#include <string>
#include <vector>

#include "scene/StillPicture.h"
#include "shell/OverlayLayout.h"
#include "core/Input.h"
#include "core/Types.h"

class OApplication;
class OCamera;
class OControl;
class OLight;
class OTexture;

// Screen ids.
constexpr u32 SCREEN_MENU = 201;
constexpr u32 SCREEN_GAME = 202;
constexpr u32 SCREEN_OPTIONS = 203;
constexpr u32 SCREEN_HELP = 204;
constexpr u32 SCREEN_SCORES = 206;
constexpr u32 SCREEN_SELECT = 207;

class ORenderWindow {
public:
  explicit ORenderWindow(u32 id);
  // Deletes the background and every control.
  virtual ~ORenderWindow();
  ORenderWindow(const ORenderWindow&) = delete;
  ORenderWindow& operator=(const ORenderWindow&) = delete;

  // The eight slots, in their fixed order.
  // The screen becomes current: no keyboard focus until the next Tab.
  virtual void Enter();
  // The screen stops being current: the focused and the hot control lose their highlight.
  virtual void Leave();
  // The camera's viewport and projection, the background, then every control in list order.
  virtual void Draw();
  // elapsedMs: milliseconds since the last frame (may be 0).
  virtual void Update(u32 elapsedMs);
  // Called once when the application adds the screen.
  virtual bool Load();
  // Offers the event to the controls; true when one consumed it.
  virtual bool HandleInput(const OInputEvent& event);
  // A control's report (its command id and a parameter whose meaning the control states).
  virtual bool OnCommand(u32 commandId, u32 parameter);
  // The player is away (the window lost the focus or was minimised, the gamepad was unplugged):
  // a screen that runs a clock stops it. Nothing by default.
  virtual void Suspend();

  // The overlay's size in pixels, filling a window of that size (tests and single-shape use).
  void SetSize(i16 newWidth, i16 newHeight);
  // The overlay's place in a window of any shape: width/height become the place's size, and the
  // whole window's size is kept for screens that draw 3D over all of it.
  void SetPlacement(const OOverlayRect& place, i16 newWindowWidth, i16 newWindowHeight);
  // Points the viewport at the overlay's place (after drawing over the whole window).
  void ApplyOverlayViewport() const;
  // Replaces the background with the named picture; throws OFileNotFound when it is missing.
  bool SetBackground(const std::string& fileName);
  // Appends a control not yet held, owning it from then on: sets its owner, attaches it and
  // numbers it when it is a tab stop. A control already held is left as it is.
  void AddControl(OControl* control);
  bool HasControl(const OControl* control) const;
  // Gives a held control the highlight, and the keyboard focus when it is a tab stop.
  void FocusControl(OControl* control);
  // The keyboard focus on the first control that can take it (the application calls it after
  // Enter, so a screen's Enter may first disable what cannot be used now).
  void FocusFirst();
  // Moves the keyboard focus to the next (+1) or previous (-1) control that can take it, in
  // keyboard order, round from the last to the first. False when no control can take it.
  bool MoveFocus(i32 direction);

  OTexture* background = nullptr;  // owned; null when the screen has none
  OStillPicture backgroundPicture;  // the background as last drawn
  u32 id;
  i16 width = 20;                  // the overlay's size on screen, pixels
  i16 height = 20;
  i16 windowWidth = 20;            // the whole drawable, pixels
  i16 windowHeight = 20;
  i16 viewLeft = 0;                // the overlay's place: from the window's left edge,
  i16 viewTop = 0;                 // its top edge (mouse coordinates)
  i16 viewBottom = 0;              // and its bottom edge (GL viewport coordinates)
  // The screen draws its 3D view over the whole window itself (the game): the application
  // puts the background only in the bars beside the overlay, under the view, instead of over
  // the whole window.
  bool wholeWindow = false;
  u16 overlayWidth = 512;          // the 2D coordinate range of background and controls
  u16 overlayHeight = 512;
  u16 tabCount = 0;                // tab stops added so far
  i16 focusIndex = -1;             // tab index of the focused control, -1 for none
  OControl* focused = nullptr;     // keyboard focus, not owned
  OControl* hot = nullptr;         // last highlighted by pointer or focus, not owned
  std::vector<OControl*> controls; // owned; drawn first to last, hit-tested last to first
  OApplication* app = nullptr;     // set when the application adds the screen
  OCamera* camera = nullptr;       // the application's, not owned
  OLight* light = nullptr;
  // The control the arrows, Enter and Left/Right act on (not owned); null for none.
  OControl* keyFocus = nullptr;
  // The order Up/Down and Tab walk; empty: the order the controls were added.
  std::vector<OControl*> keyboardOrder;

private:
  bool RoutePointer(const OInputEvent& event);
  bool RouteTab(const OInputEvent& event);
  // Arrows, Shift+Tab (and Tab without tab stops), Enter and Left/Right on the focused control;
  // true when the key was used.
  bool Navigate(const OInputEvent& event);
};
