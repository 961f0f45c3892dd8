#pragma once
// The game's models by family, each appended to `out` under the name the game loads it by
// (relative to "Data/Models/").
#include <map>
#include <string>
#include <vector>

#include "models/Mesh.h"

struct ONamedModel {
  std::string name;
  OMeshModel model;
};

// Hits per brick code from the text of content/bricks.txt ("code hits ..." lines, '#' comments).
// Returns false (and leaves `hits` partial) on a line it cannot read.
bool ParseBrickHits(const std::string& text, std::map<int, int>& hits);

// "Block/<code>.Zmod" for every code of `hits`: one object per hit, cube from -1 to 1, outward
// triangles, no texture (the grid binds the skin), each face mapping the whole skin. `hi` picks
// the detailed variant; the low one has the same objects with fewer triangles.
void BuildBricks(const std::map<int, int>& hits, bool hi, std::vector<ONamedModel>& out);
// "SkinBlocks.Zmod": the options screen's preview of the brick skin.
void BuildSkinBlocks(std::vector<ONamedModel>& out);
// The six cages "CDBox.Zmod" ... "MHBox.Zmod", 64 x 64 x 192 from z = 0, open toward -z.
void BuildCages(std::vector<ONamedModel>& out);
// The ten "Bonus/..." models.
void BuildBonuses(std::vector<ONamedModel>& out);
// Balls, bat, titles, episode buttons and the options screen's controls.
void BuildProps(std::vector<ONamedModel>& out);
