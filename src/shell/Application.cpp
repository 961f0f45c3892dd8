#include "shell/Application.h"

#include <algorithm>

#include "audio/MusicPlayer.h"
#include "audio/Playlist.h"
#include "audio/SoundPlayer.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/RenderWindow.h"

OApplication::OApplication()
    : soundPlayer(new OSoundPlayer),
      musicPlayer(new OMusicPlayer),
      gamePlaylist(new OPlaylist),
      menuPlaylist(new OPlaylist) {}

OApplication::~OApplication() {
  for (ORenderWindow* s : screens) delete s;
  screens.clear();
  delete font;
  delete light;
  delete camera;
  delete musicPlayer;
  delete gamePlaylist;
  delete menuPlaylist;
  delete soundPlayer;
}

bool OApplication::AddScreen(ORenderWindow* screen) {
  if (HasScreen(screen)) return true;
  screens.push_back(screen);
  screen->app = this;
  screen->SetSize(width, height);
  screen->camera = camera;
  screen->light = light;
  return screen->Load();
}

bool OApplication::HasScreen(const ORenderWindow* screen) const {
  return std::find(screens.begin(), screens.end(), screen) != screens.end();
}

ORenderWindow* OApplication::FindScreen(u32 screenId) const {
  for (ORenderWindow* s : screens)
    if (s->id == screenId) return s;
  return nullptr;
}

bool OApplication::SwitchScreen(u32 screenId) {
  if (current != nullptr) current->Leave();
  current = FindScreen(screenId);
  if (current == nullptr) return false;
  current->Enter();
  return true;
}
