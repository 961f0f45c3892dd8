#pragma once
// The real application opened windowed at 640x480 under the virtual display with the game's own
// archive, font, camera and light, a stand-in main menu that counts its entries, and frame
// helpers. Use inside a ScratchDir; one application per process.
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

class MenuStandIn : public ORenderWindow {
public:
  MenuStandIn() : ORenderWindow(SCREEN_MENU) {}
  void Enter() override {
    ORenderWindow::Enter();
    ++entered;
  }
  int entered = 0;
};

struct TestApp {
  MessageRecorder recorder;  // outlives the window, whose tear-down may report
  OApplication app;
  MenuStandIn* menu = nullptr;

  // The screens go while the context is still there.
  ~TestApp() { app.Unload(); }

  // False when there is no display or no built archive.
  bool Open() {
    const std::string archive = std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr";
    if (!HaveDisplay() || !FileExists(archive)) return false;
    WriteFile("Data/Config.Cfg", WindowedConfigText(10));
    if (std::system(("cp '" + archive + "' Data/Resource.Tkr").c_str()) != 0) return false;
    GetConfig().Load();
    app.Create("3D", "Brikon 3D test", 640, 480, false);
    if (!app.HasContext() || !app.MakeCurrent() || !GetResource().Open()) return false;
    app.LoadFont("Font.Tga");
    app.camera = new OCamera(app.width, app.height, 60.0f, 1.0f, 1024.0f);
    app.camera->SetPosition(0.0f, 0.0f, -64.0f);
    app.camera->LookAt(0.0f, 0.0f, 0.0f);
    app.light = new OLight(0);
    app.gameSpeed = static_cast<i32>(GetConfig().gameSpeed);
    menu = new MenuStandIn();
    app.AddScreen(menu);
    return app.font != nullptr;
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
inline std::vector<u8> ReadFrame(int w, int h) { return ReadBackBuffer(w, h); }

// Near-white pixels: titles and headings (the backgrounds are dark).
inline int WhitePixels(const std::vector<u8>& rgb) {
  int n = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) n += rgb[i] > 230 && rgb[i + 1] > 230 && rgb[i + 2] > 230;
  return n;
}

// Keeps the frame as screenshots/<name>.png in the build folder, for looking at.
inline void SaveFrame(const std::string& name, int w, int h) {
  SavePicture("screenshots", name, w, h, ReadFrame(w, h));
}

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

// A left click (move, press, release) at an overlay point.
inline void Click(ORenderWindow& screen, f32 vx, f32 vy) {
  for (u32 type : {EV_MOUSEMOVE, EV_BUTTONDOWN, EV_BUTTONUP}) {
    screen.HandleInput(At(type, vx, vy, screen.width, screen.height));
  }
}

}  // namespace options_help_test
