// A 5 x 7 pixel font for capital letters, digits, blank and a few signs,
// used to letter the banner.
#pragma once

#include <cstdint>

inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = 6;  // glyph plus one blank column

// The rows of one glyph, top first; bit 4 is the leftmost column. A
// character the font lacks gives blank rows.
const uint8_t *GlyphRows(char c);
