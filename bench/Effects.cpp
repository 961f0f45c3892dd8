// Effects costs on the real renderer: a typical moment of the game and a busy one (the firework
// pool full, three heavy-ball trails, four rocket trails, twenty brick bursts). Prints the median
// update time and the median draw time (to glFinish) per frame of each. Needs a display; works
// in a fresh temporary folder. Argument: the resolution index (0 = 640x480, 1 = 800x600,
// 2 = 1024x768).
#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "assets/ArchiveWriter.h"
#include "assets/Resource.h"
#include "effects/BallTrail.h"
#include "effects/BloxExpl.h"
#include "effects/FireworkPool.h"
#include "effects/HellTrail.h"
#include "effects/ParticleList.h"
#include "shell/GLWindow.h"
#include "core/Random.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A 32-bit TGA: a white soft dot.
std::vector<unsigned char> DotTga(int size) {
  std::vector<unsigned char> out(18, 0);
  out[2] = 2;
  out[12] = static_cast<unsigned char>(size);
  out[14] = static_cast<unsigned char>(size);
  out[16] = 32;
  out[17] = 8;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
      const double d = std::min(1.0, std::sqrt(dx * dx + dy * dy));
      out.insert(out.end(), {255, 255, 255, static_cast<unsigned char>(255 * (1 - d))});
    }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int resolution = argc > 1 ? std::atoi(argv[1]) : 0;
  char folder[] = "/tmp/bench_effects_XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
  if (system("mkdir -p Data") != 0) return 1;
  // Windowed at the given resolution, texture quality 4, every other value at its default.
  std::ofstream("Data/Config.Cfg")
      << resolution << "\n32\n4\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
  // The flame atlas is a JPEG in the game; a TGA of the same size costs the same to draw.
  const std::vector<unsigned char> dot = DotTga(64);
  std::vector<OArchiveEntry> entries;
  for (const char* name : {"xFlame2x2.Tga", "CoDSmoke2.Tga", "ParticleBit.Tga", "Particle.Tga"})
    entries.push_back({std::string("Data/Textures/") + name, dot});
  if (!WriteArchive("Data/Resource.Tkr", entries) || !GetResource().Open()) return 1;

  OGLWindow window;
  if (!window.Create("3D", "effects bench", 640, 480, false)) return 1;
  window.MakeCurrent();
  int width = 0, height = 0;
  window.GetDrawableSize(width, height);

  OBallTrail ballPrototype;
  ballPrototype.flameTexture.Load("xFlame2x2.Tga");
  OHellTrail rocketPrototype;
  rocketPrototype.flameTexture.Load("xFlame2x2.Tga");
  rocketPrototype.smokeTexture.Load("CoDSmoke2.Tga");
  OBloxExpl debrisPrototype;
  debrisPrototype.Load();
  debrisPrototype.SetField(OVector(-6, -4, 0), OVector(6, 4, 24));
  OFirework fireworkPrototype(512, "Particle.Tga", 500);

  // One scene: `fireworks` bursts 100 ms old, `balls` heavy-ball and `rockets` rocket trails
  // in their steady state, `bursts` brick bursts 200 ms old. Prints its medians.
  auto scene = [&](const char* label, int fireworks, int balls, int rockets, int bursts) {
    SeedRandom(1);
    OParticleList& list = GetParticleList();
    OFireworkPool& pool = GetFireworkPool();
    std::vector<TkBaseBound*> trails;
    for (int i = 0; i < balls + rockets; ++i) {
      TkBaseBound* t = i < balls ? ballPrototype.Clone() : rocketPrototype.Clone();
      list.Add(t);
      trails.push_back(t);
    }
    for (int t = 0; t < 150; ++t) {
      for (size_t i = 0; i < trails.size(); ++i)
        trails[i]->emitter = OVector(4 * std::sin(t * 0.02f + i), 3 * std::cos(t * 0.03f + i), 12);
      if (t == 137) {
        for (int b = 0; b < bursts; ++b) {
          auto* d = static_cast<OBloxExpl*>(debrisPrototype.Clone());
          d->emitter = OVector(static_cast<f32>(Random() % 9 - 4), 0, 12);
          d->Start();
          list.Add(d);
        }
      }
      if (t == 144) {
        for (int f = 0; f < fireworks; ++f) {
          auto* w = new OFirework(fireworkPrototype);
          const f32 x = static_cast<f32>(Random() % 9 - 4), y = static_cast<f32>(Random() % 7 - 3);
          w->SetPosition(x, y, 12);
          pool.Add(w);
        }
      }
      pool.Update(16);
      list.Update(16);
    }
    i32 sparks = 0;
    for (const auto& slot : pool.slots)
      if (slot.firework) sparks += slot.firework->liveCount - 1;
    const int particles = list.ParticleCount() + sparks;

    std::vector<double> updates, draws, drawsCpu;
    for (int frame = 0; frame < 30; ++frame) {
      glViewport(0, 0, width, height);
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      gluPerspective(60.0, static_cast<double>(width) / height, 1.0, 1024.0);
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
      gluLookAt(0, 0, -2, 0, 0, 12, 0, 1, 0);
      glEnable(GL_TEXTURE_2D);
      glEnable(GL_DEPTH_TEST);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glFinish();
      auto start = Clock::now();
      const double cpu = CpuMs();
      pool.Draw();
      list.Draw();
      glFinish();
      draws.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      drawsCpu.push_back(CpuMs() - cpu);
      // Updating by 0 ms keeps the scene as it is while timing the work of a tick.
      start = Clock::now();
      pool.Update(0);
      list.Update(0);
      updates.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("%s at %dx%d, %d particles: update %.3f ms, draw %.2f ms wall / %.2f ms CPU "
                "(medians of 30)\n",
                label, width, height, particles, Median(updates), Median(draws), Median(drawsCpu));
    list.Clear();
    pool.Clear();
  };
  scene("typical (3 fireworks, 1 ball trail, 2 rocket trails, 4 bursts)", 3, 1, 2, 4);
  scene("busy (32 fireworks, 3 ball trails, 4 rocket trails, 20 bursts)", 32, 3, 4, 20);
  if (system(("rm -rf " + std::string(folder)).c_str()) != 0) return 1;
  return 0;
}
