// The glyphs of the scene's font on X: a bold fixed-width X core font turned
// into display lists by glXUseXFont, or read back as bitmaps.
#pragma once

#include <X11/Xlib.h>

#include "render/gl11/text_font.h"

namespace orvex::x11 {

class GlxGlyphs final : public GlyphSource {
public:
    explicit GlxGlyphs(Display* display) : display_(display) {}
    void make_glyph_lists(int first, int count, unsigned list_base) override;
    bool glyph_bitmaps(int first, int count, GlyphBitmaps& out) override;
    // Height of a line of text in pixels; 0 until the lists or bitmaps are made.
    int line_height() const { return line_height_; }

private:
    Display* display_;
    int line_height_ = 0;
};

}  // namespace orvex::x11
