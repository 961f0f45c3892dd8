#pragma once
// The game framework on top of the window: owns the camera, the light, the bitmap font, the
// game's own mouse cursor, the sound-effect and music players and every screen, forwards frames
// and input to the one current screen, shows the loading progress, and re-creates the window with
// all its OpenGL objects when the display settings change ("Applying Changes").
#include <memory>
#include <string>
#include <vector>

#include "audio/Playlist.h"
#include "shell/GLWindow.h"
#include "shell/OverlayLayout.h"
#include "core/Types.h"

class OCamera;
class OFont;
class OLight;
class OMusicPlayer;
class ORenderWindow;
class OSoundPlayer;
class OTexture;

// What the game screen does when it is entered (gameRequest).
constexpr u32 GAME_REQUEST_NEW = 10004;
constexpr u32 GAME_REQUEST_RESUME = 10007;
constexpr u32 GAME_REQUEST_CONTINUE = 10006;  // any other value: back to the game in memory

// The game's own mouse pointer: a picture whose top-left corner is the pointer's tip.
struct OCursor {
  explicit OCursor(std::string textureName);
  ~OCursor();
  OCursor(const OCursor&) = delete;
  OCursor& operator=(const OCursor&) = delete;

  std::string name;
  OTexture* texture = nullptr;  // owned
  i32 x = 0;                    // last mouse position, window pixels, y downwards
  i32 y = 0;
};

// Side of the game's cursor in pixels for a window height: 32 at a height of 512.
f32 CursorSide(i16 windowHeight);

class OApplication : public OGLWindow {
public:
  // Fixes how the C library places large blocks (shell/Heap.h), creates the sound and music
  // players and hides the system pointer; no camera, light, font, cursor or screens until Load.
  OApplication();
  ~OApplication() override;

  void Frame(u32 elapsedMs) override;
  void Resize() override;
  void Deactivate() override;
  void Activate() override;
  bool Load() override;
  void Unload() override;
  bool HandleInput(const OInputEvent& event) override;
  // Saves the full-screen flag (Config.Cfg) and the window settings (Settings.Cfg).
  void DisplayModeChanged() override;
  // The current screen stops its clock (a game in play pauses).
  void FocusLost() override;

  // The steps of Frame before it presents, in this order; public so that a benchmark can time
  // them apart in its own copy of the loop. ClearFrame clears the back buffer; UpdateScreen runs
  // the current screen's Update and takes a posted notice; DrawScreen draws the current screen,
  // the notice line and the cursor, and starts the next music track when one has ended.
  void ClearFrame();
  void UpdateScreen(u32 elapsedMs);
  void DrawScreen();
  // Fills the window beside the overlay with the current screen's background, dimmed; nothing
  // when the overlay fills the window. A screen that draws the whole window itself (the game)
  // gets only the bars beside the overlay, drawn first for its scene to cover where it reaches.
  void DrawBackdrop();
  // The frame rate in the overlay's top-left corner (F3 switches it).
  void DrawFrameRate();
  // The viewport on the overlay's place in the window (the loading display and messages).
  void ApplyOverlayViewport();

  // Appends a screen (once) and owns it from then on, also when its Load throws; gives it this
  // application, the window size, camera and light, and returns its Load result.
  bool AddScreen(ORenderWindow* screen);
  bool HasScreen(const ORenderWindow* screen) const;
  ORenderWindow* FindScreen(u32 id) const;
  // Leave on the current screen, then Enter on the screen with that id (none current when no
  // screen has it). A switch to the current screen leaves and re-enters it.
  bool SwitchScreen(u32 id);
  // One frame of the loading display: splash, progress bar, version line.
  void DrawProgress(int percent);
  // Creates and builds the font; false (and no font) when it cannot be built.
  bool LoadFont(const std::string& name);
  // Re-creates the window and context in another display mode, re-uploads every texture and
  // rebuilds every display list; screens, objects, pixels and geometry survive.
  // resolutionIndex reads the mode the display really took afterwards (0 after a refusal).
  void ApplyDisplayChange(u8 newResolutionIndex);
  // The same re-creation for the display settings as they stand (full screen, its size, the
  // window's size, colour bits).
  void RecreateDisplay();
  // Full screen (on) or the window, and the full-screen size in pixels (0 x 0: the desktop's
  // own). The switch is made in place where the platform allows it (the context survives, nothing
  // is uploaded again); a mode the display does not list or a refused switch go through
  // RecreateDisplay. resolutionIndex
  // reads 0 afterwards when the mode was refused.
  void ApplyFullscreen(bool on, i32 sizeWidth, i32 sizeHeight);

  static ORenderWindow* Current();

  u32 gameInProgress = 0;       // a game exists in memory (set by the game screen)
  OTexture* splash = nullptr;   // the loading picture, only during Load
  u32 savedGameAvailable = 0;   // the configuration holds a game to resume
  u32 gameRequest = GAME_REQUEST_CONTINUE;
  i32 gameSpeed = 100;          // percent; the configuration's value from Load on (default 125)
  u32 playfieldFlag = 0;        // always 0; handed to the playfield when a game is entered
  OSoundPlayer* soundPlayer = nullptr;  // owned
  OMusicPlayer* musicPlayer = nullptr;  // owned
  // The line the player is told over every screen (core/Notice.h), and how much longer it shows.
  std::string noticeLine;
  i32 noticeMs = 0;
  u8 cursorVisible = 1;
  OCursor* cursor = nullptr;  // owned
  OCamera* camera = nullptr;  // owned
  OLight* light = nullptr;    // owned
  OFont* font = nullptr;      // owned
  std::vector<ORenderWindow*> screens;  // owned from AddScreen until Unload
  // The two music lists, for the whole run: the shuffled game tracks and the menu track.
  OPlaylist gamePlaylist;
  OPlaylist menuPlaylist;
  // Where the overlay sits in the window, refreshed with every size change.
  OOverlayRect overlay;

protected:
  // The notice line along the bottom of the 512x512 overlay, while it lasts.
  void DrawNotice();
  // Prints text centred on the 512x512 overlay at y 240 and presents it.
  void ShowCentredMessage(const std::string& text);
};

// The loading display's picture on the 512x512 overlay (set up by the caller): the splash strip
// across the middle (untextured when there is none) and the red progress line under it, `percent`
// of the width long. Leaves texturing on and the colour white.
void DrawLoadingPicture(OTexture* splash, int percent);
