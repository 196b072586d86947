#include "render/cell_drawing.h"

#include "config/settings.h"
#include "render/cell_colours.h"
#include "render/gl.h"

namespace orvex {

namespace {

constexpr float kCellPlaneZ = -4.0f;

GLenum primitive(int style) {
    switch (style) {
        case kStylePoints: return GL_POINTS;
        case kStyleLines: return GL_LINES;
        case kStyleQuads: return GL_QUADS;
        default: return GL_TRIANGLES;
    }
}

class Emitter {
public:
    Emitter(bool textured, bool lit) : textured_(textured), lit_(lit) {}

    void colour(const CellRgb& c) const {
        const GLfloat rgba[4] = {c.r, c.g, c.b, 1.0f};
        if (lit_)
            glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, rgba);
        else
            glColor3fv(rgba);
    }

    void vertex(float x, float y) const {
        if (textured_) glTexCoord3f(x, y, kCellPlaneZ);
        glVertex3f(x, y, kCellPlaneZ);
    }

private:
    bool textured_;
    bool lit_;
};

void point(const Emitter& e, float x, float y, float) { e.vertex(x, y); }

// A diamond of half-diagonal h, as four triangles around the centre.
void diamond(const Emitter& e, float x, float y, float h) {
    e.vertex(x, y), e.vertex(x + h, y), e.vertex(x, y + h);
    e.vertex(x, y), e.vertex(x + h, y), e.vertex(x, y - h);
    e.vertex(x, y), e.vertex(x - h, y), e.vertex(x, y - h);
    e.vertex(x, y), e.vertex(x - h, y), e.vertex(x, y + h);
}

void square(const Emitter& e, float x, float y, float h) {
    e.vertex(x - h, y - h), e.vertex(x + h, y - h);
    e.vertex(x + h, y + h), e.vertex(x - h, y + h);
}

// Walks the field in the order of the style and asks colour_of(j, value) for
// each drawn cell; set_row(i) runs before each visited row.
template <typename SetRow, typename ColourOf>
void draw_cells(const Automaton& field, const CellDrawing& d, SetRow set_row, ColourOf colour_of) {
    const int n = field.field_size();
    const float nf = static_cast<float>(n);
    const float h = 0.5f / nf;
    const float pitch = 1.0f / nf;
    const Emitter e(d.textured, d.LightingNum != 0);

    if (d.textured) {
        glBindTexture(GL_TEXTURE_2D, d.texture);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, d.LightingNum != 0 ? GL_MODULATE : GL_DECAL);
    }
    glBegin(primitive(d.DrawStyle));

    if (d.DrawStyle == kStyleLines) {
        // Each touching pair is joined once, from the cell that looks right or up
        // at it; row 0, the last row and the last column start no segment.
        for (int i = 1; i <= n - 2; ++i) {
            set_row(i);
            const int32_t* left = field.row(i - 1);
            const int32_t* here = field.row(i);
            const int32_t* right = field.row(i + 1);
            const float x = static_cast<float>(i) / nf;
            for (int j = 0; j <= n - 2; ++j) {
                if (here[j] == 0) continue;
                const float y = static_cast<float>(j) / nf;
                e.colour(colour_of(j, here[j]));
                if (right[j] != 0) e.vertex(x, y), e.vertex(x + pitch, y);
                if (right[j + 1] != 0) e.vertex(x, y), e.vertex(x + pitch, y + pitch);
                if (here[j + 1] != 0) e.vertex(x, y), e.vertex(x, y + pitch);
                if (left[j + 1] != 0) e.vertex(x, y), e.vertex(x - pitch, y + pitch);
            }
        }
    } else {
        void (*shape)(const Emitter&, float, float, float) =
            d.DrawStyle == kStylePoints ? point : d.DrawStyle == kStyleQuads ? square : diamond;
        for (int i = 0; i < n; ++i) {
            set_row(i);
            const int32_t* here = field.row(i);
            const float x = static_cast<float>(i) / nf;
            for (int j = 0; j < n; ++j) {
                if (here[j] == 0) continue;
                e.colour(colour_of(j, here[j]));
                shape(e, x, static_cast<float>(j) / nf, h);
            }
        }
    }

    glEnd();
    if (d.textured) glDisable(GL_TEXTURE_2D);
}

}  // namespace

void RenderLife(const Automaton& field, const CellDrawing& d) {
    CellColours colours(field.field_size(), d.MainColor, d.one_color_flag);
    const CellRgb white{1.0f, 1.0f, 1.0f};
    draw_cells(
        field, d, [&](int i) { colours.set_row(i); },
        [&](int j, int32_t) { return d.textured ? white : colours.life(j); });
}

void RenderGenerations(const Automaton& field, const CellDrawing& d) {
    CellColours colours(field.field_size(), d.MainColor, d.one_color_flag);
    const int states = field.states();
    const bool quads = d.DrawStyle == kStyleQuads;
    draw_cells(
        field, d, [&](int i) { colours.set_row(i); },
        [&](int j, int32_t s) {
            const float g = age_shade(states, s);
            return d.textured ? CellRgb{g, g, g} : colours.generations(j, g, quads);
        });
}

}  // namespace orvex
