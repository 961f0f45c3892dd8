#pragma once
// Text for pictures: glyphs rendered by FreeType from the DejaVu fonts of the system
// (/usr/share/fonts/truetype/dejavu/), as coverage masks.
#include <string>

#include "pictures/Canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// One glyph's coverage with its placement: the pen sits at (0, 0) on the baseline, y downwards.
struct OGlyph {
  OMask mask;
  int left = 0;       // pixels from the pen to the mask's left column
  int top = 0;        // pixels from the baseline up to the mask's top row
  float advance = 0;  // pixels the pen moves on
};

// A line of text as one mask with its baseline row.
struct OTextLine {
  OMask mask;
  int baseline = 0;  // mask row of the baseline
  int inkLeft = 0, inkRight = 0, inkTop = 0, inkBottom = 0;  // inked bounds inside the mask
};

// One DejaVu face at a time. The face file missing makes Ok() false and every glyph empty.
class OTextFace {
public:
  // fileName: "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", ...
  explicit OTextFace(const std::string& fileName);
  ~OTextFace();
  OTextFace(const OTextFace&) = delete;
  OTextFace& operator=(const OTextFace&) = delete;

  bool Ok() const { return face != nullptr; }
  // Size in pixels per em; xScale squeezes or widens the glyphs horizontally.
  void SetSize(float pixels, float xScale = 1.0f);
  // A Unicode code point.
  OGlyph Glyph(u32 codePoint);
  // Latin text (ASCII) laid out with kerning-free advances, `spacing` extra pixels between glyphs.
  OTextLine Line(const std::string& text, float spacing = 0);
  // Ascender and descender of the face at the current size (pixels, both positive).
  float Ascender() const;
  float Descender() const;

private:
  FT_LibraryRec_* library = nullptr;
  FT_FaceRec_* face = nullptr;
};

// True when the named DejaVu font files can be opened; otherwise prints which one is missing (and
// the package that brings it) on standard error. Pictures without their text are no pictures, so
// the compiler stops rather than write them.
bool FontsAvailable(const char* const* fileNames, int count);

// The Unicode code point of a Windows-1252 byte, or 0 where the code page has no character.
u32 Windows1252ToUnicode(u8 c);
