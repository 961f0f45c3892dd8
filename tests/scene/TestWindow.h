#pragma once
// A real OpenGL context for GL tests: a 640x480 window opened windowed from a configuration
// written into a scratch folder. Message boxes are recorded instead of shown.
#include <gtest/gtest.h>

#include "shell/Config.h"
#include "shell/GLWindow.h"
#include "support/TestSupport.h"

class TestGLWindow : public OGLWindow {};

class TestGLContext {
public:
  TestGLContext() {
    OConfig& config = GetConfig();
    config.Reset();
    config.fullscreen = 0;
    config.resolutionIndex = 0;
    config.Save();
    window = new TestGLWindow;
    ok = window->Create("BrikonTest", "Brikon test", 640, 480, false) && window->HasContext();
  }
  ~TestGLContext() { delete window; }
  TestGLContext(const TestGLContext&) = delete;
  TestGLContext& operator=(const TestGLContext&) = delete;

  bool Ok() const { return ok; }
  // Closes the window and its context.
  void Close() {
    delete window;
    window = nullptr;
  }

  ScratchDir dir;
  MessageRecorder messages;
  TestGLWindow* window = nullptr;

private:
  bool ok = false;
};
