#pragma once
// Conversions between the game's Windows-1252 text (the font covers bytes 32..159 of it) and the
// UTF-8 of the platform.
#include <string>

// Every byte becomes its Unicode character; bytes that Windows-1252 leaves undefined become U+FFFD.
std::string Cp1252ToUtf8(const std::string& text);
// Characters Windows-1252 cannot hold are dropped, and so are malformed sequences.
std::string Utf8ToCp1252(const std::string& text);
