#include "shell/MessageBox.h"

#include <SDL.h>

#include <cstdio>

#include "shell/Text.h"

namespace {
OMessageSink sink = nullptr;
}

void ShowMessage(const std::string& text, const std::string& title, u32 icon) {
  std::string utf8Text = Cp1252ToUtf8(text);
  std::string utf8Title = Cp1252ToUtf8(title);
  std::fprintf(stderr, "%s: %s\n", utf8Title.c_str(), utf8Text.c_str());
  std::fflush(stderr);
  if (sink) {
    sink(text, title, icon);
    return;
  }
  Uint32 flags = icon == MB_ICON_INFORMATION ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
  SDL_ShowSimpleMessageBox(flags, utf8Title.c_str(), utf8Text.c_str(), nullptr);
}

void SetMessageSink(OMessageSink s) { sink = s; }
