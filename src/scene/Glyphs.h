#pragma once
// Which characters the bitmap font draws as letters. Kept apart from the font's drawing so that
// the score tables, which only read and write names, need no rendering code.
#include "core/Types.h"

// Characters that belong in a typed name: those the font draws as text. Below 32 and above 159
// there is no glyph cell, "{" and "|" draw the head-up display's lives and score icons, and DEL
// and the codes Windows-1252 leaves undefined have empty cells.
bool IsNameCharacter(u8 c);
