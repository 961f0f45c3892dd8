#include "ui/screens/HelpWindow.h"

#include <GL/gl.h>

#include "assets/Model.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "objects/Bonus.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Light.h"
#include "shell/Application.h"
#include "ui/controls/Button2D.h"
#include "ui/screens/OverlayPlace.h"
#include "ui/screens/MenuKeys.h"

namespace {

constexpr f32 BODY_R = 0.670588f;
constexpr f32 BODY_G = 0.690196f;
constexpr f32 BODY_B = 0.717647f;
// Text pages set 24-unit lines at the text scale.
constexpr f32 TEXT_LINE = 0.7f * 24.0f;
constexpr f32 BONUS_LINE = 24.0f;
// The bonus models stand behind the overlay plane, facing the camera at z -64.
constexpr f32 BONUS_Z = -48.0f;
// The faint reflective shell round each bonus model, and the size the model is drawn at after.
constexpr f32 SHELL_SCALE = 1.125f;
constexpr f32 SHELL_SCALE_TALL = 1.25f;  // along y, for the tall two-balls capsule
constexpr f32 SHELL_ALPHA = 0.05f;
constexpr f32 MODEL_SCALE_AFTER = 0.888889f;

// Which line of the bonus page describes each bonus type, and in which column.
struct OBonusLine {
  i32 k;
  bool secondColumn;
};
constexpr OBonusLine BONUS_LINES[HELP_BONUS_TYPES] = {
    {1, false}, {3, false}, {5, false}, {7, false}, {9, false},
    {13, false}, {1, true}, {3, true}, {5, true}, {11, false}};

std::vector<OHelpPage> BuildPages() {
  std::vector<OHelpPage> pages(HELP_PAGE_LAST + 1);
  pages[0] = {"OVERVIEW", 35.0f, 0.0f, TEXT_LINE,
              {{0, "The goal of the game is to go through as", false, false},
               {1, "many levels as possible getting high scores.", false, false},
               {2, "You play in a 3D space with a bat against", false, false},
               {3, "a wall made of bricks of various colors.", false, false},
               {4, "Some of bricks are breakable (you should hit", false, false},
               {5, "them once or twice to break them) and some", false, false},
               {6, "are not. To complete the level you should", false, false},
               {7, "beat out all breakable bricks. Unbreakable", false, false},
               {8, "bricks will never disappear - just turn", false, false},
               {9, "around. If you miss the ball you lose your", false, false},
               {10, "life, and go on from the same place.", false, false},
               {12, "Bricks hide helpful and harmful bonuses", false, false},
               {13, "that you should catch or miss. All harmful", false, false},
               {14, "bonuses bring you additional points.", false, false}}};
  pages[1] = {"BONUSES", 75.0f, 295.0f, BONUS_LINE,
              {{1, "Extra life", false, false},
               {3, "Two more balls", false, false},
               {5, "Gun", false, false},
               {7, "Slows down the bat", false, false},
               {9, "Heavy ball", false, false},
               {11, "Key to the next level", false, false},
               {13, "Adds points", false, false},
               {1, "Explodes bricks ", false, true},
               {3, "Your bat widens", false, true},
               {5, "Your bat narrows", false, true}}};
  pages[2] = {"EPISODES", 35.0f, 0.0f, TEXT_LINE,
              {{0, "Classic", true, false},
               {1, "You play the level until you beat out all", false, false},
               {2, "breakable bricks. When you clear them out", false, false},
               {3, "you are brought to the next level.", false, false},
               {5, "Modern", true, false},
               {6, "You play in a long corridor where bricks", false, false},
               {7, "are placed in blocks. From time to time", false, false},
               {8, "blocks move closer to you. Your goal is", false, false},
               {9, "to clear as many bricks as you can in each", false, false},
               {10, "block until it passes. The more bricks you", false, false},
               {11, "beat out, the more points you get. The", false, false},
               {12, "game is finished when you go through the", false, false},
               {13, "entire corridor.", false, false}}};
  // Every key and button, the key in the first column and what it does in the second.
  pages[3] = {"CONTROLS", 35.0f, 225.0f, TEXT_LINE,
              {{0, "In the game", true, false},
               {1, "Mouse, arrows, WASD", false, false}, {1, "Move the bat", false, true},
               {2, "Click, Space, Enter", false, false}, {2, "Launch the ball, fire", false, true},
               {3, "P, Pause", false, false}, {3, "Pause and go on", false, true},
               {4, "Esc", false, false}, {4, "Back to the menu", false, true},
               {6, "Everywhere", true, false},
               {7, "Arrows, Tab", false, false}, {7, "Move between controls", false, true},
               {8, "Enter", false, false}, {8, "Press the control", false, true},
               {9, "Left, Right", false, false}, {9, "Change a value, turn pages", false, true},
               {10, "Alt+Enter, F11", false, false}, {10, "Window or full screen", false, true},
               {11, "F3", false, false}, {11, "Show the frame rate", false, true},
               {12, "Ctrl", false, false}, {12, "Minimise the game", false, true},
               {14, "Gamepad", true, false},
               {15, "Stick, D-pad", false, false}, {15, "Move the bat, the focus", false, true},
               {16, "A", false, false}, {16, "Launch, fire, press", false, true},
               {17, "B", false, false}, {17, "Back", false, true},
               {18, "Start", false, false}, {18, "Pause and go on", false, true}}};
  // The team that made the game; each name line starts with one space.
  pages[4] = {"CREDITS", 35.0f, 0.0f, TEXT_LINE,
              {{0, "Project Management & Programming", true, false},
               {1, " Tamsin Orlevko, Bram Quillet", false, false},
               {3, "Programmer consultant", true, false},
               {4, " Idris Vanterpool", false, false},
               {6, "3D Design & Art Works", true, false},
               {7, " Noor Heskamp, Lasse Ormund", false, false},
               {9, "Sound FX", true, false},
               {10, " Petra Zoljanic", false, false},
               {12, "Promotional assistance / Help Doc Design", true, false},
               {13, " Calla Brinwood", false, false},
               {15, "Level Design", true, false},
               {16, " Emrys Talbrecht, Tamsin Orlevko", false, false},
               {18, "Beta Testers", true, false},
               {19, " Juno Aldervane, Kesh Morrow, Wim Dalstra", false, false}}};
  return pages;
}

}  // namespace

