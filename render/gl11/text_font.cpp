#include "render/gl11/text_font.h"

#include "render/gl11/gl.h"
#include "render/text_format.h"

namespace orvex {

void TextFont::BuildFont(GlyphSource* glyphs) {
    KillFont();
    font_list_ = glGenLists(kFontListCount);
    base_ = glGenLists(kFontListCount);
    if (glyphs != nullptr && base_ != 0) glyphs->make_glyph_lists(kFirstGlyph, kGlyphCount, base_);
}

void TextFont::KillFont() {
    if (font_list_ != 0) glDeleteLists(font_list_, kFontListCount);
    if (base_ != 0) glDeleteLists(base_, kFontListCount);
    font_list_ = 0;
    base_ = 0;
}

void TextFont::glPrint(const char* format, ...) {
    if (format == nullptr) return;
    char text[kPrintBufferSize];
    std::va_list args;
    va_start(args, format);
    const std::size_t length = format_print_text(text, format, args);
    va_end(args);
    if (length == 0 || base_ == 0) return;

    glPushAttrib(GL_LIST_BIT);
    glListBase(base_ - kFirstGlyph);
    glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

}  // namespace orvex
