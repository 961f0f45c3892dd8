#pragma once
// The soak itself: the real application plays episode after episode with the autoplayer, through
// the screens a player uses (the episode selection starts each game, a lost game is resumed from
// its level the way the menu resumes one, a qualifying score gets a name on the high-score
// screen). Each episode gets an equal share of the game time; the first part of each episode is
// drawn to the window and presented, the rest runs undrawn, as fast as the machine allows. A level
// that has had its share of the episode's time is ended the way the next-level bonus ends it, so
// that every episode reaches its end within its share.
#include <memory>

#include "SoakRecord.h"
#include "core/Types.h"

class OAutoPlayer;
class OGameWindow;
class ROdizovid;

struct OSoakOptions {
  double minutes = 60.0;       // game time of the whole run
  double drawnSeconds = 60.0;  // game time drawn at the start of each episode
  double everySeconds = 10.0;  // game time between two rows of the log
  u32 rounds = 1;              // times the run goes through the six episodes: each gets
                               // minutes / (6 x rounds) of game time
  u32 seed = 1;
};

class OSoakRun {
public:
  // The application must be loaded (its menu showing).
  OSoakRun(ROdizovid& app, const OSoakOptions& options, OSoakRecord& record);
  ~OSoakRun();
  OSoakRun(const OSoakRun&) = delete;
  OSoakRun& operator=(const OSoakRun&) = delete;

  // Plays the episodes 0..5 in turn, and again from 0 if time is left, until the run's game time
  // is reached; the game in progress then is left with Esc.
  void Run();

private:
  // Plays one episode from the selection screen until it ends or `endMs` (run time) is reached.
  void PlayEpisode(i32 episode, i64 endMs);
  // A new autoplayer for the game on screen, drawing or not.
  void NewPlayer();
  // One tick of the game, drawn and presented or not.
  void Tick(bool draw);
  // Frames of the screen showing (menu, high scores) drawn and presented, as the main loop would.
  void ShowScreen(int frames);
  // The game has ended: a name for a qualifying score, then back to the menu.
  void AfterGame();
  // Restarts the lost game at its level, from the resume record, the way the menu resumes one.
  bool ResumeAt(i32 episode, i32 level);
  // The things that must hold after every tick; a broken one is recorded as an error.
  void Check();
  void Sample();
  u32 CurrentScreen() const;

  ROdizovid& app;
  OGameWindow& game;
  OSoakOptions options;
  OSoakRecord& record;
  std::unique_ptr<OAutoPlayer> player;
  i64 runMs = 0;           // game time of the run so far
  i64 nextSampleMs = 0;
  i32 players = 0;         // autoplayers made, for their seeds
  bool drawing = false;
  double wallStart = 0.0;  // steady clock at the start, s
};
