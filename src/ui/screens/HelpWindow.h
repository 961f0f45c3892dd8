#pragma once
// The help screen: four pages turned with two arrow buttons (how the game is played, the ten
// bonuses as spinning models with a line each, the two game modes, and the people who made the
// game). The Menu button and Esc go back to the main menu.
#include <string>
#include <vector>

#include "shell/RenderWindow.h"
#include "core/Types.h"

class OBonusSet;
class OButton2D;
class OModel;

constexpr u32 CMD_HELP_MENU = 303;
constexpr u32 CMD_HELP_LEFT = 601;
constexpr u32 CMD_HELP_RIGHT = 602;

constexpr i32 HELP_PAGE_LAST = 4;
constexpr i32 HELP_BONUS_TYPES = 10;
// Spin of the bonus models, radians per millisecond (0.625 per second).
constexpr f32 HELP_SPIN_RATE = 0.000625f;

// One line of a help page: its line number k, its text, whether it is a heading (white with a
// shadow) or body text, and whether it stands in the page's second column.
struct OHelpLine {
  i32 k;
  std::string text;
  bool heading;
  bool secondColumn;
};

// One page: title, where its lines go (overlay units) and the lines.
struct OHelpPage {
  std::string title;
  f32 columnX;
  f32 secondColumnX;
  f32 lineHeight;
  std::vector<OHelpLine> lines;
};

// The text of page 0..HELP_PAGE_LAST (the bonus page's descriptions included); an empty page
// for other numbers.
const OHelpPage& HelpPage(i32 page);
// Overlay y of line k of a page: trunc(512 - 95 - lineHeight * k).
i32 HelpLineY(f32 lineHeight, i32 k);
// Where the model of bonus type t stands on the bonus page: the overlay point 10 units above
// its text line, left column x 50, right column x 275.
void HelpBonusPoint(i32 type, f32& vx, f32& vy);

class OHelpWindow : public ORenderWindow {
public:
  explicit OHelpWindow(u32 id = SCREEN_HELP);
  ~OHelpWindow() override;

  // Page 0 and a copy of each bonus template placed on the bonus page.
  void Enter() override;
  // Deletes the bonus models and gives the font back its white.
  void Leave() override;
  void Draw() override;
  // Spins the bonus models.
  void Update(u32 elapsedMs) override;
  bool Load() override;
  // Esc returns to the menu; Ctrl minimises the window (ui/screens/MenuKeys.h).
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;

  f32 textScale = 0.7f;
  f32 columnX = 35.0f;
  f32 secondColumnX = 295.0f;
  f32 topOffset = 95.0f;
  f32 lineHeight = 16.8f;
  i32 page = 0;
  OBonusSet* bonusSet = nullptr;   // the game's, not owned; set by the application
  OModel* models[HELP_BONUS_TYPES] = {};  // owned; only while the screen is current
  OButton2D* menuButton = nullptr;   // owned by the control list
  OButton2D* rightArrow = nullptr;
  OButton2D* leftArrow = nullptr;

protected:
  // The click of the menus (sound 3).
  virtual void PlayClick();

private:
  void DrawModels();
  void DrawText(const OHelpPage& text);
  void DeleteModels();
};
