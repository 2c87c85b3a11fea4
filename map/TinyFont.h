// A built-in 5 x 7 pixel font for the exported map's legend, so that no system font is
// needed: digits, capital letters (small ones are drawn as capitals) and % . - < > = : / ( ) ,
// _ and space; any other character is drawn as '?'.
#pragma once

#include <string>

#include "platform/Image.h"

namespace odr::map {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;

// Width in pixels of `text` drawn `scale` times the font's size.
int TextWidth(const std::string& text, int scale);
// Draws `text` with its top-left corner at (x, y), each font pixel a `scale` x `scale` square.
void DrawText(platform::Image* image, int x, int y, const std::string& text, platform::Rgb colour,
              int scale);

}  // namespace odr::map
