#include "support/GLContext.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
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
  const bool ok = HasContext() && MakeCurrent();
  if (!ok) std::fprintf(stderr, "test window: %s (%s)\n", failure.c_str(), SDL_GetError());
  return ok;
}

std::vector<u8> ReadBackBuffer(int w, int h) {
  std::vector<u8> rgb(static_cast<size_t>(w) * h * 3);
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

void SavePicture(const std::string& folder, const std::string& name, int w, int h,
                 const std::vector<u8>& rgb) {
  const std::string dir = std::string(BRIKON_BINARY_DIR) + "/" + folder;
  RunCommand("mkdir -p '" + dir + "'");
  const std::string ppm = dir + "/" + name + ".ppm";
  FILE* f = std::fopen(ppm.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  // PPM rows run from the top.
  for (int y = h - 1; y >= 0; --y) std::fwrite(&rgb[static_cast<size_t>(y) * w * 3], 1, static_cast<size_t>(w) * 3, f);
  std::fclose(f);
  RunCommand("convert '" + ppm + "' '" + dir + "/" + name + ".png' 2>/dev/null && rm -f '" + ppm + "'");
}
