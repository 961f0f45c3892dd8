#pragma once
// Helpers shared by the suites.
#include <string>
#include <vector>

#include "shell/Types.h"

// A fresh scratch folder (with a Data/ inside) that becomes the working directory for the life of
// the object, so that tests of files the game keeps beside itself never meet each other.
class ScratchDir {
public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path; }

private:
  std::string path;
  std::string previous;
};

// Whole-file helpers.
std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& bytes);
bool FileExists(const std::string& name);

// Message boxes recorded instead of shown, for the life of the object.
struct RecordedMessage {
  std::string text;
  std::string title;
  u32 icon;
};
class MessageRecorder {
public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const std::vector<RecordedMessage>& Messages() const;
};

// True when a virtual X display is there for tests that need a window.
bool HaveDisplay();

// Runs a command through the shell; returns its exit status (or -1), with standard output and
// error in `output`.
int RunCommand(const std::string& command, std::string* output = nullptr);

// Asks an X window to close as a window manager's close button would (WM_DELETE_WINDOW).
bool RequestWindowClose(unsigned long windowId);

// Starts a private Xvfb of the given screen size and points DISPLAY at it for the life of the
// object (for tests that need a display with one particular mode).
class PrivateDisplay {
public:
  PrivateDisplay(int width, int height);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool Ok() const { return ok; }

private:
  int pid = -1;
  bool ok = false;
  std::string previous;
};