const OHelpPage& HelpPage(i32 page) {
  static const std::vector<OHelpPage> pages = BuildPages();
  static const OHelpPage empty{"", 0.0f, 0.0f, 0.0f, {}};
  if (page < 0 || page > HELP_PAGE_LAST) return empty;
  return pages[static_cast<size_t>(page)];
}

i32 HelpLineY(f32 lineHeight, i32 k) {
  return static_cast<i32>(512.0f - 95.0f - lineHeight * static_cast<f32>(k));
}

void HelpBonusPoint(i32 type, f32& vx, f32& vy) {
  if (type < 0 || type >= HELP_BONUS_TYPES) type = 0;
  const OBonusLine& line = BONUS_LINES[type];
  vx = line.secondColumn ? 275.0f : 50.0f;
  vy = 10.0f + static_cast<f32>(HelpLineY(BONUS_LINE, line.k));
}

OHelpWindow::OHelpWindow(u32 id) : ORenderWindow(id) {}

OHelpWindow::~OHelpWindow() { DeleteModels(); }

void OHelpWindow::DeleteModels() {
  for (OModel*& m : models) {
    delete m;
    m = nullptr;
  }
}

bool OHelpWindow::Load() {
  page = 0;
  menuButton = new OButton2D(CMD_HELP_MENU, false);
  menuButton->LoadImages("Menu/nMenu.Tga", "Menu/aMenu.Tga", "Menu/mMenu.Tga");
  menuButton->SetRect(194.0f, 44.0f, 163.84f, 27.3f);
  menuButton->SetHitRect(229.0f, 44.0f, 93.84f, 27.3f);
  AddControl(menuButton);
  rightArrow = new OButton2D(CMD_HELP_RIGHT, false);
  rightArrow->LoadImages("Menu/nrArrow.Tga", "Menu/arArrow.Tga", "Menu/rArrowMask.Tga");
  rightArrow->SetRect(330.0f, 30.0f, 40.96f, 54.61f);
  rightArrow->SetHitRect(335.0f, 40.0f, 30.96f, 34.61f);
  AddControl(rightArrow);
  leftArrow = new OButton2D(CMD_HELP_LEFT, false);
  leftArrow->LoadImages("Menu/nlArrow.Tga", "Menu/alArrow.Tga", "Menu/lArrowMask.Tga");
  leftArrow->SetRect(180.0f, 30.0f, 40.96f, 54.61f);
  leftArrow->SetHitRect(185.0f, 40.0f, 30.96f, 34.61f);
  AddControl(leftArrow);
  return true;
}

