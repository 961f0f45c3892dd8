#pragma once
// The brick atlas shared by the brick models and the skin pictures. A skin is a square picture of
// 8 x 8 tiles, one tile per brick look: every breakable kind in its own colour, the metal and
// stone of the unbreakable codes 4 and 5, and a multi-hit brick at each count of hits it has left
// (shown as that many studs). Each face of a brick maps onto its look's tile. The game shows TGA
// and JPEG pictures with opposite row orders, so the lower four rows of tiles mirror the upper
// four (and every tile is symmetric top to bottom): a face finds its tile either way.

constexpr int kBrickAtlasSize = 512;   // pixels, square
constexpr int kBrickTileSize = 64;     // pixels
constexpr int kBrickTileColumns = 8;
constexpr int kBrickTileRows = 4;      // distinct rows; mirrored below

struct OBrickLook {
  int code;      // the brick code (content/bricks.txt)
  int hitsLeft;  // 1 for a single-hit brick
};

// The looks in tile order: tile i is at column i % 8, row i / 8.
constexpr OBrickLook kBrickLooks[] = {
    {1, 1},  {2, 1},  {3, 2},  {3, 1},  {4, 1},  {5, 1},  {6, 1},  {7, 1},
    {8, 1},  {9, 2},  {9, 1},  {10, 1}, {11, 3}, {11, 2}, {11, 1}, {12, 2},
    {12, 1}, {14, 3}, {14, 2}, {14, 1},
};
constexpr int kBrickLookCount = sizeof(kBrickLooks) / sizeof(kBrickLooks[0]);

// The tile of a code at a count of hits left; tile 0 (the plain brick) for anything unknown.
inline int BrickTile(int code, int hitsLeft) {
  for (int i = 0; i < kBrickLookCount; ++i)
    if (kBrickLooks[i].code == code && kBrickLooks[i].hitsLeft == hitsLeft) return i;
  return 0;
}

// Which breakable colour a code wears (0..10, in code order), or -1 for metal and stone.
inline int BrickColourIndex(int code) {
  static const int codes[] = {1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 14};
  for (int i = 0; i < 11; ++i)
    if (codes[i] == code) return i;
  return -1;
}

// The texture rectangle (u0, v0, u1, v1) of a tile, a texel inside its edges so that filtering
// never reaches the neighbour.
inline void BrickTileRect(int tile, float rect[4]) {
  const float texel = 1.0f / kBrickAtlasSize, side = static_cast<float>(kBrickTileSize) / kBrickAtlasSize;
  const int column = tile % kBrickTileColumns, row = tile / kBrickTileColumns;
  rect[0] = column * side + texel;
  rect[1] = row * side + texel;
  rect[2] = (column + 1) * side - texel;
  rect[3] = (row + 1) * side - texel;
}
