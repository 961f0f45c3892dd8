// brikon-bench: what the real game costs per frame, scene by scene. It runs the game's own
// application (all six screens, the full content, music and sound as configured) in a window and
// plays scripted scenes through the game screen, the computer player giving the input:
//   menu              the main menu
//   classic           the classic level with the most bricks of the hard episode, in play
//   effects           the same level with three heavy balls and their trails, rockets in flight,
//                     a full firework pool, brick debris and the slowed bat with its trail
//   corridor          a corridor of the hard modern episode, in play
//   corridor-advance  the same corridor moving one stage toward the bat, stage after stage
//   burst             the classic level at a level's end: three bonuses in the field burst into
//                     fireworks one after another, again as soon as the last has faded
// Every frame runs the steps of the application's own frame with a fixed game clock of 16 ms,
// timed apart: the screen's Update (game logic), the drawing calls until they return, and
// glFinish plus the buffer swap (the rasteriser's work that the drawing calls queued). The CPU
// time of all the process's threads over the frame is kept too: on a machine shared with other
// work the wall times swing by a third from run to run, the CPU time far less.
// Then, apart: game ticks per second with drawing off, the time from a process start to its
// first main-menu frame at 800x600 (median of five), and the peak resident memory, with where the
// resident memory stood after each step of a run. The renderer's floor is measured too: a bare
// window of ours that only clears and swaps, and what such a process holds once the driver has
// drawn once; what the game adds is above it.
//
// Run it from the game folder, on a display (it works in a temporary copy of the folder's layout,
// so the player's settings and high scores are never touched):
//   cd build/game && SDL_AUDIODRIVER=dummy ../bench/brikon-bench [options]
//   --frames N   measured frames per scene (300)       --res 012  resolutions: 0 640x480,
//   --ticks N    ticks per drawing-off measure (5000)              1 800x600, 2 1024x768
//   --json FILE  also write the results as JSON
//   --scenes A,B only these scenes (all)
//   --profile    play the scenes of the first resolution in this process and skip the start-up
//                measure: for profilers that follow no fork (heaptrack, callgrind)
//   --shots DIR  keep four frames of each scene and size there (binary PPM)
//   --compare DIR  keep the frames (in --shots DIR, or a temporary folder) and print the PSNR of
//                each against the same frame in DIR, kept by an earlier run
// The window must fit the display: run Xvfb with a screen of at least 1024x768.
#include <GL/gl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "Frames.h"
#include "effects/BaseBound.h"
#include "effects/BloxExpl.h"
#include "effects/FireworkPool.h"
#include "effects/ParticleList.h"
#include "game/AutoPlayer.h"
#include "game/GameWindow.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Bullet.h"
#include "objects/Player.h"
#include "playfield/LevelCheck.h"
#include "playfield/Levels.h"
#include "playfield/VoxelMap.h"
#include "core/Config.h"
#include "app/Odizovid.h"
#include "core/Random.h"
#include "shell/RenderWindow.h"
#include "ui/screens/SelectWindow.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr u32 TICK_MS = 16;            // game time per frame and per tick
constexpr u32 SEED = 20261207;         // the computer player's seed: every run plays the same game
constexpr i32 CLASSIC_EPISODE = 2;     // classic, hard
constexpr i32 CORRIDOR_EPISODE = 5;    // modern, hard
constexpr int WARMUP_FRAMES = 60;      // unmeasured frames after a scene is set up
constexpr int DEBRIS_BURSTS = 16;      // brick debris kept bursting in the effects scene
constexpr int FIRE_EVERY = 30;         // frames between the bat's rockets in the effects scene
constexpr i32 BONUS_RENEW_MS = 1000;   // a timed bonus is taken again when this little is left
constexpr int BURST_BONUSES = 3;       // bonuses bursting together in the burst scene
const int WIDTHS[3] = {640, 800, 1024};
const int HEIGHTS[3] = {480, 600, 768};

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// A line of this process's status in MB: "VmHWM:" the peak resident memory, "VmRSS:" the present.
double StatusMb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
  }
  return 0.0;
}

