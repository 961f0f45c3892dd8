// brikon-playtest: how hard each level and stage is, measured. The real game screen, undrawn,
// is played by the computer player through its input only, at the default game speed (125),
// level by level, from several seeds, by two players: "skilled" (sees where the ball arrives and
// aims each rebound at a brick) and "casual" (returns the ball wherever it comes, about 150 ms
// late and a little off, no aiming). Each level starts as a resumed game does, with five lives.
//
//   brikon-playtest [--episode E] [--level L] [--seeds N] [--players skilled,casual]
//                   [--csv FILE] [--charts DIR] [--game DIR] [--audit FILE] [--levels DIR]
//     --episode  only episode E (0..5, as the episode table numbers them); default all six
//     --level    only level L of it (from 0)
//     --seeds    seeds 1..N per level and player (default 5)
//     --players  the players, comma-separated (default skilled,casual)
//     --csv      one row per level or stage, seed and player:
//                episode,level,seed,player,cleared,time_ms,hits,balls_lost,bonuses,longest_no_hit_ms
//     --charts   folder for each episode's difficulty chart, playtest-E.png (default .)
//     --game     the game folder whose Data/ holds the archive (default .)
//     --audit    the bricks' own account of each row, for checking the counters:
//                episode,level,seed,player,brick_hits,breakable_left
//     --levels   play the level files of DIR (as in content/levels/, checked as the level
//                compiler checks them) instead of the levels built into the game, so that a
//                level under design is tried without a rebuild
// A classic level is cleared when no breakable brick is left (given up after 15 minutes of game
// time); a stage when its breakable bricks are gone before its timer runs out. The next-level
// bonus is taken out of the measured game, so that every level is played to its end. The table
// on stdout gives per level and player the share cleared and the medians; each episode ends with
// the figures of the balance goals. Needs a display (the game screen needs a rendering context);
// plays in a temporary folder of its own.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Chart.h"
#include "LevelFile.h"
#include "Playtest.h"
#include "core/Config.h"
#include "core/Exception.h"
#include "core/MessageBox.h"
#include "app/Odizovid.h"
#include "game/GameWindow.h"
#include "playfield/Levels.h"

namespace fs = std::filesystem;

namespace {

using Skill = OAutoPlayer::Skill;

const char* const EPISODE_NAMES[EPISODE_COUNT] = {"classic demo",  "classic normal", "classic hard",
                                                  "modern demo",   "modern normal",  "modern hard"};
// A time that stands for "not cleared" in the medians.
constexpr double NEVER = std::numeric_limits<double>::infinity();
// A stretch without a brick hit longer than this is one the goals do not allow (ms).
constexpr i64 NO_HIT_LIMIT_MS = 20000;

struct Options {
  i32 episode = -1;
  i32 level = -1;
  u32 seeds = 5;
  std::vector<Skill> players = {Skill::skilled, Skill::casual};
  std::string csv, charts = ".", game = ".", audit, levels;
};

int Usage() {
  std::fprintf(stderr,
               "usage: brikon-playtest [--episode E] [--level L] [--seeds N] "
               "[--players skilled,casual] [--csv FILE] [--charts DIR] [--game DIR] "
               "[--audit FILE] [--levels DIR]\n");
  return 2;
}

bool ParseInt(const std::string& text, i32& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || v < 0 || v > 100000) return false;
  value = static_cast<i32>(v);
  return true;
}

bool ParsePlayers(const std::string& text, std::vector<Skill>& players) {
  players.clear();
  std::stringstream s(text);
  std::string name;
  while (std::getline(s, name, ',')) {
    if (name == "skilled") {
      players.push_back(Skill::skilled);
    } else if (name == "casual") {
      players.push_back(Skill::casual);
    } else {
      return false;
    }
  }
  return !players.empty();
}

