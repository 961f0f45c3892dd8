#include "ui/screens/MenuWindow.h"

#include <cmath>

#include <GL/gl.h>

#include "assets/ModelData.h"
#include "assets/Texture.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/Application.h"
#include "core/Config.h"
#include "game/GameWindow.h"
#include "ui/controls/Button2D.h"
#include "ui/screens/MenuKeys.h"

const char* const MENU_COPYRIGHT = "Brikon 3D 2.0 (c) 2026 the Brikon team";

namespace {

// Every menu button picture is this tall, and its reacting area this much smaller (overlay units).
constexpr f32 BUTTON_HEIGHT = 54.6133f;
constexpr f32 BUTTON_HIT_HEIGHT = 33.6133f;

constexpr f32 TITLE_TURN_RATE = 0.00125f;  // radians per millisecond

}  // namespace

OMenuWindow::OMenuWindow() : ORenderWindow(SCREEN_MENU) {}

OMenuWindow::~OMenuWindow() {
  delete titleTexture;
  delete reflectionTexture;
}

OButton2D* OMenuWindow::AddButton(const std::string& word, u32 commandId, f32 x, f32 y, f32 w,
                                  f32 hx, f32 hy, f32 hw) {
  auto* button = new OButton2D(commandId, true);
  AddControl(button);
  button->LoadImages("Menu/n" + word + ".Tga", "Menu/a" + word + ".Tga", "Menu/m" + word + ".Tga");
  button->SetRect(x, y, w, BUTTON_HEIGHT);
  button->SetHitRect(hx, hy, hw, BUTTON_HIT_HEIGHT);
  return button;
}

bool OMenuWindow::Load() {
  // Added in this order so that Tab walks them top to bottom.
  continueButton = AddButton("Continue", CMD_MENU_CONTINUE, 90, 320, 326.68f, 157, 334, 196.68f);
  newButton = AddButton("New", CMD_MENU_NEW, 93, 272, 326.68f, 147, 286, 216.68f);
  optionsButton = AddButton("Options", CMD_MENU_OPTIONS, 89, 224, 326.68f, 173, 238, 165.68f);
  topButton = AddButton("Top", CMD_MENU_TOP, 169, 176, 163.84f, 187, 190, 135.84f);
  helpButton = AddButton("Help", CMD_MENU_HELP, 171, 128, 163.84f, 205, 142, 98.84f);
  exitButton = AddButton("Exit", CMD_MENU_EXIT, 215, 80, 82, 215, 94, 79.92f);

  // The title is lit with face normals so that its bevels catch the light as flat facets.
  title.Load("GameName.Zmod");
  title.ScaleUniform(0.65f);
  title.data->flatNormals = 1;
  title.data->invertNormals = 0;
  title.data->ComputeNormals();
  title.BuildLists();

  ball.Load("GnBall.Zmod");
  ball.ScaleUniform(0.0625f);
  ball.data->flatNormals = 0;
  ball.data->invertNormals = 0;
  ball.data->ComputeNormals();
  ball.BuildLists();

  titleTexture = new OTexture();
  titleTexture->Load("go.tga");
  reflectionTexture = new OTexture();
  reflectionTexture->Load("bricksj.jpg");

  if (app != nullptr) app->savedGameAvailable = GetConfig().savedLevel >= 1 && IsResumable(GetConfig()) ? 1 : 0;
  return true;
}

