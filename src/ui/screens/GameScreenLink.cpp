#include "ui/screens/GameScreenLink.h"

#include "shell/RenderWindow.h"

#include "game/GameWindow.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"

namespace {

class OGameScreenLink : public OGameLink {
public:
  explicit OGameScreenLink(OGameWindow* game) : game(game) {}

  void SetEpisode(i32 episode) override { game->episodeIndex = episode; }
  i32 Episode() const override { return game->episodeIndex; }
  // No bat before the first game: nothing scored.
  i32 Score() const override { return game->bat != nullptr ? game->bat->score : 0; }
  void SetScore(i32 score) override {
    if (game->bat != nullptr) game->bat->score = score;
  }
  u32 LevelState() const override {
    return game->grid != nullptr ? static_cast<u32>(game->grid->status) : 0;
  }
  OTop* ClassicTable() override { return &game->classicTable; }
  OTop* ModernTable() override { return &game->modernTable; }

private:
  OGameWindow* game;  // not owned
};

}  // namespace

std::unique_ptr<OGameLink> MakeGameLink(ORenderWindow* gameScreen) {
  auto* game = dynamic_cast<OGameWindow*>(gameScreen);
  if (game == nullptr) return nullptr;
  return std::make_unique<OGameScreenLink>(game);
}