void OHelpWindow::Enter() {
  ORenderWindow::Enter();
  page = 0;
  DeleteModels();
  if (bonusSet == nullptr) return;
  for (i32 t = 0; t < HELP_BONUS_TYPES; ++t) {
    const OBonus* prototype = bonusSet->templates[t];
    if (prototype == nullptr) continue;
    models[t] = new OModel(*prototype);
    if (camera == nullptr) continue;
    f32 vx = 0.0f, vy = 0.0f;
    HelpBonusPoint(t, vx, vy);
    PlaceAtOverlayPoint(*models[t], vx, vy, BONUS_Z, *camera);
  }
}

void OHelpWindow::Leave() {
  ORenderWindow::Leave();
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font != nullptr) {
    font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
    font->colour.SetAlpha(1.0f);
  }
  DeleteModels();
}

void OHelpWindow::Update(u32 elapsedMs) {
  const f32 angle = static_cast<f32>(elapsedMs) * HELP_SPIN_RATE;
  for (OModel* m : models) {
    if (m != nullptr) m->RotateAxis(angle, OVector{0.0f, 1.0f, 0.0f});
  }
}

void OHelpWindow::DrawModels() {
  glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
  if (light != nullptr) light->Disable();
  OLight white(4);
  white.SetColor(GL_AMBIENT, 1.0f, 1.0f, 1.0f, 1.0f);
  white.SetPosition(0.0f, 0.0f, -64.0f);
  white.Apply();
  glEnable(GL_LIGHTING);

  for (OModel* m : models) {
    if (m != nullptr) m->Draw();
  }
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  for (i32 t = 0; t < HELP_BONUS_TYPES; ++t) {
    OModel* m = models[t];
    if (m == nullptr) continue;
    m->SetScale(SHELL_SCALE, t == 1 ? SHELL_SCALE_TALL : SHELL_SCALE, SHELL_SCALE);
    m->SetAlpha(SHELL_ALPHA);
    m->Draw();
    // From the next frame on the solid pass is drawn a little smaller inside its shell.
    m->SetScale(MODEL_SCALE_AFTER, MODEL_SCALE_AFTER, MODEL_SCALE_AFTER);
    m->SetAlpha(0.0f);
  }
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  white.Disable();
  glPopAttrib();
}

void OHelpWindow::DrawText(const OHelpPage& text) {
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font == nullptr) return;
  columnX = text.columnX;
  secondColumnX = text.secondColumnX;
  lineHeight = text.lineHeight;

  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
  font->Print(256.0f - 0.5f * font->TextWidth(text.title), 445.0f, text.title, 0, true, 1.0f);
  for (const OHelpLine& line : text.lines) {
    if (line.heading) {
      font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
    } else {
      font->colour.SetWithAlpha(BODY_R, BODY_G, BODY_B, -1.0f);
    }
    const f32 x = line.secondColumn ? secondColumnX : columnX;
    const f32 y = static_cast<f32>(
        static_cast<i32>(512.0f - topOffset - lineHeight * static_cast<f32>(line.k)));
    font->Print(x, y, line.text, 0, line.heading, textScale);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

void OHelpWindow::Draw() {
  if (page < 0 || page > HELP_PAGE_LAST) return;
  ORenderWindow::Draw();
  if (page == 1) DrawModels();
  DrawText(HelpPage(page));
}

bool OHelpWindow::HandleInput(const OInputEvent& event) {
  if (ORenderWindow::HandleInput(event)) return true;
  // The pages turn with the arrows as with the arrow buttons.
  if (event.type == EV_KEYDOWN && event.key == VK_LEFT) return OnCommand(CMD_HELP_LEFT, 1);
  if (event.type == EV_KEYDOWN && event.key == VK_RIGHT) return OnCommand(CMD_HELP_RIGHT, 1);
  return HandleMenuKeys(app, event, [this] {
    if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
  });
}

bool OHelpWindow::OnCommand(u32 commandId, u32) {
  switch (commandId) {
    case CMD_HELP_MENU:
      PlayClick();
      if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
      return true;
    case CMD_HELP_LEFT:
      if (page > 0) {
        PlayClick();
        --page;
      }
      return true;
    case CMD_HELP_RIGHT:
      if (page < HELP_PAGE_LAST) {
        PlayClick();
        ++page;
      }
      return true;
    default:
      return false;
  }
}

void OHelpWindow::PlayClick() {
  if (app != nullptr && app->soundPlayer != nullptr) app->soundPlayer->Play(SND_CLICK_MENU);
}
