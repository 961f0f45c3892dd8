#include "shell/ShellSettings.h"

#include <algorithm>

#include "core/Settings.h"

namespace {

constexpr i32 SIZE_MAX_SIDE = 16384;
constexpr i32 SIZE_MIN_SIDE = 64;

// A width and height read as a pair: both in range, or both 0.
void ReadSize(const OSettings& s, const char* wKey, const char* hKey, i32& w, i32& h) {
  w = s.GetInt(wKey, 0, 0, SIZE_MAX_SIDE);
  h = s.GetInt(hKey, 0, 0, SIZE_MAX_SIDE);
  if (w < SIZE_MIN_SIDE || h < SIZE_MIN_SIDE) w = h = 0;
}

}  // namespace

OShellSettings LoadShellSettings(const std::string& configFileName) {
  OSettings s;
  s.Load(SettingsFileName(configFileName));
  OShellSettings r;
  ReadSize(s, "fullscreen.width", "fullscreen.height", r.fullscreenWidth, r.fullscreenHeight);
  ReadSize(s, "window.width", "window.height", r.windowWidth, r.windowHeight);
  r.vsync = s.GetBool("vsync", r.vsync);
  r.showFps = s.GetBool("show.fps", r.showFps);
  r.mouseSensitivity = s.GetInt("mouse.sensitivity", r.mouseSensitivity, MOUSE_SENSITIVITY_MIN,
                                MOUSE_SENSITIVITY_MAX);
  r.keyboardSpeed = s.GetInt("keyboard.speed", r.keyboardSpeed, MOUSE_SENSITIVITY_MIN,
                             MOUSE_SENSITIVITY_MAX);
  return r;
}

bool SaveShellSettings(const OShellSettings& settings, const std::string& configFileName) {
  const std::string name = SettingsFileName(configFileName);
  // Read again first: the file also holds what other parts of the game keep there.
  OSettings s;
  s.Load(name);
  s.SetInt("fullscreen.width", settings.fullscreenWidth);
  s.SetInt("fullscreen.height", settings.fullscreenHeight);
  s.SetInt("window.width", settings.windowWidth);
  s.SetInt("window.height", settings.windowHeight);
  s.SetBool("vsync", settings.vsync);
  s.SetBool("show.fps", settings.showFps);
  s.SetInt("mouse.sensitivity", settings.mouseSensitivity);
  s.SetInt("keyboard.speed", settings.keyboardSpeed);
  return s.Save(name);
}

std::vector<ODisplayMode> FullscreenSizeChoices(const std::vector<ODisplayMode>& listed) {
  std::vector<ODisplayMode> sizes = {{640, 480}, {800, 600}, {1024, 768}};
  for (const ODisplayMode& m : listed) {
    if (m.width >= SIZE_MIN_SIDE && m.height >= SIZE_MIN_SIDE) sizes.push_back(m);
  }
  const auto area = [](const ODisplayMode& m) { return static_cast<i32>(m.width) * m.height; };
  std::sort(sizes.begin(), sizes.end(), [&](const ODisplayMode& a, const ODisplayMode& b) {
    return area(a) != area(b) ? area(a) < area(b) : a.width < b.width;
  });
  sizes.erase(std::unique(sizes.begin(), sizes.end(),
                          [](const ODisplayMode& a, const ODisplayMode& b) {
                            return a.width == b.width && a.height == b.height;
                          }),
              sizes.end());
  sizes.insert(sizes.begin(), ODisplayMode{0, 0});
  return sizes;
}
