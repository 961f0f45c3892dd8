#include "ui/screens/SelectWindow.h"

#include <GL/gl.h>

#include "scene/Camera.h"
#include "scene/Font.h"
#include "shell/Application.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"
#include "ui/screens/GameLink.h"
#include "ui/screens/MenuKeys.h"
#include "ui/screens/MenuWindow.h"

namespace {

struct OEpisodeButtonPlace {
  const char* model;
  f32 x, y, z;  // world units; the camera stands at z -64 looking at the origin
};

// Classic on the upper row, modern on the lower, easiest on the left.
const OEpisodeButtonPlace EPISODE_PLACES[EPISODE_COUNT] = {
    {"Episodes/CDemo.Zmod", -3.0f, 2.25f, -55.1f},  {"Episodes/CNormal.Zmod", 0.0f, 2.25f, -55.1f},
    {"Episodes/CHard.Zmod", 3.0f, 2.25f, -55.1f},   {"Episodes/MDemo.Zmod", -3.0f, -0.5f, -55.1f},
    {"Episodes/MNormal.Zmod", 0.0f, -0.5f, -55.1f}, {"Episodes/MHard.Zmod", 3.0f, -0.5f, -55.1f},
};

}  // namespace

const char* EpisodeDifficulty(i32 episode) {
  switch (episode) {
    case 0: return "Difficulty Easy, 15 levels";
    case 3: return "Difficulty Easy, 20 levels";
    case 1:
    case 4: return "Difficulty Normal, 25 levels";
    case 2:
    case 5: return "Difficulty Hard, 35 levels";
    default: return "";
  }
}

OSelectWindow::OSelectWindow() : ORenderWindow(SCREEN_SELECT) {}

bool OSelectWindow::Load() {
  // Not a tab stop: Tab only walks the episodes.
  menuButton = new OButton2D(CMD_BACK_TO_MENU, false);
  AddControl(menuButton);
  menuButton->LoadImages("Menu/nMenu.Tga", "Menu/aMenu.Tga", "Menu/mMenu.Tga");
  menuButton->SetRect(194, 44, 163.84f, 27.3f);
  menuButton->SetHitRect(229, 44, 93.84f, 27.3f);

  for (i32 i = 0; i < EPISODE_COUNT; ++i) {
    OButton* button = new OButton(CMD_EPISODE_FIRST + static_cast<u32>(i), true);
    episodes[i] = button;
    button->Load(EPISODE_PLACES[i].model);
    button->SetPosition(EPISODE_PLACES[i].x, EPISODE_PLACES[i].y, EPISODE_PLACES[i].z);
    AddControl(button);  // after placing: attaching takes the bounds where the model stands
    // A loaded model shows all its objects; the normal face and the highlighted face lie in
    // one plane, so every episode would start looking highlighted.
    button->Unhighlight();
  }
  // The keyboard starts on the first episode; the Menu button comes after the last.
  keyboardOrder.assign(episodes, episodes + EPISODE_COUNT);
  keyboardOrder.push_back(menuButton);
  return true;
}

void OSelectWindow::Enter() { ORenderWindow::Enter(); }

i32 OSelectWindow::HighlightedEpisode() const {
  for (i32 i = 0; i < EPISODE_COUNT; ++i) {
    if (episodes[i] != nullptr && episodes[i]->highlighted) return i;
  }
  return -1;
}

void OSelectWindow::Draw() {
  glDisable(GL_LIGHTING);
  ORenderWindow::Draw();
  Ortho2D(512, 512);
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font == nullptr) return;

  const char* heading = "SELECT EPISODE";
  font->Print(256.0f - 0.5f * font->TextWidth(heading), 445.0f, heading, 0, true, 1.0f);
  font->Print(textX, 417.0f, "Classic", 0, true, 1.0f);
  font->Print(textX, 278.0f, "Modern", 0, true, 1.0f);

  font->colour.SetWithAlpha(0.670588f, 0.690196f, 0.717647f, -1.0f);
  const i32 shown = HighlightedEpisode();
  if (shown >= 0) {
    // Eleven lines below the description's top: 512 - 140 - 20 * 11 = 152.
    const f32 y = static_cast<f32>(
        static_cast<i32>(512.0f - descriptionOffset - lineHeight * 11.0f));
    font->Print(textX, y, EpisodeDifficulty(shown), 0, true, descriptionScale);
  }
  font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
}

bool OSelectWindow::HandleInput(const OInputEvent& event) {
  return ORenderWindow::HandleInput(event) || HandleMenuKeys(app, event, [this] {
           if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
         });
}

bool OSelectWindow::OnCommand(u32 commandId, u32) {
  if (app == nullptr) return false;
  if (commandId >= CMD_EPISODE_FIRST && commandId <= CMD_EPISODE_LAST) {
    // A new game replaces whatever was saved for resuming.
    app->savedGameAvailable = 0;
    app->gameRequest = GAME_REQUEST_NEW;
    if (game != nullptr) game->SetEpisode(static_cast<i32>(commandId - CMD_EPISODE_FIRST));
    app->SwitchScreen(SCREEN_GAME);
    return true;
  }
  if (commandId == CMD_BACK_TO_MENU) {
    app->SwitchScreen(SCREEN_MENU);
    return true;
  }
  return false;
}
