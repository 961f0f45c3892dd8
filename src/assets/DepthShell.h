#pragma once
// A model's surfaces for a pass that writes depth alone. The cage round the playfield is built of
// hundreds of wall panels, each two triangles, and its depth is drawn again every frame: to the
// depth buffer a wall is one rectangle, so the panels that tile a wall go down as two triangles.
#include <vector>

#include "core/Types.h"

class OModelData;

// The triangles of the objects of `data` marked 1 in `visible`, as positions (x, y, z per
// corner, three corners a triangle, model units, each triangle's winding kept). Triangles lying
// in one face of the bounding box of those triangles and facing one way are replaced by the
// rectangle they cover, wound the same way, when their areas add up to the rectangle's: they tile
// it. Anything else (a frame round an opening, panels that overlap or leave a gap, trim standing
// off a wall) stays as it is.
std::vector<f32> DepthShellTriangles(const OModelData& data, const std::vector<u8>& visible);
