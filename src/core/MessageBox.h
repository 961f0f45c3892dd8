#pragma once
// Modal message boxes. The text is in the game's own Windows-1252 bytes. Every message is also
// written to standard error, so it is seen where no window can open. The window layer registers
// the desktop's box; tests replace the sink so that a box records instead of blocking.
#include <string>

#include "core/Types.h"

constexpr u32 MB_ICON_ERROR = 16;
constexpr u32 MB_ICON_INFORMATION = 64;

using OMessageSink = void (*)(const std::string& text, const std::string& title, u32 icon);

void ShowMessage(const std::string& text, const std::string& title, u32 icon = MB_ICON_ERROR);
// Replaces the box (standard error is still written); nullptr restores the platform's box.
void SetMessageSink(OMessageSink sink);
// The platform's box, shown when no sink replaces it; until one is registered a message goes to
// standard error only.
void SetPlatformMessageBox(OMessageSink box);