double PeakMb() { return StatusMb("VmHWM:"); }

// One scene at one resolution: medians of the whole frame and of its three parts, ms.
struct Row {
  std::string scene;
  int width = 0;
  int height = 0;
  double median = 0, p95 = 0, p99 = 0, update = 0, draw = 0, swap = 0;
  double cpu = 0;  // CPU time of all the process's threads a frame, ms: the steadier measure
  double Fps() const { return median > 0 ? 1000.0 / median : 0.0; }
  // The game's own share of the frame: everything but the rasteriser's wait, percent.
  double Own() const { return median > 0 ? 100.0 * (update + draw) / median : 0.0; }
};

// Where resident memory stood after one step of a run at one resolution, MB.
struct Step {
  int width = 0;
  int height = 0;
  std::string name;
  double mb = 0;
};

// The bare window at one resolution: a frame that only clears and swaps, ms, and the peak
// resident memory of a process that has drawn once, MB.
struct Floor {
  int width = 0;
  int height = 0;
  double frameMs = 0;
  double peakMb = 0;
};

struct Results {
  std::vector<Row> rows;
  std::vector<Step> steps;
  std::vector<Floor> floors;
  double classicTicks = 0, effectsTicks = 0;  // game ticks per second, drawing off
  std::vector<double> startups;               // ms from process start to the first menu frame
  double peakMb = 0;
};

// Bricks of a classic level, breakable and unbreakable.
int CountBricks(i32 episode, i32 level) {
  const LevelSpan span = GetLevelBytes(episode, level);
  const u32 step = std::min(span.size, LevelStepBytes(episode));
  int count = 0;
  for (u32 i = 0; i < step; ++i) count += IsBreakableCode(span.data[i]) || IsUnbreakableCode(span.data[i]);
  return count;
}

i32 MostBricksLevel(i32 episode) {
  i32 best = 0;
  for (i32 level = 1; level < GetEpisodeInfo(episode).levelCount; ++level) {
    if (CountBricks(episode, level) > CountBricks(episode, best)) best = level;
  }
  return best;
}

f32 Between(f32 lo, f32 hi) { return lo + (hi - lo) * static_cast<f32>(Random()) / RANDOM_MAX; }

// One run of the game at one resolution, in a process of its own: the video system is set up
// once per process, as in the game.
class Session {
public:
  Session(int frames, FILE* out, std::string shots) : frames(frames), out(out), shots(std::move(shots)) {
    // The configuration gives the size and the window, as at the game's start.
    if (!app.Create("3D", "Brikon 3D 2.0", 640, 480, true)) std::exit(1);
    Note("window");
    if (!app.Load()) std::exit(1);
    game = static_cast<OGameWindow*>(app.game);
    Note("loaded");
  }

  // Writes where resident memory stands now, after the step `name`.
  void Note(const char* name) {
    std::fprintf(out, "step %d %d %s %f\n", app.width, app.height, name, StatusMb("VmRSS:"));
    std::fflush(out);
  }

  // `frames` measured frames after the warm-up; `keep` runs before each frame, untimed, to hold
  // the scene as scripted.
  Row Scene(const char* name, const std::function<void(int)>& keep) {
    for (int i = 0; i < WARMUP_FRAMES; ++i) Frame(i, keep);
    std::vector<double> total, update, draw, swap, cpu;
    advancing = 0;
    for (int i = 0; i < frames; ++i) {
      // Four frames spread over the scene are kept for comparing pictures across builds.
      const bool kept = !shots.empty() && (i == 0 || i == (frames - 1) / 3 ||
                                           i == 2 * (frames - 1) / 3 || i == frames - 1);
      const std::string shot = kept ? shots + "/" + name + "-" + std::to_string(app.width) + "x" +
                                          std::to_string(app.height) + "-" + std::to_string(i) + ".ppm"
                                    : "";
      const Times t = Frame(i, keep, shot);
      advancing += game->HasGame() && game->grid->transition;
      total.push_back(t.update + t.draw + t.swap);
      update.push_back(t.update);
      draw.push_back(t.draw);
      swap.push_back(t.swap);
      cpu.push_back(t.cpu);
    }
    Describe(name);
    Row row;
    row.scene = name;
    row.width = app.width;
    row.height = app.height;
    row.median = Percentile(total, 0.5);
    row.p95 = Percentile(total, 0.95);
    row.p99 = Percentile(total, 0.99);
    row.update = Percentile(update, 0.5);
    row.draw = Percentile(draw, 0.5);
    row.swap = Percentile(swap, 0.5);
    row.cpu = Percentile(cpu, 0.5);
    return row;
  }

