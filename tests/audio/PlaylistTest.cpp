#include <gtest/gtest.h>

#include <set>

#include "AudioTestUtil.h"
#include "audio/Playlist.h"
#include "core/Random.h"

namespace {
// A list of n one-byte "tracks" 0..n-1, so the order can be read back.
OPlaylist Numbered(int n) {
  OPlaylist list;
  for (int i = 0; i < n; ++i) list.AddTrack({static_cast<u8>(i)});
  return list;
}
std::vector<int> Order(const OPlaylist& list) {
  std::vector<int> order;
  for (const auto& t : list.tracks) order.push_back(t.empty() ? -1 : t[0]);
  return order;
}
}  // namespace

// The shuffle's swaps, in their order; an empty list is safe.
TEST(Playlist, ShuffleRules) {
  // From seed 1 the draws are 41, 18467, 6334, 26500, 19169, 15724, 11478: track 0 swaps with
  // 41 % 6 = 5, then track i with i + r % (7 - i) for i = 1..6.
  OPlaylist seven = Numbered(7);
  SeedRandom(1);
  seven.ShuffleOrder();
  EXPECT_EQ(Order(seven), (std::vector<int>{5, 6, 1, 3, 2, 0, 4}));

  OPlaylist none;
  none.Shuffle();
  EXPECT_EQ(none.Next(), nullptr);  // an empty list has no track
  EXPECT_EQ(none.Current(), nullptr);

  // The menu list replays its one track; Next always drops the saved position.
  OPlaylist menu = Numbered(1);
  menu.position = 1234;
  ASSERT_NE(menu.Next(), nullptr);
  EXPECT_EQ(menu.index, 0);
  EXPECT_EQ(menu.position, 0u);
}

// Seven game tracks: the whole shuffled order plays before any repeats, then a new order begins.
TEST(Playlist, GameListPlaysItsWholeOrderBeforeRepeating) {
  OPlaylist game = Numbered(7);
  game.Shuffle();
  game.index = 0;
  for (int round = 0; round < 5; ++round) {
    std::set<int> heard;
    heard.insert((*game.Current())[0]);
    for (int i = 1; i < 7; ++i) {
      game.position = 99;
      const std::vector<u8>* t = game.Next();
      EXPECT_EQ(game.position, 0u);
      EXPECT_TRUE(heard.insert((*t)[0]).second) << "repeat within a round";
    }
    EXPECT_EQ(heard.size(), 7u);
    EXPECT_EQ(game.index, 6);
    game.Next();  // past the last: reshuffled, back to the start
    EXPECT_EQ(game.index, 0);
  }
}

// Building the lists at load from the archive: names in order, one shuffle, one step, a missing
// track kept as an empty entry.
TEST(Playlist, BuildingTheLists) {
  ScratchDir dir;
  audiotest::WriteMusicArchive("", "Data/Music/05_Modern.Xm");
  OPlaylist game, menu;
  BuildPlaylists(game, menu);
  ASSERT_EQ(game.Count(), 7u);
  ASSERT_EQ(menu.Count(), 1u);
  EXPECT_EQ(game.index, 1);  // the first game track played is the second of the order
  std::set<std::string> names;
  size_t empty = 0;
  for (const auto& t : game.tracks) {
    if (t.empty()) ++empty;
    names.insert(std::string(t.begin(), t.end()));
  }
  EXPECT_EQ(empty, 1u);
  EXPECT_EQ(names.size(), 7u);
}
