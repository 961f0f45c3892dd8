#pragma once
// Which OpenGL context the game is drawing in. Whoever keeps a GL name past a display change
// compares the serial, since the same number may name another object in a new context.
#include "core/Types.h"

// Counts the OpenGL contexts the game has created (0 before the first).
u32 GLContextSerial();
// Called by the window each time it makes a new context.
void CountGLContext();
// Whether the current context's OpenGL version is `major`.x or later (the game asks for 1.1 and
// uses later features only where the context has them).
bool GLVersionAtLeast(int major);
