#pragma once

#include <string_view>

#include "renderer/headless/Image.h"

namespace kadrel_render {

// A 5x7 pixel font for the labels of the contact sheet: digits, the capital letters and the
// space, '.', '-' and ':'. Other characters are drawn as a blank. Glyphs advance by 6 pixels
// (times the scale) and the line is 9 high, a pixel of margin all round.

// Size in pixels of the label `text` at a whole-number scale.
int labelWidth(std::string_view text, int scale);
int labelHeight(int scale);

// White text on a black box with its top-left corner at (x, y); whatever falls outside
// the image is clipped.
void stampLabel(renderer::Image& image, int x, int y, std::string_view text, int scale);

} // namespace kadrel_render
