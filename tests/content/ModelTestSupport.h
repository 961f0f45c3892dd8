#pragma once
// Helpers for the model tests: the content compiler's models dumped loose and read back through
// the game's own model reader.
#include <algorithm>
#include <string>
#include <vector>

#include "assets/ModelFormat.h"
#include "support/TestSupport.h"

inline const std::string TOOL = std::string(BRIKON_BINARY_DIR) + "/tools/content/brikon-content";
inline const std::string CONTENT = std::string(BRIKON_SOURCE_DIR) + "/content";

// In a namespace of their own: other suites of this test binary have helpers of their own.
namespace modeltest {

// The names the game loads, and the scales it loads the bonuses with.
inline const std::vector<std::string> BONUSES = {
    "Bonus/Life.zmod", "Bonus/MoreBalls.zmod", "Bonus/Gun.Zmod",   "Bonus/Slow.Zmod",
    "Bonus/HavyBall.Zmod", "Bonus/Score.Zmod", "Bonus/TNT.Zmod",    "Bonus/Big.Zmod",
    "Bonus/Small.Zmod",  "Bonus/NextLevel.Zmod"};
inline const std::vector<f32> BONUS_SCALES = {0.05f, 0.02f, 0.0175f, 0.015f, 0.025f,
                                       0.0125f, 0.0195f, 0.025f, 0.025f, 0.02f};
inline const std::vector<std::string> CAGES = {"CDBox.Zmod", "CNBox.Zmod", "CHBox.Zmod",
                                        "MDBox.Zmod", "MNBox.Zmod", "MHBox.Zmod"};
inline const std::vector<std::string> EPISODES = {"Episodes/CDemo.Zmod", "Episodes/CNormal.Zmod",
                                           "Episodes/CHard.Zmod", "Episodes/MDemo.Zmod",
                                           "Episodes/MNormal.Zmod", "Episodes/MHard.Zmod"};

struct OBox {
  f32 min[3] = {1e30f, 1e30f, 1e30f};
  f32 max[3] = {-1e30f, -1e30f, -1e30f};
};

// Writes the generated models (and their texture) loose under `out`.
inline bool Dump(const std::string& content, const std::string& out, std::string* log = nullptr) {
  return RunCommand("'" + TOOL + "' dump '" + content + "' '" + out + "' models", log) == 0;
}

inline bool Load(const std::string& dir, const std::string& name, OModelFile& model) {
  std::string bytes = ReadFile(dir + "/Data/Models/" + name);
  if (bytes.empty()) return false;
  return ReadZmod(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), model) &&
         model.magicValid;
}

// Bounds of the vertices the faces of one object (or, with object -1, all objects) use.
inline OBox Bounds(const OModelFile& m, int object = -1) {
  OBox b;
  for (size_t o = 0; o < m.objects.size(); ++o) {
    if (object >= 0 && static_cast<int>(o) != object) continue;
    for (const OModelFileFace& f : m.objects[o].faces)
      for (const OModelFileCorner& c : f.corners) {
        const OModelFileVertex& v = m.vertices[c.vertex - 1];
        const f32 p[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
          b.min[i] = std::min(b.min[i], p[i]);
          b.max[i] = std::max(b.max[i], p[i]);
        }
      }
  }
  return b;
}

}  // namespace modeltest
