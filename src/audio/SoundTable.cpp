#include "audio/SoundTable.h"

#include "audio/SoundPlayer.h"

#define BOMB "Data/Sounds/bomb_explosion.wav"
#define ROCKET "Data/Sounds/rocket_fire.wav"
#define HEAVY "Data/Sounds/exp_normal3.wav"

const OSoundFile SOUND_FILES[] = {
    {SND_HIT_BLOCK, "Data/Sounds/hit_block.wav"},
    {SND_NEXT_LEVEL, "Data/Sounds/next_level.wav"},
    {SND_CLICK_MENU, "Data/Sounds/click_menu.wav"},
    {SND_HIT_WALL, "Data/Sounds/hit_wall.wav"},
    {SND_GET_BONUS, "Data/Sounds/get_bonus.wav"},
    {SND_SMALL_PLAYER, "Data/Sounds/small_player.wav"},
    {SND_EXPAND_PLAYER, "Data/Sounds/expand_player.wav"},
    {SND_BALL_LOST, "Data/Sounds/ball_lost.wav"},
    {SND_GAME_OVER, "Data/Sounds/game_over.wav"},
    {10, BOMB}, {15, BOMB}, {16, BOMB}, {17, BOMB}, {18, BOMB}, {19, BOMB}, {20, BOMB}, {21, BOMB},
    {22, ROCKET}, {23, ROCKET}, {24, ROCKET}, {25, ROCKET}, {26, ROCKET},
    {27, ROCKET}, {28, ROCKET}, {29, ROCKET}, {30, ROCKET}, {31, ROCKET},
    {SND_STAGE_CLEAR, "Data/Sounds/stage_clear.wav"},
    {SND_TIME_UP, "Data/Sounds/time_up.wav"},
    {50, "Data/Sounds/ballbatlow_1.wav"},
    {51, "Data/Sounds/ballbatlow_2.wav"},
    {52, "Data/Sounds/ballbatlow_3.wav"},
    {101, HEAVY}, {102, HEAVY}, {103, HEAVY}, {104, HEAVY}, {105, HEAVY}, {106, HEAVY},
};

const size_t SOUND_FILE_COUNT = sizeof(SOUND_FILES) / sizeof(SOUND_FILES[0]);

size_t RegisterGameSounds(OSoundPlayer& player) {
  size_t read = 0;
  for (size_t i = 0; i < SOUND_FILE_COUNT; ++i)
    if (player.Register(SOUND_FILES[i].id, SOUND_FILES[i].file)) ++read;
  return read;
}
