#include "support/GLContext.h"

#include <sstream>

std::string WindowedConfigText(u32 textureQuality) {
  // The fifteen values in file order: resolution, colour bits, texture quality, model detail,
  // sound, music, sound volume, music volume, game speed, brick skin, saved episode, saved score,
  // saved lives, full screen, saved level.
  std::ostringstream s;
  s << "0\n32\n" << textureQuality << "\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
  return s.str();
}

bool TestGLWindow::Open(u32 textureQuality) {
  if (!HaveDisplay()) return false;
  WriteFile("Data/Config.Cfg", WindowedConfigText(textureQuality));
  Create("3D", "Brikon 3D test", 640, 480, false);
  return HasContext() && MakeCurrent();
}
