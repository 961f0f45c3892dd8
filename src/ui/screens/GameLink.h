#pragma once
// What the episode selection and high-score screens see of the game screen: the episode a new
// game starts with, the score a finished game leaves for its table, and the two tables. The game
// screen implements it; the menu screens never hold the game's objects themselves.
#include "core/Types.h"

class OTop;

class OGameLink {
public:
  virtual ~OGameLink() = default;

  // Episode index 0..5 (0..2 classic, 3..5 modern), read by the game when it starts a new game.
  virtual void SetEpisode(i32 episode) = 0;
  virtual i32 Episode() const = 0;
  // The bat's score; the high-score screen zeroes it once it has been recorded.
  virtual i32 Score() const = 0;
  virtual void SetScore(i32 score) = 0;
  // The level's status: non-zero once the game has ended (game over or episode complete).
  virtual u32 LevelState() const = 0;
  // The two tables, owned by the game screen.
  virtual OTop* ClassicTable() = 0;
  virtual OTop* ModernTable() = 0;
};
