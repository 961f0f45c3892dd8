#include "core/Notice.h"

namespace {

std::string& Pending() {
  static std::string line;
  return line;
}

}  // namespace

void PostNotice(const std::string& line) { Pending() = line; }

std::string TakeNotice() {
  std::string line;
  line.swap(Pending());
  return line;
}
