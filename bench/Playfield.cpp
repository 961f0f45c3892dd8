// bench_Playfield: what the scenes of the game cost to draw, with the game's own content and
// classes: the classic level with the most bricks of the hard episode, a corridor of the hard
// modern episode in play and during its advance, and the main menu of the real application.
// Run it from a game folder (it reads Data/ there; it works in a temporary copy of the layout):
//   cd build/game && ../bench/bench_Playfield [frames] [resolution indices] [detail]
// e.g. `../bench/bench_Playfield 100 012 2`. Needs a display. For each scene and resolution it
// prints the median and 95th percentile of the frame time, the frames per second of the median,
// and the split: the CPU time spent in our drawing calls (until they return) and the wait for the
// rasteriser (glFinish and the swap). With a fourth argument "shot" it writes one PPM picture of
// each scene at each resolution into the current folder, to compare pictures before and after.
#include <GL/gl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Resource.h"
#include "objects/Ball.h"
#include "objects/Player.h"
#include "playfield/Levels.h"
#include "playfield/ModVoxelMap.h"
#include "playfield/VoxelMap.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "shell/Config.h"
#include "shell/GLWindow.h"
#include "shell/Odizovid.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

const int WIDTHS[3] = {640, 800, 1024};
const int HEIGHTS[3] = {480, 600, 768};

// CPU time of the whole process, the rasteriser's threads included, ms: unlike the wall time
// it hardly depends on what else the machine is running, so it compares runs on a busy machine.
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

// Resident memory of this process now and at its peak, MB (from /proc/self/status).
std::string MemoryMb() {
  std::ifstream in("/proc/self/status");
  std::string line, rss = "?", peak = "?";
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::to_string(std::atol(line.c_str() + 6) / 1024);
    if (line.rfind("VmHWM:", 0) == 0) peak = std::to_string(std::atol(line.c_str() + 6) / 1024);
  }
  return "resident " + rss + " MB, peak " + peak + " MB";
}

struct Timings {
  std::vector<double> frame, draw, wait, cpu;
};

void Report(const char* scene, int w, int h, const Timings& t, const char* extra) {
  const double median = Percentile(t.frame, 0.5);
  std::printf("%-18s %4dx%-4d  median %7.2f ms  p95 %7.2f ms  %6.1f fps  draw calls %6.2f ms  "
              "wait %7.2f ms  cpu %7.2f ms  %s\n",
              scene, w, h, median, Percentile(t.frame, 0.95), 1000.0 / median,
              Percentile(t.draw, 0.5), Percentile(t.wait, 0.5), Percentile(t.cpu, 0.5), extra);
  std::fflush(stdout);
}

void WritePpm(const std::string& path, int w, int h) {
  std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  for (int y = h - 1; y >= 0; --y) std::fwrite(rgb.data() + static_cast<size_t>(y) * w * 3, 1, w * 3, f);
  std::fclose(f);
}

// Bricks of one classic level (cell codes 0 and 13 are empty).
int CountBricks(i32 episode, i32 level) {
  const LevelSpan span = GetLevelBytes(episode, level);
  const u32 step = std::min(span.size, LevelStepBytes(episode));
  int count = 0;
  for (u32 i = 0; i < step; ++i) count += span.data[i] != 0 && span.data[i] != 13;
  return count;
}

// Triangles the bricks of a grid send per frame (the shown damage stage of each), and the same
// for the cage.
long BrickTriangles(const OVoxelMap& grid) {
  long sum = 0;
  for (const OBlock* b : grid.blocks) {
    for (size_t i = 0; i < b->visible.size() && i < b->data->objects.size(); ++i)
      if (b->visible[i] == 1) sum += b->data->objects[i]->objectFaceCount;
  }
  return sum;
}

// The game screen's view of the field: camera 14.4 units before it with a 45 degree view, the
// game light near the bat, texturing and depth test on.
void GameView(OCamera& camera, OLight& light, int w, int h) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  camera.fieldOfView = 45.0f;
  camera.SetPosition(0.0f, 0.0f, -14.4f);
  camera.LookAt(0.0f, 0.0f, 0.0f);
  camera.Apply(w, h);
  light.SetColor(GL_AMBIENT, 1, 1, 1, 1);
  light.SetPosition(0.0f, 0.0f, -4.0f);
  light.Apply();
}

// Times `frames` frames of `draw` in the game view: the drawing calls, then glFinish and the swap.
Timings TimeGrid(OGLWindow& window, OCamera& camera, OLight& light, int w, int h, int frames,
                 const std::function<void()>& draw) {
  Timings t;
  for (int i = 0; i < frames; ++i) {
    const auto start = Clock::now();
    const double cpu = CpuMs();
    GameView(camera, light, w, h);
    draw();
    const auto drawn = Clock::now();
    glFinish();
    window.Present();
    const auto end = Clock::now();
    t.frame.push_back(Ms(start, end));
    t.draw.push_back(Ms(start, drawn));
    t.wait.push_back(Ms(drawn, end));
    t.cpu.push_back(CpuMs() - cpu);
  }
  return t;
}

// The real application, with the time of its frame split at the swap.
class BenchApp : public ROdizovid {
public:
  void Present() override {
    presentStart = Clock::now();
    glFinish();
    ROdizovid::Present();
    presentEnd = Clock::now();
  }
  Clock::time_point presentStart, presentEnd;
};

