// Where the glyphs of the frame-rate text come from: the window system's font,
// given by the host. The OpenGL 1.1 renderer asks for display lists (the
// host's GL turns its font into them: wglUseFontBitmapsA, glXUseXFont); a
// renderer without display lists asks the same source for the glyphs as
// plain bitmaps and makes a small texture of them.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex {

// The characters the font holds: 32..127.
constexpr int kFirstGlyph = 32;
constexpr int kGlyphCount = 96;

// Glyphs of a fixed-width font, one cell each, one cell after another.
struct GlyphBitmaps {
    int width = 0;    // pixels per cell, also the advance from one glyph to the next
    int height = 0;   // rows per cell: the font's ascent and descent
    int descent = 0;  // rows of the cell below the baseline
    // Each cell's rows from the top down, width bytes a row: 0 clear, else set.
    std::vector<std::uint8_t> pixels;

    bool usable(int count) const {
        return width > 0 && height > 0 && descent >= 0 && descent <= height && count > 0 &&
               pixels.size() ==
                   static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(count);
    }
};

// Implemented by the host.
class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // Fills count display lists from list_base with the bitmaps of the
    // characters first .. first + count - 1. The context is current.
    virtual void make_glyph_lists(int first, int count, unsigned list_base) = 0;
    // The same characters of the same font as bitmaps; false (out untouched)
    // when the source can't give them, and the text then stays blank.
    virtual bool glyph_bitmaps(int first, int count, GlyphBitmaps& out) {
        (void)first, (void)count, (void)out;
        return false;
    }
};

}  // namespace orvex
