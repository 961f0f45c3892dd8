#pragma once
// The game screen behind the link the episode selection and high-score screens use: the episode
// index, the bat's score, the grid's status and the two tables of the game screen.
#include <memory>

#include "ui/screens/GameLink.h"

class ORenderWindow;

// A link to the game screen, or null when the screen given is not the game screen.
std::unique_ptr<OGameLink> MakeGameLink(ORenderWindow* gameScreen);
