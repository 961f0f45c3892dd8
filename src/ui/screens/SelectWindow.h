#pragma once
// The episode selection (screen 207): the three classic and the three modern episodes as 3D
// buttons in two rows. Pointing at one shows how hard and how long it is; choosing one starts a
// new game of it. The Menu button and Esc go back to the main menu.
#include "playfield/Levels.h"
#include "shell/RenderWindow.h"
#include "core/Types.h"

class OButton;
class OButton2D;
class OGameLink;

// Command ids: the episodes are 801..806 in episode order; the Menu button is 303.
constexpr u32 CMD_EPISODE_FIRST = 801;
constexpr u32 CMD_EPISODE_LAST = 806;
constexpr u32 CMD_BACK_TO_MENU = 303;

// The difficulty line of an episode (0..5); empty for any other index.
const char* EpisodeDifficulty(i32 episode);

class OSelectWindow : public ORenderWindow {
public:
  OSelectWindow();

  void Enter() override;
  void Draw() override;
  // The Menu button and the six episode buttons (tab stops in episode order); throws
  // OFileNotFound when a picture or model is missing.
  bool Load() override;
  // Esc returns to the menu; Ctrl minimises the window.
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;

  // The episode whose difficulty line shows: the first highlighted episode button, or -1.
  i32 HighlightedEpisode() const;

  OButton2D* menuButton = nullptr;              // owned through the control list
  OButton* episodes[EPISODE_COUNT] = {};        // likewise, in episode order
  OGameLink* game = nullptr;                    // the game screen; not owned
  f32 descriptionScale = 0.7f;
  f32 textX = 65.0f;          // overlay units
  f32 descriptionOffset = 140.0f;
  f32 lineHeight = 20.0f;
};
