#include "shell/Application.h"

#include <GL/gl.h>

#include <cstdio>

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

void OApplication::DrawBackdrop() {
  if (!current || !current->background) return;
  if (overlay.w >= width && overlay.h >= height) return;
  // The screen's picture, dimmed, covers the whole window at the overlay's shape (cut at the
  // long sides), so that the bars beside the overlay belong to the same screen.
  glViewport(0, 0, width, height);
  Ortho2D(static_cast<u16>(width), static_cast<u16>(height));
  glEnable(GL_TEXTURE_2D);
  current->background->Bind();
  const f32 windowAspect = static_cast<f32>(width) / static_cast<f32>(height);
  const f32 overlayAspect = static_cast<f32>(OVERLAY_ASPECT_W) / OVERLAY_ASPECT_H;
  f32 su = 1.0f, sv = 1.0f;  // the part of the picture shown, centred
  if (windowAspect > overlayAspect) {
    sv = overlayAspect / windowAspect;
  } else {
    su = windowAspect / overlayAspect;
  }
  const f32 u0 = 0.5f - su * 0.5f, v0 = 0.5f - sv * 0.5f;
  // A rectangle of window pixels (y up) with its part of the picture.
  const auto quad = [&](i32 x0, i32 y0, i32 x1, i32 y1) {
    if (x1 <= x0 || y1 <= y0) return;
    const auto u = [&](i32 x) { return u0 + su * static_cast<f32>(x) / static_cast<f32>(width); };
    const auto v = [&](i32 y) { return v0 + sv * static_cast<f32>(y) / static_cast<f32>(height); };
    glTexCoord2f(u(x0), v(y0));
    glVertex2i(x0, y0);
    glTexCoord2f(u(x1), v(y0));
    glVertex2i(x1, y0);
    glTexCoord2f(u(x1), v(y1));
    glVertex2i(x1, y1);
    glTexCoord2f(u(x0), v(y1));
    glVertex2i(x0, y1);
  };
  glColor4f(0.45f, 0.45f, 0.45f, 1.0f);
  glBegin(GL_QUADS);
  if (!current->wholeWindow) {
    quad(0, 0, width, height);
  } else {
    // A screen that draws its scene over the whole window (the game) gets only the bars beside
    // the overlay, under its scene: where the scene has nothing (beside the cage) they show.
    const i32 right = overlay.left + overlay.w, top = overlay.bottom + overlay.h;
    quad(0, 0, overlay.left, height);
    quad(right, 0, width, height);
    quad(overlay.left, 0, right, overlay.bottom);
    quad(overlay.left, top, right, height);
  }
  glEnd();
  glColor4f(1, 1, 1, 1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glClear(GL_DEPTH_BUFFER_BIT);
}

void OApplication::DrawScreen() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  DrawBackdrop();
  if (current) current->Draw();
  DrawNotice();

  if (cursorVisible && cursor && cursor->texture) {
    glViewport(0, 0, width, height);
    Ortho2D(static_cast<u16>(width), static_cast<u16>(height));
    cursor->texture->Bind();
    // The cursor keeps its size relative to the overlay, whatever the window's shape.
    f32 side = CursorSide(static_cast<i16>(overlay.h));
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

  if (shellSettings.showFps) DrawFrameRate();

  if (trackEnded.load()) musicPlayer->PlayNext();
}

void OApplication::DrawFrameRate() {
  if (!font) return;
  ApplyOverlayViewport();
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  char text[32];
  std::snprintf(text, sizeof text, "%.0f fps", static_cast<double>(fps));
  font->colour = OColor4(1.0f, 1.0f, 0.6f, 1.0f);
  font->Print(4.0f, 490.0f, text, 0, true, 0.5f);
  font->colour = OColor4(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

bool OApplication::HandleInput(const OInputEvent& event) {
  if (cursor) {
    cursor->x = event.x;
    cursor->y = event.y;
  }
  if (event.type == EV_KEYDOWN && event.key == VK_F3) {
    // The frame rate in the corner, on every screen, remembered for the next start.
    shellSettings.showFps = !shellSettings.showFps;
    SaveShellSettings(shellSettings, GetConfig().fileName);
    return true;
  }
  if (!current) return false;
  // Screens count the pointer from the overlay's corner; outside it the position wraps to far
  // off, where no control lies.
  OInputEvent local = event;
  local.x = static_cast<u16>(event.x - overlay.left);
  local.y = static_cast<u16>(event.y - overlay.top);
  return current->HandleInput(local);
}

void OApplication::Resize() {
  overlay = FitOverlay(width, height);
  for (ORenderWindow* s : screens) s->SetPlacement(overlay, width, height);
}

void OApplication::FocusLost() {
  if (current) current->Suspend();
}

void OApplication::Deactivate() {
  // Minimised: a game in play pauses, and stays paused when the window comes back.
  if (current) current->Suspend();
  if (soundPlayer->on) soundPlayer->on = 0;
  musicPlayer->Stop();
}

void OApplication::Activate() {
  const OConfig& config = GetConfig();
  if (config.soundOn == 1) soundPlayer->on = 1;
  if (config.musicOn == 1) musicPlayer->Resume();
}

void OApplication::DisplayModeChanged() {
  // The choice stands for the next start too.
  OConfig& config = GetConfig();
  config.fullscreen = fullscreen;
  config.Save();
  SaveShellSettings(shellSettings, config.fileName);
}

void OApplication::Unload() {
  // The window's size as the player left it, unless the command line gave it for this run.
  OShellSettings kept = shellSettings;
  if (sizeFromCommandLine) {
    const OShellSettings file = LoadShellSettings(GetConfig().fileName);
    kept.windowWidth = file.windowWidth;
    kept.windowHeight = file.windowHeight;
  }
  SaveShellSettings(kept, GetConfig().fileName);
  if (current) current->Leave();
  current = nullptr;
  for (ORenderWindow* s : screens) delete s;
  screens.clear();
}

bool OApplication::AddScreen(ORenderWindow* screen) {
  if (HasScreen(screen)) return true;
  screens.push_back(screen);
  screen->app = this;
  overlay = FitOverlay(width, height);
  screen->SetPlacement(overlay, width, height);
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
  current->FocusFirst();
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
  ApplyOverlayViewport();
  Ortho2D(512, 512);
  DrawLoadingPicture(splash, percent);
  if (font) {
    f32 w = font->TextWidth("Version 2.0 ");
    font->Print(512 - w * 0.5f, 0, "Version 2.0", 0, true, 0.5f);
  }
  Present();
}

void OApplication::ApplyOverlayViewport() {
  overlay = FitOverlay(width, height);
  glViewport(overlay.left, overlay.bottom, overlay.w, overlay.h);
}

void OApplication::ShowCentredMessage(const std::string& text) {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ApplyOverlayViewport();
  Ortho2D(512, 512);
  if (font) {
    glEnable(GL_TEXTURE_2D);
    font->Print((512 - font->TextWidth(text)) / 2.0f, 240, text, 0, false, 1.0f);
  }
  Present();
}

void OApplication::ApplyDisplayChange(u8 newResolutionIndex) {
  if (newResolutionIndex > 2) newResolutionIndex = 1;
  // One of the three sizes: the window's size, or in full screen a switch to that mode.
  if (fullscreen) {
    shellSettings.fullscreenWidth = modes[newResolutionIndex].width;
    shellSettings.fullscreenHeight = modes[newResolutionIndex].height;
  } else {
    shellSettings.windowWidth = modes[newResolutionIndex].width;
    shellSettings.windowHeight = modes[newResolutionIndex].height;
  }
  resolutionIndex = newResolutionIndex;
  RecreateDisplay();
}

void OApplication::RecreateDisplay() {
  GetTextureCache().ReleaseAll();
  GetModelCache().ReleaseAll();
  if (font) font->DeleteLists();

  ReleaseGL();
  DestroyGLWindow();
  CreateGLWindow();
  SetupPixelFormat();
  Resize();
  ShowAndFocus();

  if (font) font->Build(65534);
  ShowCentredMessage("Applying Changes");
  GetTextureCache().ReuploadAll();
  ShowCentredMessage("Applying Changes");
  GetModelCache().RebuildAll();
  // resolutionIndex stays what CreateGLWindow made of it: a refused mode falls back to 640x480,
  // and that, not the size asked for, is what the options show and save.
}

void OApplication::ApplyFullscreen(bool on, i32 sizeWidth, i32 sizeHeight) {
  const bool modeOfItsOwn = on && sizeWidth > 0 && sizeHeight > 0;
  // The size is kept for the next full screen also when the window is chosen.
  shellSettings.fullscreenWidth = sizeWidth;
  shellSettings.fullscreenHeight = sizeHeight;
  // In place where the platform lets the window keep its context.
  if (HasWindow()) {
    if (!on && SetFullscreen(false)) return;
    if (modeOfItsOwn && SetFullscreenSize(sizeWidth, sizeHeight)) return;
    if (on && !modeOfItsOwn) {
      if (IsModeSwitched()) SetFullscreen(false);  // the desktop's mode back first
      if (SetFullscreen(true)) return;
    }
  }
  fullscreen = on ? 1 : 0;
  RecreateDisplay();
}
