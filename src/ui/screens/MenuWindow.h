#pragma once
// The main menu (screen 201): the hub of the game. Six image buttons lead to the game, the
// episode selection, options, high scores, help and out; above them the game's title turns
// slowly with a chrome-like reflection and a spinning ball at its left end.
#include <string>

#include "assets/Model.h"
#include "shell/RenderWindow.h"
#include "core/Types.h"

class OButton2D;
class OTexture;

// Command ids of the menu's buttons.
constexpr u32 CMD_MENU_CONTINUE = 207;
constexpr u32 CMD_MENU_NEW = 300;
constexpr u32 CMD_MENU_OPTIONS = 301;
constexpr u32 CMD_MENU_HELP = 302;
constexpr u32 CMD_MENU_TOP = 307;
constexpr u32 CMD_MENU_EXIT = 309;

// The line at the bottom left of the menu.
extern const char* const MENU_COPYRIGHT;

// Ms of a menu left alone before the demo starts.
constexpr i32 DEMO_IDLE_TIME = 30000;

class OMenuWindow : public ORenderWindow {
public:
  OMenuWindow();
  ~OMenuWindow() override;

  // Continue is offered only while there is a game to go back to (in memory or saved).
  void Enter() override;
  void Leave() override;
  void Draw() override;
  // Turns the title: 1.25 radians per second.
  void Update(u32 elapsedMs) override;
  // The buttons, the title and ball models and their textures; throws OFileNotFound when a
  // picture or model is missing.
  bool Load() override;
  // Esc saves the settings and moves the keyboard focus to Exit (it does not quit); Ctrl
  // minimises the window.
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;

  OButton2D* newButton = nullptr;  // all six owned through the control list
  OButton2D* exitButton = nullptr;
  OButton2D* continueButton = nullptr;
  OButton2D* optionsButton = nullptr;
  OButton2D* helpButton = nullptr;
  OButton2D* topButton = nullptr;
  OModel title;
  OModel ball;
  OTexture* titleTexture = nullptr;       // owned
  OTexture* reflectionTexture = nullptr;  // owned
  f32 angle = 0.0f;  // radians, never wrapped; runs only while the menu is current
  // Ms without any input on the menu; at DEMO_IDLE_TIME the game plays a demo (when no game of
  // the player's is in memory, which the demo's would replace).
  i32 idleMs = 0;

private:
  OButton2D* AddButton(const std::string& word, u32 commandId, f32 x, f32 y, f32 w, f32 hx,
                       f32 hy, f32 hw);
  void PlayClick();
};
