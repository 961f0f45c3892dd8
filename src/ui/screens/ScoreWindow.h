#pragma once
// The high-score screen (screen 206): one of the two tables, classic or modern, ten rows of name
// and score. Browsed from the main menu with two arrows; opened by the game after a score that
// qualifies, it first asks for the player's name on the row the score will take.
#include "shell/RenderWindow.h"
#include "core/Types.h"

class OButton2D;
class OGameLink;
class OTextField;
class OTop;

// Command ids of the screen's controls.
constexpr u32 CMD_SCORES_MENU = 303;
constexpr u32 CMD_SCORES_NAME = 501;
constexpr u32 CMD_SCORES_LEFT = 502;
constexpr u32 CMD_SCORES_RIGHT = 503;

// The name recorded for an empty or all-blank entry.
extern const char* const SCORE_NO_NAME;

class OScoreWindow : public ORenderWindow {
public:
  OScoreWindow();

  // Name entry when a game has just ended with a qualifying score, else browsing the classic
  // table.
  void Enter() override;
  // Records a name still being typed (as RecordName) and hides the name field, whatever way the
  // screen is left: also when the window closes at the name prompt.
  void Leave() override;
  void Draw() override;
  // The Menu button, the two arrows and the hidden name field; throws OFileNotFound when a
  // picture is missing.
  bool Load() override;
  // Esc records a pending name and returns to the menu; Ctrl minimises the window.
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;

  // Enters the typed name ("NoName" when blank) with the game's score into the current table,
  // which saves it, and zeroes the score so that it is recorded once.
  void RecordName();
  // Row r (0..9) of the table, in overlay units from the bottom.
  i32 RowY(i32 row) const;
  // Menu and both arrows visible and enabled, or hidden and disabled.
  void ShowButtons(bool show);
  OTop* TableOf(i32 index) const;

  f32 rowScale = 0.95f;
  f32 textX = 35.0f;    // overlay units
  f32 scoreX = 380.0f;
  f32 topOffset = 95.0f;
  f32 rowSpacing = 0.95f * 32.0f;
  OButton2D* menuButton = nullptr;  // owned through the control list
  OButton2D* leftArrow = nullptr;
  OButton2D* rightArrow = nullptr;
  OTextField* nameField = nullptr;
  i32 tableIndex = 0;       // 0 classic, 1 modern
  bool enteringName = false;
  i32 entryRank = 0;        // 1..10 while entering a name
  OGameLink* game = nullptr;  // the game screen; not owned
  OTop* currentTable = nullptr;  // one of the game's tables; not owned
};
