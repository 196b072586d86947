#include "host/x11/glx_glyphs.h"

#include <GL/glx.h>

namespace orvex::x11 {

void GlxGlyphs::make_glyph_lists(int first, int count, unsigned list_base) {
    // Courier bold as on Windows where the server has it; "fixed" is always there.
    const char* const names[] = {"-*-courier-bold-r-normal--24-*-*-*-*-*-iso8859-1",
                                 "-*-fixed-bold-r-normal--18-*-*-*-*-*-iso8859-1", "fixed"};
    for (const char* name : names) {
        XFontStruct* font = XLoadQueryFont(display_, name);
        if (font == nullptr) continue;
        glXUseXFont(font->fid, first, count, static_cast<int>(list_base));
        line_height_ = font->ascent + font->descent;
        XFreeFont(display_, font);
        return;
    }
}

}  // namespace orvex::x11
