#include "LevelFile.h"

#include <sstream>

#include "playfield/LevelCheck.h"

namespace {

// Layers of a corridor stage: the corridor advances this many layers per stage.
constexpr i32 STAGE_LAYERS = 6;

std::string Where(const std::string& path, i32 line, i32 column) {
  return path + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

// Cell characters: '.' (or '0') empty, '1'..'9' the codes of those numbers, 'A'..'E' codes 10..14.
i32 CellCode(char c) {
  if (c == '.') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'E') return 10 + (c - 'A');
  return -1;
}

std::string StripComment(const std::string& line) {
  const size_t hash = line.find('#');
  return hash == std::string::npos ? line : line.substr(0, hash);
}

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r") == std::string::npos; }

// Words of a line with the 1-based column where each starts.
struct Word {
  std::string text;
  i32 column;
};
std::vector<Word> SplitWords(const std::string& s) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
    if (i >= s.size()) break;
    const size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r') ++i;
    words.push_back({s.substr(start, i - start), static_cast<i32>(start) + 1});
  }
  return words;
}

bool ParseCount(const std::string& word, i32 low, i32 high, i32& value) {
  if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoi(word);
  return value >= low && value <= high;
}

// "episode E classic|corridor size N layers L levels C"
bool ParseHeader(const std::vector<Word>& words, OEpisodeFile& out, std::string& what) {
  if (words.size() != 9 || words[0].text != "episode" || words[2].text.empty() ||
      words[3].text != "size" || words[5].text != "layers" || words[7].text != "levels") {
    what = "expected \"episode E classic|corridor size N layers L levels C\"";
    return false;
  }
  if (!ParseCount(words[1].text, 0, 5, out.episode)) {
    what = "episode must be 0..5";
    return false;
  }
  if (words[2].text != "classic" && words[2].text != "corridor") {
    what = "mode must be classic or corridor";
    return false;
  }
  out.corridor = words[2].text == "corridor";
  if (!ParseCount(words[4].text, 1, 16, out.n)) {
    what = "size must be 1..16";
    return false;
  }
  if (!ParseCount(words[6].text, 1, 4096, out.layers)) {
    what = "layers must be 1..4096";
    return false;
  }
  if (!ParseCount(words[8].text, 1, 999, out.levelCount)) {
    what = "levels must be 1..999";
    return false;
  }
  return true;
}

// Appends the bytes of one finished level, layer by layer, in the game's row order: row 0 is the
// top text row in a classic level and the bottom text row in a corridor (the text always shows
// the bricks as the player sees them, top row on top).
void AppendLevelBytes(const OEpisodeFile& file, const std::vector<std::vector<std::string>>& rows,
                      i32 layers, std::vector<u8>& bytes) {
  for (i32 layer = 0; layer < layers; ++layer)
    for (i32 row = 0; row < file.n; ++row) {
      const i32 textRow = file.corridor ? file.n - 1 - row : row;
      const std::string& cells = rows[static_cast<size_t>(textRow)][static_cast<size_t>(layer)];
      for (char c : cells) bytes.push_back(static_cast<u8>(CellCode(c)));
    }
}

}  // namespace