  // A new game the way the player starts one: the episode selection, then the game's own level
  // start for a later level (as resuming a game does). Plays until the level has faded in or the
  // corridor has come forward; the computer player takes over from there.
  void StartGame(i32 episode, i32 level) {
    player.reset();
    app.SwitchScreen(SCREEN_SELECT);
    app.select->OnCommand(CMD_EPISODE_FIRST + static_cast<u32>(episode), 0);
    if (level > 0) {
      game->levelIndex = level;
      game->grid->SetLevel(episode, level);
      game->grid->StartLevel(level);
    }
    player = std::make_unique<OAutoPlayer>(*game, SEED, true);
    while (game->grid->transition) Frame(0, nullptr);
  }

  // Game ticks per second of the computer player with drawing off; `keep` as for Scene.
  double TicksPerSecond(int ticks, const std::function<void(int)>& keep) {
    player->drawing = false;
    double ms = 0.0;
    for (int i = -WARMUP_FRAMES; i < ticks; ++i) {
      if (keep) keep(i);
      const auto start = Clock::now();
      player->Tick();
      if (i >= 0) ms += Ms(start, Clock::now());
    }
    player->drawing = true;
    return ms > 0 ? ticks / (ms / 1000.0) : 0.0;
  }

  // The player never runs out of lives in a scripted scene.
  void KeepPlaying(int) { game->bat->lives = START_LIVES; }

  // The effects scene stays busy the way play makes it: the bat catches the bonus it lacks (one
  // a tick, as catching gives them: more balls, heavy, slow, gun) and fires; the firework pool is
  // kept full with bursts of the bonus firework, and bricks keep bursting into debris as under
  // rocket hits.
  void KeepEffects(int frame) {
    KeepPlaying(frame);
    OPlayer& bat = *game->bat;
    const OBallSet& balls = *game->ballSet;
    i32 want = -1;
    if (balls.launched && balls.balls.size() == 1) {
      want = BONUS_MORE_BALLS;
    } else if (balls.launched && balls.balls.size() == 3 &&
               std::any_of(balls.balls.begin(), balls.balls.end(),
                           [](const OBall* b) { return b->heavyTime < BONUS_RENEW_MS; })) {
      want = BONUS_HEAVY;
    } else if (bat.slowTime < BONUS_RENEW_MS) {
      want = BONUS_SLOW;
    } else if (bat.gunAmmo < GUN_SHOT_COST) {
      want = BONUS_GUN;
    }
    if (want >= 0 && bat.caughtBonus == nullptr) bat.caughtBonus = game->bonusSet->templates[want];
    if (frame % FIRE_EVERY == 0) bat.Fire();

    OVector min, max;
    game->grid->GetFieldBox(min, max);
    const OFirework* firework = game->bonusSet->fireworkTemplate;
    while (firework != nullptr && GetFireworkPool().ActiveCount() < FIREWORK_POOL_SLOTS) {
      auto* burst = new OFirework(*firework);
      burst->SetPosition({Between(min.x, max.x), Between(min.y, max.y), Between(min.z, max.z)});
      GetFireworkPool().Add(burst);
    }
    const auto& systems = GetParticleList().systems;
    int debris = static_cast<int>(std::count_if(systems.begin(), systems.end(), [](TkBaseBound* s) {
      return dynamic_cast<OBloxExpl*>(s) != nullptr;
    }));
    const auto& bricks = game->grid->blocks;
    for (; debris < DEBRIS_BURSTS && !bricks.empty(); ++debris) {
      auto* burst = static_cast<OBloxExpl*>(game->bulletSet->debrisTemplate->Clone());
      burst->emitter = bricks[static_cast<size_t>(Random()) % bricks.size()]->Position();
      burst->SetField(min, max);
      burst->Start();
      GetParticleList().Add(burst);
    }
  }

