#pragma once
// Helpers of the fuzzers whose readers take a file name rather than bytes: each process gets one
// private scratch file that every input is written to before the reader opens it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/Types.h"

// The scratch file's path, made once per process (in TMPDIR or /tmp) and removed at exit.
inline const std::string& FuzzScratchPath() {
  static std::string path;
  if (path.empty()) {
    const char* dir = std::getenv("TMPDIR");
    path = std::string(dir && *dir ? dir : "/tmp") + "/brikon-fuzz-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) std::abort();
    close(fd);
    std::atexit([] { std::remove(path.c_str()); });
  }
  return path;
}

// Replaces the scratch file's contents with the input.
inline void WriteScratch(const u8* data, size_t size) {
  if (!std::ofstream(FuzzScratchPath(), std::ios::binary).write(reinterpret_cast<const char*>(data), size))
    std::abort();
}

// The scratch file's contents.
inline std::string ReadScratch() {
  std::ifstream in(FuzzScratchPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Ends the run as a crash with a message, for properties the reader's contract promises.
#define FUZZ_CHECK(condition)                                                    \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)