bool ReadEpisodeFile(const std::string& path, const std::string& text, OEpisodeFile& out,
                     std::string& error) {
  out = OEpisodeFile();
  out.path = path;
  const std::string levelWord = "level", stageWord = "stage";
  std::istringstream lines(text);
  std::string raw;
  i32 number = 0;
  bool haveHeader = false;
  std::vector<std::vector<std::string>> rows;  // the level being read: [text row][layer]

  auto finishLevel = [&]() -> bool {
    if (out.levels.empty()) return true;
    OLevelText& level = out.levels.back();
    if (static_cast<i32>(rows.size()) != out.n) {
      error = Where(path, level.line, 0) + "\"" + level.name + "\" has " +
              std::to_string(rows.size()) + " rows of cells, expected " + std::to_string(out.n);
      return false;
    }
    AppendLevelBytes(out, rows, level.layers, out.bytes);
    rows.clear();
    return true;
  };

  while (std::getline(lines, raw)) {
    ++number;
    const std::string line = StripComment(raw);
    if (IsBlank(line)) continue;
    const std::vector<Word> words = SplitWords(line);

    if (!haveHeader) {
      std::string what;
      if (!ParseHeader(words, out, what)) {
        error = Where(path, number, 0) + what;
        return false;
      }
      haveHeader = true;
      continue;
    }

    const std::string& expected = out.corridor ? stageWord : levelWord;
    if (words[0].text == levelWord || words[0].text == stageWord) {
      if (words[0].text != expected) {
        error = Where(path, number, words[0].column) + "a " +
                (out.corridor ? "corridor" : "classic") + " episode holds \"" + expected +
                "\" blocks";
        return false;
      }
      if (!finishLevel()) return false;
      OLevelText level;
      level.line = number;
      level.name = words.size() > 1 ? line.substr(static_cast<size_t>(words[1].column) - 1) : "";
      while (!level.name.empty() && (level.name.back() == ' ' || level.name.back() == '\r'))
        level.name.pop_back();
      if (level.name.empty()) {
        error = Where(path, number, 0) + "a " + expected + " needs a name";
        return false;
      }
      out.levels.push_back(level);
      continue;
    }

    // A row of cells: one group of n characters per layer.
    if (out.levels.empty()) {
      error = Where(path, number, words[0].column) + "cells before the first \"" + expected +
              "\" heading";
      return false;
    }
    OLevelText& level = out.levels.back();
    if (static_cast<i32>(rows.size()) == out.n) {
      error = Where(path, number, words[0].column) + "\"" + level.name + "\" already has its " +
              std::to_string(out.n) + " rows of cells";
      return false;
    }
    const i32 groups = static_cast<i32>(words.size());
    if (rows.empty()) {
      const bool ok = out.corridor ? groups >= 1 && groups <= STAGE_LAYERS : groups == out.layers;
      if (!ok) {
        error = Where(path, number, 0) + "row has " + std::to_string(groups) +
                " groups of cells (layers), expected " +
                (out.corridor ? "1 to " + std::to_string(STAGE_LAYERS)
                              : std::to_string(out.layers));
        return false;
      }
      level.layers = groups;
    } else if (groups != level.layers) {
      error = Where(path, number, 0) + "row has " + std::to_string(groups) +
              " groups of cells (layers), the first row of \"" + level.name + "\" has " +
              std::to_string(level.layers);
      return false;
    }
    std::vector<std::string> cells;
    std::vector<i32> columns;
    for (const Word& w : words) {
      if (static_cast<i32>(w.text.size()) != out.n) {
        error = Where(path, number, w.column) + "group \"" + w.text + "\" has " +
                std::to_string(w.text.size()) + " cells, expected " + std::to_string(out.n);
        return false;
      }
      for (size_t c = 0; c < w.text.size(); ++c)
        if (CellCode(w.text[c]) < 0) {
          error = Where(path, number, w.column + static_cast<i32>(c)) + "'" +
                  std::string(1, w.text[c]) +
                  "' is not a cell (use . for empty, 1-9 and A-E for the brick codes 1..14)";
          return false;
        }
      cells.push_back(w.text);
      columns.push_back(w.column);
    }
    rows.push_back(cells);
    level.rowLines.push_back(number);
    level.groupColumns.push_back(columns);
  }

  if (!haveHeader) {
    error = Where(path, number, 0) + "empty file: expected the episode heading";
    return false;
  }
  if (!finishLevel()) return false;

  if (out.corridor) {
    i32 total = 0;
    for (size_t i = 0; i < out.levels.size(); ++i) {
      const OLevelText& stage = out.levels[i];
      if (stage.layers != STAGE_LAYERS && i + 1 != out.levels.size()) {
        error = Where(path, stage.line, 0) + "\"" + stage.name + "\" has " +
                std::to_string(stage.layers) + " layers: only the corridor's last stage may " +
                "have fewer than " + std::to_string(STAGE_LAYERS);
        return false;
      }
      total += stage.layers;
    }
    if (total != out.layers) {
      error = Where(path, number, 0) + "the stages hold " + std::to_string(total) +
              " layers, the heading says the corridor has " + std::to_string(out.layers);
      return false;
    }
  } else if (static_cast<i32>(out.levels.size()) != out.levelCount) {
    error = Where(path, number, 0) + "the file holds " + std::to_string(out.levels.size()) +
            " levels, the heading says " + std::to_string(out.levelCount);
    return false;
  }
  return true;
}

bool ValidateEpisode(const OEpisodeFile& file, std::string& error) {
  const i32 layerSize = file.n * file.n;
  i32 firstLayer = 0;  // first layer of the current level or stage in the byte table
  for (const OLevelText& level : file.levels) {
    const u8* cells = file.bytes.data() + static_cast<size_t>(firstLayer) * layerSize;
    const OLevelFault fault =
        file.corridor ? CheckCorridorStage(cells, file.n, file.layers - firstLayer)
                      : CheckClassicLevel(cells, file.n, level.layers);
    if (!fault.ok) {
      i32 line = level.line, column = 0;
      std::string cell;
      if (fault.row >= 0 && fault.layer >= 0 && fault.layer < level.layers) {
        const size_t textRow = static_cast<size_t>(file.corridor ? file.n - 1 - fault.row
                                                                 : fault.row);
        line = level.rowLines[textRow];
        column = level.groupColumns[textRow][static_cast<size_t>(fault.layer)] + fault.column;
        cell = "layer " + std::to_string(fault.layer) + ": ";
      }
      error = Where(file.path, line, column) + (file.corridor ? "stage" : "level") + " \"" +
              level.name + "\": " + cell + fault.message;
      return false;
    }
    firstLayer += level.layers;
  }
  return true;
}