  // The corridor keeps advancing: once an advance is over, the bat catches the next-level bonus,
  // the stage ends and the game moves the corridor on. Before the last stage the corridor starts
  // over, so the episode never completes.
  void KeepAdvancing(int frame) {
    KeepPlaying(frame);
    if (game->grid->transition || game->bat->caughtBonus != nullptr) return;
    if (game->levelIndex + 1 >= game->levelCount) {
      game->levelIndex = 0;
      game->grid->StartLevel(0);
      return;
    }
    game->bat->caughtBonus = game->bonusSet->templates[BONUS_NEXT_LEVEL];
  }

  // A level's end as the player sees it when bonuses are still falling: three bonuses stand in
  // the field and are released one after another into fireworks; when the last firework has
  // faded, three more.
  void KeepBursting(int frame) {
    KeepPlaying(frame);
    OBonusSet& bonuses = *game->bonusSet;
    if (!bonuses.active.empty() || GetFireworkPool().ActiveCount() > 0) return;
    OVector min, max;
    game->grid->GetFieldBox(min, max);
    for (int i = 0; i < BURST_BONUSES; ++i) {
      const f32 t = (static_cast<f32>(i) + 1.0f) / (BURST_BONUSES + 1.0f);
      bonuses.Spawn(BONUS_MORE_BALLS + i, {min.x + (max.x - min.x) * t, (min.y + max.y) * 0.5f,
                                           min.z + (max.z - min.z) * t});
    }
    bonuses.Release();
  }

  ROdizovid app;
  OGameWindow* game = nullptr;
  std::unique_ptr<OAutoPlayer> player;

private:
  struct Times {
    double update, draw, swap;
    double cpu;  // CPU time of every thread of the process over the frame
  };

  // What the last measured frame held, on the error stream: to check that a scene is the one
  // it claims to be.
  void Describe(const char* name) const {
    std::fprintf(stderr, "  %s: screen %u", name, app.Current() ? app.Current()->id : 0);
    if (app.Current() == game && game->HasGame()) {
      const OBallSet& balls = *game->ballSet;
      const auto heavy = std::count_if(balls.balls.begin(), balls.balls.end(),
                                       [](const OBall* b) { return b->IsHeavy(); });
      std::fprintf(stderr,
                   ", level %d, %zu bricks, %zu balls (%ld heavy), %zu rockets, %d fireworks, "
                   "%zu particle systems, bat slowed %d ms, %d of the frames advancing",
                   game->levelIndex, game->grid->blocks.size(), balls.balls.size(),
                   static_cast<long>(heavy), game->bulletSet->bullets.size(),
                   GetFireworkPool().ActiveCount(), GetParticleList().Count(),
                   std::max(game->bat->slowTime, 0), advancing);
    }
    std::fprintf(stderr, "\n");
  }

  // One frame of the application's loop, step by step: the clear and the drawing count as
  // drawing; the computer player's input comes before the screen's Update, as events do.
  // `shot`, when not empty, is where the finished picture is written; the time that takes is left
  // out of the frame's.
  Times Frame(int index, const std::function<void(int)>& keep, const std::string& shot = "") {
    if (keep) keep(index);
    const double cpu = CpuMs();
    const auto start = Clock::now();
    app.ClearFrame();
    const auto cleared = Clock::now();
    if (player && app.Current() == game) player->Steer();
    app.UpdateScreen(TICK_MS);
    const auto updated = Clock::now();
    app.DrawScreen();
    const auto drawn = Clock::now();
    glFinish();
    const auto finished = Clock::now();
    const double cpuFinished = CpuMs();
    double cpuShot = 0.0;
    auto shotEnd = finished;
    if (!shot.empty()) {
      WritePpm(shot, ReadBackBuffer(app.width, app.height));
      shotEnd = Clock::now();
      cpuShot = CpuMs() - cpuFinished;
    }
    app.Present();
    const auto end = Clock::now();
    return {Ms(cleared, updated), Ms(start, cleared) + Ms(updated, drawn),
            Ms(drawn, finished) + Ms(shotEnd, end), CpuMs() - cpu - cpuShot};
  }

