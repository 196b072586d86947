#include "host/x11/glx_glyphs.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

#include <utility>

namespace orvex::x11 {

namespace {

// Courier bold as on Windows where the server has it; "fixed" is always there.
XFontStruct* open_font(Display* display) {
    const char* const names[] = {"-*-courier-bold-r-normal--24-*-*-*-*-*-iso8859-1",
                                 "-*-fixed-bold-r-normal--18-*-*-*-*-*-iso8859-1", "fixed"};
    for (const char* name : names)
        if (XFontStruct* font = XLoadQueryFont(display, name)) return font;
    return nullptr;
}

}  // namespace

void GlxGlyphs::make_glyph_lists(int first, int count, unsigned list_base) {
    XFontStruct* font = open_font(display_);
    if (font == nullptr) return;
    glXUseXFont(font->fid, first, count, static_cast<int>(list_base));
    line_height_ = font->ascent + font->descent;
    XFreeFont(display_, font);
}

// Each character drawn with the same font into a one-bit pixmap of a cell's
// size, its origin on the cell's baseline, and read back.
bool GlxGlyphs::glyph_bitmaps(int first, int count, GlyphBitmaps& out) {
    XFontStruct* font = open_font(display_);
    if (font == nullptr) return false;
    GlyphBitmaps cells;
    cells.width = font->max_bounds.width;
    cells.height = font->ascent + font->descent;
    cells.descent = font->descent;
    bool ok = cells.width > 0 && cells.height > 0 && cells.descent >= 0 && count > 0;
    Pixmap pixmap = ok ? XCreatePixmap(display_, DefaultRootWindow(display_), static_cast<unsigned>(cells.width),
                                       static_cast<unsigned>(cells.height), 1)
                       : None;
    XGCValues values{};
    values.font = font->fid;
    GC gc = pixmap != None ? XCreateGC(display_, pixmap, GCFont, &values) : nullptr;
    for (int k = 0; gc != nullptr && ok && k < count; ++k) {
        XSetForeground(display_, gc, 0);
        XFillRectangle(display_, pixmap, gc, 0, 0, static_cast<unsigned>(cells.width),
                       static_cast<unsigned>(cells.height));
        XSetForeground(display_, gc, 1);
        const char c = static_cast<char>(first + k);
        XDrawString(display_, pixmap, gc, 0, font->ascent, &c, 1);
        XImage* image = XGetImage(display_, pixmap, 0, 0, static_cast<unsigned>(cells.width),
                                  static_cast<unsigned>(cells.height), 1, XYPixmap);
        if (image == nullptr) {
            ok = false;
            break;
        }
        for (int y = 0; y < cells.height; ++y)
            for (int x = 0; x < cells.width; ++x) cells.pixels.push_back(XGetPixel(image, x, y) != 0 ? 1 : 0);
        XDestroyImage(image);
    }
    if (gc != nullptr) XFreeGC(display_, gc);
    if (pixmap != None) XFreePixmap(display_, pixmap);
    XFreeFont(display_, font);
    if (!ok || gc == nullptr || !cells.usable(count)) return false;
    line_height_ = cells.height;
    out = std::move(cells);
    return true;
}

}  // namespace orvex::x11
