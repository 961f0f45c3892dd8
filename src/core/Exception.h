#pragma once
// The two fatal failures of the game. Both travel up to main, which shows a message box and ends
// the process with the exception's code as its exit status.
#include <string>

#include "core/Types.h"

class OException {
public:
  OException(u32 code, std::string message) : code(code), message(std::move(message)) {}
  virtual ~OException() = default;

  u32 code;
  std::string message;
};

// The OpenGL driver is a generic software rasteriser that cannot run the game. Exit status 1.
class OSoftwareGL : public OException {
public:
  OSoftwareGL() : OException(1, "Software OpenGL renderer") {}
};

// A required data file is missing or cannot be decoded. Exit status 3. The message is the file's
// path; the reason says what is wrong with it.
class OFileNotFound : public OException {
public:
  OFileNotFound(const std::string& path, std::string why) : OException(3, path), reason(std::move(why)) {}

  std::string reason;
};