  int frames;
  FILE* out;
  std::string shots;  // where kept frames go; empty: none kept
  int advancing = 0;  // measured frames of the last scene during a crossfade or an advance
};

// Every scene at the configured resolution; the drawing-off measures too when `ticks` > 0.
// Writes result lines to `out`.
void RunSession(int frames, int ticks, const std::string& scenes, const std::string& shots, FILE* out) {
  Session s(frames, out, shots);
  auto emit = [&](const Row& r) {
    std::fprintf(out, "row %s %d %d %f %f %f %f %f %f %f\n", r.scene.c_str(), r.width, r.height, r.median,
                 r.p95, r.p99, r.update, r.draw, r.swap, r.cpu);
    s.Note(r.scene.c_str());
  };
  const i32 classicLevel = MostBricksLevel(CLASSIC_EPISODE);
  auto playing = [&](int f) { s.KeepPlaying(f); };
  auto effects = [&](int f) { s.KeepEffects(f); };

  auto wanted = [&](const char* name) {
    return scenes.empty() || ("," + scenes + ",").find("," + std::string(name) + ",") != std::string::npos;
  };
  if (wanted("menu")) emit(s.Scene("menu", nullptr));
  if (wanted("classic")) {
    s.StartGame(CLASSIC_EPISODE, classicLevel);
    emit(s.Scene("classic", playing));
  }
  if (wanted("effects")) {
    s.StartGame(CLASSIC_EPISODE, classicLevel);
    emit(s.Scene("effects", effects));
  }
  if (wanted("burst")) {
    s.StartGame(CLASSIC_EPISODE, classicLevel);
    emit(s.Scene("burst", [&](int f) { s.KeepBursting(f); }));
  }
  if (wanted("corridor") || wanted("corridor-advance")) {
    s.StartGame(CORRIDOR_EPISODE, 0);
    if (wanted("corridor")) emit(s.Scene("corridor", playing));
    if (wanted("corridor-advance")) emit(s.Scene("corridor-advance", [&](int f) { s.KeepAdvancing(f); }));
  }
  if (ticks > 0) {
    s.StartGame(CLASSIC_EPISODE, classicLevel);
    std::fprintf(out, "ticks classic %f\n", s.TicksPerSecond(ticks, playing));
    s.StartGame(CLASSIC_EPISODE, classicLevel);
    std::fprintf(out, "ticks effects %f\n", s.TicksPerSecond(ticks, effects));
  }
  std::fprintf(out, "peak %f\n", PeakMb());
  std::fflush(out);
}

// The configuration file of the temporary folder: the game's defaults, windowed, at a resolution.
void WriteConfig(int resolution) {
  OConfig& config = GetConfig();
  config.Reset();
  config.resolutionIndex = static_cast<u32>(resolution);
  config.fullscreen = 0;
  config.Save();
}

// Runs `child` in a forked process whose standard output comes back through a pipe; returns
// what it wrote, or an empty string when it failed.
std::string InChild(const std::function<void()>& child) {
  int fds[2];
  if (pipe(fds) != 0) return "";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    child();
    std::fflush(stdout);
    _exit(0);
  }
  close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 1;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || status != 0) return "";
  return text;
}

