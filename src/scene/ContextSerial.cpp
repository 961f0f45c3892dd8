#include "scene/ContextSerial.h"

namespace {
u32 contextSerial = 0;
}  // namespace

u32 GLContextSerial() { return contextSerial; }

void CountGLContext() { ++contextSerial; }
