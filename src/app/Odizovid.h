#pragma once
// Brikon 3D's own application: creates the six screens, registers the sound effects and the music
// lists, and applies the stored volumes and switches.
#include <memory>
#include <string>
#include <vector>

#include "shell/Application.h"
#include "ui/screens/GameLink.h"

class ORenderWindow;

class ROdizovid : public OApplication {
public:
  bool Load() override;

  // The six screens, created by Load in this order (owned through the screen list).
  ORenderWindow* menu = nullptr;     // 201
  ORenderWindow* game = nullptr;     // 202
  ORenderWindow* options = nullptr;  // 203
  ORenderWindow* help = nullptr;     // 204
  ORenderWindow* scores = nullptr;   // 206
  ORenderWindow* select = nullptr;   // 207
  // How the episode selection and high-score screens reach the game screen; null while the
  // game screen is not the real one.
  std::unique_ptr<OGameLink> gameLink;
};

// The folders that keep the player's files: the settings' (with the resume record) and the two
// score tables'. The one place that knows where they are, for the lock taken at start.
std::vector<std::string> PlayerFileFolders();