// Milliseconds from a fork to the first main-menu frame of the bench started anew in that process.
double StartupMs(const std::string& self) {
  int fds[2];
  if (pipe(fds) != 0) return 0;
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    execl(self.c_str(), self.c_str(), "--first-frame", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char c = 0;
  const bool shown = pid > 0 && read(fds[0], &c, 1) == 1;
  const double ms = Ms(start, Clock::now());
  close(fds[0]);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  return shown ? ms : 0.0;
}

// The process of a floor measure: a window of ours at the configured size that draws once (a
// lit, fogged, textured triangle, which brings in the driver's shader compiler as any game
// needs it), then only clears and swaps. Reports the median frame and the peak resident memory.
int FloorRun() {
  OGLWindow window;
  if (!window.Create("3D", "Brikon 3D floor", 640, 480, true)) return 1;
  const unsigned char texels[4 * 4 * 3] = {200, 120, 40};
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_FOG);
  glEnable(GL_DEPTH_TEST);
  glBegin(GL_TRIANGLES);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-0.5f, -0.5f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(0.5f, -0.5f);
  glTexCoord2f(0.5f, 1.0f);
  glVertex2f(0.0f, 0.5f);
  glEnd();
  glFinish();
  window.Present();
  std::vector<double> ms;
  for (int i = 0; i < WARMUP_FRAMES + 200; ++i) {
    const auto start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    window.Present();
    if (i >= WARMUP_FRAMES) ms.push_back(Ms(start, Clock::now()));
  }
  std::printf("floor %d %d %f %f\n", window.width, window.height, Percentile(ms, 0.5), PeakMb());
  std::fflush(stdout);
  _exit(0);
}

// Runs the floor measure in a process of its own (as a fresh start: nothing of ours loaded).
std::string FloorInChild(const std::string& self) {
  return InChild([&] {
    execl(self.c_str(), self.c_str(), "--floor", static_cast<char*>(nullptr));
    _exit(127);
  });
}

// The process a start-up measure runs: the game's start (window, loading, main menu) up to its
// first frame on the screen; then it reports and ends.
int FirstFrame() {
  ROdizovid app;
  if (!app.Create("3D", "Brikon 3D 2.0", 640, 480, true) || !app.Load()) return 1;
  app.Frame(0);
  glFinish();
  if (write(STDOUT_FILENO, "1", 1) != 1) return 1;
  _exit(0);
}

void Parse(const std::string& text, Results& results) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    char name[64] = {};
    Row r;
    double value = 0;
    if (std::sscanf(line.c_str(), "row %63s %d %d %lf %lf %lf %lf %lf %lf %lf", name, &r.width, &r.height,
                    &r.median, &r.p95, &r.p99, &r.update, &r.draw, &r.swap, &r.cpu) == 10) {
      r.scene = name;
      results.rows.push_back(r);
    } else if (std::sscanf(line.c_str(), "ticks %63s %lf", name, &value) == 2) {
      (std::strcmp(name, "classic") == 0 ? results.classicTicks : results.effectsTicks) = value;
    } else if (Step step; std::sscanf(line.c_str(), "step %d %d %63s %lf", &step.width, &step.height, name,
                                      &step.mb) == 4) {
      step.name = name;
      results.steps.push_back(step);
    } else if (Floor floor; std::sscanf(line.c_str(), "floor %d %d %lf %lf", &floor.width, &floor.height,
                                        &floor.frameMs, &floor.peakMb) == 4) {
      results.floors.push_back(floor);
    } else if (std::sscanf(line.c_str(), "peak %lf", &value) == 1) {
      results.peakMb = std::max(results.peakMb, value);
    }
  }
}

