#pragma once
// The player's settings and the record of a game to resume, mirrored in the file Config.Cfg as
// fifteen decimal numbers, one per line. There is exactly one record (GetConfig).
#include <string>

#include "core/Types.h"

// The ranges of the settings (the options screen's sliders stay inside them).
constexpr u32 CONFIG_MAX_TEXTURE_QUALITY = 10;
constexpr i32 CONFIG_MAX_SOUND_VOLUME = 65535;
constexpr i32 CONFIG_MAX_MUSIC_VOLUME = 100;
constexpr i32 CONFIG_MIN_GAME_SPEED = 75;  // percent
constexpr i32 CONFIG_MAX_GAME_SPEED = 150;

class OConfig {
public:
  OConfig();

  // Reads the file. A missing file is written with the current values, the record is reset to the
  // defaults and false is returned. A value that does not parse (or a flag other than 0 or 1, or an
  // early end) stops the reading: it and every later value keep what they had; true is returned.
  // What was read is then Normalized; an out-of-range resolution is left for the window, which
  // resets the whole record for it.
  bool Load();
  // Brings every value but the resolution into its range: volumes and the game speed are clamped,
  // a colour depth, texture quality, model detail or brick skin that names no choice takes its
  // default, and a resume record with a negative score or less than one life is cleared.
  void Normalize();
  // Normalizes the record (the resolution too: past 2 it takes its default), then writes the
  // fifteen values, the last without a line end, atomically (WriteFileAtomically): a crash or a
  // failed write never loses the file that was there. False when nothing was written (the old
  // file, if any, is left as it was): the failure is reported (ReportSaveFailure). While another
  // copy of the game holds the player's files nothing is written.
  bool Save();
  // All values to their defaults; the file name stays.
  void Reset();

  u32 resolutionIndex;  // 0 640x480, 1 800x600, 2 1024x768
  u32 colorBits;        // 16 or 32; the window uses the low byte
  u32 textureQuality;   // texture filter mode 0..10
  u32 modelDetail;      // 2 high-detail models, 1 low-detail
  u8 soundOn;
  u8 musicOn;
  u32 soundVolume;  // 0..65535
  u32 musicVolume;  // 0..100
  u32 gameSpeed;    // percent
  u32 brickSkin;    // 0 "Bricks.Tga", 1 "BricksC.jpg", 2 "BricksJ.jpg"
  u8 fullscreen;
  // Resume record of a game that was left; savedLevel 0 means there is nothing to resume.
  u32 savedEpisode;
  u32 savedScore;
  u32 savedLives;
  u32 savedLevel;
  // Where Load and Save go: the player's settings file (ConfigFilePath); "" means there is nowhere
  // to keep settings, so Load gives the defaults and Save writes nothing.
  std::string fileName;
};

// The one configuration record, created with the defaults on first use (the file is not read then).
OConfig& GetConfig();
