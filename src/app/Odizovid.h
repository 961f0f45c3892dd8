#pragma once
// Brikon 3D's own application: creates the six screens, registers the sound effects and the music
// lists, and applies the stored volumes and switches.
#include <memory>

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
