#pragma once
// The playability rules every level of the game obeys, as plain functions over the cell bytes so
// that the level compiler can run them at build time and the tests over the compiled tables.
#include <string>
#include <vector>

#include "core/Types.h"

// A corridor stage's time (ms): (episode + 4) x 10 s. The corridor's timer and the level
// compiler's hit budget (hits per second of it) both read it here.
constexpr i32 StageTimeMs(i32 episode) { return (episode + 4) * 10000; }

// Cell codes: 0 and 13 are empty, 4 and 5 unbreakable, every other code up to 14 a breakable brick.
bool IsValidCellCode(u8 code);
bool IsBreakableCode(u8 code);
bool IsUnbreakableCode(u8 code);

// The first thing found wrong with a block of cells, or ok. layer, row and column name the cell at
// fault in the block's own numbering (-1 when the fault is not one cell).
struct OLevelFault {
  bool ok = true;
  i32 layer = -1;
  i32 row = -1;
  i32 column = -1;
  std::string message;
};

// A block of cells: `layers` layers of n x n cells, in the order layer, row, column.
// `frontLayer` is the layer the ball comes from (the open side of the box); `firstChecked` and
// `checkedCount` pick the layers whose bricks must be breakable and reachable (the layers outside
// them still block or let the ball through).
struct OCellBlock {
  const u8* cells = nullptr;
  i32 n = 0;
  i32 layers = 0;
  i32 frontLayer = 0;
  i32 firstChecked = 0;
  i32 checkedCount = 0;
};

// Checks that every cell holds a valid code, that the checked layers hold at least one breakable
// brick, and that a ball entering through the front layer can reach every breakable brick of the
// checked layers: it moves from cell to face-neighbouring cell through anything but unbreakable
// bricks (breakable ones give way once hit).
OLevelFault CheckCells(const OCellBlock& block);

// A classic level: n x n x layers cells; the last layer is the one nearest the bat.
OLevelFault CheckClassicLevel(const u8* cells, i32 n, i32 layers);

// One corridor stage: the cells from the stage's first layer to the end of the corridor
// (`layersLeft` layers); layer 0 faces the bat, and the first six layers (fewer at the corridor's
// end) are the stage.
OLevelFault CheckCorridorStage(const u8* cells, i32 n, i32 layersLeft);

// Hits a brick of each code takes (index = code, 0 for empty and unbreakable cells), read from the
// text of content/bricks.txt: lines of "code hits ..." with '#' comments. Returns false and names
// the line in `error` when the text is malformed.
bool ParseBrickHits(const std::string& text, std::vector<i32>& hits, std::string& error);

// What a block of cells asks of the player.
struct OLevelStats {
  i32 breakable = 0;    // breakable bricks
  i32 hits = 0;         // hits to clear them all
  i32 multiHit = 0;     // breakable bricks that take more than one hit
  i32 unbreakable = 0;  // codes 4 and 5
};
OLevelStats MeasureCells(const u8* cells, i32 count, const std::vector<i32>& hits);
