#include "shell/Application.h"

#include <algorithm>

#include <GL/gl.h>

#include "assets/ModelCache.h"
#include "assets/Texture.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/RenderWindow.h"

OApplication::OApplication()
    : soundPlayer(new OSoundPlayer()), musicPlayer(new OMusicPlayer()) {}

OApplication::~OApplication() {
  for (ORenderWindow* s : screens) delete s;
  screens.clear();
  current = nullptr;
  delete camera;
  delete light;
  delete font;
  delete soundPlayer;
  delete musicPlayer;
}

bool OApplication::AddScreen(ORenderWindow* screen) {
  if (screen == nullptr || HasScreen(screen)) return false;
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
  for (ORenderWindow* s : screens) {
    if (s->id == screenId) return s;
  }
  return nullptr;
}

bool OApplication::SwitchScreen(u32 screenId) {
  if (current != nullptr) current->Leave();
  current = FindScreen(screenId);
  if (current == nullptr) return false;
  current->Enter();
  return true;
}

void OApplication::Resize() {
  for (ORenderWindow* s : screens) s->SetSize(width, height);
}

namespace {

void ShowApplying(OFont* font) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  if (font == nullptr) return;
  const std::string text = "Applying Changes";
  font->Print((512.0f - font->TextWidth(text)) / 2.0f, 240.0f, text, 0, false, 1.0f);
}

}  // namespace

void OApplication::ApplyDisplayChange(u32 newResolutionIndex) {
  GetTextureCache().ReleaseAll();
  GetModelCache().ReleaseAll();
  if (font != nullptr) font->DeleteLists();
  ReleaseGL();
  DestroyGLWindow();
  resolutionIndex = static_cast<u8>(newResolutionIndex);
  CreateGLWindow();
  SetupPixelFormat();
  Resize();
  ShowAndFocus();
  if (font != nullptr) font->Build(65534);
  ShowApplying(font);
  Present();
  GetTextureCache().ReuploadAll();
  ShowApplying(font);
  Present();
  GetModelCache().RebuildAll();
  resolutionIndex = static_cast<u8>(newResolutionIndex);
}
