#include "game/Top.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "core/FileWrite.h"
#include "core/PlayerFiles.h"

#include "scene/Font.h"

namespace {

// The key runs from kKeyStart up to kKeyLast and starts again: a period of 82 bytes.
constexpr u8 kKeyStart = 0x2B;
constexpr u8 kKeyLast = kKeyStart + 81;

// A table file is a few hundred bytes; anything far larger is not one of ours.
constexpr std::streamoff kMaxFileBytes = 1 << 20;

// Names are stored as one token: every space (and any other blank a name could carry) becomes "_".
std::string StoredName(const std::string& name) {
  std::string s = name.empty() ? std::string("NoName") : name;
  for (char& c : s)
    if (std::isspace(static_cast<unsigned char>(c))) c = '_';
  return s;
}

bool IsBlank(const std::string& name) {
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

bool ByScore(const std::unique_ptr<OTopEntry>& a, const std::unique_ptr<OTopEntry>& b) {
  return a->score > b->score;
}

}  // namespace

std::string TableName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (out.size() == static_cast<size_t>(TOP_NAME_LENGTH)) break;
    // Any blank is a space; other characters stay only when the font draws them as text.
    if (std::isspace(static_cast<unsigned char>(c))) c = ' ';
    if (IsNameCharacter(static_cast<u8>(c))) out += c;
  }
  return IsBlank(out) ? std::string("NoName") : out;
}

void ScrambleTop(std::string& bytes) {
  u8 key = kKeyStart;
  for (char& c : bytes) {
    c = static_cast<char>(static_cast<u8>(c) ^ key);
    key = key == kKeyLast ? kKeyStart : static_cast<u8>(key + 1);
  }
}

bool ParseTop(const std::string& text, i32 capacity, std::vector<OTopEntry>& out) {
  out.clear();
  std::istringstream in(text);
  std::string name;
  i32 score;
  while (in >> name >> score) {
    std::replace(name.begin(), name.end(), '_', ' ');
    out.push_back({name, score});
    if (static_cast<i32>(out.size()) > capacity) break;
  }
  return static_cast<i32>(out.size()) == capacity;
}

OTop::OTop(std::string name, i32 places) : fileName(std::move(name)), capacity(places), rank(-1) {}

bool OTop::Load() {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    Reset();
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  std::vector<OTopEntry> read;
  bool ok = false;
  if (size >= 0 && size <= kMaxFileBytes) {
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(&bytes[0], size);
    if (in.gcount() == size) {
      ScrambleTop(bytes);
      ok = ParseTop(bytes, capacity, read);
    }
  }
  if (!ok) {
    Reset();
    return false;
  }
  // A file written by anyone else may hold any names in any order: it is shown as a table of
  // ours would be, each name as the name field could have typed it, highest score first (equal
  // scores keep their order, as Insert keeps them).
  entries.clear();
  for (OTopEntry& e : read)
    entries.push_back(std::make_unique<OTopEntry>(OTopEntry{TableName(e.name), e.score}));
  std::stable_sort(entries.begin(), entries.end(), ByScore);
  return true;
}

bool OTop::Save() {
  std::string text;
  for (const auto& e : entries) {
    text += StoredName(e->name);
    text += '\n';
    text += std::to_string(e->score);
    text += '\n';
  }
  ScrambleTop(text);
  // No folder to keep scores in: the table lives in memory only.
  if (fileName.empty()) return false;
  // Atomically: the old table survives any failure.
  if (PlayerFilesReadOnly()) {
    ReportSaveFailure("Scores", fileName, kReadOnlyReason);
    return false;
  }
  std::string error;
  if (!WriteFileAtomically(fileName, text, &error)) {
    ReportSaveFailure("Scores", fileName, error);
    return false;
  }
  return true;
}

bool OTop::Qualifies(i32 score) {
  if (entries.empty()) {
    rank = 1;
    return true;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i]->score < score) {
      rank = static_cast<i32>(i) + 1;
      return true;
    }
  }
  rank = -1;
  return false;
}

bool OTop::Insert(const std::string& name, i32 score) {
  if (!Qualifies(score)) return false;
  entries.push_back(std::make_unique<OTopEntry>(OTopEntry{TableName(name), score}));
  std::stable_sort(entries.begin(), entries.end(), ByScore);
  // An empty table (never loaded) keeps the one entry; a full one keeps its capacity.
  if (static_cast<i32>(entries.size()) > capacity) entries.pop_back();
  Save();
  return true;
}

void OTop::Reset() {
  entries.clear();
  for (i32 i = 0; i < capacity; ++i)
    entries.push_back(std::make_unique<OTopEntry>(OTopEntry{"Empty", 0}));
}
