#pragma once
// The game framework over the window: it owns the camera, the light, the font, the sound-effect
// and music players and every screen, forwards frames and input to the one current screen, and
// re-creates the window with all OpenGL objects when the display settings change.
#include <vector>

#include "shell/GLWindow.h"
#include "shell/Types.h"

class OCamera;
class OFont;
class OLight;
class OMusicPlayer;
class ORenderWindow;
class OSoundPlayer;

class OApplication : public OGLWindow {
public:
  // Creates the sound-effect and music players.
  OApplication();
  // Deletes the screens still held, the camera, the light, the font and the players.
  ~OApplication() override;

  // Appends a screen not yet held (owning it), gives it the window size, camera and light, and
  // returns its Load result; a screen already held returns false at once.
  bool AddScreen(ORenderWindow* screen);
  bool HasScreen(const ORenderWindow* screen) const;
  ORenderWindow* FindScreen(u32 screenId) const;
  // Leave on the current screen, then Enter on the screen with that id, which becomes current;
  // no screen is current when none has the id (false).
  bool SwitchScreen(u32 screenId);
  ORenderWindow* CurrentScreen() const { return current; }
  // "Applying Changes": the window and its context made anew at the resolution index with
  // colorBits; textures, display lists and the font rebuilt; every screen told the new size.
  void ApplyDisplayChange(u32 newResolutionIndex);
  void Resize() override;

  u32 gameInProgress = 0;
  u32 savedGameAvailable = 0;
  u32 gameRequest = 10006;  // 10004 new game, 10007 resume the saved game, else continue
  i32 gameSpeed = 100;      // percent
  OSoundPlayer* soundPlayer;  // owned
  OMusicPlayer* musicPlayer;  // owned
  OCamera* camera = nullptr;  // owned
  OLight* light = nullptr;    // owned
  OFont* font = nullptr;      // owned
  std::vector<ORenderWindow*> screens;  // owned, in the order added

private:
  ORenderWindow* current = nullptr;
};
