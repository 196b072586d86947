// The bitmap text font of the scene: two ranges of 256 display lists, the
// second holding glyphs for the characters 32..127 that the window system
// renders (on Windows, "Courier New" bold, 48 pixels, through
// wglUseFontBitmapsA). Without a glyph source the lists stay empty and printing
// draws nothing visible.
#pragma once

#include <cstdarg>

#include "render/glyph_source.h"

namespace orvex {

constexpr int kFontListCount = 256;

class TextFont {
public:
    // Reserves the lists and asks glyphs (may be null) to fill them.
    void BuildFont(GlyphSource* glyphs);
    // Deletes both ranges; the context must still be current. Safe to call twice.
    void KillFont();

    // Formats by the printf rules (255 characters at most, longer text is cut)
    // and draws the text at the current raster position. A null format does nothing.
    void glPrint(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    unsigned font_list() const { return font_list_; }
    unsigned base() const { return base_; }

private:
    unsigned font_list_ = 0;
    unsigned base_ = 0;
};

}  // namespace orvex
