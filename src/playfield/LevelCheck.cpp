#include "playfield/LevelCheck.h"

#include <sstream>

bool IsValidCellCode(u8 code) { return code <= 14; }

bool IsUnbreakableCode(u8 code) { return code == 4 || code == 5; }

bool IsBreakableCode(u8 code) {
  return IsValidCellCode(code) && code != 0 && code != 13 && !IsUnbreakableCode(code);
}

namespace {

OLevelFault Fault(i32 layer, i32 row, i32 column, const std::string& message) {
  OLevelFault fault;
  fault.ok = false;
  fault.layer = layer;
  fault.row = row;
  fault.column = column;
  fault.message = message;
  return fault;
}

}  // namespace

OLevelFault CheckCells(const OCellBlock& block) {
  const i32 n = block.n;
  const i32 layerSize = n * n;
  if (!block.cells || n <= 0 || block.layers <= 0 || block.frontLayer < 0 ||
      block.frontLayer >= block.layers || block.firstChecked < 0 || block.checkedCount <= 0 ||
      block.firstChecked + block.checkedCount > block.layers)
    return Fault(-1, -1, -1, "no cells to check");

  const i32 total = layerSize * block.layers;
  for (i32 i = 0; i < total; ++i)
    if (!IsValidCellCode(block.cells[i]))
      return Fault(i / layerSize, i % layerSize / n, i % n,
                   "cell code " + std::to_string(block.cells[i]) + " is not a brick code");

  const i32 checkedBegin = block.firstChecked * layerSize;
  const i32 checkedEnd = (block.firstChecked + block.checkedCount) * layerSize;
  bool anyBreakable = false;
  for (i32 i = checkedBegin; i < checkedEnd && !anyBreakable; ++i)
    anyBreakable = IsBreakableCode(block.cells[i]);
  if (!anyBreakable) return Fault(-1, -1, -1, "no breakable brick");

  // Flood fill from the open front: every cell of the front layer that is not an unbreakable
  // brick lets the ball in, and from there it moves to the six face neighbours.
  std::vector<u8> reached(static_cast<size_t>(total), 0);
  std::vector<i32> open;
  for (i32 k = 0; k < layerSize; ++k) {
    const i32 i = block.frontLayer * layerSize + k;
    if (!IsUnbreakableCode(block.cells[i])) {
      reached[static_cast<size_t>(i)] = 1;
      open.push_back(i);
    }
  }
  while (!open.empty()) {
    const i32 i = open.back();
    open.pop_back();
    const i32 layer = i / layerSize, row = i % layerSize / n, column = i % n;
    const i32 next[6][3] = {{layer - 1, row, column}, {layer + 1, row, column},
                            {layer, row - 1, column}, {layer, row + 1, column},
                            {layer, row, column - 1}, {layer, row, column + 1}};
    for (const auto& c : next) {
      if (c[0] < 0 || c[0] >= block.layers || c[1] < 0 || c[1] >= n || c[2] < 0 || c[2] >= n)
        continue;
      const i32 j = c[0] * layerSize + c[1] * n + c[2];
      if (reached[static_cast<size_t>(j)] || IsUnbreakableCode(block.cells[j])) continue;
      reached[static_cast<size_t>(j)] = 1;
      open.push_back(j);
    }
  }
  for (i32 i = checkedBegin; i < checkedEnd; ++i)
    if (IsBreakableCode(block.cells[i]) && !reached[static_cast<size_t>(i)])
      return Fault(i / layerSize, i % layerSize / n, i % n,
                   "breakable brick walled in by unbreakable bricks: no ball can reach it");
  return OLevelFault();
}

OLevelFault CheckClassicLevel(const u8* cells, i32 n, i32 layers) {
  OCellBlock block;
  block.cells = cells;
  block.n = n;
  block.layers = layers;
  block.frontLayer = layers - 1;
  block.firstChecked = 0;
  block.checkedCount = layers;
  return CheckCells(block);
}

OLevelFault CheckCorridorStage(const u8* cells, i32 n, i32 layersLeft) {
  OCellBlock block;
  block.cells = cells;
  block.n = n;
  block.layers = layersLeft;
  block.frontLayer = 0;
  block.firstChecked = 0;
  block.checkedCount = layersLeft < 6 ? layersLeft : 6;
  return CheckCells(block);
}

bool ParseBrickHits(const std::string& text, std::vector<i32>& hits, std::string& error) {
  hits.assign(15, 0);
  std::istringstream lines(text);
  std::string line;
  for (i32 number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    i32 code = 0, count = 0;
    if (!(words >> code)) {
      words.clear();
      std::string rest;
      if (words >> rest) {
        error = "line " + std::to_string(number) + ": expected a brick code";
        return false;
      }
      continue;  // blank or comment line
    }
    if (!(words >> count) || code < 0 || code > 14 || count < 1) {
      error = "line " + std::to_string(number) + ": expected \"code hits\" with code 0..14";
      return false;
    }
    if (IsBreakableCode(static_cast<u8>(code))) hits[static_cast<size_t>(code)] = count;
  }
  return true;
}

OLevelStats MeasureCells(const u8* cells, i32 count, const std::vector<i32>& hits) {
  OLevelStats stats;
  for (i32 i = 0; i < count; ++i) {
    const u8 code = cells[i];
    if (IsUnbreakableCode(code)) {
      ++stats.unbreakable;
    } else if (IsBreakableCode(code)) {
      const i32 h = static_cast<size_t>(code) < hits.size() && hits[code] > 0 ? hits[code] : 1;
      ++stats.breakable;
      stats.hits += h;
      if (h > 1) ++stats.multiHit;
    }
  }
  return stats;
}