void OMenuWindow::Enter() {
  ORenderWindow::Enter();
  if (continueButton != nullptr) {
    continueButton->hidden = false;
    continueButton->disabled = true;
    if (app != nullptr && (app->gameInProgress == 1 || app->savedGameAvailable == 1)) {
      continueButton->disabled = false;
    }
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glShadeModel(GL_SMOOTH);
}

void OMenuWindow::Leave() { ORenderWindow::Leave(); }

void OMenuWindow::Update(u32 elapsedMs) {
  angle += static_cast<f32>(elapsedMs) * TITLE_TURN_RATE;
}

void OMenuWindow::Draw() {
  if (light != nullptr) light->Apply();
  if (camera != nullptr) {
    camera->SetPosition(0.0f, 0.0f, 64.0f);
    camera->LookAt(0.0f, 0.0f, 0.0f);
  }
  ORenderWindow::Draw();

  glEnable(GL_LIGHTING);
  if (titleTexture != nullptr) titleTexture->Bind();

  // The title stands upright and swings its face around a point behind the camera.
  title.SetPosition(0.0f, 24.0f, 0.0f);
  title.TurnTo(0.0f, 8192.0f, 0.0f, title.matrix.YAxis());
  title.TurnTo(8.0f * std::sin(angle), 20.0f + 12.0f * std::cos(angle), -64.0f,
               -title.matrix.ZAxis());
  title.Draw();

  // Reflection: the brick picture mapped as an environment over the title, faintly blended.
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  if (reflectionTexture != nullptr) reflectionTexture->Bind();
  title.SetAlpha(0.25f);
  title.Draw();
  title.SetAlpha(0.0f);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glEnable(GL_LIGHTING);

  // The ball sits at the title's left end and spins about its vertical axis.
  const OVector titleX = title.matrix.XAxis();
  ball.SetPosition(title.Position() - titleX * 7.25f);
  ball.TurnTo(0.0f, 10000.0f, 0.0f, ball.matrix.YAxis());
  const f32 ballY = ball.Position().y;
  ball.TurnTo(120.0f * std::sin(-angle) * titleX.x, ballY,
              120.0f * std::cos(-angle) * title.matrix.ZAxis().z, ball.matrix.XAxis());
  ball.Draw();

  Ortho2D(512, 512);
  if (app != nullptr && app->font != nullptr) {
    app->font->Print(5.0f, 0.0f, MENU_COPYRIGHT, 0, true, 0.5f);
  }

  // The other menu screens never move the camera: they draw their 3D controls from here.
  if (camera != nullptr) {
    camera->SetPosition(0.0f, 0.0f, -64.0f);
    camera->LookAt(0.0f, 0.0f, 0.0f);
  }
}

bool OMenuWindow::HandleInput(const OInputEvent& event) {
  return ORenderWindow::HandleInput(event) || HandleMenuKeys(app, event, [this] {
           GetConfig().Save();
           FocusControl(exitButton);
         });
}

void OMenuWindow::PlayClick() {
  if (app != nullptr && app->soundPlayer != nullptr) app->soundPlayer->Play(SND_CLICK_MENU);
}

bool OMenuWindow::OnCommand(u32 commandId, u32) {
  if (app == nullptr) return false;
  switch (commandId) {
    case CMD_MENU_CONTINUE:
      PlayClick();
      // A saved game wins over one in memory: it is what the player left last.
      if (app->savedGameAvailable) {
        app->savedGameAvailable = 0;
        app->gameRequest = GAME_REQUEST_RESUME;
        app->SwitchScreen(SCREEN_GAME);
        return true;
      }
      if (app->gameInProgress != 0) {
        if (app->gameInProgress == 1) app->gameRequest = GAME_REQUEST_CONTINUE;
        app->savedGameAvailable = 0;
        app->SwitchScreen(SCREEN_GAME);
        return true;
      }
      return false;
    case CMD_MENU_NEW:
      PlayClick();
      app->SwitchScreen(SCREEN_SELECT);
      return true;
    case CMD_MENU_OPTIONS:
      PlayClick();
      app->SwitchScreen(SCREEN_OPTIONS);
      return true;
    case CMD_MENU_HELP:
      PlayClick();
      app->SwitchScreen(SCREEN_HELP);
      return true;
    case CMD_MENU_TOP:
      PlayClick();
      app->SwitchScreen(SCREEN_SCORES);
      return true;
    case CMD_MENU_EXIT:
      GetConfig().Save();
      PlayClick();
      app->Quit();
      return true;
    default:
      return false;
  }
}
