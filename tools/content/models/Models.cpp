// The model generator: every 3D model of the game, written as ZMOD3D files under "Data/Models/",
// and the one texture they share.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Content.h"
#include "assets/ModelFormat.h"
#include "models/Atlas.h"
#include "models/ModelSet.h"

namespace {

void Add(std::vector<OContentFile>& archive, const std::string& folder,
         const std::vector<ONamedModel>& models) {
  for (const ONamedModel& m : models) {
    OContentFile file;
    file.name = folder + m.name;
    file.bytes = WriteZmod(m.model.ToFile());
    archive.push_back(std::move(file));
  }
}

}  // namespace

void BuildModels(const OContentContext& context, std::vector<OContentFile>& archive) {
  std::string path = context.contentDir + "/bricks.txt";
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::map<int, int> hits;
  if (!in || !ParseBrickHits(text.str(), hits)) {
    // The bricks' damage stages come from this table; building them from a guess would give the
    // game bricks that take the wrong number of hits.
    std::fprintf(stderr, "brikon-content: cannot read the brick table %s\n", path.c_str());
    std::exit(1);
  }

  std::vector<ONamedModel> hi, low, rest;
  BuildBricks(hits, true, hi);
  BuildBricks(hits, false, low);
  BuildSkinBlocks(rest);
  BuildCages(rest);
  BuildBonuses(rest);
  BuildProps(rest);
  Add(archive, "Data/Models/Hi/", hi);
  Add(archive, "Data/Models/Low/", low);
  Add(archive, "Data/Models/", rest);
  archive.push_back(OContentFile{std::string("Data/Textures/") + ATLAS_NAME, BuildAtlasTga()});
}
