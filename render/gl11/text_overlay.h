// One line of text over a finished frame, in the top-left corner: the frame
// rate that hacks show with -fps. Drawn with the scene's font, without lights,
// depth test or texture, and leaves the GL state as it found it.
#pragma once

#include "render/gl11/text_font.h"

namespace orvex {

// line_height: the font's line height in pixels (the text's top sits that far
// below the top edge, plus a margin).
void draw_text_overlay(TextFont& font, int width, int height, int line_height, const char* text);

}  // namespace orvex
