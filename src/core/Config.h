#pragma once
// The player's settings and the record of a game to resume, mirrored in the file Config.Cfg as
// fifteen decimal numbers, one per line. There is exactly one record (GetConfig).
#include <string>

#include "core/Types.h"

class OConfig {
public:
  OConfig();

  // Reads the file. A missing file is written with the current values, the record is reset to the
  // defaults and false is returned. A value that does not parse (or a flag other than 0 or 1, or an
  // early end) stops the reading: it and every later value keep what they had; true is returned.
  bool Load();
  // Writes the fifteen values, the last without a line end, atomically (WriteFileAtomically): a
  // crash or a failed write never loses the file that was there. False when nothing was written
  // (the old file, if any, is left as it was).
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
