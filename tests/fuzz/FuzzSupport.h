#pragma once
// Helpers of the fuzzers whose readers take a file name rather than bytes: each process gets one
// private scratch file that every input is written to before the reader opens it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Types.h"

// The scratch file's path, made once per process (in TMPDIR or /tmp) and removed at exit.
inline const std::string& FuzzScratchPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/brikon-fuzz-XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    static std::string removeAtExit;
    removeAtExit = pattern;
    std::atexit([] {
      std::remove(removeAtExit.c_str());
    });
    return pattern;
  }();
  return path;
}

// Replaces the scratch file's contents with the input.
inline void WriteScratch(const u8* data, size_t size) {
  std::FILE* f = std::fopen(FuzzScratchPath().c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// Ends the run as a crash with a message, for properties the reader's contract promises.
#define FUZZ_CHECK(condition)                                                    \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)