void Print(const Results& r) {
  std::printf("%-17s %-9s %9s %8s %8s %7s %9s %8s %8s %6s %7s\n", "scene", "size", "median ms",
              "p95 ms", "p99 ms", "fps", "update ms", "draw ms", "swap ms", "own %", "cpu ms");
  for (const Row& row : r.rows) {
    std::printf("%-17s %4dx%-4d %9.2f %8.2f %8.2f %7.1f %9.3f %8.3f %8.2f %6.1f %7.2f\n",
                row.scene.c_str(), row.width, row.height, row.median, row.p95, row.p99, row.Fps(),
                row.update, row.draw, row.swap, row.Own(), row.cpu);
  }
  std::printf("game ticks per second, drawing off: classic %.0f, effects %.0f\n", r.classicTicks,
              r.effectsTicks);
  std::printf("start-up to the first menu frame at 800x600: median %.0f ms of", Percentile(r.startups, 0.5));
  for (double ms : r.startups) std::printf(" %.0f", ms);
  std::printf("\npeak resident memory: %.1f MB\n", r.peakMb);
  for (size_t i = 0; i < r.steps.size(); ++i) {
    const Step& step = r.steps[i];
    if (i == 0 || step.width != r.steps[i - 1].width)
      std::printf("resident memory at %dx%d after each step, MB:", step.width, step.height);
    std::printf(" %s %.1f", step.name.c_str(), step.mb);
    if (i + 1 == r.steps.size() || r.steps[i + 1].width != step.width) std::printf("\n");
  }
  for (const Floor& f : r.floors) {
    std::printf("floor, a bare window at %dx%d that clears and swaps: %.2f ms a frame, %.1f MB peak "
                "resident\n", f.width, f.height, f.frameMs, f.peakMb);
  }
}

void WriteJson(const std::string& path, const Results& r) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return;
  std::fprintf(f, "{\n  \"scenes\": [\n");
  for (size_t i = 0; i < r.rows.size(); ++i) {
    const Row& row = r.rows[i];
    std::fprintf(f,
                 "    {\"scene\": \"%s\", \"width\": %d, \"height\": %d, \"median_ms\": %.3f, "
                 "\"p95_ms\": %.3f, \"p99_ms\": %.3f, \"fps\": %.1f, \"update_ms\": %.4f, "
                 "\"draw_ms\": %.4f, \"swap_ms\": %.3f, \"own_percent\": %.2f, \"cpu_ms\": %.3f}%s\n",
                 row.scene.c_str(), row.width, row.height, row.median, row.p95, row.p99, row.Fps(),
                 row.update, row.draw, row.swap, row.Own(), row.cpu, i + 1 < r.rows.size() ? "," : "");
  }
  std::fprintf(f, "  ],\n  \"ticks_per_second\": {\"classic\": %.0f, \"effects\": %.0f},\n",
               r.classicTicks, r.effectsTicks);
  std::fprintf(f, "  \"startup_ms\": {\"median\": %.1f, \"runs\": [", Percentile(r.startups, 0.5));
  for (size_t i = 0; i < r.startups.size(); ++i) std::fprintf(f, "%s%.1f", i ? ", " : "", r.startups[i]);
  std::fprintf(f, "]},\n  \"peak_resident_mb\": %.1f,\n  \"resident_mb_after\": [", r.peakMb);
  for (size_t i = 0; i < r.steps.size(); ++i) {
    const Step& step = r.steps[i];
    std::fprintf(f, "%s\n    {\"width\": %d, \"height\": %d, \"step\": \"%s\", \"mb\": %.1f}", i ? "," : "",
                 step.width, step.height, step.name.c_str(), step.mb);
  }
  std::fprintf(f, "\n  ],\n  \"floor\": [");
  for (size_t i = 0; i < r.floors.size(); ++i) {
    const Floor& fl = r.floors[i];
    std::fprintf(f, "%s\n    {\"width\": %d, \"height\": %d, \"frame_ms\": %.3f, \"peak_resident_mb\": %.1f}",
                 i ? "," : "", fl.width, fl.height, fl.frameMs, fl.peakMb);
  }
  std::fprintf(f, "\n  ]\n}\n");
  std::fclose(f);
}

