#include "core/Settings.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/FileWrite.h"

namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

bool HasLineEnd(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::map<std::string, std::string> ParseSettings(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    const size_t eq = trimmed.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(trimmed.substr(0, eq));
    if (key.empty()) continue;
    values[key] = Trim(trimmed.substr(eq + 1));
  }
  return values;
}

std::string FormatSettings(const std::map<std::string, std::string>& values) {
  std::string text;
  for (const auto& [key, value] : values) text += key + " = " + value + "\n";
  return text;
}

std::string SettingsFileName(const std::string& configFileName) {
  // No settings file (the player has no folder for settings): no second file either.
  if (configFileName.empty()) return "";
  const size_t slash = configFileName.rfind('/');
  if (slash == std::string::npos) return "Settings.Cfg";
  return configFileName.substr(0, slash + 1) + "Settings.Cfg";
}

bool OSettings::Load(const std::string& fileName) {
  values.clear();
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  // A settings file is a few hundred bytes; a huge one is not ours, and is read no further than
  // this so that a damaged file cannot hold the start-up.
  constexpr std::streamsize kMaxBytes = 64 * 1024;
  std::string text(static_cast<size_t>(kMaxBytes), '\0');
  in.read(&text[0], kMaxBytes);
  text.resize(static_cast<size_t>(in.gcount()));
  values = ParseSettings(text);
  return true;
}

bool OSettings::Save(const std::string& fileName, std::string* error) const {
  if (fileName.empty()) return false;
  return WriteFileAtomically(fileName, FormatSettings(values), error);
}

std::string OSettings::Get(const std::string& key, const std::string& fallback) const {
  const auto it = values.find(key);
  return it == values.end() ? fallback : it->second;
}

i32 OSettings::GetInt(const std::string& key, i32 fallback, i32 low, i32 high) const {
  const auto it = values.find(key);
  if (it == values.end() || it->second.empty()) return fallback;
  const char* text = it->second.c_str();
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return fallback;
  return static_cast<i32>(v);
}

bool OSettings::GetBool(const std::string& key, bool fallback) const {
  const std::string v = Get(key, "");
  if (v == "1" || v == "true" || v == "yes" || v == "on") return true;
  if (v == "0" || v == "false" || v == "no" || v == "off") return false;
  return fallback;
}

bool OSettings::Set(const std::string& key, const std::string& value) {
  const std::string k = Trim(key);
  if (k.empty() || k[0] == '#' || HasLineEnd(key) || HasLineEnd(value) ||
      k.find('=') != std::string::npos)
    return false;
  values[k] = Trim(value);
  return true;
}

void OSettings::SetInt(const std::string& key, i32 value) { Set(key, std::to_string(value)); }

void OSettings::SetBool(const std::string& key, bool value) { Set(key, value ? "1" : "0"); }

void OSettings::Remove(const std::string& key) { values.erase(Trim(key)); }
