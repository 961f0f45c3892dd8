#include "scene/ContextSerial.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {
u32 contextSerial = 0;
}  // namespace

u32 GLContextSerial() { return contextSerial; }

void CountGLContext() { ++contextSerial; }

bool GLVersionAtLeast(int major) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  return version != nullptr && std::atoi(version) >= major;
}
