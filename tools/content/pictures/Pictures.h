#pragma once
// The picture generators of the content compiler, one family per file, and what they share:
// the game's palette and the way a painted canvas becomes a texture file.
//
// Orientation: the game's TGA loader keeps a file's rows in order, and files are written bottom
// row first, so a TGA shows the right way up wherever texture coordinate t = 0 is drawn at the
// bottom. The JPEG loader puts the top row at t = 0, and every JPEG the game shows flat (splash,
// backgrounds) is drawn with t = 0 at the bottom, so those JPEGs are stored upside down.
#include <string>
#include <vector>

#include "Content.h"
#include "pictures/Canvas.h"

namespace palette {
// Deep space blues, the night the game is played in.
const u32 kSpaceDeep = 0x03061a;
const u32 kSpace = 0x0a1640;
const u32 kSpaceLight = 0x1c3a7a;
// Accents: cyan light and warm gold.
const u32 kCyan = 0x3ee0ff;
const u32 kCyanDeep = 0x0a7fc0;
const u32 kGold = 0xffc53d;
const u32 kGoldDeep = 0xc77a12;
const u32 kIvory = 0xfff6de;
}  // namespace palette

// "Data/Textures/" + name, as the game loads it.
std::string TexturePath(const std::string& name);
// The canvas as an uncompressed TGA of 3 or 4 channels.
void AddTga(std::vector<OContentFile>& archive, const std::string& name, const OCanvas& canvas,
            int channels);
// The canvas as a JPEG (quality 1..100); upsideDown stores it flipped (see above).
void AddJpeg(std::vector<OContentFile>& archive, const std::string& name, const OCanvas& canvas,
             int quality, bool upsideDown);

// Distance to a closed polygon of n corners (x, y pairs), negative inside.
float PolygonDistance(float x, float y, const float* corners, int n);
// The five-pointed star's corners (10 points) around (cx, cy).
void StarCorners(float cx, float cy, float outer, float inner, float rotation, float* corners);

// Painters that several families share.
// A lit sphere of radius r at (cx, cy): base colour, light from the upper left, specular spot.
void PaintBall(OCanvas& canvas, float cx, float cy, float r, const OColorF& base);
// A gold five-pointed star with a bevel.
void PaintStar(OCanvas& canvas, float cx, float cy, float r);

void AddFontPicture(std::vector<OContentFile>& archive);
void AddButtonPictures(std::vector<OContentFile>& archive);
void AddScreenPictures(std::vector<OContentFile>& archive);  // splash, backgrounds, cursor
void AddSkinPictures(std::vector<OContentFile>& archive);    // brick skins and the title texture
void AddEffectPictures(std::vector<OContentFile>& archive);  // sprites and particles