// The PSNR of every frame of `now` against the frame of the same name in `before`, with the lowest
// of each scene and size; frames without a counterpart are named.
void CompareFrames(const std::string& now, const std::string& before) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(now)) {
    if (entry.path().extension() == ".ppm") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::printf("PSNR against %s (dB; inf: the same picture):\n", before.c_str());
  double lowest = std::numeric_limits<double>::infinity();
  for (const std::string& name : names) {
    BenchFrame a, b;
    if (!ReadPpm(now + "/" + name, a) || !ReadPpm(before + "/" + name, b)) {
      std::printf("  %-32s no earlier frame\n", name.c_str());
      continue;
    }
    const double psnr = Psnr(b, a);
    lowest = std::min(lowest, psnr < 0 ? -1.0 : psnr);
    if (psnr < 0) std::printf("  %-32s sizes differ\n", name.c_str());
    else std::printf("  %-32s %.2f\n", name.c_str(), psnr);
  }
  std::printf("lowest PSNR: %.2f dB\n", lowest);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--first-frame") == 0) return FirstFrame();
  if (argc > 1 && std::strcmp(argv[1], "--floor") == 0) return FloorRun();
  int frames = 300, ticks = 5000;
  std::string resolutions = "012", json, scenes, shots, compare;
  bool profile = false;
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
    if (option == "--profile") {
      profile = true;
      --i;
      continue;
    }
    if (value.empty()) return std::fprintf(stderr, "%s needs a value\n", option.c_str()), 2;
    if (option == "--frames") frames = std::max(1, std::atoi(value.c_str()));
    else if (option == "--ticks") ticks = std::max(1, std::atoi(value.c_str()));
    else if (option == "--res") resolutions = value;
    else if (option == "--scenes") scenes = value;
    else if (option == "--json") json = fs::absolute(value).string();
    else if (option == "--shots") shots = fs::absolute(value).string();
    else if (option == "--compare") compare = fs::absolute(value).string();
    else return std::fprintf(stderr, "unknown option %s\n", option.c_str()), 2;
  }
  if (!fs::exists("Data/Resource.Tkr")) {
    std::fprintf(stderr, "run brikon-bench from the game folder (build/game)\n");
    return 2;
  }
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string shotsTemp;  // frames kept only to be compared, removed afterwards
  if (!compare.empty() && shots.empty()) {
    char temp[] = "/tmp/brikon_shots_XXXXXX";
    if (mkdtemp(temp) == nullptr) return 1;
    shots = shotsTemp = temp;
  }
  if (!shots.empty()) fs::create_directories(shots);

  // A temporary game folder: the content linked, the player's own files left out.
  const fs::path game = fs::current_path();
  char name[] = "/tmp/brikon_bench_XXXXXX";
  if (mkdtemp(name) == nullptr) return 1;
  const fs::path folder = name;
  fs::create_directory(folder / "Data");
  for (const auto& entry : fs::directory_iterator(game / "Data")) {
    const std::string file = entry.path().filename().string();
    if (file == "Config.Cfg" || file.find(".Top") != std::string::npos) continue;
    fs::create_symlink(entry.path(), folder / "Data" / file);
  }
  fs::current_path(folder);

  Results results;
  bool first = true;
  for (char c : resolutions) {
    if (c < '0' || c > '2') continue;
    WriteConfig(c - '0');
    std::fprintf(stderr, "playing the scenes at %dx%d...\n", WIDTHS[c - '0'], HEIGHTS[c - '0']);
    const int sessionTicks = first ? ticks : 0;
    std::string text;
    if (profile) {
      char* buffer = nullptr;
      size_t size = 0;
      FILE* lines = open_memstream(&buffer, &size);
      if (lines == nullptr) return 1;
      RunSession(frames, sessionTicks, scenes, shots, lines);
      std::fclose(lines);
      text.assign(buffer, size);
      std::free(buffer);
    } else {
      text = InChild([&] { RunSession(frames, sessionTicks, scenes, shots, stdout); });
    }
    if (text.empty()) std::fprintf(stderr, "the run at %dx%d failed\n", WIDTHS[c - '0'], HEIGHTS[c - '0']);
    Parse(text, results);
    first = false;
    if (profile) break;
    Parse(FloorInChild(self), results);
  }
  WriteConfig(1);
  for (int i = 0; i < 5 && !profile; ++i) {
    const double ms = StartupMs(self);
    if (ms > 0) results.startups.push_back(ms);
  }

  fs::current_path(game);
  fs::remove_all(folder);
  Print(results);
  if (!json.empty()) WriteJson(json, results);
  if (!compare.empty()) CompareFrames(shots, compare);
  if (!shotsTemp.empty()) fs::remove_all(shotsTemp);
  return results.rows.empty() ? 1 : 0;
}
