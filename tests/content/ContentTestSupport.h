#pragma once
// Shared by the content tests: the built game's archive and the content compiler.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "assets/ImageDecode.h"
#include "assets/Resource.h"
#include "support/TestSupport.h"

inline std::string ContentCompiler() { return std::string(BRIKON_BINARY_DIR) + "/tools/content/brikon-content"; }
inline std::string ContentSources() { return std::string(BRIKON_SOURCE_DIR) + "/content"; }

// The exit status of the compiler's dump of one generator ("sounds", "music"...) from `content`.
inline int Dump(const std::string& content, const std::string& out, const std::string& what,
                std::string* log = nullptr) {
  return RunCommand("'" + ContentCompiler() + "' dump '" + content + "' '" + out + "' " + what, log);
}

// The archive the normal build wrote into the game folder.
inline OResource& BuiltArchive() {
  static OResource archive(std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr");
  [[maybe_unused]] static bool opened = archive.Open();
  return archive;
}

// A texture of the built archive through the game's own decoders; false when missing or broken.
inline bool LoadTexture(const std::string& name, ODecodedImage& image) {
  const std::string path = "Data/Textures/" + name;
  std::unique_ptr<u8[]> bytes = BuiltArchive().Read(path);
  return bytes && DecodeImage(path, bytes.get(), BuiltArchive().GetSize(path), image);
}

// A scratch content folder ./content whose eight scores are all `score`.
inline void WriteScores(const std::string& score) {
  RunCommand("mkdir -p content/music");
  for (const char* name : {"popcorn", "magnitude", "believing", "modern", "otis", "star", "madsad", "menu"})
    WriteFile(std::string("content/music/") + name + ".score", score);
}
