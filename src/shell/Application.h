#pragma once
// The game's framework over the window: the shared services (camera, light, font, sound and
// music players), the screens, and the flags the screens pass to each other. Only what the
// screens read and call is here yet; the start-up, frame and display-change work joins it.
#include <algorithm>
#include <vector>

#include "shell/GLWindow.h"
#include "shell/RenderWindow.h"
#include "shell/Types.h"

class OCamera;
class OFont;
class OLight;
class OMusicPlayer;
class OSoundPlayer;

class OApplication : public OGLWindow {
public:
  OApplication() = default;

  // Appends the screen once and loads it; the screen's Load result.
  bool AddScreen(ORenderWindow* screen) {
    if (HasScreen(screen)) return true;
    screens.push_back(screen);
    screen->app = this;
    screen->SetSize(width, height);
    screen->camera = camera;
    screen->light = light;
    return screen->Load();
  }
  bool HasScreen(const ORenderWindow* screen) const {
    return std::find(screens.begin(), screens.end(), screen) != screens.end();
  }
  ORenderWindow* FindScreen(u32 screenId) const {
    for (ORenderWindow* s : screens) {
      if (s->id == screenId) return s;
    }
    return nullptr;
  }
  // Leave on the current screen, Enter on the new one; false when no screen has that id.
  bool SwitchScreen(u32 screenId) {
    if (current != nullptr) current->Leave();
    current = FindScreen(screenId);
    if (current == nullptr) return false;
    current->Enter();
    return true;
  }

  u32 gameInProgress = 0;       // 1 while a game exists in memory
  u32 savedGameAvailable = 0;   // 1 while the configuration holds a game to resume
  u32 gameRequest = 10006;      // 10004 new game, 10007 resume the saved one, else continue
  i32 gameSpeed = 100;          // percent
  OSoundPlayer* soundPlayer = nullptr;
  OMusicPlayer* musicPlayer = nullptr;
  OCamera* camera = nullptr;
  OLight* light = nullptr;
  OFont* font = nullptr;
  std::vector<ORenderWindow*> screens;  // in the order added
  ORenderWindow* current = nullptr;
};
