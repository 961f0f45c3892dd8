#include "core/MessageBox.h"

#include <cstdio>

#include "core/Text.h"

namespace {
OMessageSink sink = nullptr;
OMessageSink platformBox = nullptr;
}  // namespace

void ShowMessage(const std::string& text, const std::string& title, u32 icon) {
  std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(title).c_str(), Cp1252ToUtf8(text).c_str());
  std::fflush(stderr);
  if (sink) {
    sink(text, title, icon);
  } else if (platformBox) {
    platformBox(text, title, icon);
  }
}

void SetMessageSink(OMessageSink s) { sink = s; }

void SetPlatformMessageBox(OMessageSink box) { platformBox = box; }