void WriteConfig(int resolution, int detail) {
  std::ofstream("Data/Config.Cfg") << resolution << "\n32\n10\n" << detail
                                   << "\n0\n0\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  const std::string resolutions = argc > 2 ? argv[2] : "012";
  const int detail = argc > 3 ? std::atoi(argv[3]) : 2;
  const bool shots = argc > 4 && std::string(argv[4]) == "shot";
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 1;
  const std::string game = cwd;
  char folder[] = "/tmp/bench_playfield_XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
  const std::string layout = "mkdir -p Data && ln -s '" + game + "/Data/Resource.Tkr' Data/ && ln -s '" +
                             game + "/Data/Sounds' Data/";
  if (system(layout.c_str()) != 0) return 1;
  auto shot = [&](const std::string& name, int w, int h) {
    if (shots) WritePpm(game + "/" + name + "_" + std::to_string(w) + ".ppm", w, h);
  };

  // The classic level with the most bricks of the hard episode.
  const i32 classicEpisode = 2, corridorEpisode = 5;
  i32 classicLevel = 0;
  for (i32 level = 0; level < GetEpisodeInfo(classicEpisode).levelCount; ++level) {
    if (CountBricks(classicEpisode, level) > CountBricks(classicEpisode, classicLevel)) classicLevel = level;
  }
  std::printf("classic: episode %d level %d, %d bricks; corridor: episode %d; %d frames each; "
              "model detail %d\n", classicEpisode, classicLevel, CountBricks(classicEpisode, classicLevel),
              corridorEpisode, frames, detail);
  std::fflush(stdout);

  for (char r : resolutions) {
    const int res = r - '0';
    if (res < 0 || res > 2) continue;
    const int w = WIDTHS[res], h = HEIGHTS[res];
    WriteConfig(res, detail);
    // Each window lives in its own process: the video system is set up once per process, as in
    // the game.
    const pid_t gridProcess = fork();
    if (gridProcess == 0) {
      GetConfig().Load();
      OGLWindow window;
      if (!window.Create("3D", "playfield bench", w, h, false)) return 1;
      window.MakeCurrent();
      std::printf("window open: %s\n", MemoryMb().c_str());
      if (!GetResource().Open()) return 1;
      OCamera camera(w, h, 60.0f, 1.0f, 1024.0f);
      OLight light(1);
      OPlayer bat(&camera);
      OBallSet balls;
      balls.bat = &bat;

      const auto loadStart = Clock::now();
      OVoxelMap grid;
      grid.ballSet = &balls;
      grid.SetLevel(classicEpisode, classicLevel);
      grid.Init(classicEpisode);
      grid.StartLevel(classicLevel);
      const double loadMs = Ms(loadStart, Clock::now());
      std::printf("classic level loaded: %s\n", MemoryMb().c_str());
      while (grid.transition) {
        GameView(camera, light, w, h);
        grid.Draw();
        window.Present();
      }
      std::printf("classic level faded in: %s\n", MemoryMb().c_str());
      Timings t = TimeGrid(window, camera, light, w, h, frames, [&] { grid.Draw(); });
      char extra[128];
      std::snprintf(extra, sizeof extra, "(%zu bricks, %ld brick triangles, cage %u, init %.0f ms)",
                    grid.blocks.size(), BrickTriangles(grid), grid.box->data->faceCount, loadMs);
      Report("classic", w, h, t, extra);
      GameView(camera, light, w, h);
      grid.Draw();
      shot("classic", w, h);

      std::printf("classic level drawn: %s\n", MemoryMb().c_str());
      OModVoxelMap corridor;
      corridor.ballSet = &balls;
      corridor.SetLevel(corridorEpisode, 0);
      corridor.Init(corridorEpisode);
      std::printf("corridor set up: %s\n", MemoryMb().c_str());
      corridor.StartLevel(0);
      std::printf("corridor loaded: %s\n", MemoryMb().c_str());
      while (corridor.transition) {
        GameView(camera, light, w, h);
        corridor.Draw();
        window.Present();
      }
      t = TimeGrid(window, camera, light, w, h, frames, [&] { corridor.Draw(); });
      std::snprintf(extra, sizeof extra, "(%zu bricks, %ld brick triangles)", corridor.blocks.size(),
                    BrickTriangles(corridor));
      Report("corridor", w, h, t, extra);
      GameView(camera, light, w, h);
      corridor.Draw();
      shot("corridor", w, h);
      // The advance: the corridor moves a stage toward the bat, the passed stage fading out.
      corridor.transition = 1;
      t = TimeGrid(window, camera, light, w, h, frames, [&] {
        if (!corridor.transition) corridor.transition = 1;
        corridor.Update(12);
        corridor.Draw();
      });
      Report("corridor advance", w, h, t, MemoryMb().c_str());
      _exit(0);
    }
    int status = 0;
    if (gridProcess < 0 || waitpid(gridProcess, &status, 0) < 0 || status != 0) return 1;
    const pid_t menuProcess = fork();
    if (menuProcess == 0) {
      // The main menu of the real application (its Update, Draw and cursor; the swap apart).
      BenchApp app;
      app.Create("3D", "Brikon 3D 2.0", w, h, false);
      if (!app.Load()) return 1;
      Timings t;
      for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        const double cpu = CpuMs();
        app.Frame(16);
        t.cpu.push_back(CpuMs() - cpu);
        t.frame.push_back(Ms(start, app.presentEnd));
        t.draw.push_back(Ms(start, app.presentStart));
        t.wait.push_back(Ms(app.presentStart, app.presentEnd));
      }
      Report("menu", app.width, app.height, t, MemoryMb().c_str());
      _exit(0);
    }
    if (menuProcess < 0 || waitpid(menuProcess, &status, 0) < 0 || status != 0) return 1;
  }
  if (system(("rm -rf " + std::string(folder)).c_str()) != 0) return 1;
  return 0;
}
