#include "shell/Application.h"

#include <GL/gl.h>

#include "assets/ModelCache.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "core/Config.h"
#include "core/Notice.h"
#include "core/Random.h"
#include "shell/RenderWindow.h"

namespace {
// The one current screen, null before the first switch.
ORenderWindow* current = nullptr;
}  // namespace

f32 CursorSide(i16 windowHeight) { return static_cast<f32>(windowHeight) / 512.0f * 32.0f; }

OCursor::OCursor(std::string textureName) : name(std::move(textureName)) {}

OCursor::~OCursor() { delete texture; }

OApplication::OApplication() {
  soundPlayer = new OSoundPlayer();
  musicPlayer = new OMusicPlayer();
  ShowPointer(false);
}

OApplication::~OApplication() {
  ShowPointer(true);
  // Screens still held here were added by a Load or Run that ended in an exception: Unload never
  // ran. They go first, while everything they may point to is still there.
  if (current != nullptr && HasScreen(current)) current = nullptr;
  for (ORenderWindow* s : screens) delete s;
  screens.clear();
  delete camera;
  delete light;
  delete cursor;
  delete font;
  delete soundPlayer;
  delete musicPlayer;
  delete splash;
}

ORenderWindow* OApplication::Current() { return current; }

void OApplication::Frame(u32 elapsedMs) {
  ClearFrame();
  UpdateScreen(elapsedMs);
  DrawScreen();
  Present();
}

void OApplication::ClearFrame() {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

namespace {
// How long a notice line shows, in milliseconds: long enough to read twice.
constexpr i32 NOTICE_MS = 6000;
}  // namespace

void OApplication::UpdateScreen(u32 elapsedMs) {
  if (current) current->Update(elapsedMs);
  noticeMs -= static_cast<i32>(elapsedMs);
  std::string posted = TakeNotice();
  if (!posted.empty()) {
    noticeLine = posted;
    noticeMs = NOTICE_MS;
  }
  if (noticeMs <= 0) {
    noticeMs = 0;
    noticeLine.clear();
  }
}

void OApplication::DrawNotice() {
  if (noticeLine.empty() || font == nullptr) return;
  constexpr f32 scale = 0.6f;
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  const OColor4 was = font->colour;
  font->colour = OColor4(1.0f, 0.35f, 0.25f, 1.0f);
  const f32 x = (512.0f - font->TextWidth(noticeLine) * scale) * 0.5f;
  font->Print(x < 2.0f ? 2.0f : x, 4.0f, noticeLine, 0, true, scale);
  font->colour = was;
  glColor4f(1, 1, 1, 1);
}

void OApplication::DrawScreen() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  if (current) current->Draw();
  DrawNotice();

  if (cursorVisible && cursor && cursor->texture) {
    Ortho2D(static_cast<u16>(width), static_cast<u16>(height));
    cursor->texture->Bind();
    f32 side = CursorSide(height);
    int s = static_cast<int>(side);
    glTranslatef(static_cast<f32>(cursor->x), static_cast<f32>(height) - cursor->y - side, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(0, 0);
    glTexCoord2f(1, 0);
    glVertex2i(s, 0);
    glTexCoord2f(1, 1);
    glVertex2i(s, s);
    glTexCoord2f(0, 1);
    glVertex2i(0, s);
    glEnd();
    glDisable(GL_BLEND);
  }

  if (trackEnded.load()) musicPlayer->PlayNext();
}

bool OApplication::HandleInput(const OInputEvent& event) {
  if (cursor) {
    cursor->x = event.x;
    cursor->y = event.y;
  }
  return current ? current->HandleInput(event) : false;
}

void OApplication::Resize() {
  for (ORenderWindow* s : screens) s->SetSize(width, height);
}

void OApplication::Deactivate() {
  if (soundPlayer->on) soundPlayer->on = 0;
  musicPlayer->Stop();
}

void OApplication::Activate() {
  const OConfig& config = GetConfig();
  if (config.soundOn == 1) soundPlayer->on = 1;
  if (config.musicOn == 1) musicPlayer->Resume();
}

void OApplication::Unload() {
  if (current) current->Leave();
  current = nullptr;
  for (ORenderWindow* s : screens) delete s;
  screens.clear();
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
  for (const ORenderWindow* s : screens)
    if (s == screen) return true;
  return false;
}

ORenderWindow* OApplication::FindScreen(u32 id) const {
  for (ORenderWindow* s : screens)
    if (s->id == id) return s;
  return nullptr;
}

bool OApplication::SwitchScreen(u32 id) {
  if (current) current->Leave();
  current = FindScreen(id);
  if (!current) return false;
  current->Enter();
  return true;
}

bool OApplication::LoadFont(const std::string& name) {
  delete font;
  font = new OFont(name);
  if (!font->Build(65534)) {
    delete font;
    font = nullptr;
    return false;
  }
  return true;
}

bool OApplication::Load() {
  GetResource().Open();
  splash = new OTexture();
  splash->Load("Brikon3D.jpg");
  camera = new OCamera(width, height, 60.0f, 1.0f, 1024.0f);
  light = new OLight(0);
  LoadFont("Font.Tga");
  DrawProgress(10 + Random() % 11);
  cursor = new OCursor("Cursor.Tga");
  cursor->texture = new OTexture();
  cursor->texture->Load(cursor->name);
  soundPlayer->Init(true);
  DrawProgress(25 + Random() % 11);
  return true;
}

void DrawLoadingPicture(OTexture* splash, int percent) {
  glEnable(GL_TEXTURE_2D);
  if (splash) splash->Bind();
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(128, 240, 1);
  glTexCoord2f(1, 0);
  glVertex3f(384, 240, 1);
  glTexCoord2f(1, 1);
  glVertex3f(384, 272, 1);
  glTexCoord2f(0, 1);
  glVertex3f(128, 272, 1);
  glEnd();

  const int length = static_cast<int>(percent * 512 * 0.01);
  glColor3ub(241, 48, 48);
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  glVertex2i(0, 236);
  glVertex2i(length, 236);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
}

void OApplication::DrawProgress(int percent) {
  glEnable(GL_TEXTURE_2D);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  DrawLoadingPicture(splash, percent);
  if (font) {
    f32 w = font->TextWidth("Version 2.0 ");
    font->Print(512 - w * 0.5f, 0, "Version 2.0", 0, true, 0.5f);
  }
  Present();
}

void OApplication::ShowCentredMessage(const std::string& text) {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  if (font) {
    glEnable(GL_TEXTURE_2D);
    font->Print((512 - font->TextWidth(text)) / 2.0f, 240, text, 0, false, 1.0f);
  }
  Present();
}

void OApplication::ApplyDisplayChange(u8 newResolutionIndex) {
  GetTextureCache().ReleaseAll();
  GetModelCache().ReleaseAll();
  if (font) font->DeleteLists();

  ReleaseGL();
  DestroyGLWindow();
  resolutionIndex = newResolutionIndex;
  CreateGLWindow();
  SetupPixelFormat();
  Resize();
  ShowAndFocus();

  if (font) font->Build(65534);
  ShowCentredMessage("Applying Changes");
  GetTextureCache().ReuploadAll();
  ShowCentredMessage("Applying Changes");
  GetModelCache().RebuildAll();
  // Set a second time on purpose: CreateGLWindow drops the index to 0 when the display refuses
  // the full-screen mode, and the options screen must still show and save the player's choice
  // (the window then runs at 640 x 480 until the next change).
  resolutionIndex = newResolutionIndex;
}
