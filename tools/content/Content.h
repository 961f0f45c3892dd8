#pragma once
// The content compiler's generators. Each one makes one kind of the game's files from the sources
// in content/ and the code beside it, and appends them by the name the game loads them under.
// Generators are deterministic: the same sources give the same bytes on every machine.
#include <string>
#include <vector>

struct OContentFile {
  std::string name;  // "Data/Textures/Font.Tga", "Data/Sounds/Hit.wav", ...
  std::vector<unsigned char> bytes;
};

struct OContentContext {
  std::string contentDir;  // the repository's content/ folder
};

// Files for the resource archive "Data/Resource.Tkr".
void BuildPictures(const OContentContext& context, std::vector<OContentFile>& archive);
void BuildModels(const OContentContext& context, std::vector<OContentFile>& archive);
void BuildMusic(const OContentContext& context, std::vector<OContentFile>& archive);
// Loose files under "Data/Sounds/".
void BuildSounds(const OContentContext& context, std::vector<OContentFile>& loose);
