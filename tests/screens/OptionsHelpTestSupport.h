#pragma once
// The application opened windowed at 640x480 under the virtual display, with the game's own
// archive, font, camera and light, a stand-in main menu that counts its entries, and helpers
// to draw frames and save them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "assets/Resource.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/Application.h"
#include "shell/Config.h"
#include "shell/RenderWindow.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace options_help_test {

// The main menu's place: records how often it was entered.
class MenuStandIn : public ORenderWindow {
public:
  MenuStandIn() : ORenderWindow(SCREEN_MENU) {}
  void Enter() override {
    ORenderWindow::Enter();
    ++entered;
  }
  int entered = 0;
};

inline std::string GameArchive() { return std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr"; }

// Everything a screen needs from the application. Use inside a ScratchDir.
struct TestApp {
  MessageRecorder recorder;  // outlives the window, whose tear-down may report
  OApplication app;
  MenuStandIn* menu = nullptr;

  // The screens go while the context is still there: their pictures and models need it.
  ~TestApp() { app.Unload(); }

  // False (after a skip reason) when there is no display or no built archive.
  bool Open() {
    if (!HaveDisplay() || !FileExists(GameArchive())) return false;
    WriteFile("Data/Config.Cfg", WindowedConfigText(10));
    if (std::system(("cp '" + GameArchive() + "' Data/Resource.Tkr").c_str()) != 0) return false;
    GetConfig().Load();
    app.Create("3D", "Brikon 3D test", 640, 480, false);
    if (!app.HasContext() || !app.MakeCurrent()) return false;
    if (!GetResource().Open()) return false;
    app.font = new OFont("Font.Tga");
    app.font->Build(65534);
    app.camera = new OCamera(app.width, app.height, 60.0f, 1.0f, 1024.0f);
    app.camera->SetPosition(0.0f, 0.0f, -64.0f);
    app.camera->LookAt(0.0f, 0.0f, 0.0f);
    app.light = new OLight(0);
    app.gameSpeed = static_cast<i32>(GetConfig().gameSpeed);
    menu = new MenuStandIn();
    app.AddScreen(menu);
    return true;
  }
};

// One frame as the application draws it.
inline void DrawFrame(ORenderWindow& screen) {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  screen.Draw();
  glFinish();
}

// The frame buffer, RGB rows bottom first.
inline std::vector<u8> ReadFrame(int w, int h) {
  std::vector<u8> rgb(static_cast<size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// Saves the frame as build/screenshots/<name>.tga (top row first) for looking at.
inline void SaveFrame(const std::string& name, int w, int h) {
  const std::vector<u8> rgb = ReadFrame(w, h);
  std::vector<u8> out(18, 0);
  out[2] = 2;
  out[12] = w & 0xFF;
  out[13] = w >> 8;
  out[14] = h & 0xFF;
  out[15] = h >> 8;
  out[16] = 24;
  out[17] = 0x20;
  for (int row = h - 1; row >= 0; --row) {
    const u8* p = rgb.data() + static_cast<size_t>(row) * w * 3;
    for (int i = 0; i < w * 3; i += 3) out.insert(out.end(), {p[i + 2], p[i + 1], p[i]});
  }
  const std::string folder = std::string(BRIKON_BINARY_DIR) + "/screenshots";
  std::system(("mkdir -p '" + folder + "'").c_str());
  WriteFile(folder + "/" + name + ".tga", std::string(out.begin(), out.end()));
}

// Input at an overlay point of a w x h window (window pixels, y downwards).
inline OInputEvent At(u32 type, f32 vx, f32 vy, int w, int h) {
  OInputEvent e;
  e.type = type;
  e.x = static_cast<u16>(vx * w / 512.0f);
  e.y = static_cast<u16>(h - vy * h / 512.0f);
  return e;
}

inline OInputEvent KeyDown(u16 key) {
  OInputEvent e;
  e.type = EV_KEYDOWN;
  e.key = key;
  return e;
}

// A left click (press, release) at an overlay point.
inline void Click(ORenderWindow& screen, f32 vx, f32 vy) {
  screen.HandleInput(At(EV_MOUSEMOVE, vx, vy, screen.width, screen.height));
  screen.HandleInput(At(EV_BUTTONDOWN, vx, vy, screen.width, screen.height));
  screen.HandleInput(At(EV_BUTTONUP, vx, vy, screen.width, screen.height));
}

}  // namespace options_help_test
