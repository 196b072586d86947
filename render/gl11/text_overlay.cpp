#include "render/gl11/text_overlay.h"

#include "render/gl11/gl.h"

namespace orvex {

void draw_text_overlay(TextFont& font, int width, int height, int line_height, const char* text) {
    constexpr int kMargin = 8;  // pixels from the window's edges
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2i(kMargin, height - kMargin - line_height);
    font.glPrint("%s", text);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace orvex
