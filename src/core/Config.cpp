#include "core/Config.h"

#include <fstream>
#include <sstream>
#include <string>

#include "core/FileWrite.h"
#include "core/Paths.h"

OConfig::OConfig() : fileName(ConfigFilePath()) { Reset(); }

void OConfig::Reset() {
  resolutionIndex = 1;
  colorBits = 32;
  textureQuality = 10;
  modelDetail = 2;
  soundOn = 1;
  musicOn = 1;
  soundVolume = 65000;
  musicVolume = 50;
  gameSpeed = 125;
  brickSkin = 0;
  fullscreen = 1;
  savedEpisode = 0;
  savedScore = 0;
  savedLives = 0;
  savedLevel = 0;
}

namespace {

// Each reader leaves the field alone once the stream has failed, so a damaged file keeps every
// value from the failing one on.
void ReadNumber(std::istream& in, u32& field) {
  i32 value;
  if (in >> value) field = static_cast<u32>(value);
}

void ReadFlag(std::istream& in, u8& field) {
  bool value;
  if (in >> value) field = value ? 1 : 0;
}

}  // namespace

bool OConfig::Load() {
  // No folder to keep settings in: play with the defaults and never write.
  if (fileName.empty()) {
    Reset();
    return false;
  }
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    Save();
    Reset();
    return false;
  }
  ReadNumber(in, resolutionIndex);
  ReadNumber(in, colorBits);
  ReadNumber(in, textureQuality);
  ReadNumber(in, modelDetail);
  ReadFlag(in, soundOn);
  ReadFlag(in, musicOn);
  ReadNumber(in, soundVolume);
  ReadNumber(in, musicVolume);
  ReadNumber(in, gameSpeed);
  ReadNumber(in, brickSkin);
  ReadNumber(in, savedEpisode);
  ReadNumber(in, savedScore);
  ReadNumber(in, savedLives);
  ReadFlag(in, fullscreen);
  ReadNumber(in, savedLevel);
  return true;
}

bool OConfig::Save() {
  if (fileName.empty()) return false;
  auto num = [](u32 v) { return static_cast<i32>(v); };
  std::ostringstream text;
  text << num(resolutionIndex) << '\n'
       << num(colorBits) << '\n'
       << num(textureQuality) << '\n'
       << num(modelDetail) << '\n'
       << (soundOn ? 1 : 0) << '\n'
       << (musicOn ? 1 : 0) << '\n'
       << num(soundVolume) << '\n'
       << num(musicVolume) << '\n'
       << num(gameSpeed) << '\n'
       << num(brickSkin) << '\n'
       << num(savedEpisode) << '\n'
       << num(savedScore) << '\n'
       << num(savedLives) << '\n'
       << (fullscreen ? 1 : 0) << '\n'
       << num(savedLevel);
  // Written through a temporary file renamed over the old one: a crash or a full disk at any
  // moment leaves the old settings or the new, never a torn file that would lose the resume record.
  return WriteFileAtomically(fileName, text.str());
}

OConfig& GetConfig() {
  static OConfig config;
  return config;
}
