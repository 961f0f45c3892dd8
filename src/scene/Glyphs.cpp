#include "scene/Glyphs.h"

#include "scene/Font.h"

bool IsNameCharacter(u8 c) {
  if (c < FONT_FIRST_CHAR || c >= FONT_FIRST_CHAR + FONT_GLYPH_CELLS) return false;
  if (c == '{' || c == '|' || c == 127) return false;
  return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}
