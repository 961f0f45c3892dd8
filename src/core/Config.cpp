#include "core/Config.h"

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "core/FileWrite.h"
#include "core/PlayerFiles.h"
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

// The file holds signed numbers: a negative one is below every range.
void Clamp(u32& field, i32 low, i32 high) {
  const i32 value = static_cast<i32>(field);
  field = static_cast<u32>(value < low ? low : value > high ? high : value);
}

void OneOf(u32& field, std::initializer_list<u32> allowed, u32 fallback) {
  for (u32 a : allowed)
    if (field == a) return;
  field = fallback;
}

}  // namespace

void OConfig::Normalize() {
  const OConfig defaults;
  OneOf(colorBits, {16, 32}, defaults.colorBits);
  if (textureQuality > CONFIG_MAX_TEXTURE_QUALITY) textureQuality = defaults.textureQuality;
  OneOf(modelDetail, {1, 2}, defaults.modelDetail);
  Clamp(soundVolume, 0, CONFIG_MAX_SOUND_VOLUME);
  Clamp(musicVolume, 0, CONFIG_MAX_MUSIC_VOLUME);
  Clamp(gameSpeed, CONFIG_MIN_GAME_SPEED, CONFIG_MAX_GAME_SPEED);
  if (brickSkin > 2) brickSkin = defaults.brickSkin;
  soundOn = soundOn ? 1 : 0;
  musicOn = musicOn ? 1 : 0;
  fullscreen = fullscreen ? 1 : 0;
  // A game cannot be resumed with a negative score or without a life left (the ball could never
  // be launched and the game never end): such a record holds nothing to resume.
  if (static_cast<i32>(savedScore) < 0 || static_cast<i32>(savedLives) < 1) {
    savedEpisode = savedScore = savedLives = savedLevel = 0;
  }
}

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
  Normalize();
  return true;
}

bool OConfig::Save() {
  if (fileName.empty()) return false;
  Normalize();
  if (resolutionIndex > 2) resolutionIndex = OConfig().resolutionIndex;
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
  if (PlayerFilesReadOnly()) {
    ReportSaveFailure("Settings", fileName, kReadOnlyReason);
    return false;
  }
  std::string error;
  if (!WriteFileAtomically(fileName, text.str(), &error)) {
    ReportSaveFailure("Settings", fileName, error);
    return false;
  }
  return true;
}

OConfig& GetConfig() {
  static OConfig config;
  return config;
}
