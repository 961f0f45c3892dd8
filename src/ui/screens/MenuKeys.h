#pragma once
// The two keys every menu screen (main menu, episode selection, options, help, high scores)
// answers the same way once its controls have had their turn.
#include "core/Input.h"
#include "shell/Application.h"

// Ctrl minimises the window and is not consumed (false), like any key a screen does not use: the
// window going away is the application's doing, not the screen's. Esc runs the screen's own step
// `escape` (back to the menu, revert, record a name, ...) and is consumed (true). Other keys and
// other events: false.
template <class EscapeStep>
bool HandleMenuKeys(OApplication* app, const OInputEvent& event, EscapeStep escape) {
  if (event.type != EV_KEYDOWN) return false;
  if (event.key == VK_CONTROL && app != nullptr) app->Minimize(false);
  if (event.key != VK_ESCAPE) return false;
  escape();
  return true;
}