double Median(std::vector<double> v) {
  if (v.empty()) return NEVER;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double TimeOf(const OPlayResult& r) { return r.cleared ? r.timeMs / 1000.0 : NEVER; }

std::string Seconds(double s) {
  if (std::isinf(s)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", s);
  return text;
}

std::string Percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f%%", share * 100.0);
  return text;
}

// The runs of one episode, by level and player.
struct EpisodeRuns {
  i32 episode = 0;
  i32 first = 0;  // first level played
  std::vector<std::vector<std::vector<OPlayResult>>> byLevel;  // [level - first][player][seed]
};

double ShareCleared(const std::vector<const OPlayResult*>& runs) {
  if (runs.empty()) return 0.0;
  size_t n = 0;
  for (const OPlayResult* r : runs) n += r->cleared ? 1 : 0;
  return static_cast<double>(n) / runs.size();
}

// The runs of a player over levels [from, to) of the episode's runs.
std::vector<const OPlayResult*> Runs(const EpisodeRuns& e, size_t player, size_t from, size_t to) {
  std::vector<const OPlayResult*> out;
  for (size_t l = from; l < to && l < e.byLevel.size(); ++l)
    for (const OPlayResult& r : e.byLevel[l][player]) out.push_back(&r);
  return out;
}

double LevelMedian(const std::vector<OPlayResult>& runs) {
  std::vector<double> t;
  for (const OPlayResult& r : runs) t.push_back(TimeOf(r));
  return Median(t);
}

void PrintEpisode(const EpisodeRuns& e, const Options& o) {
  const bool modern = IsModernEpisode(e.episode);
  std::printf("\nepisode %d, %s: %zu %s, %u seed%s\n", e.episode, EPISODE_NAMES[e.episode],
              e.byLevel.size(), modern ? "stages" : "levels", o.seeds, o.seeds == 1 ? "" : "s");
  std::printf("  level");
  for (Skill p : o.players)
    std::printf(" | %-7s cleared  time s  hits  lost  bonus  no-hit s", SkillName(p));
  std::printf("\n");
  for (size_t l = 0; l < e.byLevel.size(); ++l) {
    std::printf("  %5d", e.first + static_cast<i32>(l));
    for (size_t p = 0; p < o.players.size(); ++p) {
      const std::vector<OPlayResult>& runs = e.byLevel[l][p];
      std::vector<double> hits, lost, bonus, nohit, cleared;
      size_t n = 0;
      for (const OPlayResult& r : runs) {
        n += r.cleared ? 1 : 0;
        hits.push_back(r.hits);
        lost.push_back(r.ballsLost);
        bonus.push_back(r.bonuses);
        nohit.push_back(r.longestNoHitMs / 1000.0);
        if (r.cleared) cleared.push_back(r.timeMs / 1000.0);
      }
      // Classic: the median time with the runs not cleared counted as endless; a stage: the
      // median time of the cleared runs (a stage not cleared ends with its timer anyway).
      const double t = modern ? Median(cleared) : LevelMedian(runs);
      std::printf(" |         %2zu/%-2zu  %6s  %4.0f  %4.0f  %5.0f  %8.0f", n, runs.size(),
                  Seconds(t).c_str(), Median(hits), Median(lost), Median(bonus), Median(nohit));
    }
    std::printf("\n");
  }

  // The figures of the goals.
  const size_t count = e.byLevel.size();
  const size_t third = count / 3;
  for (size_t p = 0; p < o.players.size(); ++p) {
    const auto all = Runs(e, p, 0, count);
    i64 longest = 0;
    size_t over = 0;
    for (const OPlayResult* r : all) {
      longest = std::max(longest, r->longestNoHitMs);
      over += r->longestNoHitMs > NO_HIT_LIMIT_MS ? 1 : 0;
    }
    std::printf("  %-7s:", SkillName(o.players[p]));
    if (modern) {
      std::printf(" stages cleared %s", Percent(ShareCleared(all)).c_str());
      if (third > 0)
        std::printf(", first third %s, last third %s",
                    Percent(ShareCleared(Runs(e, p, 0, third))).c_str(),
                    Percent(ShareCleared(Runs(e, p, count - third, count))).c_str());
    } else {
      std::vector<double> medians;
      size_t levelsCleared = 0;
      for (size_t l = 0; l < count; ++l) {
        medians.push_back(LevelMedian(e.byLevel[l][p]));
        levelsCleared += std::isinf(medians.back()) ? 0 : 1;
      }
      auto thirdMedian = [&](size_t from, size_t to) {
        std::vector<double> t;
        for (const OPlayResult* r : Runs(e, p, from, to)) t.push_back(TimeOf(*r));
        return Median(t);
      };
      std::printf(" median level %s s, longest level median %s s, levels cleared %zu/%zu, runs "
                  "cleared %s",
                  Seconds(Median(medians)).c_str(),
                  Seconds(*std::max_element(medians.begin(), medians.end())).c_str(), levelsCleared,
                  count, Percent(ShareCleared(all)).c_str());
      if (third > 0)
        std::printf(", first third %s s, last third %s s", Seconds(thirdMedian(0, third)).c_str(),
                    Seconds(thirdMedian(count - third, count)).c_str());
    }
    std::printf(", longest no-hit %.1f s (%zu of %zu runs over 20 s)\n", longest / 1000.0, over,
                all.size());
  }
  std::fflush(stdout);
}

void DrawEpisodeChart(const EpisodeRuns& e, const Options& o) {
  const bool modern = IsModernEpisode(e.episode);
  static const double SKILLED_GOAL_S[3] = {90, 150, 240};
  static const double SKILLED_GOAL_SHARE[3] = {85, 65, 40};
  OChart chart;
  char title[96];
  std::snprintf(title, sizeof title, "EPISODE %d %s: %s", e.episode, EPISODE_NAMES[e.episode],
                modern ? "STAGES CLEARED BEFORE THE TIMER" : "MEDIAN TIME TO CLEAR");
  chart.title = title;
  chart.yLabel = modern ? "%" : "S";
  chart.yMax = modern ? 100.0 : (e.episode == 0 ? 240.0 : e.episode == 1 ? 480.0 : 720.0);
  chart.goal = modern ? SKILLED_GOAL_SHARE[e.episode - 3] : SKILLED_GOAL_S[e.episode];
  chart.goalName = modern ? "SKILLED GOAL" : "SKILLED GOAL (MEDIAN)";
  for (size_t p = 0; p < o.players.size(); ++p) {
    OChartSeries s;
    s.name = SkillName(o.players[p]);
    const bool casual = o.players[p] == Skill::casual;
    s.r = casual ? 230 : 30;
    s.g = casual ? 120 : 90;
    s.b = casual ? 20 : 200;
    for (const auto& level : e.byLevel) {
      if (modern) {
        std::vector<const OPlayResult*> runs;
        for (const OPlayResult& r : level[p]) runs.push_back(&r);
        s.y.push_back(ShareCleared(runs) * 100.0);
      } else {
        const double t = LevelMedian(level[p]);
        s.y.push_back(std::isinf(t) ? chart.yMax : t);
      }
    }
    chart.series.push_back(s);
  }
  const std::string path = o.charts + "/playtest-" + std::to_string(e.episode) + ".png";
  if (!WriteChart(path, chart)) std::fprintf(stderr, "brikon-playtest: cannot write %s\n", path.c_str());
}

// Reads and checks every level file of the folder and plays them in place of the built-in tables.
bool LoadDesigns(const std::string& folder, std::vector<OEpisodeFile>& files) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    OEpisodeFile file;
    std::string error;
    if (!ReadEpisodeFile(entry.path().string(), text.str(), file, error) ||
        !ValidateEpisode(file, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    files.push_back(std::move(file));
  }
  if (ec || files.empty()) {
    std::fprintf(stderr, "brikon-playtest: no level files in %s\n", folder.c_str());
    return false;
  }
  for (const OEpisodeFile& file : files) {
    if (!UseLevelBytes(file.episode, file.bytes.data(), static_cast<u32>(file.bytes.size()))) {
      std::fprintf(stderr, "%s: episode %d does not fit the game's table\n", file.path.c_str(),
                   file.episode);
      return false;
    }
  }
  return true;
}

void IgnoreMessage(const std::string& text, const std::string& title, u32) {
  std::fprintf(stderr, "brikon-playtest: message box \"%s\": %s\n", title.c_str(), text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    i32 number = 0;
    if (arg == "--episode" && ParseInt(value, number) && number < EPISODE_COUNT) {
      o.episode = number;
    } else if (arg == "--level" && ParseInt(value, number)) {
      o.level = number;
    } else if (arg == "--seeds" && ParseInt(value, number) && number > 0) {
      o.seeds = static_cast<u32>(number);
    } else if (arg == "--players") {
      if (!ParsePlayers(value, o.players)) return Usage();
    } else if (arg == "--csv") {
      o.csv = value;
    } else if (arg == "--charts") {
      o.charts = value;
    } else if (arg == "--game") {
      o.game = value;
    } else if (arg == "--audit") {
      o.audit = value;
    } else if (arg == "--levels") {
      o.levels = value;
    } else {
      return Usage();
    }
  }
  if (o.level >= 0 && o.episode < 0) {
    std::fprintf(stderr, "brikon-playtest: --level needs --episode\n");
    return 2;
  }
  if (o.level >= 0 && o.level >= GetEpisodeInfo(o.episode).levelCount) {
    std::fprintf(stderr, "brikon-playtest: episode %d has %d levels\n", o.episode,
                 GetEpisodeInfo(o.episode).levelCount);
    return 2;
  }
  std::error_code ec;
  std::vector<OEpisodeFile> designs;
  if (!o.levels.empty() && !LoadDesigns(o.levels, designs)) return 2;
  const fs::path data = fs::absolute(o.game, ec) / "Data";
  if (!fs::exists(data / "Resource.Tkr")) {
    std::fprintf(stderr, "brikon-playtest: no Data/Resource.Tkr in %s\n", o.game.c_str());
    return 3;
  }
  // The output paths are taken before the run moves into its own folder.
  if (!o.csv.empty()) o.csv = fs::absolute(o.csv, ec).string();
  if (!o.audit.empty()) o.audit = fs::absolute(o.audit, ec).string();
  o.charts = fs::absolute(o.charts, ec).string();
  std::ofstream csv, audit;
  if (!o.csv.empty()) {
    csv.open(o.csv, std::ios::trunc);
    csv << "episode,level,seed,player,cleared,time_ms,hits,balls_lost,bonuses,longest_no_hit_ms\n";
  }
  if (!o.audit.empty()) {
    audit.open(o.audit, std::ios::trunc);
    audit << "episode,level,seed,player,brick_hits,breakable_left\n";
  }
  if ((!o.csv.empty() && !csv) || (!o.audit.empty() && !audit)) {
    std::fprintf(stderr, "brikon-playtest: cannot write the CSV\n");
    return 3;
  }

  char folder[] = "/tmp/brikon_playtest_XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) return 3;
  fs::create_directory("Data");
  fs::create_symlink(data / "Resource.Tkr", "Data/Resource.Tkr");
  // A window of the first resolution, no sound, no music, the default game speed.
  std::ofstream("Data/Config.Cfg") << "0\n32\n10\n2\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
  SetMessageSink(IgnoreMessage);

  int status = 0;
  {
    ROdizovid app;
    try {
      if (!app.Create("3D", "Brikon 3D playtest", 640, 480, false) || !app.Load()) {
        std::fprintf(stderr, "brikon-playtest: the game did not start\n");
        status = 3;
      } else {
        OGameWindow& game = *static_cast<OGameWindow*>(app.game);
        const i32 firstEpisode = o.episode >= 0 ? o.episode : 0;
        const i32 lastEpisode = o.episode >= 0 ? o.episode : EPISODE_COUNT - 1;
        for (i32 e = firstEpisode; e <= lastEpisode; ++e) {
          EpisodeRuns runs;
          runs.episode = e;
          const i32 count = GetEpisodeInfo(e).levelCount;
          runs.first = o.level >= 0 ? o.level : 0;
          const i32 last = o.level >= 0 ? o.level : count - 1;
          for (i32 l = runs.first; l <= last; ++l) {
            runs.byLevel.emplace_back(o.players.size());
            for (size_t p = 0; p < o.players.size(); ++p) {
              for (u32 seed = 1; seed <= o.seeds; ++seed) {
                const OPlayResult r = PlayLevel(app, game, e, l, seed, o.players[p]);
                runs.byLevel.back()[p].push_back(r);
                if (csv.is_open())
                  csv << e << ',' << l << ',' << seed << ',' << SkillName(r.skill) << ','
                      << (r.cleared ? 1 : 0) << ',' << r.timeMs << ',' << r.hits << ','
                      << r.ballsLost << ',' << r.bonuses << ',' << r.longestNoHitMs << '\n';
                if (audit.is_open())
                  audit << e << ',' << l << ',' << seed << ',' << SkillName(r.skill) << ','
                        << r.brickHits << ',' << r.breakableLeft << '\n';
              }
            }
            csv.flush();
          }
          PrintEpisode(runs, o);
          DrawEpisodeChart(runs, o);
        }
      }
    } catch (const OException& ex) {
      std::fprintf(stderr, "brikon-playtest: %s\n", ex.message.c_str());
      status = 1;
    }
    app.Unload();
  }
  SetMessageSink(nullptr);
  fs::remove_all(folder, ec);
  return status;
}
