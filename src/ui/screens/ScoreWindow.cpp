#include "ui/screens/ScoreWindow.h"

#include <cstdio>
#include <string>

#include <GL/gl.h>

#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "game/Top.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "scene/Glyphs.h"
#include "shell/Application.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/TextField.h"
#include "ui/screens/GameLink.h"
#include "ui/screens/MenuKeys.h"

const char* const SCORE_NO_NAME = "NoName";
const char* const NEW_SCORE_TITLE = "New high score!";
const char* const NEW_SCORE_HINT = "Type your name, then press Enter";

namespace {

constexpr i32 ROWS = 10;
constexpr i32 CLASSIC_EPISODES = 3;  // episodes 0..2 are classic, 3..5 modern

}  // namespace

OScoreWindow::OScoreWindow() : ORenderWindow(SCREEN_SCORES) {}

bool OScoreWindow::Load() {
  enteringName = false;

  menuButton = new OButton2D(CMD_SCORES_MENU, false);
  AddControl(menuButton);
  menuButton->LoadImages("Menu/nMenu.Tga", "Menu/aMenu.Tga", "Menu/mMenu.Tga");
  menuButton->SetRect(194, 44, 163.84f, 27.3f);
  menuButton->SetHitRect(229, 44, 93.84f, 27.3f);

  rightArrow = new OButton2D(CMD_SCORES_RIGHT, false);
  AddControl(rightArrow);
  rightArrow->LoadImages("Menu/nrArrow.Tga", "Menu/arArrow.Tga", "Menu/rArrowMask.Tga");
  rightArrow->SetRect(330, 30, 40.96f, 54.61f);
  rightArrow->SetHitRect(335, 40, 30.96f, 34.61f);

  leftArrow = new OButton2D(CMD_SCORES_LEFT, false);
  AddControl(leftArrow);
  leftArrow->LoadImages("Menu/nlArrow.Tga", "Menu/alArrow.Tga", "Menu/lArrowMask.Tga");
  leftArrow->SetRect(180, 30, 40.96f, 54.61f);
  leftArrow->SetHitRect(185, 40, 30.96f, 34.61f);

  // The only tab stop: while a name is typed, every key goes to it.
  nameField = new OTextField(app != nullptr ? app->font : nullptr, "", CMD_SCORES_NAME, true);
  nameField->SetPosition(200, 200);
  nameField->SetSize(320, 23);
  // Drawn as a field to type into: dark inside, a light edge.
  nameField->drawFill = true;
  nameField->fillColour.SetWithAlpha(0.06f, 0.08f, 0.12f, 1.0f);
  nameField->drawFrame = true;
  nameField->frameColour.SetWithAlpha(0.75f, 0.8f, 0.9f, 1.0f);
  nameField->hidden = true;
  // Only what the font draws as text, and no more than a table keeps.
  nameField->accepts = IsNameCharacter;
  nameField->maxLength = TOP_NAME_LENGTH;
  AddControl(nameField);

  currentTable = nullptr;
  tableIndex = 0;
  return true;
}

OTop* OScoreWindow::TableOf(i32 index) const {
  if (game == nullptr) return nullptr;
  return index == 0 ? game->ClassicTable() : game->ModernTable();
}

i32 OScoreWindow::RowY(i32 row) const {
  return static_cast<i32>(512.0f - topOffset - static_cast<f32>(row) * rowSpacing);
}

void OScoreWindow::ShowButtons(bool show) {
  for (OButton2D* b : {menuButton, leftArrow, rightArrow}) {
    if (b == nullptr) continue;
    b->hidden = !show;
    b->disabled = !show;
  }
}

void OScoreWindow::Enter() {
  ORenderWindow::Enter();
  rowSpacing = rowScale * 32.0f;
  textX = 35.0f;
  scoreX = 380.0f;
  topOffset = 95.0f;
  if (nameField != nullptr) nameField->SetText("");

  enteringName = false;
  entryRank = 0;
  // A game still in memory (left with Esc) is not over, whatever its level shows.
  const bool gameOver = app == nullptr || app->gameInProgress == 0;
  if (game != nullptr && gameOver && game->Score() != 0 && game->LevelState() != 0) {
    const i32 index = game->Episode() < CLASSIC_EPISODES ? 0 : 1;
    OTop* table = TableOf(index);
    // The rank is asked again of the table itself, so that a score that cannot enter it is
    // browsed instead of being typed onto a row that does not exist.
    if (table != nullptr && table->Qualifies(game->Score()) && table->rank >= 1 &&
        table->rank <= ROWS) {
      tableIndex = index;
      currentTable = table;
      enteringName = true;
      entryRank = table->rank;
      // Four units above the text of the row the score takes.
      nameField->SetPosition(
          static_cast<i16>(textX),
          static_cast<i16>(4 - static_cast<i32>((entryRank - 1) * rowSpacing + topOffset - 512.0f)));
      nameField->hidden = false;
      FocusControl(nameField);
      ShowButtons(false);
      return;
    }
  }
  tableIndex = 0;
  currentTable = TableOf(0);
  ShowButtons(true);
}

void OScoreWindow::Leave() {
  ORenderWindow::Leave();
  // Left while the name is still being typed (the window closed, the game quit): the score is
  // the player's all the same, under the name typed so far.
  if (enteringName) RecordName();
  if (nameField != nullptr) nameField->hidden = true;
}

