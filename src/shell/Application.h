#pragma once
// The game framework around the window: it owns the camera, the light, the font, the sound and
// music players and every screen, and forwards frames and input to the one current screen.
// (A small first version: the screens, the shared services and the switching between screens.)
#include <vector>

#include "shell/GLWindow.h"
#include "shell/Types.h"

class OCamera;
class OFont;
class OLight;
class OMusicPlayer;
class OPlaylist;
class ORenderWindow;
class OSoundPlayer;

// What the game screen does when it is entered (gameRequest).
constexpr u32 GAME_REQUEST_NEW = 10004;
constexpr u32 GAME_REQUEST_RESUME = 10007;
constexpr u32 GAME_REQUEST_CONTINUE = 10006;

class OApplication : public OGLWindow {
public:
  // Creates the sound and music players; no camera, light, font or screens yet.
  OApplication();
  // Deletes the services it owns and any screen still held.
  ~OApplication() override;

  // Appends the screen (once), gives it the window size, the camera and the light, and returns
  // its Load result.
  bool AddScreen(ORenderWindow* screen);
  bool HasScreen(const ORenderWindow* screen) const;
  ORenderWindow* FindScreen(u32 screenId) const;
  // Leave on the current screen, then Enter on the one with that id (none when no screen has it).
  bool SwitchScreen(u32 screenId);

  u32 gameInProgress = 0;
  u32 savedGameAvailable = 0;
  u32 gameRequest = GAME_REQUEST_CONTINUE;
  i32 gameSpeed = 100;  // percent
  OSoundPlayer* soundPlayer = nullptr;  // owned
  OMusicPlayer* musicPlayer = nullptr;  // owned
  OPlaylist* gamePlaylist = nullptr;    // owned: the shuffled in-game tracks
  OPlaylist* menuPlaylist = nullptr;    // owned: the menu track
  u8 cursorVisible = 1;
  OCamera* camera = nullptr;  // owned
  OLight* light = nullptr;    // owned
  OFont* font = nullptr;      // owned
  std::vector<ORenderWindow*> screens;  // owned
  ORenderWindow* current = nullptr;
};
