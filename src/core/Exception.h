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

// A required data file is missing or cannot be decoded. Exit status 3.
class OFileNotFound : public OException {
public:
  explicit OFileNotFound(const std::string& name) : OException(3, name) {}
};