void OScoreWindow::RecordName() {
  enteringName = false;
  if (game == nullptr) return;
  std::string name = nameField != nullptr ? nameField->text : std::string();
  if (name.empty() || (nameField != nullptr && nameField->IsBlank())) name = SCORE_NO_NAME;
  if (currentTable != nullptr) currentTable->Insert(name, game->Score());
  game->SetScore(0);
}

void OScoreWindow::Draw() {
  ORenderWindow::Draw();
  glColor3f(1.0f, 1.0f, 1.0f);
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  OFont* font = app != nullptr ? app->font : nullptr;

  if (font != nullptr) {
    font->colour.SetWithAlpha(0.670588f, 0.690196f, 0.717647f, -1.0f);
    char scoreText[16];
    if (currentTable != nullptr) {
      const i32 count = currentTable->Count();
      for (i32 row = 0; row < ROWS; ++row) {
        i32 entry = row;
        if (enteringName) {
          if (row == entryRank - 1) continue;  // the player's own row is drawn below
          if (row >= entryRank) entry = row - 1;  // the rest moves down one; the last drops off
        }
        if (entry >= count) continue;
        const OTopEntry& e = currentTable->Entry(entry);
        const f32 y = static_cast<f32>(RowY(row));
        font->Print(textX, y, e.name, 0, false, rowScale);
        std::snprintf(scoreText, sizeof scoreText, "%i", e.score);
        font->Print(scoreX, y, scoreText, 0, false, rowScale);
      }
    }
    if (enteringName && game != nullptr) {
      font->colour.SetWithAlpha(0.75f, 0.0f, 0.0f, -1.0f);
      std::snprintf(scoreText, sizeof scoreText, "%i", game->Score());
      font->Print(scoreX, static_cast<f32>(RowY(entryRank - 1)), scoreText, 0, false, rowScale);
    }
    font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
  }

  // The grid between the rows and between names and scores.
  glLineWidth(0.5f);
  glDisable(GL_TEXTURE_2D);
  glColor3ub(109, 114, 124);
  glBegin(GL_LINES);
  for (i32 k = 0; k < ROWS - 1; ++k) {
    const f32 y = 512.0f - (static_cast<f32>(k) * 32.0f * rowScale + topOffset);
    glVertex2f(textX, y);
    glVertex2f(477.0f, y);
  }
  glVertex2f(scoreX - 16.0f, 512.0f - (rowScale * 256.0f + topOffset) - 32.0f);
  glVertex2f(scoreX - 16.0f, 512.0f - topOffset + 32.0f);
  glEnd();
  glLineWidth(1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);

  if (font != nullptr) {
    const char* heading = tableIndex == 0 ? "CLASSIC" : "MODERN";
    font->Print(256.0f - 0.5f * font->TextWidth(heading), 445.0f, heading, 0, false, 1.0f);
    if (enteringName) {
      // Where the table's arrows and Menu button stand when browsing: what to do now.
      font->colour.SetWithAlpha(1.0f, 0.85f, 0.3f, -1.0f);
      font->Print(256.0f - 0.5f * font->TextWidth(NEW_SCORE_TITLE), 62.0f, NEW_SCORE_TITLE, 0, true, 1.0f);
      font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
      font->Print(256.0f - 0.5f * font->TextWidth(NEW_SCORE_HINT), 34.0f, NEW_SCORE_HINT, 0, true, 1.0f);
    }
  }
}

bool OScoreWindow::HandleInput(const OInputEvent& event) {
  if (ORenderWindow::HandleInput(event)) return true;
  // The tables turn with the arrows as with the arrow buttons, unless a name is being typed.
  if (event.type == EV_KEYDOWN && (event.key == VK_LEFT || event.key == VK_RIGHT) &&
      !enteringName) {
    return OnCommand(event.key == VK_LEFT ? CMD_SCORES_LEFT : CMD_SCORES_RIGHT, 1);
  }
  return HandleMenuKeys(app, event, [this] {
    // Only a name being typed is recorded: a score left in the game by a game still in
    // progress is not a finished game's.
    if (enteringName) RecordName();
    if (nameField != nullptr) nameField->hidden = true;
    ShowButtons(true);
    if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
  });
}

bool OScoreWindow::OnCommand(u32 commandId, u32) {
  switch (commandId) {
    case CMD_SCORES_MENU:
      if (app != nullptr && app->soundPlayer != nullptr) app->soundPlayer->Play(SND_CLICK_MENU);
      if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
      return true;
    case CMD_SCORES_NAME:
      if (nameField == nullptr || nameField->hidden) return false;
      RecordName();
      nameField->hidden = true;
      ShowButtons(true);
      return true;
    case CMD_SCORES_LEFT:
    case CMD_SCORES_RIGHT: {
      const bool left = commandId == CMD_SCORES_LEFT;
      // At either end the arrow does nothing, silently.
      if (left ? tableIndex >= 1 : tableIndex <= 0) {
        tableIndex += left ? -1 : 1;
        if (app != nullptr && app->soundPlayer != nullptr) app->soundPlayer->Play(SND_CLICK_MENU);
      }
      currentTable = TableOf(tableIndex);
      ShowButtons(true);
      return true;
    }
    default:
      return false;
  }
}
